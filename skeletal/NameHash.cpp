#include "skeletal/NameHash.h"

namespace qx {

std::int32_t nameHash(std::string_view text) {
    std::uint32_t h = 0;
    for (const char ch : text) {
        const auto c = static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(ch)));
        h = ((h & 0xFFF00000u) ^ (h << 6)) ^ c;
    }
    return static_cast<std::int32_t>(h);
}

}  // namespace qx
