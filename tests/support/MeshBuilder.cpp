#include "tests/support/MeshBuilder.h"

#include <gtest/gtest.h>

#include "skeletal/NameHash.h"

namespace qx::test {

MeshBone bone(const std::string& name, std::int32_t parent, std::int32_t firstChild, std::int32_t nextSibling,
              const Vector3& start, const Vector3& end, const Vector3& roll) {
    MeshBone b;
    b.name = name;
    b.nameHash = nameHash(name);
    b.parent = parent;
    b.firstChild = firstChild;
    b.nextSibling = nextSibling;
    b.start = start;
    b.end = end;
    b.roll = roll;
    computeBoneFrame(b);
    return b;
}

SkeletalMesh sampleMesh() {
    SkeletalMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1.5f}};
    mesh.normals = {{0, 0, 1}, {-0.25f, 0.5f, 0.75f}};
    mesh.positionNormals = {{0}, {0, 1}, {}, {1}};

    MeshFace mapped;
    mapped.materialIndex = 1;
    mapped.positionIndex[0] = 0, mapped.positionIndex[1] = 1, mapped.positionIndex[2] = 2, mapped.positionIndex[3] = 3;
    mapped.normalIndex[0] = 1, mapped.normalIndex[1] = 0, mapped.normalIndex[2] = 1, mapped.normalIndex[3] = -7;
    FaceMapping m;
    m.textureIndex = 0;
    m.auxValue1 = 11;
    m.auxValue2 = -12;
    m.auxValue3 = 0x7FFFFFFF;
    m.auxByte1 = 0xFF;
    m.auxByte2 = 0x80;
    const float uv[4][2] = {{0.0f, 0.125f}, {1.0f, 0.25f}, {0.5f, 1.0f}, {-2.0f, 3.0f}};
    for (int c = 0; c < 4; ++c) m.uv[c][0] = uv[c][0], m.uv[c][1] = uv[c][1];
    mapped.mappings = {m};

    MeshFace plain;  // no mappings: drawn untextured
    plain.materialIndex = 0;
    plain.positionIndex[0] = 3, plain.positionIndex[1] = 2, plain.positionIndex[2] = 1, plain.positionIndex[3] = 0;
    plain.normalIndex[0] = 0, plain.normalIndex[1] = 0, plain.normalIndex[2] = 1, plain.normalIndex[3] = 1;

    MeshFace layered = mapped;
    FaceMapping second = m;
    second.textureIndex = 1;
    second.auxValue1 = -1;
    second.auxByte1 = 1;
    second.auxByte2 = 2;
    second.uv[3][1] = 0.75f;
    layered.mappings.push_back(second);
    layered.positionIndex[3] = 2;
    mesh.faces = {std::move(mapped), std::move(plain), std::move(layered)};

    MeshMaterial red;
    red.color = {1, 0, 0};
    red.auxVector = {0.5f, 0.25f, 0.125f};
    red.auxValue1 = 3;
    red.auxValue2 = -4;
    MeshMaterial grey;
    grey.color = {0.5f, 0.5f, 0.5f};
    grey.auxVector = {-1, -2, -3};
    grey.auxValue1 = 100;
    grey.auxValue2 = 200;
    mesh.materials = {red, grey};

    mesh.textures.resize(2);
    mesh.textures[0].name = "skin.bmp";
    mesh.textures[0].auxWord1 = 1;
    mesh.textures[0].auxWord2 = 0xFFFF;
    mesh.textures[1].name = "sub/caf\xE9.tga";
    mesh.textures[1].auxWord1 = 0x8000;
    mesh.textures[1].auxWord2 = 7;

    mesh.bones.push_back(bone("root", -1, 1, -1, {1, 2, 3}, {1, 2, 4}, {1, 3, 3}));
    mesh.bones.push_back(bone("arm", 0, -1, 2, {0, 0, 0}, {2, 0, 0}, {0, 0, 1}));
    mesh.bones.push_back(bone("leg", 0, -1, -1, {0, 0, 0}, {0, -1, 0}, {1, 0, 0}));
    mesh.bones[0].attachedPositions = {0, 3};
    mesh.bones[1].attachedPositions = {1};
    mesh.bones[2].attachedPositions = {2, 9};  // 9 is outside the list: kept as stored
    mesh.bones[0].index = 0;
    mesh.bones[1].index = 1;
    mesh.bones[2].index = 2;
    mesh.bones[2].nameHash = 123456789;

    mesh.renderGroups = {{0, {{1, {0, 2}}}}, {-1, {{0, {1}}}}};
    return mesh;
}

void expectSameStoredFields(const SkeletalMesh& expected, const SkeletalMesh& actual) {
    EXPECT_EQ(expected.positions, actual.positions);
    EXPECT_EQ(expected.normals, actual.normals);
    EXPECT_EQ(expected.positionNormals, actual.positionNormals);
    EXPECT_EQ(expected.faces, actual.faces);
    EXPECT_EQ(expected.materials, actual.materials);
    ASSERT_EQ(expected.textures.size(), actual.textures.size());
    for (std::size_t t = 0; t < expected.textures.size(); ++t) {
        EXPECT_EQ(expected.textures[t].name, actual.textures[t].name) << "texture " << t;
        EXPECT_EQ(expected.textures[t].auxWord1, actual.textures[t].auxWord1) << "texture " << t;
        EXPECT_EQ(expected.textures[t].auxWord2, actual.textures[t].auxWord2) << "texture " << t;
    }
    ASSERT_EQ(expected.bones.size(), actual.bones.size());
    for (std::size_t b = 0; b < expected.bones.size(); ++b)
        EXPECT_EQ(expected.bones[b], actual.bones[b]) << "bone " << b;
    EXPECT_EQ(expected.renderGroups, actual.renderGroups);
}

}  // namespace qx::test
