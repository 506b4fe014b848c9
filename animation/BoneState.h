#pragma once
// The current state of one bone of an animated mesh: its local matrix for this frame, and the
// matrix skinning moved its positions by.

#include "math/Matrix.h"
#include "skeletal/SkeletalMesh.h"

namespace qx {

struct BoneState {
    const MeshBone* bone = nullptr;  // not owned: the mesh's bone
    // worldToBone x pose x boneToWorld: the bone's pose moved into model space, relative to
    // its parent. Identity at construction and for every bone no walk reaches.
    Matrix local;
    // local x the parent's world: what skinning moves this bone's positions by, kept so that
    // what is drawn about a bone (the skeleton overlay) moves exactly as its positions do.
    // Identity at construction and for every bone no walk reaches (its positions stay at rest).
    Matrix world;
};

}  // namespace qx
