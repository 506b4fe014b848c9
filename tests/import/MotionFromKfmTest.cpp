#include "import/MotionFromKfm.h"

#include <gtest/gtest.h>

#include "import/KfmFile.h"
#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/AmExportBuilder.h"
#include "tests/support/MotionBuilder.h"

namespace qx {
namespace {

using test::KfmBytes;

MotionKey storedKey(float time, float value, TimeValue out, TimeValue in) {
    MotionKey k = test::key(time, value, CurveKind, false);
    k.outHandle = out;
    k.inHandle = in;
    return k;
}

TEST(MotionFromKfm, NoTracksKeepsDurationAndTakesTheArguments) {
    KfmMotion kfm;
    kfm.magic = KfmMagic;
    kfm.duration = 3.5f;
    const auto motion = motionFromKfm(kfm, 0.25f, 0.5f, OverlayAnimation);
    EXPECT_EQ(motion->duration, 3.5f);
    EXPECT_EQ(motion->attackLength, 0.25f);
    EXPECT_EQ(motion->decayLength, 0.5f);
    EXPECT_EQ(motion->animationType, OverlayAnimation);
    EXPECT_TRUE(motion->tracks.empty());
    EXPECT_EQ(motion->nameHash, 0);
}

TEST(MotionFromKfm, TracksKeysAndBasisCopied) {
    KfmMotion kfm;
    kfm.trackCount = 1;
    MotionTrack track;
    track.name = "elbow";
    track.nameHash = 12345;  // not trusted: the hash is taken from the name again
    track.basisX = {0, 0, 1};
    track.basisY = {0, 1, 0};
    track.basisZ = {-1, 0, 0};
    track.channels[TranslationX].keys = {test::key(0.0f, 1.0f, LinearKind), test::key(2.0f, 5.0f, HoldKind)};
    track.channels[RotationW].keys = {storedKey(0.0f, 1.0f, {-0.5f, 0.25f}, {})};
    kfm.tracks = {track};
    const auto motion = motionFromKfm(kfm, 0, 0, CycleAnimation);
    ASSERT_EQ(motion->tracks.size(), 1u);
    const MotionTrack& t = motion->tracks[0];
    EXPECT_EQ(t.name, "elbow");
    EXPECT_EQ(t.nameHash, nameHash("elbow"));
    EXPECT_EQ(t.basisX, Vector3(0, 0, 1));
    EXPECT_EQ(t.basisZ, Vector3(-1, 0, 0));
    const auto& keys = t.channels[TranslationX].keys;
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].flags, (LinearKind << 1) | KeyHandlesOmitted);
    EXPECT_EQ(keys[1].time, 2.0f);
    EXPECT_EQ(keys[1].value, 5.0f);
    // Recomputed: (k0 - k1) / 2 = (-1, -2) at both ends.
    EXPECT_EQ(keys[0].outHandle, (TimeValue{-1.0f, -2.0f}));
    EXPECT_EQ(keys[1].inHandle, (TimeValue{-1.0f, -2.0f}));
    // A single key with stored handles keeps its outHandle, mirrored into the inHandle.
    EXPECT_EQ(t.channels[RotationW].keys[0].outHandle, (TimeValue{-0.5f, 0.25f}));
    EXPECT_EQ(t.channels[RotationW].keys[0].inHandle, (TimeValue{-0.5f, 0.25f}));
}

TEST(MotionFromKfm, HandlesOfAKeyThatStoresNoneStartAtZero) {
    // A ".qm2" file does not store such a key's handles either, so the converted motion already
    // holds what reading the written file back gives.
    KfmMotion kfm;
    kfm.trackCount = 1;
    MotionTrack track;
    MotionKey k = test::key(0.0f, 1.0f, LinearKind, true);
    k.outHandle = {3, 4};
    k.inHandle = {5, 6};
    track.channels[ScaleZ].keys = {k};
    kfm.tracks = {track};
    const auto motion = motionFromKfm(kfm, 0, 0, CycleAnimation);
    EXPECT_EQ(motion->tracks[0].channels[ScaleZ].keys[0].outHandle, (TimeValue{0, 0}));
    EXPECT_EQ(motion->tracks[0].channels[ScaleZ].keys[0].inHandle, (TimeValue{0, 0}));
}

TEST(MotionFromKfm, WrittenAndReadBackUnchanged) {
    KfmBytes file;
    file.duration = 2.0f;
    KfmBytes::Track arm;
    arm.name = "arm";
    arm.direction1 = {0, 0, 1};
    arm.roll1 = {0, 1, 0};
    arm.direction2 = {1, 0, 0};
    arm.roll2 = {0, 1, 0};
    // Equal neighbour times at key 1 stop the pass: keys 2 and 3 keep the handles they carry.
    arm.channels[TranslationZ] = {storedKey(0, 0, {1, 1}, {1, 1}), storedKey(1, 2, {1, 1}, {1, 1}),
                                  storedKey(0, 4, {7, 8}, {9, 10}), test::key(3, 1, CurveKind, true)};
    arm.channels[RotationX] = {test::key(0, 0), test::key(0.5f, 0.5f, CurveKind, false), test::key(2, 0)};
    KfmBytes::Track leg;
    leg.name = "leg";
    leg.channels[ScaleY] = {test::key(0, 1, HoldKind)};
    file.tracks = {arm, leg};
    const auto bytes = file.bytes();
    const auto kfm = parseKfm(bytes.data(), bytes.size());
    ASSERT_NE(kfm, nullptr);
    const auto motion = motionFromKfm(*kfm, 0, 0, CycleAnimation);
    const auto written = encodeSkeletalMotion(*motion);
    const auto back = parseSkeletalMotion(written.data(), written.size());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->duration, 2.0f);
    EXPECT_EQ(back->tracks, motion->tracks);
    EXPECT_EQ(motion->tracks[0].channels[TranslationZ].keys[2].outHandle, (TimeValue{7, 8}));
    EXPECT_EQ(motion->tracks[0].channels[TranslationZ].keys[3].outHandle, (TimeValue{0, 0}));
}

}  // namespace
}  // namespace qx
