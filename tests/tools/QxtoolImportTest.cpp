// qxtool on A:M exports: dump and info of ".ply" and ".kfm" files, run as a user would run them.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "skeletal/NameHash.h"
#include "tests/support/AmExportBuilder.h"
#include "tests/support/MotionBuilder.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

// Ordered, so that the order of the keys is checked too.
using json = nlohmann::ordered_json;
using test::KfmBytes;
using test::PlyBytes;

std::vector<std::string> keysOf(const json& object) {
    std::vector<std::string> keys;
    for (const auto& item : object.items()) keys.push_back(item.key());
    return keys;
}

// root → {"\xE9", "a"}. "\xE9" hashes to -23 (the byte is sign-extended), "a" to 0x61 and
// "root" to a larger positive number, so ascending hash order is "\xE9", "a", "root".
PlyBytes riggedPly() {
    PlyBytes ply = test::squarePly();
    ply.images = {{"skin.png", 1, -1}};
    PlyBytes::Surface s;
    s.color = {255, 0, 0};
    s.value2 = 0x3F800000;
    s.value9 = -9;
    ply.surfaces = {s};
    PlyBytes::Mapping m;
    m.imageIndex = 0;
    m.byte1 = 200;
    m.uv[1][0] = 1.0f;
    m.uv[1][1] = 0.25f;
    ply.patches[0].mappings = {m};
    PlyBytes::Bone root = ply.bones[0];
    root.hasChild = true;
    PlyBytes::Bone accent;
    accent.name = "\xE9";
    accent.hasSibling = true;
    accent.start = {1, 2, 3};
    accent.end = {1, 2, 4};
    accent.roll = {1, 3, 3};
    PlyBytes::Bone a;
    a.name = "a";
    ply.bones = {root, accent, a};
    return ply;
}

TEST(QxtoolDumpPly, KeysInContractOrderAndValuesAsRead) {
    test::TempDir dir;
    const std::string path = dir.file("rig.ply");
    test::writeBytes(path, riggedPly().bytes());
    const auto result = test::runQxtool("dump " + path);
    ASSERT_EQ(result.status, 0) << result.err;
    const json doc = json::parse(result.out);
    EXPECT_EQ(keysOf(doc), (std::vector<std::string>{"type", "version", "surfaces", "images", "positions", "normals",
                                                     "patches", "positionNormals", "boneCount", "bones", "boneNames"}));
    EXPECT_EQ(doc["type"], "ply");
    EXPECT_EQ(doc["version"], 2);

    const json& surface = doc["surfaces"][0];
    EXPECT_EQ(keysOf(surface), (std::vector<std::string>{"color", "value1", "color2", "value2", "value3", "value4",
                                                         "value5", "value6", "value7", "value8", "value9"}));
    EXPECT_EQ(surface["color"], json::parse("[1.0, 0.0, 0.0]"));
    EXPECT_EQ(surface["value2"], 0x3F800000);
    EXPECT_EQ(surface["value9"], -9);
    EXPECT_EQ(doc["images"][0], json::parse(R"({"name": "skin.png", "word1": 1, "word2": -1})"));
    EXPECT_EQ(doc["positions"][2], json::parse("[1.0, 1.0, 0.0]"));

    const json& patch = doc["patches"][0];
    EXPECT_EQ(keysOf(patch), (std::vector<std::string>{"surfaceIndex", "positionIndex", "normalIndex", "mappings"}));
    EXPECT_EQ(patch["positionIndex"], json::parse("[0, 1, 2, 3]"));
    const json& mapping = patch["mappings"][0];
    EXPECT_EQ(keysOf(mapping),
              (std::vector<std::string>{"imageIndex", "value1", "value2", "value3", "byte1", "byte2", "uv"}));
    EXPECT_EQ(mapping["byte1"], 200);
    EXPECT_EQ(mapping["uv"], json::parse("[[0.0, 1.0], [1.0, 0.75], [0.0, 1.0], [0.0, 1.0]]"));
    EXPECT_EQ(doc["positionNormals"], json::parse("[[0], [0], [0], [0]]"));

    EXPECT_EQ(doc["boneCount"], 3);
    ASSERT_EQ(doc["bones"].size(), 3u);
    const json& accent = doc["bones"][1];
    EXPECT_EQ(keysOf(accent),
              (std::vector<std::string>{"name", "nameHash", "index", "parent", "firstChild", "nextSibling", "start",
                                        "end", "roll", "worldToBone", "boneToWorld", "attachedPositions"}));
    EXPECT_EQ(accent["name"], "\u00e9");
    EXPECT_EQ(accent["nameHash"], -23);
    EXPECT_EQ(accent["index"], 1);
    EXPECT_EQ(accent["parent"], 0);
    EXPECT_EQ(accent["firstChild"], -1);
    EXPECT_EQ(accent["nextSibling"], 2);
    EXPECT_EQ(accent["worldToBone"], json::parse("[1,0,0,0, 0,1,0,0, 0,0,1,0, -1,-2,-3,1]"));
    EXPECT_EQ(accent["boneToWorld"], json::parse("[1,0,0,0, 0,1,0,0, 0,0,1,0, 1,2,3,1]"));
    EXPECT_EQ(doc["bones"][0]["firstChild"], 1);
    EXPECT_EQ(doc["bones"][2]["parent"], 0);
    EXPECT_EQ(doc["bones"][0]["attachedPositions"], json::parse("[0, 1, 2, 3]"));

    ASSERT_EQ(nameHash("\xE9"), -23);
    const json expectedNames = {{{"nameHash", -23}, {"name", "\u00e9"}},
                                {{"nameHash", 0x61}, {"name", "a"}},
                                {{"nameHash", nameHash("root")}, {"name", "root"}}};
    EXPECT_EQ(doc["boneNames"], expectedNames);
}

TEST(QxtoolDumpKfm, HeaderAndTracksAsAMotionsAre) {
    test::TempDir dir;
    const std::string path = dir.file("WAVE.KFM");  // the extension is matched in any case
    KfmBytes kfm;
    kfm.duration = 1.5f;
    KfmBytes::Track arm;
    arm.name = "arm";
    arm.direction2 = {1, 0, 0};
    arm.roll2 = {0, 1, 0};
    arm.channels[TranslationX] = {test::key(0, 0), test::key(1, 2)};
    kfm.tracks = {arm};
    test::writeBytes(path, kfm.bytes());
    const auto result = test::runQxtool("dump " + path);
    ASSERT_EQ(result.status, 0) << result.err;
    const json doc = json::parse(result.out);
    EXPECT_EQ(keysOf(doc), (std::vector<std::string>{"type", "magic", "duration", "trackCount", "tracks"}));
    EXPECT_EQ(doc["type"], "kfm");
    EXPECT_EQ(doc["magic"], 0x12345679);
    EXPECT_EQ(doc["duration"], 1.5);
    EXPECT_EQ(doc["trackCount"], 1);
    const json& track = doc["tracks"][0];
    EXPECT_EQ(keysOf(track), (std::vector<std::string>{"name", "nameHash", "basisX", "basisY", "basisZ", "channels"}));
    EXPECT_EQ(track["nameHash"], nameHash("arm"));
    EXPECT_NEAR(track["basisX"][2].get<float>(), 1.0f, 1e-6f);
    ASSERT_EQ(track["channels"].size(), 10u);
    EXPECT_EQ(
        track["channels"][0][1],
        json::parse(R"({"time": 1.0, "value": 2.0, "flags": 3, "outHandle": [-0.5, -1.0], "inHandle": [-0.5, -1.0]})"));
}

TEST(QxtoolImportFiles, DamagedFilesRejectedWithTheirReason) {
    test::TempDir dir;
    PlyBytes v1 = test::squarePly();
    v1.version = 1;
    test::writeBytes(dir.file("old.ply"), v1.bytes());
    KfmBytes kfm;
    kfm.trackCount = 3;
    test::writeBytes(dir.file("short.kfm"), kfm.bytes());
    for (const char* command : {"dump", "info"}) {
        auto result = test::runQxtool(std::string(command) + " " + dir.file("old.ply"));
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "qxtool: " + dir.file("old.ply") + ": PLY version 1 is not supported (only 2)\n");
        result = test::runQxtool(std::string(command) + " " + dir.file("short.kfm"));
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "qxtool: " + dir.file("short.kfm") + ": track count 3 is more than the file can hold\n");
    }
}

TEST(QxtoolImportFiles, InfoSummarisesBoth) {
    test::TempDir dir;
    test::writeBytes(dir.file("rig.ply"), riggedPly().bytes());
    KfmBytes kfm;
    kfm.duration = 2.0f;
    kfm.tracks.resize(2);
    kfm.tracks[1].channels[RotationW] = {test::key(0, 1), test::key(1, 1), test::key(2, 1)};
    test::writeBytes(dir.file("walk.kfm"), kfm.bytes());
    const auto result = test::runQxtool("info " + dir.file("rig.ply") + " " + dir.file("walk.kfm"));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("A:M PLY model"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("bones: 3"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("patches: 1"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("A:M KFM motion"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("tracks: 2"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("keys: 3"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace qx
