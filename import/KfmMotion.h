#pragma once
// A motion ("action") as the A:M animation package exports it in a ".kfm" file: one track per
// animated bone with the ten channels of a skeletal motion track. Held in memory only between
// reading and conversion to a SkeletalMotion.

#include <cstdint>
#include <vector>

#include "skeletal/MotionTrack.h"

namespace qx {

inline constexpr std::int32_t KfmMagic = 0x12345679;

class KfmMotion {
public:
    std::int32_t magic = 0;
    float duration = 0.0f;  // seconds
    std::uint16_t trackCount = 0;
    // In file order. Each track's basis comes from the two direction and roll frames the file
    // stores, and every channel's handles have been through computeHandles.
    std::vector<MotionTrack> tracks;
};

}  // namespace qx
