#pragma once
// The pictures of a glTF asset, decoded by the program's own decoders (PNG, JPEG, and BMP,
// told by their first bytes) and written beside a converted model: PNG for a skeletal mesh's
// textures, a 24-bit BMP for a vertex model's skin.

#include <cstdint>
#include <string>
#include <vector>

#include "render/Texture.h"

namespace qx {

// Decodes an image's bytes into texture; false, with a reason, when no decoder takes them.
bool decodeGltfImage(const std::vector<std::uint8_t>& bytes, Texture& texture, std::string* reason);

// The picture as an uncompressed 24-bit BMP file's bytes; empty when the texture holds none.
std::vector<std::uint8_t> encodeBmp(const Texture& texture);

}  // namespace qx
