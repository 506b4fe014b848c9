#include "tools/qxtool/ParseNumber.h"

#include <charconv>
#include <system_error>

namespace qx::tool {

namespace {

template <typename T>
bool parseWhole(std::string_view text, T& out) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) return false;
    out = value;
    return true;
}

}  // namespace

bool parseNumber(std::string_view text, float& out) { return parseWhole(text, out); }
bool parseNumber(std::string_view text, double& out) { return parseWhole(text, out); }
bool parseNumber(std::string_view text, std::int32_t& out) { return parseWhole(text, out); }
bool parseNumber(std::string_view text, std::uint32_t& out) { return parseWhole(text, out); }

}  // namespace qx::tool
