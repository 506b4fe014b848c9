#pragma once
// The QXV1 vertex model file (".qv1"): the magic "QXV1", vertexCount, the frames (a 0-ended name
// and vertexCount position/normal pairs each) and the draw commands (type, vertex count and
// s, t, vertexIndex per vertex), little-endian, no padding. Anything after the last command is
// ignored. The file holds no skin: the skin is the ".bmp" named after the model file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/Texture.h"
#include "vertex/VertexModel.h"

namespace qx {

// Reads a model; none with a short reason when the file cannot be read or is damaged. nameHash
// is set from path exactly as passed. The skin is loaded as mode asks from the path less its
// last four characters plus ".bmp" (whatever those four characters are: "a.b.qv1" takes
// "a.b.bmp"); a missing or undecodable skin leaves the model without a picture.
std::unique_ptr<VertexModel> readVertexModel(const std::string& path, std::string* reason = nullptr,
                                             ImageLoading mode = ImageLoading::Upload);

// Parses a whole file held in memory. No skin is loaded and nameHash stays 0.
std::unique_ptr<VertexModel> parseVertexModel(const std::uint8_t* data, std::size_t size,
                                              std::string* reason = nullptr);

// Writes a model atomically; false with a reason when the file could not be written whole, in
// which case an existing file at path is left as it was. Each frame contributes exactly
// vertexCount vertices (missing ones as zeros), so that the file reads back.
bool writeVertexModel(const std::string& path, const VertexModel& model, std::string* reason = nullptr);
std::vector<std::uint8_t> encodeVertexModel(const VertexModel& model);

// The skin image of the model file at path.
std::string vertexSkinPath(const std::string& path);

}  // namespace qx
