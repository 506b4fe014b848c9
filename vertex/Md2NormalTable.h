#pragma once
// The 162 unit normals an MD2 vertex's normal index byte selects, in the order the MD2 format
// defines. They are the vertices of a subdivided icosahedron, in MD2's axes (z up).

#include <cstdint>

#include "math/Vector3.h"

namespace qx {

inline constexpr int Md2NormalCount = 162;

extern const Vector3 Md2Normals[Md2NormalCount];

// The table entry for a stored normal index byte. Bytes 162 to 255 lie beyond the table; they
// get entry 5, straight up (0, 0, 1) in MD2's axes: such a vertex is then lit like level
// ground instead of along some arbitrary direction, and the lookup never leaves the table.
inline const Vector3& md2Normal(std::uint8_t index) { return Md2Normals[index < Md2NormalCount ? index : 5]; }

}  // namespace qx
