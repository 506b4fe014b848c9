#include "skeletal/SkeletalMesh.h"

namespace qx {

void computeBoneFrame(MeshBone& bone) {
    bone.worldToBone = Matrix::fromBonePoints(bone.start, bone.end, bone.roll);
    bone.boneToWorld = Matrix::rigidInverse(bone.worldToBone);
}

}  // namespace qx
