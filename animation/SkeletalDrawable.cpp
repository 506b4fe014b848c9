#include "animation/SkeletalDrawable.h"

namespace qx {

SkeletalDrawable::SkeletalDrawable(const SkeletalMesh& source) : mesh(&source) {
    bones.resize(source.bones.size());
    for (std::size_t i = 0; i < bones.size(); ++i) bones[i].bone = &source.bones[i];
}

}  // namespace qx
