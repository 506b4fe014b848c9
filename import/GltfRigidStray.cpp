#include "import/GltfRigidStray.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

namespace qx {

namespace {

ColumnMatrix inverseBindOf(const std::vector<float>& values, std::size_t joint) {
    ColumnMatrix m;
    if (values.empty()) return m;
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = 0; j < 4; ++j) m.m[i][j] = values[joint * 16 + j * 4 + i];
    return m;
}

// Up to 64 of the key times of the animation, spread over them.
std::vector<double> timesOf(const GltfAnimation& animation) {
    std::set<float> all;
    for (const GltfCurve& curve : animation.curves) all.insert(curve.times.begin(), curve.times.end());
    const std::vector<float> sorted(all.begin(), all.end());
    std::vector<double> picked;
    const std::size_t most = 64;
    for (std::size_t k = 0; k < std::min(most, sorted.size()); ++k)
        picked.push_back(sorted[sorted.size() <= most ? k : k * (sorted.size() - 1) / (most - 1)]);
    return picked;
}

std::string nameOf(const std::vector<GltfAnimation>& animations, int index) {
    const std::string& name = animations[static_cast<std::size_t>(index)].name;
    return name.empty() ? "animation " + std::to_string(index + 1) : name;
}

}  // namespace

GltfRigidStray measureRigidStray(const GltfNodeTree& tree, const std::vector<GltfAnimation>& animations,
                                 const std::vector<int>& joints, const std::vector<float>& inverseBinds,
                                 const GltfGeometry& geometry, double size) {
    GltfRigidStray stray;
    std::vector<std::size_t> blended;
    for (std::size_t v = 0; v < geometry.influences.size(); ++v) {
        std::size_t used = 0;
        for (const float w : geometry.influences[v].weights) used += w > 0.0f ? 1 : 0;
        if (used > 1) blended.push_back(v);
        stray.vertices += used > 0 ? 1 : 0;
    }
    stray.blended = blended.size();
    if (blended.empty() || !(size > 0.0)) return stray;
    const auto measure = [&](int animation, double time) {
        std::vector<ColumnMatrix> local = tree.local;
        if (animation >= 0)
            for (const auto& entry : animations[static_cast<std::size_t>(animation)].nodes) {
                const auto node = static_cast<std::size_t>(entry.first);
                local[node] = matrixOf(
                    animations[static_cast<std::size_t>(animation)].poseAt(entry.first, tree.rest[node], time));
            }
        const std::vector<ColumnMatrix> world = worldOf(tree, local);
        std::vector<ColumnMatrix> moves;
        for (std::size_t j = 0; j < joints.size(); ++j)
            moves.push_back(world[static_cast<std::size_t>(joints[j])] * inverseBindOf(inverseBinds, j));
        for (const std::size_t v : blended) {
            const GltfInfluences& influence = geometry.influences[v];
            const std::array<double, 3> p = {geometry.positions[v][0], geometry.positions[v][1],
                                             geometry.positions[v][2]};
            std::size_t best = 0;
            double smooth[3] = {0, 0, 0}, total = 0.0;
            for (std::size_t k = 0; k < 8; ++k) {
                if (influence.weights[k] > influence.weights[best]) best = k;
                if (!(influence.weights[k] > 0.0f) || influence.joints[k] >= moves.size()) continue;
                const auto moved = qx::apply(moves[influence.joints[k]], p);
                for (std::size_t c = 0; c < 3; ++c) smooth[c] += influence.weights[k] * moved[c];
                total += influence.weights[k];
            }
            if (!(total > 0.0) || influence.joints[best] >= moves.size()) continue;
            const auto rigid = qx::apply(moves[influence.joints[best]], p);
            const double d =
                std::hypot(rigid[0] - smooth[0] / total, rigid[1] - smooth[1] / total, rigid[2] - smooth[2] / total) /
                size;
            if (d > stray.worst) stray = {stray.blended, stray.vertices, d, v, animation, time};
        }
    };
    measure(-1, 0.0);
    for (std::size_t a = 0; a < animations.size(); ++a)
        for (const double t : timesOf(animations[a])) measure(static_cast<int>(a), t);
    return stray;
}

void describeRigidStray(const GltfRigidStray& stray, const std::vector<GltfAnimation>& animations,
                        std::vector<std::string>& notes) {
    if (stray.blended == 0) return;
    char worst[160];
    std::snprintf(worst, sizeof worst, "%.3g of the model's size (vertex %zu, ", stray.worst, stray.vertex);
    std::string where = stray.animation < 0 ? "at rest)"
                                            : "animation \"" + nameOf(animations, stray.animation) + "\" at " +
                                                  std::to_string(stray.time).substr(0, 6) + " s)";
    notes.push_back(std::to_string(stray.blended) + " of " + std::to_string(stray.vertices) +
                    " vertices had more than one joint and now follow their joint of largest weight alone (smooth "
                    "skinning made rigid): they stray up to " +
                    worst + where + " from the glTF's own skinning");
}

}  // namespace qx
