#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "skeletal/ComputeHandles.h"
#include "skeletal/NameHash.h"
#include "skeletal/SkeletalModel.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/MotionBuilder.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

using test::channel;
using test::key;

SkeletalMotion sampleMotion() {
    SkeletalMotion motion;
    motion.animationType = OverlayAnimation;
    motion.attackLength = 0.25f;
    motion.decayLength = 0.5f;
    motion.duration = 2.0f;
    MotionTrack arm = test::track("arm");
    arm.basisX = {0.0f, 1.0f, 0.0f};
    arm.channels[TranslationX] = channel(
        {key(0.0f, 1.0f, LinearKind, false), key(1.0f, 2.0f, CurveKind, false), key(2.0f, 0.0f, HoldKind, false)});
    arm.channels[RotationW] = channel({key(0.0f, 1.0f)});
    motion.tracks.push_back(arm);
    motion.tracks.push_back(test::track("\xE9paule"));
    return motion;
}

void appendI32(std::vector<std::uint8_t>& bytes, std::int32_t v) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&v);
    bytes.insert(bytes.end(), p, p + 4);
}

TEST(SkeletalMotionFile, RoundTripKeepsEverythingAndRecomputesHandles) {
    test::TempDir dir;
    SkeletalMotion motion = sampleMotion();
    motion.tracks[0].channels[TranslationX].keys[1].outHandle = {9.0f, 9.0f};  // replaced on read
    const std::string path = dir.file("walk.qm2");
    ASSERT_TRUE(writeSkeletalMotion(path, motion));

    std::string reason;
    const auto read = readSkeletalMotion(path, &reason);
    ASSERT_TRUE(read) << reason;
    EXPECT_EQ(read->nameHash, nameHash(path));
    EXPECT_EQ(read->animationType, OverlayAnimation);
    EXPECT_EQ(read->attackLength, 0.25f);
    EXPECT_EQ(read->decayLength, 0.5f);
    EXPECT_EQ(read->duration, 2.0f);
    ASSERT_EQ(read->tracks.size(), 2u);
    EXPECT_EQ(read->tracks[1].name, "\xE9paule");
    EXPECT_EQ(read->tracks[1].nameHash, nameHash("\xE9paule"));

    MotionTrack expected = motion.tracks[0];
    for (auto& c : expected.channels) computeHandles(c);
    EXPECT_EQ(read->tracks[0], expected);
    EXPECT_EQ(read->tracks[0].channels[TranslationX].keys[1].outHandle, (TimeValue{-1.0f, 0.5f}));
}

// A big file is read into memory of its own, and each track's bytes are given back once read:
// every track must still come out exactly as written.
TEST(SkeletalMotionFile, BigFileReadFromDiskGivesEveryTrack) {
    SkeletalMotion motion;
    motion.tracks.resize(50);  // 7.5 MB
    for (std::size_t t = 0; t < motion.tracks.size(); ++t) {
        motion.tracks[t].name = "bone" + std::to_string(t);
        motion.tracks[t].nameHash = nameHash(motion.tracks[t].name);
        for (auto& c : motion.tracks[t].channels) {
            for (int k = 0; k < 600; ++k) c.keys.push_back(key(float(k), float(k % 11 + t), CurveKind, false));
            computeHandles(c);
        }
    }
    test::TempDir dir;
    const std::string path = dir.file("big.qm2");
    ASSERT_TRUE(writeSkeletalMotion(path, motion));
    std::string reason;
    const auto read = readSkeletalMotion(path, &reason);
    ASSERT_TRUE(read) << reason;
    EXPECT_TRUE(read->tracks == motion.tracks);
}

TEST(SkeletalMotionFile, KeysTakeNineBytesWithoutHandlesAndTwentyFiveWith) {
    SkeletalMotion motion;
    motion.tracks.push_back(test::track("b"));
    const std::size_t empty = encodeSkeletalMotion(motion).size();
    EXPECT_EQ(empty, 24u + 2u + 36u + 40u);
    motion.tracks[0].channels[0] = channel({key(0.0f, 0.0f, LinearKind, true)});
    EXPECT_EQ(encodeSkeletalMotion(motion).size(), empty + 9);
    motion.tracks[0].channels[0] = channel({key(0.0f, 0.0f, LinearKind, false)});
    EXPECT_EQ(encodeSkeletalMotion(motion).size(), empty + 25);
}

TEST(SkeletalMotionFile, EmptyMotionAndEmptyChannelsStayEmpty) {
    SkeletalMotion motion;
    auto bytes = encodeSkeletalMotion(motion);
    auto read = parseSkeletalMotion(bytes.data(), bytes.size());
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->tracks.empty());

    motion.tracks.push_back(test::track("t"));
    bytes = encodeSkeletalMotion(motion);
    bytes.push_back(0xAB);  // anything after the last channel block is ignored
    read = parseSkeletalMotion(bytes.data(), bytes.size());
    ASSERT_TRUE(read);
    for (const auto& c : read->tracks[0].channels) EXPECT_TRUE(c.keys.empty());
    EXPECT_EQ(read->tracks[0].basisZ, UnitZ);
}

TEST(SkeletalMotionFile, BadMagicAndEveryTruncationAreRejectedWithAReason) {
    const auto bytes = encodeSkeletalMotion(sampleMotion());
    std::string reason;
    auto wrong = bytes;
    wrong[3] = '1';
    EXPECT_FALSE(parseSkeletalMotion(wrong.data(), wrong.size(), &reason));
    EXPECT_EQ(reason, "not a skeletal motion file (bad magic)");

    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        reason.clear();
        EXPECT_FALSE(parseSkeletalMotion(bytes.data(), cut, &reason)) << "cut at " << cut;
        EXPECT_FALSE(reason.empty());
    }
    reason.clear();
    EXPECT_FALSE(parseSkeletalMotion(bytes.data(), bytes.size() - 1, &reason));
    EXPECT_NE(reason.find("track 1"), std::string::npos) << reason;
}

TEST(SkeletalMotionFile, ImpossibleCountsAreRejectedBeforeAllocating) {
    std::vector<std::uint8_t> header = {'Q', 'X', 'M', '2'};
    for (int i = 0; i < 4; ++i) appendI32(header, 0);
    std::string reason;

    auto negative = header;
    appendI32(negative, -1);
    EXPECT_FALSE(parseSkeletalMotion(negative.data(), negative.size(), &reason));

    auto huge = header;
    appendI32(huge, 0x7FFFFFFF);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(parseSkeletalMotion(huge.data(), huge.size(), &reason));
    EXPECT_NE(reason.find("more than the file can hold"), std::string::npos) << reason;

    // One track whose first channel claims two billion keys.
    auto keys = header;
    appendI32(keys, 1);
    keys.push_back(0);
    keys.insert(keys.end(), 36, 0);
    appendI32(keys, 2000000000);
    keys.insert(keys.end(), 36, 0);  // the other nine channels' counts
    EXPECT_FALSE(parseSkeletalMotion(keys.data(), keys.size(), &reason));
    EXPECT_NE(reason.find("key count"), std::string::npos) << reason;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(SkeletalMotionFile, UnreadablePathsAreReported) {
    test::TempDir dir;
    std::string reason;
    EXPECT_FALSE(readSkeletalMotion(dir.file("missing.qm2"), &reason));
    EXPECT_NE(reason.find("No such file"), std::string::npos) << reason;
    EXPECT_FALSE(readSkeletalMotion(dir.path().string(), &reason));
    EXPECT_EQ(reason, "is a directory");
}

TEST(SkeletalModel, FindMotionReturnsTheFirstOfEqualIds) {
    test::TempDir dir;
    const std::string path = dir.file("same.qm2");
    ASSERT_TRUE(writeSkeletalMotion(path, sampleMotion()));
    SkeletalModel model;
    EXPECT_EQ(model.kind(), 1);
    auto first = readSkeletalMotion(path);
    auto second = readSkeletalMotion(path);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->nameHash, second->nameHash);
    SkeletalMotion* firstPointer = first.get();
    model.addMotion(std::move(first));
    model.addMotion(std::move(second));
    EXPECT_EQ(model.findMotion(nameHash(path)), firstPointer);
    EXPECT_EQ(model.findMotion(nameHash(path) + 1), nullptr);
}

}  // namespace
}  // namespace qx
