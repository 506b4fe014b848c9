#pragma once
// How far moving each vertex with its one strongest joint strays from glTF's own skinning, which
// blends up to eight joints by weight: measured at rest and at the key times of every animation
// (up to 64 of them each), the worst vertex, animation and time said as a part of the model's size.

#include <string>
#include <vector>

#include "import/GltfAnimation.h"
#include "import/GltfGeometry.h"
#include "import/GltfNodeTree.h"

namespace qx {

struct GltfRigidStray {
    std::size_t blended = 0;  // vertices with more than one joint of weight above 0
    std::size_t vertices = 0;
    double worst = 0.0;  // as a part of the model's size
    std::size_t vertex = 0;
    int animation = -1;  // -1: at rest
    double time = 0.0;
};

// The stray of the skin's vertices in geometry (those with influences). skinning: per joint, its
// rest world x inverse bind; inverseBinds: 16 floats a joint, or empty for identities.
GltfRigidStray measureRigidStray(const GltfNodeTree& tree, const std::vector<GltfAnimation>& animations,
                                 const std::vector<int>& joints, const std::vector<float>& inverseBinds,
                                 const GltfGeometry& geometry, double size);

// The measure as a sentence in notes, when some vertex had more than one joint.
void describeRigidStray(const GltfRigidStray& stray, const std::vector<GltfAnimation>& animations,
                        std::vector<std::string>& notes);

}  // namespace qx
