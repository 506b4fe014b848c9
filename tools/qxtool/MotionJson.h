#pragma once
// The JSON form of motion tracks, shared by the .qm2 and .kfm dumps.

#include "skeletal/SkeletalMotion.h"
#include "tools/qxtool/Json.h"

namespace qx::tool {

// {name, nameHash, basisX, basisY, basisZ, channels[10][{time, value, flags, outHandle, inHandle}]}
Json trackJson(const MotionTrack& track);
Json tracksJson(const std::vector<MotionTrack>& tracks);

}  // namespace qx::tool
