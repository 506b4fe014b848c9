#pragma once
// A glTF animation as the importer reads it: per node, the curves that move its translation,
// rotation, scale or morph weights, each evaluated at any time exactly as glTF defines: STEP
// holds, LINEAR interpolates (rotations along the shorter arc), CUBICSPLINE follows the Hermite
// curve of its tangents (rotations normalised after). Key times must be finite and strictly
// ascending; outputs must match them in count.

#include <map>
#include <string>
#include <vector>

#include "import/TinyGltf.h"

#include "gltf/GltfTrs.h"

namespace qx {

enum class GltfInterpolation { Step, Linear, CubicSpline };

struct GltfCurve {
    GltfInterpolation interpolation = GltfInterpolation::Linear;
    std::vector<float> times;
    std::vector<float> values;  // components a key; a cubic key holds in-tangent, value, out-tangent
    int components = 0;
    bool rotation = false;

    // The value at t into out (components numbers).
    void evaluate(double t, double* out) const;
    // The value of key k (not a tangent).
    const float* keyValue(std::size_t k) const;
};

// The curves of one node; -1 where a property is not animated.
struct GltfNodeCurves {
    int translation = -1, rotation = -1, scale = -1, weights = -1;
};

struct GltfAnimation {
    std::string name;
    std::vector<GltfCurve> curves;
    std::map<int, GltfNodeCurves> nodes;  // by node index
    float duration = 0.0f;                // the last key time of any curve

    // The node's transform at t: its rest with the animated properties replaced.
    GltfTrs poseAt(int node, const GltfTrs& rest, double t) const;
};

// Reads animation index of the model; morph weights need the target count of the node's mesh.
bool readGltfAnimation(const tinygltf::Model& model, std::size_t index, GltfAnimation& animation, std::string* reason);

}  // namespace qx
