#pragma once
// The fixed part of posing and skinning a mesh, worked out once when an instance is built: the
// order in which the bone tree is walked (a bone, its first child's subtree, then its next
// sibling), which bone's matrix each bone inherits, and the position and normal indices each
// bone moves, with every index that lies outside its list left out.
//
// The walk follows firstChild and nextSibling from bone 0. A link outside the bone list, or to a
// bone already reached, ends that branch: the reader accepts only proper trees, so this changes
// nothing for a file's mesh, but a mesh built by other code can never make the walk loop.

#include <cstdint>
#include <vector>

#include "skeletal/SkeletalMesh.h"

namespace qx {

struct BoneWalkStep {
    std::int32_t bone = 0;           // index in the mesh's bones
    std::int32_t parentStep = -1;    // the step whose matrix this bone inherits; -1 = none
    std::int32_t firstAttached = 0;  // this bone's positions: BoneWalk::attached[first, end)
    std::int32_t endAttached = 0;
};

struct BoneWalk {
    std::vector<BoneWalkStep> steps;     // in walk order; each reached bone once
    std::vector<std::int32_t> attached;  // position indices, bone by bone, each in list order
    // The normals sitting on position p: normals[normalStart[p], normalStart[p + 1]).
    // normalStart has one entry per position and one more.
    std::vector<std::int32_t> normalStart;
    std::vector<std::int32_t> normals;
};

BoneWalk walkBones(const SkeletalMesh& mesh);

}  // namespace qx
