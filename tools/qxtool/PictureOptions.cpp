#include "tools/qxtool/PictureOptions.h"

#include <cstdint>
#include <vector>

#include "tools/qxtool/ParseNumber.h"

namespace qx::tool {

namespace {

bool parseInt(const std::string& text, std::int32_t low, std::int32_t high, std::int32_t& out) {
    std::int32_t value = 0;
    if (!parseNumber(text, value) || value < low || value > high) return false;
    out = value;
    return true;
}

// Splits "a<sep>b<sep>c" into exactly count pieces.
bool split(const std::string& text, char separator, std::size_t count, std::vector<std::string>& parts) {
    parts.clear();
    std::size_t begin = 0;
    for (;;) {
        const std::size_t at = text.find(separator, begin);
        parts.push_back(text.substr(begin, at == std::string::npos ? std::string::npos : at - begin));
        if (at == std::string::npos) break;
        begin = at + 1;
    }
    return parts.size() == count;
}

}  // namespace

std::string parseSize(const std::string& text, SnapshotRequest& s) {
    const std::size_t x = text.find_first_of("xX");
    std::int32_t w = 0, h = 0;
    if (x == std::string::npos || !parseInt(text.substr(0, x), 1, MaxSide, w) ||
        !parseInt(text.substr(x + 1), 1, MaxSide, h))
        return "--size expects WxH with each side 1.." + std::to_string(MaxSide) + ", not '" + text + "'";
    s.width = w;
    s.height = h;
    return {};
}

std::string parseBackground(const std::string& text, SnapshotRequest& s) {
    std::vector<std::string> parts;
    std::int32_t rgb[3] = {};
    if (!split(text, ',', 3, parts) || !parseInt(parts[0], 0, 255, rgb[0]) || !parseInt(parts[1], 0, 255, rgb[1]) ||
        !parseInt(parts[2], 0, 255, rgb[2]))
        return "--background expects R,G,B with each 0..255, not '" + text + "'";
    s.lighting.red = rgb[0];
    s.lighting.green = rgb[1];
    s.lighting.blue = rgb[2];
    return {};
}

std::string parseFrames(const std::string& text, SnapshotRequest& s) {
    if (text.empty()) return {};
    std::vector<std::string> parts;
    if (!split(text, ':', 2, parts) || !parseInt(parts[0], 0, INT32_MAX, s.first) ||
        !parseInt(parts[1], 0, INT32_MAX, s.last))
        return "--frames expects A:B (frames A to B-1), not '" + text + "'";
    s.hasFrames = true;
    return {};
}

}  // namespace qx::tool
