// qxtool's motion commands, run as a user would run them.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include <nlohmann/json.hpp>

#include "skeletal/ComputeHandles.h"
#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/MotionBuilder.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using nlohmann::json;
using test::channel;
using test::key;

SkeletalMotion waveMotion() {
    SkeletalMotion motion;
    motion.duration = 1.0f;
    motion.attackLength = 0.1f;
    MotionTrack arm = test::track("arm");
    arm.channels[TranslationX] = channel({key(0.0f, 0.0f), key(1.0f, 2.0f)});
    arm.channels[RotationZ] = channel({key(0.0f, 0.0f), key(1.0f, 1.0f)});
    arm.channels[RotationW] = channel({key(0.0f, 1.0f), key(1.0f, 1.0f)});
    MotionTrack hand = test::track("hand");
    hand.channels[ScaleY] = channel({key(0.0f, 1.0f, HoldKind), key(0.5f, 3.0f)});
    motion.tracks = {arm, hand};
    return motion;
}

TEST(QxtoolDumpMotion, PrintsEveryMemberAsTheReaderSeesIt) {
    test::TempDir dir;
    const std::string path = dir.file("wave.qm2");
    ASSERT_TRUE(writeSkeletalMotion(path, waveMotion()));
    const auto result = test::runQxtool("dump " + path);
    ASSERT_EQ(result.status, 0) << result.err;
    const json doc = json::parse(result.out);
    EXPECT_EQ(doc["type"], "qm2");
    EXPECT_EQ(doc["animationType"], 0);
    EXPECT_EQ(doc["duration"].get<float>(), 1.0f);
    EXPECT_EQ(doc["attackLength"].get<float>(), 0.1f);
    EXPECT_EQ(doc["nameHash"], nameHash(path));
    ASSERT_EQ(doc["tracks"].size(), 2u);
    const json& arm = doc["tracks"][0];
    EXPECT_EQ(arm["name"], "arm");
    EXPECT_EQ(arm["nameHash"], nameHash("arm"));
    EXPECT_EQ(arm["basisY"], json::parse("[0.0, 1.0, 0.0]"));
    ASSERT_EQ(arm["channels"].size(), 10u);
    const json& k1 = arm["channels"][0][1];
    EXPECT_EQ(k1["time"].get<float>(), 1.0f);
    EXPECT_EQ(k1["value"].get<float>(), 2.0f);
    EXPECT_EQ(k1["flags"], 3);
    // Handles after recomputation: the last key points half way back to its neighbour.
    EXPECT_EQ(k1["inHandle"], json::parse("[-0.5, -1.0]"));
    EXPECT_EQ(k1["outHandle"], k1["inHandle"]);
    EXPECT_TRUE(arm["channels"][3].empty());
}

TEST(QxtoolDumpMotion, FloatsReadBackExactlyAndNonFiniteValuesAreStrings) {
    test::TempDir dir;
    SkeletalMotion motion;
    motion.duration = 0.1f;
    motion.attackLength = std::numeric_limits<float>::infinity();
    motion.decayLength = std::numeric_limits<float>::quiet_NaN();
    const std::string path = dir.file("odd.qm2");
    ASSERT_TRUE(writeSkeletalMotion(path, motion));
    const auto result = test::runQxtool("dump " + path);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\"duration\":0.1,"), std::string::npos) << result.out;
    const json doc = json::parse(result.out);
    EXPECT_EQ(doc["attackLength"], "inf");
    EXPECT_EQ(doc["decayLength"], "nan");
}

TEST(QxtoolDumpMotion, NamesMapEachByteToOneCodePoint) {
    test::TempDir dir;
    SkeletalMotion motion;
    motion.tracks.push_back(test::track("\xE9t\x01"));
    const std::string path = dir.file("bytes.qm2");
    ASSERT_TRUE(writeSkeletalMotion(path, motion));
    const auto result = test::runQxtool("dump " + path);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(json::parse(result.out)["tracks"][0]["name"], "\u00e9t\u0001");
}

TEST(QxtoolSample, EvaluatesTimesInOrderIncludingNegativeOnes) {
    test::TempDir dir;
    const std::string path = dir.file("wave.qm2");
    ASSERT_TRUE(writeSkeletalMotion(path, waveMotion()));
    const auto result = test::runQxtool("sample " + path + " 0.5 -0.5 0.25");
    ASSERT_EQ(result.status, 0) << result.err;
    const json doc = json::parse(result.out);
    ASSERT_EQ(doc["samples"].size(), 3u);
    const json& half = doc["samples"][0];
    EXPECT_EQ(half["time"].get<float>(), 0.5f);
    ASSERT_EQ(half["poses"].size(), 2u);
    const json& arm = half["poses"][0];
    EXPECT_EQ(arm["track"], "arm");
    EXPECT_FLOAT_EQ(arm["translation"][0].get<float>(), 1.0f);
    EXPECT_EQ(arm["scale"], json::parse("[1.0, 1.0, 1.0]"));
    // Rotation (0, 0, 0.5, 1) normalised.
    EXPECT_NEAR(arm["rotation"][2].get<float>(), 0.5f / std::sqrt(1.25f), 1e-6f);
    EXPECT_NEAR(arm["rotation"][3].get<float>(), 1.0f / std::sqrt(1.25f), 1e-6f);
    EXPECT_EQ(half["poses"][1]["scale"][1].get<float>(), 3.0f);
    EXPECT_EQ(doc["samples"][1]["time"].get<float>(), -0.5f);
    EXPECT_EQ(doc["samples"][1]["poses"][0]["translation"][0].get<float>(), 0.0f);
    EXPECT_EQ(doc["samples"][2]["poses"][1]["scale"][1].get<float>(), 1.0f);  // held
}

// Part of a motion whose channel holds three keys at one time: the pose at a time must not
// depend on which times the same sampler was asked before.
TEST(QxtoolSample, AnswerDoesNotDependOnTheTimesAskedBefore) {
    QX_REQUIRE_TESTDATA("regressions/sampler-history.qm2");
    const std::string path = (test::testDataDir() / "regressions/sampler-history.qm2").string();
    const std::string t = "0.6281818747520447";
    const auto alone = test::runQxtool("sample " + path + " " + t);
    ASSERT_EQ(alone.status, 0) << alone.err;
    for (const std::string before : {"0.3", "0.7 0.1", "0.12267798 0.5"}) {
        const auto after = test::runQxtool("sample " + path + " " + before + " " + t);
        ASSERT_EQ(after.status, 0) << after.err;
        EXPECT_EQ(json::parse(after.out)["samples"].back(), json::parse(alone.out)["samples"][0]) << "after " << before;
    }
}

TEST(QxtoolErrors, RejectedInputsExitOneWithTheFileAndReason) {
    test::TempDir dir;
    const std::string bad = dir.file("bad.qm2");
    test::writeBytes(bad, {'Q', 'X', 'M', '9'});
    auto result = test::runQxtool("dump " + bad);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "qxtool: " + bad + ": not a skeletal motion file (bad magic)\n");
    EXPECT_TRUE(result.out.empty());

    result = test::runQxtool("sample " + dir.file("none.qm2") + " 1");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("none.qm2: cannot open"), std::string::npos) << result.err;

    result = test::runQxtool("dump " + dir.file("x.txt"));
    EXPECT_EQ(result.status, 1);

    // A name that leads to an endless device is read up to a cap, not until memory runs out.
    const std::string zero = dir.file("zero.qm2");
    std::filesystem::create_symlink("/dev/zero", zero);
    result = test::runQxtool("info " + zero);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "qxtool: " + zero + ": more than 256 MiB from a pipe or device\n");
}

TEST(QxtoolErrors, UsageErrorsExitTwo) {
    EXPECT_EQ(test::runQxtool("").status, 2);
    EXPECT_EQ(test::runQxtool("frobnicate").status, 2);
    EXPECT_EQ(test::runQxtool("sample").status, 2);
    EXPECT_EQ(test::runQxtool("dump").status, 2);
}

// Times on the command line are read by the same rule as the numbers of scripts: no
// hexadecimal, no leading '+', nothing a float cannot hold.
TEST(QxtoolSample, TimesAreReadAsScriptNumbersAre) {
    test::TempDir dir;
    const std::string path = dir.file("wave.qm2");
    ASSERT_TRUE(writeSkeletalMotion(path, waveMotion()));
    for (const std::string time : {"notanumber", "0x1p-2", "+0.25", "1e999", "0.5s", " 1"}) {
        const auto result = test::runQxtool("sample " + path + " 0.25 '" + time + "'");
        EXPECT_EQ(result.status, 2) << time;
        EXPECT_NE(result.err.find(time), std::string::npos) << result.err;
    }
    EXPECT_EQ(test::runQxtool("sample " + path + " -0.5 1e-3 inf").status, 0);
}

TEST(QxtoolInfo, OneBlockPerFileAndFailureStatusForAnyBadOne) {
    test::TempDir dir;
    const std::string good = dir.file("wave.qm2");
    ASSERT_TRUE(writeSkeletalMotion(good, waveMotion()));
    auto result = test::runQxtool("info " + good);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("skeletal motion"), std::string::npos);
    EXPECT_NE(result.out.find("tracks: 2"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("keys: 8"), std::string::npos) << result.out;

    result = test::runQxtool("info " + good + " " + dir.file("missing.qm2"));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("tracks: 2"), std::string::npos);
}

}  // namespace
}  // namespace qx
