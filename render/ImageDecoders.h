#pragma once
// The decoders behind Texture::loadImage, one per file format. Each works on the whole file's
// bytes in memory, so that tests and fuzzers can feed them anything. On success the texture
// holds width x height x 4 bytes of pixels, bottom row first (the row order texture
// coordinates assume), with width, height, bits and rgbaOrder set. On failure it holds no pixels
// and reason (when given) says why; no decoder reads outside the bytes it was given, and none
// allocates a pixel buffer that the file's data could not fill.

#include <cstddef>
#include <cstdint>
#include <string>

#include "render/Texture.h"

namespace qx {

// What a bitmap's pixels are decoded through: the channel masks of a 16-bit bitmap and the
// colour table of a 4- or 8-bit one (entries past the file's table are black). It is the
// decoder's working space, not part of the texture.
struct BmpColours {
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint8_t palette[256][4] = {};  // B, G, R, reserved
};

// Windows bitmaps: 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit-field masks.
// Pixels B, G, R, A (rgbaOrder 0) with alpha 255. The second form leaves the colours it used in
// colours (whatever it held before is never used).
bool decodeBmp(const std::uint8_t* data, std::size_t size, Texture& texture, std::string* reason = nullptr);
bool decodeBmp(const std::uint8_t* data, std::size_t size, Texture& texture, std::string* reason, BmpColours& colours);

// Uncompressed true-colour Targa files of 24 or 32 bits. Pixels B, G, R, A (rgbaOrder 0);
// alpha 255 for 24 bits, from the file for 32.
bool decodeTga(const std::uint8_t* data, std::size_t size, Texture& texture, std::string* reason = nullptr);

// PNG through libpng: every colour type and depth becomes R, G, B, A (rgbaOrder 1). With
// applyGamma the samples are corrected from the file's gamma (0.45455 when it states none) to a
// screen gamma of 2.2; without it they are taken as stored.
bool decodePng(const std::uint8_t* data, std::size_t size, Texture& texture, std::string* reason = nullptr,
               bool applyGamma = true);

// JPEG through libjpeg: colour and grey images become R, G, B, 255 (rgbaOrder 1); four-component
// (CMYK, YCCK) images are refused.
bool decodeJpeg(const std::uint8_t* data, std::size_t size, Texture& texture, std::string* reason = nullptr);

}  // namespace qx
