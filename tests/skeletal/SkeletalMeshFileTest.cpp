#include "skeletal/SkeletalMeshFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "core/ByteSink.h"
#include "skeletal/NameHash.h"
#include "tests/support/MeshBuilder.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

using test::sampleMesh;

std::unique_ptr<SkeletalMesh> parse(const std::vector<std::uint8_t>& bytes, std::string* reason = nullptr) {
    return parseSkeletalMesh(bytes.data(), bytes.size(), reason);
}

void emptyCounts(ByteSink& out, int n) {
    for (int i = 0; i < n; ++i) out.i32(0);
}

// A file of bones only (every other list empty); each bone given by its links in memory order.
struct Links {
    std::int32_t parent, firstChild, nextSibling;
};
std::vector<std::uint8_t> boneFile(const std::vector<Links>& links) {
    ByteSink out;
    out.bytes("QXM1", 4);
    emptyCounts(out, 6);
    out.i32(static_cast<std::int32_t>(links.size()));
    for (std::size_t b = 0; b < links.size(); ++b) {
        out.cString("b");
        out.i32(0);
        out.i32(static_cast<std::int32_t>(b));
        out.i32(links[b].parent);
        out.i32(links[b].nextSibling);
        out.i32(links[b].firstChild);
        out.vector3({0, 0, 0});
        out.vector3({0, 0, 1});
        out.vector3({0, 1, 0});
        out.i32(0);
    }
    out.i32(0);
    return out.take();
}

void expectNear(const Matrix& expected, const Matrix& actual, float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(expected.m[i][j], actual.m[i][j], tolerance) << "m" << i << j;
}

Matrix translation(const Vector3& t) {
    Matrix m;
    m.setRow(3, t);
    return m;
}

TEST(MeshFileRoundTrip, WriteThenReadKeepsEveryField) {
    test::TempDir dir;
    const std::string path = dir.file("figure.qm1");
    SkeletalMesh mesh = sampleMesh();
    mesh.importMap[7] = "from the import";
    std::string reason;
    ASSERT_TRUE(writeSkeletalMesh(path, mesh, &reason)) << reason;

    const auto read = readSkeletalMesh(path, &reason, ImageLoading::Skip);
    ASSERT_TRUE(read) << reason;
    test::expectSameStoredFields(mesh, *read);
    EXPECT_EQ(read->nameHash, nameHash(path));
    EXPECT_TRUE(read->importMap.empty());
    EXPECT_EQ(encodeSkeletalMesh(*read), encodeSkeletalMesh(mesh));
}

TEST(MeshFileRoundTrip, MeshNameHashIsThePathAsPassed) {
    test::TempDir dir;
    const std::filesystem::path sub = dir.path() / "sub";
    std::filesystem::create_directory(sub);
    ASSERT_TRUE(writeSkeletalMesh((sub / "m.qm1").string(), sampleMesh()));
    const std::string roundabout = (sub / ".." / "sub" / "m.qm1").string();
    const auto read = readSkeletalMesh(roundabout, nullptr, ImageLoading::Skip);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->nameHash, nameHash(roundabout));
    EXPECT_NE(read->nameHash, nameHash((sub / "m.qm1").string()));
}

TEST(MeshFileLayout, EmptyMeshIsMagicAndEightZeroCounts) {
    ByteSink expected;
    expected.bytes("QXM1", 4);
    emptyCounts(expected, 8);
    EXPECT_EQ(encodeSkeletalMesh(SkeletalMesh{}), expected.data());

    const auto mesh = parse(expected.data());
    ASSERT_TRUE(mesh);
    EXPECT_TRUE(mesh->positions.empty() && mesh->normals.empty() && mesh->positionNormals.empty());
    EXPECT_TRUE(mesh->faces.empty() && mesh->materials.empty() && mesh->textures.empty());
    EXPECT_TRUE(mesh->bones.empty() && mesh->renderGroups.empty() && mesh->importMap.empty());
}

TEST(MeshFileLayout, MappingIsFiftyBytesWithFloatsRightAfterTheTwoBytes) {
    SkeletalMesh mesh;
    mesh.faces.resize(1);
    const std::size_t withoutMapping = encodeSkeletalMesh(mesh).size();
    FaceMapping m;
    m.textureIndex = 1, m.auxValue1 = 2, m.auxValue2 = 3, m.auxValue3 = 4, m.auxByte1 = 0xAB, m.auxByte2 = 0xCD;
    for (int c = 0; c < 4; ++c) m.uv[c][0] = 1.0f + c, m.uv[c][1] = -1.0f - c;
    mesh.faces[0].mappings = {m};
    const auto bytes = encodeSkeletalMesh(mesh);
    ASSERT_EQ(bytes.size(), withoutMapping + 50);

    // magic, 3 empty counts, face count, materialIndex, 8 corner indices, mapping count
    const std::size_t at = 4 + 3 * 4 + 4 + 4 + 32 + 4;
    ByteSink expected;
    for (std::int32_t v : {1, 2, 3, 4}) expected.i32(v);
    expected.u8(0xAB);
    expected.u8(0xCD);
    for (int c = 0; c < 4; ++c) expected.f32(1.0f + c), expected.f32(-1.0f - c);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + at, bytes.begin() + at + 50), expected.data());
    const auto read = parse(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->faces, mesh.faces);
}

TEST(MeshFileLayout, BoneFieldsAreNameHashIndexParentNextSiblingFirstChild) {
    // Three bones: the root, then two children; the middle one has three different links.
    ByteSink file;
    file.bytes("QXM1", 4);
    emptyCounts(file, 6);
    file.i32(3);
    const std::int32_t fields[3][5] = {{501, 10, -1, -1, 1}, {502, 11, 0, 2, -1}, {503, 12, 0, -1, -1}};
    for (int b = 0; b < 3; ++b) {
        file.cString(std::string(1, static_cast<char>('a' + b)));
        for (std::int32_t v : fields[b]) file.i32(v);
        file.vector3({0, 0, float(b)});
        file.vector3({0, 0, float(b) + 1});
        file.vector3({0, 1, float(b)});
        file.i32(1);
        file.i32(b * 10);
    }
    file.i32(0);

    const auto mesh = parse(file.data());
    ASSERT_TRUE(mesh);
    ASSERT_EQ(mesh->bones.size(), 3u);
    const MeshBone& middle = mesh->bones[1];
    EXPECT_EQ(middle.name, "b");
    EXPECT_EQ(middle.nameHash, 502);
    EXPECT_EQ(middle.index, 11);
    EXPECT_EQ(middle.parent, 0);
    EXPECT_EQ(middle.nextSibling, 2);
    EXPECT_EQ(middle.firstChild, -1);
    EXPECT_EQ(middle.start, Vector3(0, 0, 1));
    EXPECT_EQ(middle.attachedPositions, std::vector<std::int32_t>{10});
    EXPECT_EQ(mesh->bones[0].firstChild, 1);
    EXPECT_EQ(encodeSkeletalMesh(*mesh), file.data());
}

TEST(MeshFileBones, StoredNameHashAndIndexAreKept) {
    SkeletalMesh mesh;
    mesh.bones.push_back(test::bone("hip", -1, -1, -1, {0, 0, 0}, {0, 0, 1}, {0, 1, 0}));
    mesh.bones[0].nameHash = 42;
    mesh.bones[0].index = 9;
    const auto read = parse(encodeSkeletalMesh(mesh));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->bones[0].nameHash, 42);
    EXPECT_NE(nameHash("hip"), 42);
    EXPECT_EQ(read->bones[0].index, 9);
}

TEST(MeshFileBones, BoneAlongZRolledTowardYIsAPureTranslation) {
    SkeletalMesh mesh;
    MeshBone b;
    b.start = {1, 2, 3}, b.end = {1, 2, 4}, b.roll = {1, 3, 3};
    mesh.bones = {b};
    const auto read = parse(encodeSkeletalMesh(mesh));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->bones[0].worldToBone, translation({-1, -2, -3}));
    EXPECT_EQ(read->bones[0].boneToWorld, translation({1, 2, 3}));
}

Vector3 apply(const Vector3& p, const Matrix& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

TEST(MeshFileBones, FramePutsEndOnZAndRollOnY) {
    // Along +X rolled toward +Z; along -Z, where the turn axis has to be chosen; a tilted bone.
    const Vector3 cases[][3] = {
        {{0, 0, 0}, {2, 0, 0}, {0, 0, 1}}, {{1, 1, 1}, {1, 1, -2}, {2, 1, 1}}, {{-1, 0, 2}, {0, 1, 3}, {-1, 0, 5}}};
    for (const auto& c : cases) {
        SkeletalMesh mesh;
        MeshBone b;
        b.start = c[0], b.end = c[1], b.roll = c[2];
        mesh.bones = {b};
        const auto read = parse(encodeSkeletalMesh(mesh));
        ASSERT_TRUE(read);
        const MeshBone& bone = read->bones[0];
        const Vector3 d = c[1] - c[0];
        const Vector3 tip = apply(c[1], bone.worldToBone);
        EXPECT_NEAR(tip.x, 0, 1e-5);
        EXPECT_NEAR(tip.y, 0, 1e-5);
        EXPECT_NEAR(tip.z, std::sqrt(dot(d, d)), 1e-5);
        const Vector3 roll = apply(c[2], bone.worldToBone);
        EXPECT_NEAR(roll.x, 0, 1e-5);
        EXPECT_GT(roll.y, 0);
        const Vector3 origin = apply({0, 0, 0}, bone.boneToWorld);
        EXPECT_NEAR(origin.x, c[0].x, 1e-5);
        EXPECT_NEAR(origin.y, c[0].y, 1e-5);
        EXPECT_NEAR(origin.z, c[0].z, 1e-5);
        expectNear(Matrix::identity(), product(bone.worldToBone, bone.boneToWorld));
    }
}

TEST(MeshFileBones, ZeroLengthBoneReadsWithFiniteMatrices) {
    SkeletalMesh mesh;
    MeshBone b;
    b.start = b.end = {1, 1, 1};
    b.roll = {1, 2, 1};
    mesh.bones = {b};
    const auto read = parse(encodeSkeletalMesh(mesh));
    ASSERT_TRUE(read);
    for (const auto& row : read->bones[0].worldToBone.m)
        for (float v : row) EXPECT_TRUE(std::isfinite(v));
}

TEST(MeshFileBones, WellFormedTreesAndForestsAreAccepted) {
    // root with children 1 (which has child 2) and 3; then a second root 4 as the root's sibling
    EXPECT_TRUE(parse(boneFile({{-1, 1, 4}, {0, 2, 3}, {1, -1, -1}, {0, -1, -1}, {-1, -1, -1}})));
    EXPECT_TRUE(parse(boneFile({{-1, -1, -1}})));
}

TEST(MeshFileBones, LinksOutsideTheListAreRejected) {
    std::string reason;
    EXPECT_FALSE(parse(boneFile({{-1, 1, -1}, {3, -1, -1}, {0, -1, -1}}), &reason));
    EXPECT_EQ(reason, "bone 1: parent 3 outside the bone list");
    EXPECT_FALSE(parse(boneFile({{-1, -2, -1}}), &reason));
    EXPECT_EQ(reason, "bone 0: firstChild -2 outside the bone list");
    EXPECT_FALSE(parse(boneFile({{-1, 1, -1}, {0, -1, 2}}), &reason));
    EXPECT_EQ(reason, "bone 1: nextSibling 2 outside the bone list");
}

TEST(MeshFileBones, CyclesAndSharedBonesAreRejected) {
    std::string reason;
    // parent chain 1 -> 2 -> 1
    EXPECT_FALSE(parse(boneFile({{-1, -1, -1}, {2, -1, -1}, {1, -1, -1}}), &reason));
    EXPECT_EQ(reason, "bone 1: its parent chain comes back to it");
    EXPECT_FALSE(parse(boneFile({{0, -1, -1}}), &reason));
    EXPECT_EQ(reason, "bone 0: its parent chain comes back to it");
    // 1 and 2 each other's first child, unreachable from the root
    EXPECT_FALSE(parse(boneFile({{-1, -1, -1}, {0, 2, -1}, {0, 1, -1}}), &reason));
    EXPECT_EQ(reason, "bone 1: child and sibling links form a cycle");
    // a bone its own next sibling
    EXPECT_FALSE(parse(boneFile({{-1, 1, -1}, {0, -1, 1}}), &reason));
    EXPECT_EQ(reason, "bone 1: reached twice through child and sibling links");
    // a chain where every bone is both first child and next sibling of the one before: a walk
    // would visit 2^n paths
    EXPECT_FALSE(parse(boneFile({{-1, 1, 1}, {0, 2, 2}, {1, -1, -1}}), &reason));
    EXPECT_EQ(reason, "bone 1: reached twice through child and sibling links");
}

TEST(MeshFileRejects, BadMagicAndEmptyFile) {
    std::string reason;
    auto bytes = encodeSkeletalMesh(SkeletalMesh{});
    bytes[3] = '2';
    EXPECT_FALSE(parse(bytes, &reason));
    EXPECT_EQ(reason, "not a skeletal mesh file (bad magic)");
    EXPECT_FALSE(parse({}, &reason));
    EXPECT_EQ(reason, "not a skeletal mesh file (bad magic)");
}

TEST(MeshFileRejects, EveryTruncationOfAValidFile) {
    const auto bytes = encodeSkeletalMesh(sampleMesh());
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string reason;
        EXPECT_FALSE(parseSkeletalMesh(bytes.data(), size, &reason)) << "size " << size;
        EXPECT_FALSE(reason.empty()) << "size " << size;
    }
    EXPECT_TRUE(parse(bytes));
}

TEST(MeshFileRejects, EveryDamagedByteIsReadOrRefusedWithAReason) {
    const auto bytes = encodeSkeletalMesh(sampleMesh());
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        for (std::uint8_t value : {0x00, 0x7F, 0x80, 0xFF}) {
            auto damaged = bytes;
            damaged[at] = value;
            std::string reason;
            const auto mesh = parse(damaged, &reason);
            EXPECT_TRUE(mesh || !reason.empty()) << "byte " << at;
        }
    }
}

TEST(MeshFileRejects, TruncationNamesTheSectionAndElement) {
    const auto whole = encodeSkeletalMesh(sampleMesh());
    // magic; 4 positions; 2 normals; 4 normal lists holding 1, 2, 0, 1 indices; face count and
    // the first face with its one mapping
    const std::size_t firstFaceEnd = 4 + (4 + 4 * 12) + (4 + 2 * 12) + (4 + 8 + 12 + 4 + 8) + 4 + (36 + 4 + 50);
    std::string reason;
    // Three faces need at least 120 bytes: too few left for them is caught at the count.
    EXPECT_FALSE(parseSkeletalMesh(whole.data(), firstFaceEnd + 3, &reason));
    EXPECT_EQ(reason, "truncated in faces: count 3 is more than the file can hold");
    // Enough for the count, but the third face ends 10 bytes in.
    EXPECT_FALSE(parseSkeletalMesh(whole.data(), firstFaceEnd + 40 + 10, &reason));
    EXPECT_EQ(reason, "truncated in faces (face 2)");
    EXPECT_FALSE(parseSkeletalMesh(whole.data(), whole.size() - 1, &reason));
    EXPECT_EQ(reason, "truncated in renderGroups (group 1 batch 0): face index count 1 is more than the file can hold");
    EXPECT_FALSE(parseSkeletalMesh(whole.data(), 4 + 2, &reason));
    EXPECT_EQ(reason, "truncated in positions");
}

TEST(MeshFileRejects, NegativeAndImpossibleCounts) {
    std::string reason;
    ByteSink negative;
    negative.bytes("QXM1", 4);
    negative.i32(-1);
    EXPECT_FALSE(parse(negative.data(), &reason));
    EXPECT_EQ(reason, "positions: count -1 is negative");

    ByteSink huge;
    huge.bytes("QXM1", 4);
    emptyCounts(huge, 3);
    huge.i32(2000000000);
    EXPECT_FALSE(parse(huge.data(), &reason));
    EXPECT_EQ(reason, "truncated in faces: count 2000000000 is more than the file can hold");

    // a face that claims a billion mappings
    ByteSink mappings;
    mappings.bytes("QXM1", 4);
    emptyCounts(mappings, 3);
    mappings.i32(1);
    emptyCounts(mappings, 9);
    mappings.i32(1000000000);
    emptyCounts(mappings, 4);
    EXPECT_FALSE(parse(mappings.data(), &reason));
    EXPECT_EQ(reason, "truncated in faces (face 0): mapping count 1000000000 is more than the file can hold");
    auto negativeMappings = mappings.take();
    const std::int32_t minusTwo = -2;
    std::memcpy(negativeMappings.data() + 4 + 4 * 4 + 9 * 4, &minusTwo, 4);
    EXPECT_FALSE(parse(negativeMappings, &reason));
    EXPECT_EQ(reason, "faces (face 0): mapping count -2 is negative");

    // a bone with a negative attached-position count
    auto bones = boneFile({{-1, -1, -1}});
    const std::int32_t minusOne = -1;
    std::memcpy(bones.data() + bones.size() - 8, &minusOne, 4);
    EXPECT_FALSE(parse(bones, &reason));
    EXPECT_EQ(reason, "bones (bone 0): attached position count -1 is negative");
}

// Each damage as the sections before it (empty), then the words given; the reason word for word.
TEST(MeshFileRejects, EachDamageNamesItsPlace) {
    const std::int32_t endless = 0x61616161;         // "aaaa": a name that never ends
    std::vector<std::int32_t> cutBone(17, endless);  // count 1, then 64 bytes with no 0 byte
    cutBone[0] = 1;
    std::vector<std::int32_t> bigAttached(17, 0);  // count 1, "aaa" and its 0 byte, the fixed fields
    bigAttached[0] = 1, bigAttached[1] = 0x00616161, bigAttached[16] = 3;
    const struct {
        int emptyBefore;
        std::vector<std::int32_t> words;
        const char* reason;
    } cases[] = {
        {1, {}, "truncated in normals"},
        {2, {2, 1, 0}, "truncated in positionNormals (position 1)"},
        {2, {1, -1}, "positionNormals (position 0): normal count -1 is negative"},
        {2, {1, 5}, "truncated in positionNormals (position 0): normal count 5 is more than the file can hold"},
        {4, {1}, "truncated in materials: count 1 is more than the file can hold"},
        {5, {1, endless, endless}, "truncated in textures (texture 0)"},
        {6, cutBone, "truncated in bones (bone 0)"},
        {6, bigAttached, "truncated in bones (bone 0): attached position count 3 is more than the file can hold"},
        {7, {2, 0, 1, 0, 0, 0}, "truncated in renderGroups (group 1)"},
        {7, {1, 0, -1}, "renderGroups (group 0): batch count -1 is negative"},
        {7, {1, 0, 2, 0}, "truncated in renderGroups (group 0): batch count 2 is more than the file can hold"},
        {7, {1, 0, 2, 0, 1, 0, 0}, "truncated in renderGroups (group 0 batch 1)"},
        {7, {1, 0, 1, 0, -3}, "renderGroups (group 0 batch 0): face index count -3 is negative"},
    };
    for (const auto& c : cases) {
        ByteSink file;
        file.bytes("QXM1", 4);
        emptyCounts(file, c.emptyBefore);
        for (const std::int32_t word : c.words) file.i32(word);
        std::string reason;
        EXPECT_FALSE(parse(file.data(), &reason)) << c.reason;
        EXPECT_EQ(reason, c.reason);
    }
}

TEST(MeshFileRejects, TextureCountBeyondTheLimit) {
    const auto fileWithTextures = [](std::int32_t n) {
        ByteSink out;
        out.bytes("QXM1", 4);
        emptyCounts(out, 5);
        out.i32(n);
        for (std::int32_t t = 0; t < n; ++t) out.cString(""), out.u16(0), out.u16(0);
        emptyCounts(out, 2);
        return out.take();
    };
    const auto atLimit = parse(fileWithTextures(MaxMeshTextures));
    ASSERT_TRUE(atLimit);
    EXPECT_EQ(atLimit->textures.size(), std::size_t(MaxMeshTextures));
    std::string reason;
    EXPECT_FALSE(parse(fileWithTextures(MaxMeshTextures + 1), &reason));
    EXPECT_EQ(reason, "textures: count 4097 is more than the 4096 a mesh may have");
}

TEST(MeshFileIndices, OutOfRangeIndicesAreKeptAsStored) {
    SkeletalMesh mesh = sampleMesh();
    mesh.faces[0].positionIndex[0] = 1000;
    mesh.faces[0].mappings[0].textureIndex = -5;
    mesh.positionNormals[0] = {77};
    mesh.renderGroups[0].batches[0].faceIndices = {-1, 99};
    const auto read = parse(encodeSkeletalMesh(mesh));
    ASSERT_TRUE(read);
    test::expectSameStoredFields(mesh, *read);
}

TEST(MeshFileRead, MissingFileGivesAReason) {
    std::string reason;
    EXPECT_FALSE(readSkeletalMesh("/nonexistent/m.qm1", &reason, ImageLoading::Skip));
    EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace qx
