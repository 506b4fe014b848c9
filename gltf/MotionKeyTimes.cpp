#include "gltf/MotionKeyTimes.h"

#include <algorithm>
#include <cmath>

namespace qx {

std::vector<float> motionKeyTimes(const SkeletalMotion& motion) {
    std::vector<float> times;
    for (const MotionTrack& track : motion.tracks)
        for (const MotionChannel& channel : track.channels)
            for (const MotionKey& key : channel.keys)
                if (std::isfinite(key.time)) times.push_back(key.time);
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return times;
}

}  // namespace qx
