// Png images: decode from memory; a decoded picture must hold exactly width x height pixels,
// and turning it into display order must stay inside the buffer.

#include <cstddef>
#include <cstdint>

#include "render/ImageDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qx::Texture texture;
    if (!qx::decodePng(data, size, texture)) return 0;
    const auto expected = static_cast<std::size_t>(texture.width) * static_cast<std::size_t>(texture.height) * 4;
    if (texture.width <= 0 || texture.height <= 0 || texture.pixels.size() != expected) __builtin_trap();
    (void)qx::displayRgba(texture);
    return 0;
}
