#include "skeletal/SkeletalModel.h"

namespace qx {

SkeletalMotion* SkeletalModel::findMotion(std::int32_t id) const {
    for (const auto& motion : motions_)
        if (motion->nameHash == id) return motion.get();
    return nullptr;
}

}  // namespace qx
