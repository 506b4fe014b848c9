// .qm2 motions: parse, sample every track forward and backward, write and read back.

#include <cstddef>
#include <cstdint>

#include "animation/MotionSampler.h"
#include "skeletal/SkeletalMotionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto motion = qx::parseSkeletalMotion(data, size);
    if (!motion) return 0;
    qx::MotionSampler sampler(*motion);
    for (float t : {0.0f, 0.1f, 0.5f, 1.0f, 0.2f, -1.0f, 1e9f}) {
        for (auto& track : sampler.tracks) (void)qx::sampleTrack(track, t);
    }
    const auto bytes = qx::encodeSkeletalMotion(*motion);
    auto again = qx::parseSkeletalMotion(bytes.data(), bytes.size());
    if (!again || again->tracks.size() != motion->tracks.size()) __builtin_trap();
    return 0;
}
