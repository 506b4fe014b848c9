#pragma once
// The fixed part of posing and skinning a mesh, worked out once when an instance is built: the
// order in which the bone tree is walked (a bone, its first child's subtree, then its next
// sibling), which bone's matrix each bone inherits, and the positions and normals each bone
// moves, with every index that lies outside its list left out.
//
// Skinning copies the rest mesh and moves each attached position, and each normal on it, by its
// bone's matrix, in walk order. The lists here give the same results without the copy: a
// position's first move reads the rest position, any further move (a position attached twice,
// a normal shared by positions of several bones) reads the moved one, and only what no bone
// moves is copied.
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
    // This bone's moves, as ranges of the lists of the same names in BoneWalk.
    IndexRange firstPositions;
    IndexRange repeatPositions;
    IndexRange firstNormals;
    IndexRange repeatNormals;
};

struct BoneWalk {
    std::vector<BoneWalkStep> steps;  // in walk order; each reached bone once
    std::vector<std::int32_t> firstPositions;   // moved from the rest position
    std::vector<std::int32_t> repeatPositions;  // moved again, from where an earlier move left them
    std::vector<std::int32_t> firstNormals;
    std::vector<std::int32_t> repeatNormals;
    std::vector<std::int32_t> restPositions;  // moved by no bone: copied as they are
    std::vector<std::int32_t> restNormals;
};

BoneWalk walkBones(const SkeletalMesh& mesh);

}  // namespace qx
