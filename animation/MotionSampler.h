#pragma once
// Samplers turn a motion into bone poses: one TrackSampler per track, each with ten channel
// cursors. Cursors live as long as the sampler and are never reset; they only speed up the
// search (and cache the last time's value).

#include <array>
#include <vector>

#include "animation/EvaluateChannel.h"
#include "animation/Pose.h"
#include "skeletal/SkeletalMotion.h"

namespace qx {

struct TrackSampler {
    const MotionTrack* track = nullptr;  // not owned
    std::array<ChannelCursor, ChannelCount> cursors{};
    std::array<ChannelSegment, ChannelCount> pieces{};  // the piece each cursor last found
};

class MotionSampler {
public:
    // The motion must outlive the sampler.
    explicit MotionSampler(const SkeletalMotion& motion);

    const SkeletalMotion* motion = nullptr;
    std::vector<TrackSampler> tracks;  // in the motion's track order
};

// The pose of one track at time t: translation, scale, and the rotation normalised to unit
// length; weight 0 and not saturated. An empty channel gives its slot's identity value (0 for
// translation and rotation x, y, z; 1 for scale and rotation w).
Pose sampleTrack(TrackSampler& sampler, float t);

}  // namespace qx
