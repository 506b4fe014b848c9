#pragma once
// The local transform of one bone, with the two fields the blending accumulates.

#include "math/Quaternion.h"
#include "math/Vector3.h"

namespace qx {

struct Pose {
    Vector3 translation{0.0f, 0.0f, 0.0f};
    Vector3 scale{1.0f, 1.0f, 1.0f};
    Quaternion rotation{0.0f, 0.0f, 0.0f, 1.0f};
    float weight = 0.0f;     // accumulated blend weight
    bool saturated = false;  // the accumulated weight reached 1
};

}  // namespace qx
