#pragma once
// The current state of one bone of an animated mesh: its local matrix for this frame.

#include "math/Matrix.h"
#include "skeletal/SkeletalMesh.h"

namespace qx {

struct BoneState {
    const MeshBone* bone = nullptr;  // not owned: the mesh's bone
    // worldToBone x pose x boneToWorld: the bone's pose moved into model space, relative to
    // its parent. Identity at construction and for every bone no walk reaches.
    Matrix local;
};

}  // namespace qx
