#include "import/MeshFromPly.h"

#include <gtest/gtest.h>

#include <cstring>

#include "import/PlyFile.h"
#include "skeletal/NameHash.h"
#include "tests/support/AmExportBuilder.h"

namespace qx {
namespace {

using test::PlyBytes;
using test::squarePly;

std::unique_ptr<SkeletalMesh> convert(const PlyBytes& ply) {
    const auto bytes = ply.bytes();
    std::string reason;
    const auto model = parsePly(bytes.data(), bytes.size(), &reason);
    EXPECT_NE(model, nullptr) << reason;
    if (!model) return nullptr;
    return meshFromPly(*model);
}

PlyBytes::Mapping mapping(std::int32_t image) {
    PlyBytes::Mapping m;
    m.imageIndex = image;
    return m;
}

PlyBytes::Patch patch(std::int32_t surface, std::initializer_list<PlyBytes::Mapping> mappings = {}) {
    PlyBytes::Patch p;
    p.surfaceIndex = surface;
    p.positionIndex = {0, 1, 2, 3};
    p.mappings = mappings;
    return p;
}

TEST(MeshFromPly, EachPatchGivesTwoTriangles) {
    PlyBytes ply = squarePly();
    ply.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}};
    ply.normals = {{0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {-1, 0, 0}};
    PlyBytes::Patch a = patch(0);
    a.normalIndex = {1, 2, 3, 4};
    PlyBytes::Patch b = patch(0);
    b.positionIndex = {1, 4, 5, 2};
    b.normalIndex = {0, 0, 1, 1};
    PlyBytes::Mapping m;
    m.imageIndex = 0;
    m.value1 = 11;
    m.value2 = 22;
    m.value3 = 33;
    m.byte1 = 1;
    m.byte2 = 2;
    // Stored v values; the reader flips them to 1 - v.
    const float uv[4][2] = {{0.0f, 1.0f}, {0.5f, 0.75f}, {1.0f, 0.5f}, {0.25f, 0.0f}};
    std::memcpy(m.uv, uv, sizeof uv);
    b.mappings = {m};
    ply.patches = {a, b, patch(0)};
    const auto mesh = convert(ply);
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->faces.size(), 6u);

    const MeshFace& a0 = mesh->faces[0];
    const MeshFace& a1 = mesh->faces[1];
    EXPECT_EQ(std::vector<std::int32_t>(a0.positionIndex, a0.positionIndex + 4),
              (std::vector<std::int32_t>{0, 1, 2, 0}));
    EXPECT_EQ(std::vector<std::int32_t>(a0.normalIndex, a0.normalIndex + 4), (std::vector<std::int32_t>{1, 2, 3, 0}));
    EXPECT_EQ(std::vector<std::int32_t>(a1.positionIndex, a1.positionIndex + 4),
              (std::vector<std::int32_t>{0, 2, 3, 0}));
    EXPECT_EQ(std::vector<std::int32_t>(a1.normalIndex, a1.normalIndex + 4), (std::vector<std::int32_t>{1, 3, 4, 0}));
    EXPECT_TRUE(a0.mappings.empty());

    const MeshFace& b0 = mesh->faces[2];
    const MeshFace& b1 = mesh->faces[3];
    EXPECT_EQ(std::vector<std::int32_t>(b0.positionIndex, b0.positionIndex + 4),
              (std::vector<std::int32_t>{1, 4, 5, 0}));
    EXPECT_EQ(std::vector<std::int32_t>(b1.positionIndex, b1.positionIndex + 4),
              (std::vector<std::int32_t>{1, 5, 2, 0}));
    ASSERT_EQ(b0.mappings.size(), 1u);
    ASSERT_EQ(b1.mappings.size(), 1u);
    const FaceMapping& m0 = b0.mappings[0];
    EXPECT_EQ(m0.textureIndex, 0);
    EXPECT_EQ(m0.auxValue1, 11);
    EXPECT_EQ(m0.auxValue2, 22);
    EXPECT_EQ(m0.auxValue3, 33);
    EXPECT_EQ(m0.auxByte1, 1);
    EXPECT_EQ(m0.auxByte2, 2);
    // Face A: patch corners 0, 1, 2; face B: 0, 2, 3; v flipped; corner 3 zero.
    const float faceA[4][2] = {{0.0f, 0.0f}, {0.5f, 0.25f}, {1.0f, 0.5f}, {0.0f, 0.0f}};
    const float faceB[4][2] = {{0.0f, 0.0f}, {1.0f, 0.5f}, {0.25f, 1.0f}, {0.0f, 0.0f}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(m0.uv[k][0], faceA[k][0]) << k;
        EXPECT_EQ(m0.uv[k][1], faceA[k][1]) << k;
        EXPECT_EQ(b1.mappings[0].uv[k][0], faceB[k][0]) << k;
        EXPECT_EQ(b1.mappings[0].uv[k][1], faceB[k][1]) << k;
    }
    EXPECT_EQ(b1.mappings[0].auxValue3, 33);
}

TEST(MeshFromPly, GeometryMaterialsAndTexturesCarried) {
    PlyBytes ply = squarePly();
    PlyBytes::Surface s;
    s.color = {255, 0, 51};
    s.color2 = {0, 255, 0};
    s.value4 = 40;
    s.value8 = -80;
    s.value2 = 2;  // not carried
    ply.surfaces.push_back(s);
    ply.images = {{"skin.png", 7, -1}, {"face.tga", 0, 0}};
    const auto mesh = convert(ply);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->positions, ply.positions);
    EXPECT_EQ(mesh->normals, ply.normals);
    EXPECT_EQ(mesh->positionNormals, (std::vector<std::vector<std::int32_t>>{{0}, {0}, {0}, {0}}));
    ASSERT_EQ(mesh->materials.size(), 2u);
    const MeshMaterial& m = mesh->materials[1];
    EXPECT_EQ(m.color, Vector3(1.0f, 0.0f, 0.2f));
    EXPECT_EQ(m.auxVector, Vector3(0.0f, 1.0f, 0.0f));
    EXPECT_EQ(m.auxValue1, 40);
    EXPECT_EQ(m.auxValue2, -80);
    ASSERT_EQ(mesh->textures.size(), 2u);
    EXPECT_EQ(mesh->textures[0].name, "skin.png");
    EXPECT_EQ(mesh->textures[0].auxWord1, 7);
    EXPECT_EQ(mesh->textures[0].auxWord2, 0xFFFF);  // the int16 -1 as its 16 bits
    EXPECT_EQ(mesh->textures[0].glName, 0u);
    EXPECT_TRUE(mesh->textures[0].pixels.empty());
    EXPECT_EQ(mesh->textures[1].name, "face.tga");
    EXPECT_EQ(mesh->nameHash, 0);
}

TEST(MeshFromPly, SingleBone) {
    const auto mesh = convert(squarePly());
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->bones.size(), 1u);
    const MeshBone& root = mesh->bones[0];
    EXPECT_EQ(root.parent, -1);
    EXPECT_EQ(root.firstChild, -1);
    EXPECT_EQ(root.nextSibling, -1);
    EXPECT_EQ(root.index, 0);
    EXPECT_EQ(root.name, "root");
    EXPECT_EQ(root.nameHash, nameHash("root"));
    EXPECT_EQ(root.attachedPositions, (std::vector<std::int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(mesh->importMap, (std::map<std::int32_t, std::string>{{nameHash("root"), "root"}}));
}

TEST(MeshFromPly, BonesFlattenedInReadingOrderWithIndexLinks) {
    // root → {spine → {neck}, hip}: file order root, spine, neck, hip.
    PlyBytes ply = squarePly();
    PlyBytes::Bone root = ply.bones[0];
    root.hasChild = true;
    PlyBytes::Bone spine;
    spine.name = "spine";
    spine.hasChild = true;
    spine.hasSibling = true;
    spine.start = {0, 0, 1};
    spine.end = {0, 0, 2};
    spine.roll = {0, 1, 1};
    spine.attachedPositions = {2};
    PlyBytes::Bone neck;
    neck.name = "neck";
    neck.start = {0, 0, 2};
    neck.end = {0, 1, 2};
    neck.roll = {0, 1, 3};
    PlyBytes::Bone hip;
    hip.name = "hip";
    ply.bones = {root, spine, neck, hip};
    const auto bytes = ply.bytes();
    const auto model = parsePly(bytes.data(), bytes.size());
    ASSERT_NE(model, nullptr);
    const auto mesh = meshFromPly(*model);
    ASSERT_EQ(mesh->bones.size(), 4u);

    struct Links {
        const char* name;
        int parent, firstChild, nextSibling;
    };
    const Links expected[] = {{"root", -1, 1, -1}, {"spine", 0, 2, 3}, {"neck", 1, -1, -1}, {"hip", 0, -1, -1}};
    for (int k = 0; k < 4; ++k) {
        const MeshBone& b = mesh->bones[k];
        EXPECT_EQ(b.name, expected[k].name);
        EXPECT_EQ(b.index, k);
        EXPECT_EQ(b.parent, expected[k].parent) << k;
        EXPECT_EQ(b.firstChild, expected[k].firstChild) << k;
        EXPECT_EQ(b.nextSibling, expected[k].nextSibling) << k;
        EXPECT_EQ(b.nameHash, nameHash(expected[k].name));
    }
    const MeshBone& n = mesh->bones[2];
    const PlyBone& source = *model->rootBone->firstChild->firstChild;
    EXPECT_EQ(n.start, neck.start);
    EXPECT_EQ(n.end, neck.end);
    EXPECT_EQ(n.roll, neck.roll);
    EXPECT_EQ(n.worldToBone, source.worldToBone);
    EXPECT_EQ(n.boneToWorld, source.boneToWorld);
    EXPECT_EQ(mesh->bones[1].attachedPositions, std::vector<std::int32_t>{2});
    EXPECT_EQ(mesh->importMap.size(), 4u);
    EXPECT_EQ(mesh->importMap.at(nameHash("hip")), "hip");
}

TEST(RenderGroups, ByFirstMappingTextureThenMaterialInOrderOfAppearance) {
    // Patch i gives faces 2i and 2i + 1.
    PlyBytes ply = squarePly();
    ply.surfaces.resize(2);
    ply.patches = {patch(1, {mapping(2), mapping(0)}),  // faces 0, 1: texture 2, material 1
                   patch(0),                            // faces 2, 3: untextured, material 0
                   patch(0, {mapping(2)}),              // faces 4, 5: texture 2, material 0
                   patch(1, {mapping(2)}),              // faces 6, 7: texture 2, material 1
                   patch(1)};                           // faces 8, 9: untextured, material 1
    const auto mesh = convert(ply);
    ASSERT_NE(mesh, nullptr);
    const std::vector<TextureGroup> expected = {
        {2, {{1, {0, 1, 6, 7}}, {0, {4, 5}}}},
        {-1, {{0, {2, 3}}, {1, {8, 9}}}},
    };
    EXPECT_EQ(mesh->renderGroups, expected);
}

}  // namespace
}  // namespace qx
