// qxtool animate: scripted playback on a mesh and motions written by the test, run as a user
// runs it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include <nlohmann/json.hpp>

#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/Qxtool.h"
#include "tests/support/SkeletonBuilder.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

using json = nlohmann::ordered_json;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A mesh of two upright bones, "root" at the origin and its child "tip" at (0, 2, 0), one
// position each; a cycle turning the root a quarter about Z (2 s long) and an overlay lifting
// the tip by 1 (4 s long).
struct Files {
    Files() {
        SkeletalMesh mesh;
        mesh.bones.push_back(test::uprightBone("root", ZeroVector));
        mesh.bones.push_back(test::uprightBone("tip", {0.0f, 2.0f, 0.0f}, 0));
        test::linkBones(mesh.bones);
        test::addVertex(mesh, 0, {1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
        test::addVertex(mesh, 1, {0.0f, 3.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
        EXPECT_TRUE(writeSkeletalMesh(mesh_, mesh));
        auto turn =
            test::makeMotion(0, CycleAnimation, 2.0f, {test::poseTrack("root", ZeroVector, test::aboutZ(90.0f))});
        EXPECT_TRUE(writeSkeletalMotion(turn_, *turn));
        auto lift = test::makeMotion(0, OverlayAnimation, 4.0f, {test::poseTrack("tip", {0.0f, 0.0f, 1.0f})});
        EXPECT_TRUE(writeSkeletalMotion(lift_, *lift));
    }

    test::CommandResult animate(const std::string& script, const std::string& motions = "") const {
        return test::runQxtool(
            "animate '" + mesh_ + "' " + (motions.empty() ? "'" + turn_ + "' '" + lift_ + "'" : motions), script);
    }

    // Every line of standard output as JSON; the run must succeed.
    std::vector<json> dumps(const std::string& script) const {
        const auto run = animate(script);
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<json> out;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) out.push_back(json::parse(line));
        return out;
    }

    test::TempDir dir;
    std::string mesh_ = dir.file("two bones.qm1");
    std::string turn_ = dir.file("turn.qm2");
    std::string lift_ = dir.file("lift.qm2");
};

std::vector<float> floats(const json& array) { return array.get<std::vector<float>>(); }

void expectNear(const std::vector<float>& expected, const json& actual) {
    const auto values = floats(actual);
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t i = 0; i < values.size(); ++i) EXPECT_NEAR(expected[i], values[i], 1e-5f) << "at " << i;
}

const std::vector<float> Identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(QxtoolAnimate, DumpBeforeAnyUpdateShowsTheRestMesh) {
    Files files;
    const auto out = files.dumps("dump\n");
    ASSERT_EQ(out.size(), 1u);
    const json& d = out[0];
    std::vector<std::string> keys;
    for (const auto& item : d.items()) keys.push_back(item.key());
    EXPECT_THAT(keys, ElementsAre("cycleLength", "cyclePhase", "cycles", "overlays", "locals", "positions", "normals"));
    EXPECT_EQ(d["cycleLength"].get<float>(), 0.0f);
    EXPECT_EQ(d["cyclePhase"].get<float>(), 0.0f);
    EXPECT_TRUE(d["cycles"].empty());
    EXPECT_TRUE(d["overlays"].empty());
    ASSERT_EQ(d["locals"].size(), 2u);
    EXPECT_EQ(floats(d["locals"][1]), Identity);
    EXPECT_EQ(d["positions"], json::parse("[[1.0, 0.0, 0.0], [0.0, 3.0, 0.0]]"));
    EXPECT_EQ(d["normals"], json::parse("[[1.0, 0.0, 0.0], [0.0, 1.0, 0.0]]"));
}

TEST(QxtoolAnimate, PlaysACycleUnderAnOverlay) {
    Files files;
    const auto out = files.dumps(
        "start 0 0 1 0 -1 1 1\n"
        "start 1 0.5 0.5 0 -1 1 1\n"
        "update 0.25\n"
        "dump\n");
    ASSERT_EQ(out.size(), 1u);
    const json& d = out[0];
    EXPECT_EQ(d["cycleLength"].get<float>(), 2.0f);
    EXPECT_EQ(d["cyclePhase"].get<float>(), 0.25f);
    EXPECT_EQ(d["cycles"], json::parse(R"([{"motion": 0, "state": 2, "time": 0.25, "envelope": 1.0}])"));
    EXPECT_EQ(d["overlays"], json::parse(R"([{"motion": 1, "state": 1, "time": 0.25, "envelope": 0.5}])"));
    // The root's quarter turn carries the tip along; the half-faded overlay lifts the tip by
    // half of 1 (its pose is pulled halfway toward identity).
    expectNear({0, 1, 0}, d["positions"][0]);
    expectNear({-3, 0, 0.5f}, d["positions"][1]);
    expectNear({-1, 0, 0}, d["normals"][1]);
    expectNear({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, d["locals"][0]);
}

TEST(QxtoolAnimate, StopsByCommandAndByCountDown) {
    Files files;
    const auto out = files.dumps(
        "# a cycle that stops itself after half a second, an overlay stopped by hand\n"
        "start 0 0 1 0 0.5 1 1\n"
        "\n"
        "start 1 0 0.5 0 -1 1 1\n"
        "update 0.25\n"
        "update 0.25\n"
        "dump\n"
        "   # indented comment\n"
        "update 0.25\n"
        "stop 1\n"
        "dump\n");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0]["cycles"][0]["state"], 2);  // the count-down is at 0, not below
    EXPECT_EQ(out[0]["overlays"][0]["state"], 2);
    EXPECT_EQ(out[1]["cycles"][0]["state"], 3);
    EXPECT_EQ(out[1]["cycles"][0]["time"].get<float>(), 1.0f);
    EXPECT_EQ(out[1]["overlays"][0]["state"], 3);
    EXPECT_EQ(out[1]["overlays"][0]["time"].get<float>(), 3.5f);
}

TEST(QxtoolAnimate, FinishedMotionsLeaveTheDump) {
    Files files;
    const auto out = files.dumps(
        "start 1 0 0 0 -1 1 1\n"
        "start 0 0 0 1 -1 1 1\n"
        "stop 0\n"
        "update 5\n"
        "update 1\n"
        "update 1\n"
        "dump\n");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(out[0]["cycles"].empty());
    EXPECT_TRUE(out[0]["overlays"].empty());
    expectNear({1, 0, 0}, out[0]["positions"][0]);
}

TEST(QxtoolAnimate, MalformedLineIsAUsageErrorNamingTheLine) {
    Files files;
    const std::pair<std::string, std::string> scripts[] = {
        {"dump\njump 1\n", "line 2"},
        {"update\n", "line 1"},
        {"update soon\n", "line 1"},
        {"\n# comment\nstart 0 0 0 0 -1 1\n", "line 3"},
        {"start 2 0 0 0 -1 1 1\n", "line 1"},
        {"start -1 0 0 0 -1 1 1\n", "line 1"},
        {"stop 0 1\n", "line 1"},
        {"update 1\ndump now\n", "line 2"},
        {"update 1e99\n", "line 1"},
    };
    for (const auto& [script, line] : scripts) {
        const auto run = files.animate(script);
        EXPECT_EQ(run.status, 2) << script;
        EXPECT_THAT(run.err, HasSubstr(line)) << script;
        EXPECT_TRUE(run.out.empty()) << script;  // nothing runs from a malformed script
    }
}

TEST(QxtoolAnimate, UnreadableInputsAreRejected) {
    Files files;
    const std::string missing = files.dir.file("missing.qm2");
    const auto noMotion = files.animate("dump\n", "'" + missing + "'");
    EXPECT_EQ(noMotion.status, 1);
    EXPECT_THAT(noMotion.err, HasSubstr("qxtool: " + missing + ": "));

    const std::string notMesh = files.dir.file("motion-as-mesh.qm1");
    test::writeBytes(notMesh, test::readBytes(files.turn_));
    const auto run = test::runQxtool("animate '" + notMesh + "'", "dump\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("qxtool: " + notMesh + ": "));
}

}  // namespace
}  // namespace qx
