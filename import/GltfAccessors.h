#pragma once
// The numbers of a glTF accessor, read with every range checked against the buffer that holds
// them: an accessor, view or buffer index out of range, a stride shorter than an element, a
// range past its view or buffer, an element of the wrong type, or a float that is not finite is
// refused with the reason, and nothing is allocated beyond what the buffers hold. A sparse
// accessor's replacements are applied over its elements (or over zeros, where it has no view),
// their indices checked to ascend within the count.

#include <cstdint>
#include <string>
#include <vector>

#include "import/TinyGltf.h"

namespace qx {

// The accessor's elements as floats, components per element (3 for VEC3 ...), back to back.
// Normalized integers become 0..1 (or -1..1) as glTF defines them; plain integers their value.
bool readAccessorFloats(const tinygltf::Model& model, int accessor, int components, std::vector<float>& out,
                        std::string* reason);

// Unsigned integer elements (indices, joints), components per element.
bool readAccessorUnsigned(const tinygltf::Model& model, int accessor, int components, std::vector<std::uint32_t>& out,
                          std::string* reason);

// The accessor's element count; 0 for an index out of range.
std::size_t accessorCount(const tinygltf::Model& model, int accessor);

}  // namespace qx
