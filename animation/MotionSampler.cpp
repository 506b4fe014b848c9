#include "animation/MotionSampler.h"

#include "math/Trig.h"

namespace qx {

MotionSampler::MotionSampler(const SkeletalMotion& source) : motion(&source) {
    tracks.resize(source.tracks.size());
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        tracks[i].track = &source.tracks[i];
        for (int k = 0; k < ChannelCount; ++k) tracks[i].pieces[k] = pieceFor(source.tracks[i].channels[k]);
    }
}

namespace {
constexpr float IdentityValue[ChannelCount] = {0, 0, 0, 1, 1, 1, 0, 0, 0, 1};
}

Pose sampleTrack(TrackSampler& sampler, float t) {
    float v[ChannelCount];
    for (int k = 0; k < ChannelCount; ++k) {
        v[k] = playChannel(sampler.cursors[k], sampler.pieces[k], sampler.track->channels[k], t, IdentityValue[k]);
    }
    Pose pose;
    pose.translation = {v[0], v[1], v[2]};
    pose.scale = {v[3], v[4], v[5]};
    const float lengthSquared = v[6] * v[6] + v[7] * v[7] + v[8] * v[8] + v[9] * v[9];
    // A zero quaternion has no direction; it is left as it is rather than turned into NaNs.
    const float inverse = lengthSquared > 0.0f ? 1.0f / fsqrt(lengthSquared) : 1.0f;
    pose.rotation = {v[6] * inverse, v[7] * inverse, v[8] * inverse, v[9] * inverse};
    return pose;
}

}  // namespace qx
