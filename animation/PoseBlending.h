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
void blendIn(Pose& acc, const Pose& p, float w);

// Marks acc saturated, with weight clamped to 1, once its weight has reached 1. Returns whether
// it is saturated.
bool saturate(Pose& acc);

// Makes up the missing weight with the identity pose: a pose of weight w < 1 is moved the
// fraction 1 - w of the way towards identity; an empty one becomes the identity. Leaves acc
// saturated with weight 1.
void fill(Pose& acc);

}  // namespace qx
