#pragma once
// The 32-bit hash that identifies a loaded file by its full path, and a motion track or a bone
// by its name. Stored files hold these values, so the arithmetic is fixed: each byte is
// sign-extended before it is mixed in (a byte of 0x80 or more counts as negative).

#include <cstdint>
#include <string_view>

namespace qx {

std::int32_t nameHash(std::string_view text);

}  // namespace qx
