#pragma once
// When a motion's keys fall: the one place the exporter looks at stored keys, and only at their
// times. Every value it writes comes from the sampler.

#include <vector>

#include "skeletal/SkeletalMotion.h"

namespace qx {

// The time of every key of every channel of every track, ascending, each time once; times that
// are not finite are left out.
std::vector<float> motionKeyTimes(const SkeletalMotion& motion);

}  // namespace qx
