#pragma once
// Reading the A:M ".ply" model export: a "PLY" header with version 2, then surfaces, images,
// positions, normals, patches and the bone tree in pre-order, with no padding anywhere.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "import/PlyModel.h"

namespace qx {

// Reads a model; none with a short reason ("PLY version 1 is not supported", "surface count 0
// is below 1", "truncated in section 6 (patches)") when the file cannot be read or is damaged.
//
// While reading it builds positionNormals from the patches and computes every bone's frame as
// the skeletal mesh reader does. A patch's position index outside the positions rejects the
// file; every other index is kept as read for its users to check.
std::unique_ptr<PlyModel> readPly(const std::string& path, std::string* reason = nullptr);
std::unique_ptr<PlyModel> parsePly(const std::uint8_t* data, std::size_t size, std::string* reason = nullptr);

}  // namespace qx
