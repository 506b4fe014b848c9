#include "tests/support/MotionBuilder.h"

#include "skeletal/NameHash.h"

namespace qx::test {

MotionKey key(float time, float value, int kind, bool handlesOmitted) {
    MotionKey k;
    k.time = time;
    k.value = value;
    k.flags = static_cast<std::uint8_t>((kind << 1) | (handlesOmitted ? KeyHandlesOmitted : 0));
    return k;
}

MotionChannel channel(std::initializer_list<MotionKey> keys) { return MotionChannel{std::vector<MotionKey>(keys)}; }

MotionTrack track(const std::string& name) {
    MotionTrack t;
    t.name = name;
    t.nameHash = nameHash(name);
    return t;
}

}  // namespace qx::test
