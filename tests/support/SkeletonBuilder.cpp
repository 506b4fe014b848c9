#include "tests/support/SkeletonBuilder.h"

#include <cmath>

#include <gtest/gtest.h>

#include "skeletal/NameHash.h"
#include "tests/support/MotionBuilder.h"

namespace qx::test {

MeshBone meshBone(const std::string& name, const Vector3& start, const Vector3& end, const Vector3& roll,
                  std::int32_t parent) {
    MeshBone bone;
    bone.name = name;
    bone.nameHash = nameHash(name);
    bone.parent = parent;
    bone.start = start;
    bone.end = end;
    bone.roll = roll;
    computeBoneFrame(bone);
    return bone;
}

MeshBone uprightBone(const std::string& name, const Vector3& start, std::int32_t parent) {
    return meshBone(name, start, start + UnitZ, start + UnitY, parent);
}

void linkBones(std::vector<MeshBone>& bones) {
    const auto count = static_cast<std::int32_t>(bones.size());
    for (std::int32_t i = 0; i < count; ++i) {
        bones[i].index = i;
        bones[i].firstChild = -1;
        bones[i].nextSibling = -1;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t parent = bones[i].parent;
        if (parent < 0) continue;
        if (bones[parent].firstChild < 0) {
            bones[parent].firstChild = i;
            continue;
        }
        std::int32_t last = bones[parent].firstChild;
        while (bones[last].nextSibling >= 0) last = bones[last].nextSibling;
        bones[last].nextSibling = i;
    }
}

std::int32_t addVertex(SkeletalMesh& mesh, std::int32_t bone, const Vector3& position, const Vector3& normal) {
    const auto p = static_cast<std::int32_t>(mesh.positions.size());
    const auto n = static_cast<std::int32_t>(mesh.normals.size());
    mesh.positions.push_back(position);
    mesh.normals.push_back(normal);
    mesh.positionNormals.push_back({n});
    mesh.bones[bone].attachedPositions.push_back(p);
    return p;
}

MotionTrack poseTrack(const std::string& bone, const Vector3& translation, const Quaternion& rotation,
                      const Vector3& scale) {
    MotionTrack t = track(bone);
    const float values[ChannelCount] = {translation.x, translation.y, translation.z, scale.x,    scale.y,
                                        scale.z,       rotation.x,    rotation.y,    rotation.z, rotation.w};
    for (int k = 0; k < ChannelCount; ++k) t.channels[k] = channel({key(0.0f, values[k])});
    return t;
}

std::unique_ptr<SkeletalMotion> makeMotion(std::int32_t id, std::int32_t animationType, float duration,
                                           std::vector<MotionTrack> tracks, float attackLength, float decayLength) {
    auto motion = std::make_unique<SkeletalMotion>();
    motion->nameHash = id;
    motion->animationType = animationType;
    motion->duration = duration;
    motion->attackLength = attackLength;
    motion->decayLength = decayLength;
    motion->tracks = std::move(tracks);
    return motion;
}

Quaternion aboutZ(float degrees) {
    const double half = static_cast<double>(degrees) * 3.14159265358979323846 / 360.0;
    return {0.0f, 0.0f, static_cast<float>(std::sin(half)), static_cast<float>(std::cos(half))};
}

void expectNear(const Vector3& expected, const Vector3& actual, float tolerance) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

void expectNear(const Matrix& expected, const Matrix& actual, float tolerance) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(expected.m[i][j], actual.m[i][j], tolerance) << "entry " << i << j;
}

}  // namespace qx::test
