#include "import/KfmFile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "skeletal/NameHash.h"
#include "tests/support/AmExportBuilder.h"
#include "tests/support/MotionBuilder.h"

namespace qx {
namespace {

using test::KfmBytes;

std::unique_ptr<KfmMotion> parse(const KfmBytes& kfm, std::string* reason = nullptr) {
    const auto bytes = kfm.bytes();
    return parseKfm(bytes.data(), bytes.size(), reason);
}

MotionKey storedKey(float time, float value, TimeValue out, TimeValue in, int kind = CurveKind) {
    MotionKey k = test::key(time, value, kind, false);
    k.outHandle = out;
    k.inHandle = in;
    return k;
}

void expectRowsNear(const Vector3& actual, const Vector3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, expected.y, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
}

TEST(KfmHeader, MagicChecked) {
    KfmBytes kfm;
    kfm.magic = 0x12345678;
    std::string reason;
    EXPECT_EQ(parse(kfm, &reason), nullptr);
    EXPECT_EQ(reason, "not a KFM motion file (bad magic)");

    const std::uint8_t magicOnly[] = {0x79, 0x56, 0x34, 0x12};
    EXPECT_EQ(parseKfm(magicOnly, sizeof magicOnly, &reason), nullptr);
    EXPECT_NE(reason.find("truncated header"), std::string::npos);
}

TEST(KfmHeader, NoTracks) {
    KfmBytes kfm;
    kfm.duration = 2.5f;
    const auto bytes = kfm.bytes();
    ASSERT_EQ(bytes.size(), 10u);
    const auto motion = parseKfm(bytes.data(), bytes.size());
    ASSERT_NE(motion, nullptr);
    EXPECT_EQ(motion->magic, 0x12345679);
    EXPECT_EQ(motion->duration, 2.5f);
    EXPECT_EQ(motion->trackCount, 0);
    EXPECT_TRUE(motion->tracks.empty());
}

TEST(KfmTracks, NamesHashedChannelsInOrder) {
    KfmBytes kfm;
    KfmBytes::Track arm;
    arm.name = "arm";
    arm.channels[TranslationY] = {test::key(0.0f, 4.0f)};
    KfmBytes::Track empty;  // empty name, every channel empty
    KfmBytes::Track accent;
    accent.name = "\xE9paule";
    accent.channels[RotationW] = {test::key(0.0f, 1.0f)};
    kfm.tracks = {arm, empty, accent};
    const auto motion = parse(kfm);
    ASSERT_NE(motion, nullptr);
    ASSERT_EQ(motion->trackCount, 3);
    ASSERT_EQ(motion->tracks.size(), 3u);
    EXPECT_EQ(motion->tracks[0].name, "arm");
    EXPECT_EQ(motion->tracks[0].nameHash, nameHash("arm"));
    for (int c = 0; c < ChannelCount; ++c)
        EXPECT_EQ(motion->tracks[0].channels[c].keys.size(), c == TranslationY ? 1u : 0u) << c;
    EXPECT_EQ(motion->tracks[0].channels[TranslationY].keys[0].value, 4.0f);
    EXPECT_EQ(motion->tracks[1].name, "");
    EXPECT_EQ(motion->tracks[1].nameHash, 0);
    for (const auto& channel : motion->tracks[1].channels) EXPECT_TRUE(channel.keys.empty());
    EXPECT_EQ(motion->tracks[2].nameHash, nameHash("\xE9paule"));
    EXPECT_EQ(motion->tracks[2].channels[RotationW].keys[0].value, 1.0f);
}

TEST(KfmKeys, NineOrTwentyFiveBytes) {
    KfmBytes kfm;
    KfmBytes::Track track;
    track.name = "t";
    // One key of each size in channel 0; channel 1 after them is read right only if each key
    // took its own length.
    track.channels[0] = {test::key(0.0f, 1.0f, HoldKind, true), storedKey(1.0f, 3.0f, {-0.5f, 0.5f}, {-1, -2})};
    track.channels[1] = {storedKey(0.5f, 7.0f, {-0.25f, 1.5f}, {9, 9}, LinearKind)};
    kfm.tracks = {track};
    const auto bytes = kfm.bytes();
    // Header 10, name 2, directions 48, ten counts 20, then keys of 9 + 25 + 25 bytes.
    ASSERT_EQ(bytes.size(), 10u + 2 + 48 + 20 + 9 + 25 + 25);
    const auto motion = parseKfm(bytes.data(), bytes.size());
    ASSERT_NE(motion, nullptr);
    const auto& first = motion->tracks[0].channels[0].keys;
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].flags, (HoldKind << 1) | KeyHandlesOmitted);
    EXPECT_EQ(first[1].time, 1.0f);
    EXPECT_EQ(first[1].value, 3.0f);
    EXPECT_EQ(first[1].flags, CurveKind << 1);
    // Two keys: the handles are recomputed from them, (k0 - k1) / 2 at both ends.
    EXPECT_EQ(first[0].outHandle, (TimeValue{-0.5f, -1.0f}));
    EXPECT_EQ(first[0].inHandle, (TimeValue{-0.5f, -1.0f}));
    EXPECT_EQ(first[1].inHandle, (TimeValue{-0.5f, -1.0f}));
    EXPECT_EQ(first[1].outHandle, (TimeValue{-0.5f, -1.0f}));
    // One key: its stored outHandle stays and the inHandle becomes the same.
    const auto& second = motion->tracks[0].channels[1].keys;
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].time, 0.5f);
    EXPECT_EQ(second[0].value, 7.0f);
    EXPECT_EQ(second[0].outHandle, (TimeValue{-0.25f, 1.5f}));
    EXPECT_EQ(second[0].inHandle, (TimeValue{-0.25f, 1.5f}));
}

TEST(KfmKeys, KeyWithoutHandlesGetsZeroHandles) {
    KfmBytes kfm;
    KfmBytes::Track track;
    track.channels[ScaleX] = {test::key(0.0f, 1.0f, LinearKind, true)};
    kfm.tracks = {track};
    const auto motion = parse(kfm);
    ASSERT_NE(motion, nullptr);
    const MotionKey& k = motion->tracks[0].channels[ScaleX].keys[0];
    EXPECT_EQ(k.outHandle, (TimeValue{0, 0}));
    EXPECT_EQ(k.inHandle, (TimeValue{0, 0}));
}

TEST(KfmTruncation, EveryShortenedFileIsRefused) {
    KfmBytes kfm;
    KfmBytes::Track track;
    track.name = "arm";
    track.channels[0] = {test::key(0.0f, 1.0f), storedKey(1.0f, 3.0f, {}, {})};
    track.channels[9] = {test::key(0.0f, 1.0f)};
    kfm.tracks = {track, track};
    const auto bytes = kfm.bytes();
    ASSERT_NE(parseKfm(bytes.data(), bytes.size()), nullptr);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string reason;
        EXPECT_EQ(parseKfm(bytes.data(), size, &reason), nullptr) << size;
        EXPECT_FALSE(reason.empty()) << size;
    }
    std::string reason;
    EXPECT_EQ(parseKfm(bytes.data(), bytes.size() - 1, &reason), nullptr);
    EXPECT_EQ(reason, "track 1: truncated in channel 9 (1 keys announced)");
    // Cut inside the handles of a 25-byte key whose first 9 bytes are there.
    kfm.tracks = {track};
    const auto one = kfm.bytes();
    const std::size_t secondKeyHandlesAt = 10 + 4 + 48 + 2 + 9 + 9;
    EXPECT_EQ(parseKfm(one.data(), secondKeyHandlesAt + 8, &reason), nullptr);
    EXPECT_EQ(reason, "track 0: truncated in channel 0 key 1");
}

TEST(KfmTruncation, CountsBeyondTheFileRefused) {
    KfmBytes kfm;
    kfm.trackCount = 65535;
    std::string reason;
    EXPECT_EQ(parse(kfm, &reason), nullptr);
    EXPECT_EQ(reason, "track count 65535 is more than the file can hold");

    KfmBytes keys;
    keys.tracks.resize(1);
    auto bytes = keys.bytes();
    // Channel 0's key count follows the header, the empty name and the four directions.
    const std::uint16_t many = 65535;
    std::memcpy(bytes.data() + 10 + 1 + 48, &many, 2);
    EXPECT_EQ(parseKfm(bytes.data(), bytes.size(), &reason), nullptr);
    EXPECT_EQ(reason, "track 0: truncated in channel 0 (65535 keys announced)");
}

TEST(KfmBasis, ZeroSecondDirectionKeepsIdentity) {
    KfmBytes kfm;
    KfmBytes::Track track;
    track.direction1 = {1, 0, 0};  // would turn the basis, were the second direction not zero
    track.roll1 = {0, 1, 0};
    track.direction2 = {0.0009f, -0.0009f, 0.0009f};  // each square 8.1e-7, below 1e-6
    track.roll2 = {0, 0, 1};
    kfm.tracks = {track};
    const auto motion = parse(kfm);
    ASSERT_NE(motion, nullptr);
    EXPECT_EQ(motion->tracks[0].basisX, UnitX);
    EXPECT_EQ(motion->tracks[0].basisY, UnitY);
    EXPECT_EQ(motion->tracks[0].basisZ, UnitZ);

    // Just above the tolerance the direction counts, unnormalised as it is: with an identity
    // first frame the basis turns +X onto +Z.
    const Matrix3 justAbove = kfmBasis({0, 0, 1}, {0, 1, 0}, {0.0011f, 0, 0}, {0, 1, 0});
    expectRowsNear(justAbove.row(0), {0, 0, 1});
}

TEST(KfmBasis, FromTheTwoFrames) {
    // Frame 1 is the identity (+Z with its roll on +Y). Frame 2 turns +X onto +Z: a quarter
    // turn about -Y, which takes X to Z, keeps Y and takes Z to -X; its roll point (on +Y) needs
    // no further turn. The basis rows are then the images of the three axes.
    KfmBytes kfm;
    KfmBytes::Track track;
    track.direction1 = {0, 0, 1};
    track.roll1 = {0, 1, 0};
    track.direction2 = {1, 0, 0};
    track.roll2 = {0, 1, 0};
    kfm.tracks = {track};
    const auto motion = parse(kfm);
    ASSERT_NE(motion, nullptr);
    expectRowsNear(motion->tracks[0].basisX, {0, 0, 1});
    expectRowsNear(motion->tracks[0].basisY, {0, 1, 0});
    expectRowsNear(motion->tracks[0].basisZ, {-1, 0, 0});

    // The same frame twice cancels: transpose(F) * F is the identity.
    const Matrix3 same = kfmBasis({0.6f, 0, 0.8f}, {0, 1, 0}, {0.6f, 0, 0.8f}, {0, 1, 0});
    expectRowsNear(same.row(0), UnitX);
    expectRowsNear(same.row(1), UnitY);
    expectRowsNear(same.row(2), UnitZ);

    // The second frame's roll turns about Z: a roll point on +X needs a quarter turn that
    // takes it onto +Y, so X goes to Y and Y to -X.
    const Matrix3 rolled = kfmBasis({0, 0, 1}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
    expectRowsNear(rolled.row(0), {0, 1, 0});
    expectRowsNear(rolled.row(1), {-1, 0, 0});
    expectRowsNear(rolled.row(2), {0, 0, 1});
}

TEST(KfmBasis, DirectionUsedUnnormalised) {
    // (1, 0, 1) has a dot product of exactly 1 with +Z, so the first turn's angle is acos(1) = 0
    // and the frame only rolls; the normalised direction would have turned it by 45 degrees.
    const Matrix3 frame = kfmFrame({1, 0, 1}, {0, 1, 0});
    EXPECT_EQ(frame, Matrix3::identity());
    const Matrix3 normalised = kfmFrame(normalize(Vector3{1, 0, 1}), {0, 1, 0});
    EXPECT_NEAR(normalised.m[0][2], 0.70710678f, 1e-6f);
}

}  // namespace
}  // namespace qx
