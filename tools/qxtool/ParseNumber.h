#pragma once
// The one way qxtool reads a number from a token of its scripts and options: the whole token in
// plain decimal ("-0.5", ".5", "1e3", "inf", "nan"), never a leading '+', blank or hexadecimal
// form, and never a value the type cannot hold (a float beyond its range is refused rather than
// turned into infinity). The same text means the same value whatever the locale.

#include <cstdint>
#include <string_view>

namespace qx::tool {

// False, leaving out as it was, when the whole text is not such a number.
bool parseNumber(std::string_view text, float& out);
bool parseNumber(std::string_view text, double& out);
bool parseNumber(std::string_view text, std::int32_t& out);
bool parseNumber(std::string_view text, std::uint32_t& out);  // no sign at all

}  // namespace qx::tool
