#include <cstring>

#include "core/ByteReader.h"
#include "core/FileBytes.h"
#include "core/ReadProblem.h"
#include "render/ImageDecoders.h"

namespace qx {

namespace {

constexpr std::uint8_t TrueColour = 2;
constexpr std::uint8_t TopLeftOrigin = 0x20;  // descriptor bit 5: rows stored top row first

bool readTga(ByteReader& in, Texture& texture, ReadProblem& problem) {
    std::uint8_t idLength = 0, colourMapType = 0, imageType = 0, colourMapDepth = 0, bits = 0, descriptor = 0;
    std::uint16_t colourMapStart = 0, colourMapLength = 0, xOrigin = 0, yOrigin = 0, width = 0, height = 0;
    if (!in.u8(idLength) || !in.u8(colourMapType) || !in.u8(imageType) || !in.u16(colourMapStart) ||
        !in.u16(colourMapLength) || !in.u8(colourMapDepth) || !in.u16(xOrigin) || !in.u16(yOrigin) || !in.u16(width) ||
        !in.u16(height) || !in.u8(bits) || !in.u8(descriptor))
        return problem.fail("truncated Targa header");
    if (imageType != TrueColour || colourMapType != 0)
        return problem.fail("only uncompressed true-colour Targa images are supported (image type " +
                            std::to_string(imageType) + ", colour map type " + std::to_string(colourMapType) + ")");
    if (bits != 24 && bits != 32) return problem.fail(std::to_string(bits) + " bits per pixel are not supported");
    if (width == 0 || height == 0) return problem.fail("empty image");
    if (!in.skip(idLength)) return problem.fail("truncated image ID field");

    const std::size_t bytesPerPixel = bits / 8;
    const std::size_t rowBytes = std::size_t{width} * bytesPerPixel;
    const std::size_t imageSize = rowBytes * height;
    if (imageSize > in.remaining()) return problem.fail("pixel data truncated");

    // Every texture keeps its bottom row first; files marked top-left are stored the other way.
    const bool topDown = (descriptor & TopLeftOrigin) != 0;
    std::vector<std::uint8_t> pixels(std::size_t{width} * height * 4);
    const std::uint8_t* source = in.current();
    for (std::size_t r = 0; r < height; ++r) {
        const std::uint8_t* s = source + r * rowBytes;
        const std::size_t outRow = topDown ? height - 1 - r : r;
        std::uint8_t* d = pixels.data() + outRow * width * 4;
        if (bits == 32) {
            std::memcpy(d, s, rowBytes);
            continue;
        }
        for (std::size_t x = 0; x < width; ++x, d += 4, s += 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = 255;
        }
    }

    texture.pixels = std::move(pixels);
    texture.width = width;
    texture.height = height;
    // The 24-bit path keeps the source depth; the pixels are 32-bit either way.
    texture.bits = bits;
    texture.rgbaOrder = 0;
    return true;
}

}  // namespace

bool decodeTga(const std::uint8_t* data, std::size_t size, Texture& texture, std::string* reason) {
    texture.releasePixels();
    ByteReader in(data, size);
    ReadProblem problem;
    if (readTga(in, texture, problem)) return true;
    problem.report(reason);
    return false;
}

}  // namespace qx
