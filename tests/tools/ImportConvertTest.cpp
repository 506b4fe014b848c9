// qxtool convert on A:M exports: ".ply" to ".qm1" and ".kfm" to ".qm2", run as a user runs it,
// the results read back with the program's own readers.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "import/KfmFile.h"
#include "import/MeshFromPly.h"
#include "import/MotionFromKfm.h"
#include "import/PlyFile.h"
#include "scene/OpenFile.h"
#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/AmExportBuilder.h"
#include "tests/support/MotionBuilder.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

using test::KfmBytes;
using test::PlyBytes;

using test::quoted;

test::CommandResult convert(const std::string& args) { return test::runQxtool("convert " + args); }

PlyBytes::Bone bone(const std::string& name, bool hasChild, bool hasSibling, Vector3 start, Vector3 end,
                    std::vector<std::int32_t> attached) {
    PlyBytes::Bone b;
    b.name = name;
    b.hasChild = hasChild;
    b.hasSibling = hasSibling;
    b.start = start;
    b.end = end;
    b.roll = start + Vector3{0, 1, 0};
    b.attachedPositions = std::move(attached);
    return b;
}

// Two quads side by side, one textured, with a small skeleton: hips → {spine, "\xE9paule"}.
PlyBytes figurePly() {
    PlyBytes ply;
    PlyBytes::Surface skin, cloth;
    skin.color = {255, 204, 153};
    skin.value4 = 4;
    skin.value8 = 8;
    cloth.color = {0, 0, 255};
    ply.surfaces = {skin, cloth};
    ply.images = {{"skin.png", 256, -1}};
    ply.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}};
    ply.normals = {{0, 0, 1}, {0, 0, -1}};
    PlyBytes::Patch left;
    left.surfaceIndex = 0;
    left.positionIndex = {0, 1, 2, 3};
    PlyBytes::Mapping m;
    m.imageIndex = 0;
    m.value2 = 5;
    m.byte2 = 9;
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    std::memcpy(m.uv, uv, sizeof uv);
    left.mappings = {m};
    PlyBytes::Patch right;
    right.surfaceIndex = 1;
    right.positionIndex = {1, 4, 5, 2};
    right.normalIndex = {0, 1, 1, 0};
    ply.patches = {left, right};
    ply.bones = {bone("hips", true, false, {0, 0, 0}, {0, 0, 1}, {0, 3}),
                 bone("spine", false, true, {0, 0, 1}, {0, 1, 2}, {1, 2}),
                 bone("\xE9paule", false, false, {0, 0, 1}, {2, 0, 1}, {4, 5})};
    return ply;
}

KfmBytes walkKfm() {
    KfmBytes kfm;
    kfm.duration = 1.25f;
    KfmBytes::Track spine;
    spine.name = "spine";
    spine.direction2 = {1, 0, 0};
    spine.roll2 = {0, 1, 0};
    spine.channels[RotationZ] = {test::key(0, 0), test::key(0.5f, 0.5f, CurveKind, false), test::key(1.25f, 0)};
    spine.channels[RotationW] = {test::key(0, 1), test::key(1.25f, 1)};
    KfmBytes::Track shoulder;
    shoulder.name = "\xE9paule";
    shoulder.channels[TranslationY] = {test::key(0, 0, HoldKind)};
    KfmBytes::Track tail;  // a track whose bone the figure lacks
    tail.name = "tail";
    kfm.tracks = {shoulder, spine, tail};
    return kfm;
}

TEST(QxtoolConvertPly, WritesTheConvertedMeshBesideItsSource) {
    test::TempDir dir;
    const std::string source = dir.file("Figure.PLY");
    const auto bytes = figurePly().bytes();
    test::writeBytes(source, bytes);
    const auto result = convert(quoted(source));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");

    // The name less its last four characters, plus the new extension.
    const std::string written = dir.file("Figure.qm1");
    std::string reason;
    const auto mesh = readMeshToShow(written, &reason, ImageLoading::Skip);
    ASSERT_NE(mesh, nullptr) << reason;
    const auto ply = parsePly(bytes.data(), bytes.size());
    ASSERT_NE(ply, nullptr);
    const auto expected = meshFromPly(*ply);

    EXPECT_EQ(mesh->positions, expected->positions);
    EXPECT_EQ(mesh->normals, expected->normals);
    EXPECT_EQ(mesh->positionNormals, (std::vector<std::vector<std::int32_t>>{{0}, {0}, {0}, {0}, {1}, {1}}));
    EXPECT_EQ(mesh->faces, expected->faces);
    EXPECT_EQ(mesh->materials, expected->materials);
    ASSERT_EQ(mesh->textures.size(), 1u);
    EXPECT_EQ(mesh->textures[0].name, "skin.png");
    EXPECT_EQ(mesh->textures[0].auxWord1, 256);
    EXPECT_EQ(mesh->textures[0].auxWord2, 0xFFFF);
    EXPECT_EQ(mesh->bones, expected->bones);
    EXPECT_EQ(mesh->renderGroups, expected->renderGroups);
    EXPECT_TRUE(mesh->importMap.empty());  // not stored in the file

    // Values checked by hand rather than against the conversion.
    ASSERT_EQ(mesh->faces.size(), 4u);
    EXPECT_EQ(mesh->faces[3].positionIndex[0], 1);
    EXPECT_EQ(mesh->faces[3].positionIndex[1], 5);
    EXPECT_EQ(mesh->faces[3].positionIndex[2], 2);
    EXPECT_EQ(mesh->faces[1].mappings[0].uv[1][0], 1.0f);  // patch corner 2: (1, 1 - 1)
    EXPECT_EQ(mesh->faces[1].mappings[0].uv[1][1], 0.0f);
    EXPECT_EQ(mesh->faces[1].mappings[0].auxValue2, 5);
    EXPECT_EQ(mesh->materials[0].color, Vector3(1.0f, 0.8f, 0.6f));
    EXPECT_EQ(mesh->materials[0].auxValue1, 4);
    EXPECT_EQ(mesh->materials[0].auxValue2, 8);
    const std::vector<TextureGroup> groups = {{0, {{0, {0, 1}}}}, {-1, {{1, {2, 3}}}}};
    EXPECT_EQ(mesh->renderGroups, groups);
    ASSERT_EQ(mesh->bones.size(), 3u);
    EXPECT_EQ(mesh->bones[0].firstChild, 1);
    EXPECT_EQ(mesh->bones[1].nextSibling, 2);
    EXPECT_EQ(mesh->bones[2].parent, 0);
    EXPECT_EQ(mesh->bones[2].nameHash, nameHash("\xE9paule"));
    EXPECT_EQ(mesh->bones[2].attachedPositions, (std::vector<std::int32_t>{4, 5}));
}

TEST(QxtoolConvertKfm, WritesACycleWithoutFadesToTheGivenDestination) {
    test::TempDir dir;
    const std::string source = dir.file("walk.kfm");
    const std::string destination = dir.file("out/walking.qm2");
    std::filesystem::create_directory(dir.file("out"));
    const auto bytes = walkKfm().bytes();
    test::writeBytes(source, bytes);
    const auto result = convert(quoted(source) + " -o " + quoted(destination));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("walk.qm2")));

    std::string reason;
    const auto motion = readMotionToPlay(destination, &reason);
    ASSERT_NE(motion, nullptr) << reason;
    EXPECT_EQ(motion->duration, 1.25f);
    EXPECT_EQ(motion->attackLength, 0.0f);
    EXPECT_EQ(motion->decayLength, 0.0f);
    EXPECT_EQ(motion->animationType, CycleAnimation);
    const auto kfm = parseKfm(bytes.data(), bytes.size());
    ASSERT_NE(kfm, nullptr);
    EXPECT_EQ(motion->tracks, motionFromKfm(*kfm, 0, 0, CycleAnimation)->tracks);

    ASSERT_EQ(motion->tracks.size(), 3u);
    const MotionTrack& spine = motion->tracks[1];
    EXPECT_EQ(spine.name, "spine");
    EXPECT_NEAR(spine.basisX.z, 1.0f, 1e-6f);  // +X turned onto +Z
    const auto& keys = spine.channels[RotationZ].keys;
    ASSERT_EQ(keys.size(), 3u);
    // The middle key's handles, from its neighbours: direction (-1.25, 0) / 1.25, scaled by the
    // lengths of its two segments.
    EXPECT_EQ(keys[1].outHandle, (TimeValue{-0.75f, 0.0f}));
    EXPECT_EQ(keys[1].inHandle, (TimeValue{-0.5f, 0.0f}));
}

// The runtime matches a motion's tracks to a mesh's bones by nameHash: a converted motion must
// name the converted mesh's bones with the same hashes, bytes above 0x7F included.
TEST(QxtoolConvert, TrackHashesMatchTheBoneHashesOfTheSameNames) {
    test::TempDir dir;
    test::writeBytes(dir.file("figure.ply"), figurePly().bytes());
    test::writeBytes(dir.file("walk.kfm"), walkKfm().bytes());
    const auto result = convert(quoted(dir.file("figure.ply")) + " " + quoted(dir.file("walk.kfm")));
    ASSERT_EQ(result.status, 0) << result.err;
    const auto mesh = readMeshToShow(dir.file("figure.qm1"), nullptr, ImageLoading::Skip);
    const auto motion = readMotionToPlay(dir.file("walk.qm2"));
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(motion, nullptr);
    int matched = 0;
    for (const MotionTrack& track : motion->tracks) {
        for (const MeshBone& bone : mesh->bones) {
            if (bone.name != track.name) continue;
            EXPECT_EQ(bone.nameHash, track.nameHash) << track.name;
            ++matched;
        }
    }
    EXPECT_EQ(matched, 2);  // spine and the shoulder; the tail has no bone
    EXPECT_EQ(motion->tracks[0].nameHash, mesh->bones[2].nameHash);
}

TEST(QxtoolConvert, FailedConversionLeavesTheDestinationAsItWas) {
    test::TempDir dir;
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    PlyBytes damaged = figurePly();
    damaged.patches[1].positionIndex[3] = 6;
    test::writeBytes(dir.file("bad.ply"), damaged.bytes());
    test::writeBytes(dir.file("bad.qm1"), old);
    auto result = convert(quoted(dir.file("bad.ply")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "qxtool: " + dir.file("bad.ply") + ": patch 1: position index 6 outside the 6 positions\n");
    EXPECT_EQ(test::readBytes(dir.file("bad.qm1")), old);

    auto truncated = walkKfm().bytes();
    truncated.resize(truncated.size() - 3);
    test::writeBytes(dir.file("bad.kfm"), truncated);
    test::writeBytes(dir.file("kept.qm2"), old);
    result = convert(quoted(dir.file("bad.kfm")) + " -o " + quoted(dir.file("kept.qm2")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("qxtool: " + dir.file("bad.kfm") + ": track 2: truncated", 0), 0u) << result.err;
    EXPECT_EQ(test::readBytes(dir.file("kept.qm2")), old);
}

TEST(QxtoolConvert, UnwritableDestinationNamedInTheFailure) {
    test::TempDir dir;
    test::writeBytes(dir.file("figure.ply"), figurePly().bytes());
    const std::string destination = dir.file("missing/figure.qm1");
    const auto result = convert(quoted(dir.file("figure.ply")) + " -o " + quoted(destination));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("qxtool: " + destination + ": ", 0), 0u) << result.err;
}

}  // namespace
}  // namespace qx
