// A:M .kfm motions: parse, convert to a skeletal motion, write it as .qm2 and read it back.

#include <cstddef>
#include <cstdint>

#include "import/KfmFile.h"
#include "import/MotionFromKfm.h"
#include "skeletal/SkeletalMotionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto kfm = qx::parseKfm(data, size);
    if (!kfm) return 0;
    const auto motion = qx::motionFromKfm(*kfm, 0.0f, 0.0f, qx::CycleAnimation);
    const auto bytes = qx::encodeSkeletalMotion(*motion);
    auto again = qx::parseSkeletalMotion(bytes.data(), bytes.size());
    if (!again || again->tracks.size() != motion->tracks.size()) __builtin_trap();
    return 0;
}
