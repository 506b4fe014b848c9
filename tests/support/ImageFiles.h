#pragma once
// Small image files made in memory for the decoder tests, and the shared reference decodes.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qx::test {

using Bytes = std::vector<std::uint8_t>;

// A bitmap file: headers, optional bit-field masks, colour table and the pixel rows as given
// (each padded here to a multiple of 4 bytes with padByte).
struct BmpLayout {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    std::uint32_t coloursUsed = 0;
    std::uint32_t imageSizeField = 0;
    std::optional<std::array<std::uint32_t, 3>> masks;  // red, green, blue; written after 40 header bytes
    std::vector<std::array<std::uint8_t, 4>> palette;   // B, G, R, reserved
    std::vector<Bytes> rows;                            // file order, unpadded
    std::uint8_t padByte = 0xEE;
};
Bytes makeBmp(const BmpLayout& layout);

// An uncompressed Targa file: rows in file order, each width x bits/8 bytes.
struct TgaLayout {
    std::uint8_t imageType = 2;
    std::uint8_t colourMapType = 0;
    std::uint16_t width = 1;
    std::uint16_t height = 1;
    std::uint8_t bits = 24;
    std::uint8_t descriptor = 0;
    std::string imageId;
    Bytes colourMap;  // written after the ID field when colourMapType is 1
    Bytes pixels;
};
Bytes makeTga(const TgaLayout& layout);

// A PNG of the given colour type (PNG_COLOR_TYPE_*) and bit depth; rows top first, packed as
// the format stores them.
Bytes makePng(int width, int height, int colourType, int bitDepth, const std::vector<Bytes>& rows);

// A JPEG made with libjpeg at quality 100 without chroma subsampling: components 3 (R, G, B
// samples) or 1 (grey); rows top first.
Bytes makeJpeg(int width, int height, int components, const Bytes& samples);

// The shared test file at a path relative to the test data folder.
std::filesystem::path testFile(const std::string& relative);

// A reference decode (R, G, B, A, top row first) beside image, or none.
std::optional<Bytes> referencePixels(const std::filesystem::path& image, bool noGamma = false);

// The largest difference between two equally long byte buffers (256 when the sizes differ).
int largestDifference(const Bytes& a, const Bytes& b);

}  // namespace qx::test
