#pragma once
// The fixed part of posing and skinning a mesh, worked out once when an instance is built: the
// order in which the bone tree is walked (a bone, its first child's subtree, then its next
// sibling), which bone's matrix each bone inherits, and which step moves each position and
// normal, with every index that lies outside its list left out.
//
// Skinning copies the rest mesh and moves each attached position, and each normal on it, by its
// bone's matrix, in walk order. The tables here give the same results in one sweep over the
// arrays in index order, whatever order a file lists a bone's positions in: each position and
// normal names the step of its first move, which reads the rest value, and nothing else
// (-1 when no bone moves it: it is copied as it is). The rare further moves (a position attached
// twice, a normal shared by positions of several bones) are kept per step and applied after the
// sweep in walk order, each reading where the earlier moves left it.
//
// The walk follows firstChild and nextSibling from bone 0. A link outside the bone list, or to a
// bone already reached, ends that branch: the reader accepts only proper trees, so this changes
// nothing for a file's mesh, but a mesh built by other code can never make the walk loop.

#include <cstdint>
#include <vector>

#include "skeletal/SkeletalMesh.h"

namespace qx {

struct IndexRange {
    std::int32_t begin = 0;
    std::int32_t end = 0;
};

struct BoneWalkStep {
    std::int32_t bone = 0;         // index in the mesh's bones
    std::int32_t parentStep = -1;  // the step whose matrix this bone inherits; -1 = none
    // This bone's further moves, as ranges of the lists of the same names in BoneWalk.
    IndexRange repeatPositions;
    IndexRange repeatNormals;
};

struct BoneWalk {
    std::vector<BoneWalkStep> steps;  // in walk order; each reached bone once
    // Per position and per normal of the mesh: the step of its first move, -1 = none.
    std::vector<std::int32_t> positionSteps;
    std::vector<std::int32_t> normalSteps;
    // Moved again, from where an earlier move left them, in walk order.
    std::vector<std::int32_t> repeatPositions;
    std::vector<std::int32_t> repeatNormals;
};

BoneWalk walkBones(const SkeletalMesh& mesh);

}  // namespace qx
