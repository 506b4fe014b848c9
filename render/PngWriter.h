#pragma once
// Writing pictures as PNG files: decoded images (`qxtool image --out`) and off-screen
// renderings. The picture is R, G, B, A bytes, top row first, rows back to back; the file is
// an 8-bit RGBA PNG holding exactly those bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace qx {

// How hard the pixels are compressed: as small as zlib's usual level makes them, or fast (about
// twice as quick and a third larger), for long frame sequences where compressing is the cost.
enum class PngPacking { Small, Fast };

// The PNG file's bytes. rgba holds width x height x 4 bytes. False, with a reason, for an empty
// or oversized picture (PNG allows at most 2^31 - 1 pixels a side).
bool encodePng(const std::uint8_t* rgba, int width, int height, std::vector<std::uint8_t>& out,
               std::string* reason = nullptr, PngPacking packing = PngPacking::Small);

// Encodes and writes the file atomically: a failed write leaves an existing file as it was.
bool writePng(const std::string& path, const std::uint8_t* rgba, int width, int height, std::string* reason = nullptr);

}  // namespace qx
