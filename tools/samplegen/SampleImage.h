#pragma once
// Skins for the samples, written as plain 24-bit uncompressed bitmaps that every image viewer
// and the program's own decoder read.

#include <cstdint>
#include <string>
#include <vector>

namespace qx::samples {

// An image of width x height pixels, R, G, B bytes per pixel, top row first.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    RgbImage(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3) {}
    void set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
};

// The file bytes: BITMAPFILEHEADER, a 40-byte BITMAPINFOHEADER, rows bottom first in B, G, R
// order, each padded to a multiple of 4 bytes.
std::vector<std::uint8_t> encodeBmp24(const RgbImage& image);

}  // namespace qx::samples
