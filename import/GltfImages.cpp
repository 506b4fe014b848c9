#include "import/GltfImages.h"

#include <cstring>

#include "render/ImageDecoders.h"

namespace qx {

bool decodeGltfImage(const std::vector<std::uint8_t>& bytes, Texture& texture, std::string* reason) {
    const auto starts = [&](const char* magic, std::size_t n) {
        return bytes.size() >= n && std::memcmp(bytes.data(), magic, n) == 0;
    };
    if (starts("\x89PNG", 4)) return decodePng(bytes.data(), bytes.size(), texture, reason, false);
    if (starts("\xFF\xD8", 2)) return decodeJpeg(bytes.data(), bytes.size(), texture, reason);
    if (starts("BM", 2)) return decodeBmp(bytes.data(), bytes.size(), texture, reason);
    if (reason != nullptr) *reason = bytes.empty() ? "the image could not be found" : "not a PNG, JPEG or BMP image";
    return false;
}

std::vector<std::uint8_t> encodeBmp(const Texture& texture) {
    const std::vector<std::uint8_t> rgba = displayRgba(texture);  // top row first
    if (rgba.empty()) return {};
    const auto width = static_cast<std::uint32_t>(texture.width), height = static_cast<std::uint32_t>(texture.height);
    const std::uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * height;
    std::vector<std::uint8_t> out(54 + static_cast<std::size_t>(imageBytes), 0);
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);  // positive: bottom row first
    out[26] = 1;
    out[28] = 24;
    put32(34, imageBytes);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* source = rgba.data() + static_cast<std::size_t>(height - 1 - y) * width * 4;
        std::uint8_t* row = out.data() + 54 + static_cast<std::size_t>(y) * rowBytes;
        for (std::uint32_t x = 0; x < width; ++x) {
            row[x * 3] = source[x * 4 + 2];
            row[x * 3 + 1] = source[x * 4 + 1];
            row[x * 3 + 2] = source[x * 4];
        }
    }
    return out;
}

}  // namespace qx
