#pragma once
// One joint's glTF curves as the ten channels of a motion track (see GltfSkinnedImport.h for
// the map from a joint's transform to a bone's pose).

#include <array>
#include <cstddef>

#include "gltf/GltfTrs.h"
#include "import/GltfAnimation.h"
#include "skeletal/MotionTrack.h"

namespace qx {

// Which of the joint's axes a bone's own X, Y and Z axes are: a bone points along its Z axis, and
// a joint may point to its child along any of its axes (tools differ), so the bone's axes are the
// joint's renamed, keeping them right-handed. bone axis i = sign[i] x joint axis axis[i].
struct BoneAxes {
    std::array<int, 3> axis{0, 1, 2};
    std::array<double, 3> sign{1.0, 1.0, 1.0};

    // The axes of a bone along the joint's axis k, in direction s (+1 or -1).
    static BoneAxes along(int k, double s) {
        BoneAxes axes;
        axes.axis = {(k + 1) % 3, (k + 2) % 3, k};
        axes.sign = {1.0, s, s};
        return axes;
    }
};

// What turns the joint's transform T into the bone's pose: rest^-1 x T, its translation
// multiplied by translationFactor (the rest pose's scale above the joint) and its scale
// divided by restScale (the joint's own uniform rest scale), then said in the bone's axes.
struct JointMap {
    GltfTrs rest;
    double translationFactor = 1.0;
    double restScale = 1.0;
    BoneAxes axes;
};

// How far a pose may part from the glTF: tolerance at the points the joint moves, which lie up
// to reach from it.
struct JointTolerance {
    double tolerance = 0.0;
    double reach = 1.0;
};

// Keys left to add over a whole motion; exceeded once they ran out (the motion then strays).
struct KeyBudget {
    std::size_t left = 0;
    bool exceeded = false;
};

// Fills the channels of track from the joint's animated properties.
void convertJointCurves(const GltfAnimation& animation, const GltfNodeCurves& curves, const JointMap& map,
                        const JointTolerance& tolerance, KeyBudget& budget, MotionTrack& track);

}  // namespace qx
