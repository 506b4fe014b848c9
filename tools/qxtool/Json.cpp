#include "tools/qxtool/Json.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace qx::tool {

Json jsonFloat(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    // The shortest digits that give back this float, carried in the double they spell: the
    // JSON library prints doubles shortest-first, so the text comes out as those digits.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text - 1, value).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

Json jsonVector(const Vector3& v) { return Json::array({jsonFloat(v.x), jsonFloat(v.y), jsonFloat(v.z)}); }

Json jsonQuaternion(const Quaternion& q) {
    return Json::array({jsonFloat(q.x), jsonFloat(q.y), jsonFloat(q.z), jsonFloat(q.w)});
}

Json jsonMatrix(const Matrix& m) {
    Json out = Json::array();
    for (const auto& row : m.m)
        for (const float value : row) out.push_back(jsonFloat(value));
    return out;
}

Json jsonBytes(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            utf8.push_back(static_cast<char>(c));
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return utf8;
}

Json jsonVectors(const std::vector<Vector3>& list) {
    Json out = Json::array();
    for (const auto& v : list) out.push_back(jsonVector(v));
    return out;
}

Json jsonInts(const std::vector<std::int32_t>& list) {
    Json out = Json::array();
    for (const auto value : list) out.push_back(value);
    return out;
}

}  // namespace qx::tool
