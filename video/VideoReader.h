#pragma once
// Reads a recorded video back with the libraries that wrote it: its size, and every frame as
// RGBA with the time it shows at. The tests and the benchmark check recordings with it.

#include <cstdint>
#include <string>
#include <vector>

namespace qx {

struct DecodedVideo {
    int width = 0;
    int height = 0;
    std::vector<double> times;                      // seconds, per frame in order
    std::vector<std::vector<std::uint8_t>> frames;  // width x height x 4 bytes each, top row first
};

// False, with a reason, when the file cannot be opened or decoded.
bool readVideo(const std::string& path, DecodedVideo& out, std::string* reason);

}  // namespace qx
