#pragma once
// The JSON forms of the program's values, fixed by qxtool's contract: a float prints as the
// shortest decimal that reads back to the same 32-bit float ("nan", "inf", "-inf" as strings),
// vectors and quaternions as arrays, matrices as 16 numbers row by row, and byte strings from
// files with each byte mapped to the code point of the same value.

#include <cstdint>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "math/Matrix.h"
#include "math/Quaternion.h"
#include "math/Vector3.h"

namespace qx::tool {

using Json = nlohmann::ordered_json;

Json jsonFloat(float value);
Json jsonVector(const Vector3& v);
Json jsonQuaternion(const Quaternion& q);
Json jsonMatrix(const Matrix& m);
Json jsonBytes(std::string_view bytes);
Json jsonVectors(const std::vector<Vector3>& list);
Json jsonInts(const std::vector<std::int32_t>& list);

}  // namespace qx::tool
