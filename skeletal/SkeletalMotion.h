#pragma once
// A keyframed animation of a skeletal mesh's bones, one track per bone, matched by name.

#include <cstdint>
#include <vector>

#include "skeletal/MotionTrack.h"

namespace qx {

enum AnimationType : std::int32_t { CycleAnimation = 0, OverlayAnimation = 1 };

class SkeletalMotion {
public:
    float duration = 0.0f;                        // seconds
    float attackLength = 0.0f;                    // default fade-in, used when a start request passes 0
    float decayLength = 0.0f;                     // default fade-out, likewise
    std::int32_t animationType = CycleAnimation;  // any other value than 0 or 1 never plays
    std::vector<MotionTrack> tracks;
    std::int32_t nameHash = 0;  // of the path it was read from: the motion's id
};

}  // namespace qx
