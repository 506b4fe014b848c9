#include <gtest/gtest.h>

#include <cmath>

#include "animation/MotionSampler.h"
#include "tests/support/MotionBuilder.h"

namespace qx {
namespace {

using test::channel;
using test::key;

TEST(MotionSampler, OneTrackSamplerPerTrackInOrder) {
    SkeletalMotion motion;
    motion.tracks = {test::track("a"), test::track("b"), test::track("c")};
    const MotionSampler sampler(motion);
    ASSERT_EQ(sampler.tracks.size(), 3u);
    EXPECT_EQ(sampler.motion, &motion);
    EXPECT_EQ(sampler.tracks[2].track, &motion.tracks[2]);
    EXPECT_EQ(sampler.tracks[0].cursors[9].time, -1.0f);
}

TEST(SampleTrack, EmptyChannelsGiveTheIdentityPose) {
    MotionTrack track = test::track("root");
    TrackSampler sampler{&track, {}};
    const Pose pose = sampleTrack(sampler, 0.5f);
    EXPECT_EQ(pose.translation, (Vector3{0, 0, 0}));
    EXPECT_EQ(pose.scale, (Vector3{1, 1, 1}));
    EXPECT_EQ(pose.rotation, IdentityQuaternion);
    EXPECT_EQ(pose.weight, 0.0f);
    EXPECT_FALSE(pose.saturated);
}

TEST(SampleTrack, AssemblesChannelsAndNormalisesTheRotation) {
    MotionTrack track = test::track("arm");
    track.channels[TranslationY] = channel({key(0.0f, 0.0f), key(1.0f, 4.0f)});
    track.channels[ScaleZ] = channel({key(0.0f, 2.0f)});
    track.channels[RotationZ] = channel({key(0.0f, 3.0f)});
    track.channels[RotationW] = channel({key(0.0f, 4.0f)});
    TrackSampler sampler{&track, {}};
    const Pose pose = sampleTrack(sampler, 0.25f);
    EXPECT_FLOAT_EQ(pose.translation.y, 1.0f);
    EXPECT_EQ(pose.scale, (Vector3{1.0f, 1.0f, 2.0f}));
    EXPECT_FLOAT_EQ(pose.rotation.z, 0.6f);
    EXPECT_FLOAT_EQ(pose.rotation.w, 0.8f);
    EXPECT_EQ(sampler.cursors[TranslationY].time, 0.25f);
}

TEST(SampleTrack, ZeroRotationStaysFinite) {
    MotionTrack track = test::track("arm");
    for (int c = RotationX; c <= RotationW; ++c) track.channels[c] = channel({key(0.0f, 0.0f)});
    TrackSampler sampler{&track, {}};
    const Pose pose = sampleTrack(sampler, 0.0f);
    EXPECT_TRUE(std::isfinite(pose.rotation.w));
}

}  // namespace
}  // namespace qx
