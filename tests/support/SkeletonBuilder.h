#pragma once
// Small builders for animating skeletons in tests: bones given by their points and parent,
// linked into the child/sibling tree, positions with their normals attached to a bone, and
// motions that hold one pose per bone.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "math/Quaternion.h"
#include "skeletal/SkeletalMesh.h"
#include "skeletal/SkeletalMotion.h"

namespace qx::test {

// A bone from start to end whose +Y looks toward roll, with its name's hash and its matrices
// computed; parent as given, no child or sibling yet.
MeshBone meshBone(const std::string& name, const Vector3& start, const Vector3& end, const Vector3& roll,
                  std::int32_t parent = -1);

// An upright bone at start: +Z up the world's Z, +Y along the world's Y. Its matrices are pure
// translations, so a pose acts about start with the world's axes.
MeshBone uprightBone(const std::string& name, const Vector3& start, std::int32_t parent = -1);

// Sets index, firstChild and nextSibling of every bone from the parent links. The bones must be
// in pre-order (each after its parent, each subtree contiguous); children keep list order.
void linkBones(std::vector<MeshBone>& bones);

// Appends a position with one normal of its own, attached to bone; returns the position index.
std::int32_t addVertex(SkeletalMesh& mesh, std::int32_t bone, const Vector3& position, const Vector3& normal);

// A track for the named bone holding one pose at all times (one key in each channel).
MotionTrack poseTrack(const std::string& bone, const Vector3& translation, const Quaternion& rotation = {},
                      const Vector3& scale = {1.0f, 1.0f, 1.0f});

// A motion with the given header and tracks, identified by id (its nameHash).
std::unique_ptr<SkeletalMotion> makeMotion(std::int32_t id, std::int32_t animationType, float duration,
                                           std::vector<MotionTrack> tracks = {}, float attackLength = 0.0f,
                                           float decayLength = 0.0f);

// The rotation by degrees about the world's Z axis.
Quaternion aboutZ(float degrees);

// Expects each component of actual within tolerance of expected.
void expectNear(const Vector3& expected, const Vector3& actual, float tolerance = 1e-5f);
void expectNear(const Matrix& expected, const Matrix& actual, float tolerance = 1e-5f);

}  // namespace qx::test
