// qxtool dump and info on .qm1 files, run as a user runs them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMeshFile.h"
#include "tests/support/MeshBuilder.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

using json = nlohmann::ordered_json;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

using test::quoted;

json dump(const std::string& commandLine) {
    const auto run = test::runCommand(commandLine);
    EXPECT_EQ(run.status, 0) << run.err;
    return json::parse(run.out);
}

std::vector<float> floats(const json& array) { return array.get<std::vector<float>>(); }

TEST(QxtoolMeshDump, PrintsEveryFieldUnderTheContractKeys) {
    test::TempDir dir;
    const std::string path = dir.file("figure.qm1");
    const SkeletalMesh mesh = test::sampleMesh();
    ASSERT_TRUE(writeSkeletalMesh(path, mesh));
    const json out = dump(test::qxtoolPath() + " dump " + quoted(path));

    std::vector<std::string> keys;
    for (const auto& item : out.items()) keys.push_back(item.key());
    EXPECT_THAT(keys, ElementsAre("type", "nameHash", "positions", "normals", "positionNormals", "faces", "materials",
                                  "textures", "bones", "renderGroups"));
    EXPECT_EQ(out["type"], "qm1");
    EXPECT_EQ(out["nameHash"].get<std::int32_t>(), nameHash(path));
    EXPECT_EQ(floats(out["positions"][3]), (std::vector<float>{0, 0, 1.5f}));
    EXPECT_EQ(floats(out["normals"][1]), (std::vector<float>{-0.25f, 0.5f, 0.75f}));
    EXPECT_EQ(out["positionNormals"], json::parse("[[0], [0, 1], [], [1]]"));

    const json& face = out["faces"][0];
    std::vector<std::string> faceKeys, mappingKeys;
    for (const auto& item : face.items()) faceKeys.push_back(item.key());
    for (const auto& item : face["mappings"][0].items()) mappingKeys.push_back(item.key());
    EXPECT_THAT(faceKeys, ElementsAre("materialIndex", "positionIndex", "normalIndex", "mappings"));
    EXPECT_THAT(mappingKeys,
                ElementsAre("textureIndex", "auxValue1", "auxValue2", "auxValue3", "auxByte1", "auxByte2", "uv"));
    EXPECT_EQ(face["materialIndex"], 1);
    EXPECT_EQ(face["positionIndex"], json::parse("[0, 1, 2, 3]"));
    EXPECT_EQ(face["normalIndex"], json::parse("[1, 0, 1, -7]"));
    const json& mapping = face["mappings"][0];
    EXPECT_EQ(mapping["auxValue2"], -12);
    EXPECT_EQ(mapping["auxValue3"], 2147483647);
    EXPECT_EQ(mapping["auxByte1"], 255);
    EXPECT_EQ(mapping["auxByte2"], 128);
    EXPECT_EQ(mapping["uv"], json::parse("[[0, 0.125], [1, 0.25], [0.5, 1], [-2, 3]]"));
    EXPECT_TRUE(out["faces"][1]["mappings"].empty());
    EXPECT_EQ(out["faces"][2]["mappings"].size(), 2u);

    EXPECT_EQ(out["materials"][0], json::parse(R"({"color": [1, 0, 0], "auxVector": [0.5, 0.25, 0.125],
                                                 "auxValue1": 3, "auxValue2": -4})"));
    EXPECT_EQ(out["textures"][0], json::parse(R"({"name": "skin.bmp", "auxWord1": 1, "auxWord2": 65535})"));
    EXPECT_EQ(out["textures"][1]["name"], "sub/caf\u00e9.tga");  // the byte 0xE9 as U+00E9
    EXPECT_EQ(out["textures"][1]["auxWord1"], 32768);

    const json& root = out["bones"][0];
    std::vector<std::string> boneKeys;
    for (const auto& item : root.items()) boneKeys.push_back(item.key());
    EXPECT_THAT(boneKeys, ElementsAre("name", "nameHash", "index", "parent", "firstChild", "nextSibling", "start",
                                      "end", "roll", "worldToBone", "boneToWorld", "attachedPositions"));
    EXPECT_EQ(root["name"], "root");
    EXPECT_EQ(root["nameHash"].get<std::int32_t>(), nameHash("root"));
    EXPECT_EQ(root["firstChild"], 1);
    EXPECT_EQ(root["nextSibling"], -1);
    // Along +Z rolled toward +Y from (1, 2, 3): a pure translation.
    EXPECT_EQ(floats(root["worldToBone"]), (std::vector<float>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -3, 1}));
    EXPECT_EQ(floats(root["boneToWorld"]), (std::vector<float>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}));
    EXPECT_EQ(root["attachedPositions"], json::parse("[0, 3]"));
    EXPECT_EQ(out["bones"][1]["nextSibling"], 2);
    EXPECT_EQ(out["bones"][1]["parent"], 0);
    EXPECT_EQ(out["bones"][2]["nameHash"], 123456789);
    EXPECT_EQ(out["bones"][2]["attachedPositions"], json::parse("[2, 9]"));

    EXPECT_EQ(out["renderGroups"], json::parse(R"([
        {"textureIndex": 0, "batches": [{"materialIndex": 1, "faceIndices": [0, 2]}]},
        {"textureIndex": -1, "batches": [{"materialIndex": 0, "faceIndices": [1]}]}])"));
}

TEST(QxtoolMeshDump, NameHashIsOfThePathAsGivenAndExtensionCaseIsIgnored) {
    test::TempDir dir;
    ASSERT_TRUE(writeSkeletalMesh(dir.file("Mesh.QM1"), SkeletalMesh{}));
    const json out = dump("cd " + quoted(dir.path().string()) + " && " + test::qxtoolPath() + " dump Mesh.QM1");
    EXPECT_EQ(out["nameHash"].get<std::int32_t>(), nameHash("Mesh.QM1"));
    EXPECT_TRUE(out["positions"].empty());
    EXPECT_TRUE(out["bones"].empty());
}

TEST(QxtoolMeshDump, NonFiniteFloatsPrintAsStrings) {
    test::TempDir dir;
    SkeletalMesh mesh;
    mesh.positions = {{std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity()}};
    ASSERT_TRUE(writeSkeletalMesh(dir.file("odd.qm1"), mesh));
    const json out = dump(test::qxtoolPath() + " dump " + quoted(dir.file("odd.qm1")));
    EXPECT_EQ(out["positions"], json::parse(R"([["nan", "inf", "-inf"]])"));
}

TEST(QxtoolMeshDump, DamagedFileExitsOneWithTheReason) {
    test::TempDir dir;
    auto bytes = encodeSkeletalMesh(test::sampleMesh());
    bytes.resize(bytes.size() - 1);
    test::writeBytes(dir.file("cut.qm1"), bytes);
    const auto run = test::runQxtool("dump " + quoted(dir.file("cut.qm1")));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_THAT(run.err, HasSubstr("qxtool: " + dir.file("cut.qm1") + ": truncated in renderGroups"));
}

TEST(QxtoolMeshInfo, SummarisesCountsBoxAndTextureLookup) {
    test::TempDir dir;
    ASSERT_TRUE(writeSkeletalMesh(dir.file("figure.qm1"), test::sampleMesh()));
    test::writeBytes(dir.file("skin.bmp"), {'B', 'M'});
    const auto run = test::runQxtool("info " + quoted(dir.file("figure.qm1")));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("skeletal mesh"));
    EXPECT_THAT(run.out, HasSubstr("positions: 4\n"));
    EXPECT_THAT(run.out, HasSubstr("faces: 3 (3 texture mappings)\n"));
    EXPECT_THAT(run.out, HasSubstr("bones: 3\n"));
    EXPECT_THAT(run.out, HasSubstr("bounding box: (0, 0, 0) to (1, 1, 1.5)\n"));
    EXPECT_THAT(run.out, HasSubstr("0: skin.bmp (found at " + dir.file("skin.bmp") + ")\n"));
    EXPECT_THAT(run.out, HasSubstr("(missing)\n"));
}

TEST(QxtoolMeshInfo, BadFileAmongGoodOnesExitsOne) {
    test::TempDir dir;
    ASSERT_TRUE(writeSkeletalMesh(dir.file("good.qm1"), SkeletalMesh{}));
    test::writeBytes(dir.file("bad.qm1"), {'Q', 'X', 'M', '2'});
    const auto run = test::runQxtool("info " + quoted(dir.file("good.qm1")) + " " + quoted(dir.file("bad.qm1")));
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.out, HasSubstr("good.qm1: skeletal mesh"));
    EXPECT_THAT(run.err, HasSubstr("bad.qm1: not a skeletal mesh file (bad magic)"));
}

}  // namespace
}  // namespace qx
