#pragma once
// Blending the poses of several playing motions into one bone pose. A Pose used as an
// accumulator holds the running weighted mean of what was blended into it, and its weight.
// Overlays are blended first; once their weights reach 1 the accumulator is saturated and the
// cycles are not consulted; whatever weight is still missing at the end is made up with the
// identity pose.

#include "animation/Pose.h"

namespace qx {

// Adds p with weight w to the running mean in acc. A saturated accumulator only takes the
// weight still missing to 1 (nothing once it is exactly 1), whatever w is. The first pose into
// an empty accumulator (weight 0) is copied as it is.
// Inline, because every bone of every frame passes through here, mostly down the copying path.
void blendIntoMean(Pose& acc, const Pose& p, float w);
inline void blendIn(Pose& acc, const Pose& p, float w) {
    if (acc.saturated || acc.weight != 0.0f) return blendIntoMean(acc, p, w);
    acc.translation = p.translation;
    acc.scale = p.scale;
    acc.rotation = p.rotation;
    acc.weight = w;
}

// Marks acc saturated, with weight clamped to 1, once its weight has reached 1. Returns whether
// it is saturated.
inline bool saturate(Pose& acc) {
    if (acc.weight >= 1.0f) {
        acc.weight = 1.0f;
        acc.saturated = true;
    }
    return acc.saturated;
}

// Makes up the missing weight with the identity pose: a pose of weight w < 1 is moved the
// fraction 1 - w of the way towards identity; an empty one becomes the identity. Leaves acc
// saturated with weight 1.
void fillTowardsIdentity(Pose& acc);
inline void fill(Pose& acc) {
    acc.saturated = true;
    if (acc.weight < 1.0f) fillTowardsIdentity(acc);
}

}  // namespace qx
