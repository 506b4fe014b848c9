#include "import/GltfNodeTree.h"

#include <cmath>

namespace qx {

namespace {

bool fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

bool allFinite(const std::vector<double>& values) {
    for (const double v : values)
        if (!std::isfinite(v) || std::fabs(v) > 3.0e38) return false;
    return true;
}

// A matrix as translation, rotation and scale: its columns' lengths are the scale (the first
// negated for a mirror), the rest the rotation.
GltfTrs decompose(const ColumnMatrix& m) {
    GltfTrs trs;
    ColumnMatrix unit;
    double scale[3];
    for (std::size_t j = 0; j < 3; ++j) {
        scale[j] = std::sqrt(m.m[0][j] * m.m[0][j] + m.m[1][j] * m.m[1][j] + m.m[2][j] * m.m[2][j]);
        trs.translation[j] = static_cast<float>(m.m[j][3]);
    }
    const double det = m.m[0][0] * (m.m[1][1] * m.m[2][2] - m.m[1][2] * m.m[2][1]) -
                       m.m[0][1] * (m.m[1][0] * m.m[2][2] - m.m[1][2] * m.m[2][0]) +
                       m.m[0][2] * (m.m[1][0] * m.m[2][1] - m.m[1][1] * m.m[2][0]);
    if (det < 0.0) scale[0] = -scale[0];
    for (std::size_t j = 0; j < 3; ++j) {
        trs.scale[j] = static_cast<float>(scale[j]);
        for (std::size_t i = 0; i < 3; ++i) unit.m[i][j] = scale[j] != 0.0 ? m.m[i][j] / scale[j] : (i == j);
    }
    RigidTransform rigid;
    if (rigidPart(unit, rigid))
        for (std::size_t i = 0; i < 4; ++i) trs.rotation[i] = static_cast<float>(rigid.rotation[i]);
    return trs;
}

bool readTransform(const tinygltf::Node& node, GltfTrs& rest, ColumnMatrix& local) {
    if (!node.matrix.empty()) {
        if (node.matrix.size() != 16 || !allFinite(node.matrix)) return false;
        for (std::size_t i = 0; i < 4; ++i)
            for (std::size_t j = 0; j < 4; ++j) local.m[i][j] = node.matrix[j * 4 + i];
        rest = decompose(local);
        return true;
    }
    if ((!node.translation.empty() && node.translation.size() != 3) ||
        (!node.scale.empty() && node.scale.size() != 3) || (!node.rotation.empty() && node.rotation.size() != 4) ||
        !allFinite(node.translation) || !allFinite(node.scale) || !allFinite(node.rotation))
        return false;
    for (std::size_t i = 0; i < node.translation.size(); ++i)
        rest.translation[i] = static_cast<float>(node.translation[i]);
    for (std::size_t i = 0; i < node.scale.size(); ++i) rest.scale[i] = static_cast<float>(node.scale[i]);
    if (node.rotation.size() == 4) {
        double length = 0.0;
        for (const double c : node.rotation) length += c * c;
        length = std::sqrt(length);
        if (!(length > 0.0)) return false;
        for (std::size_t i = 0; i < 4; ++i) rest.rotation[i] = static_cast<float>(node.rotation[i] / length);
    }
    local = matrixOf(rest);
    return true;
}

}  // namespace

bool buildNodeTree(const tinygltf::Model& model, GltfNodeTree& tree, std::string* reason) {
    const std::size_t count = model.nodes.size();
    tree.parent.assign(count, -1);
    tree.rest.assign(count, GltfTrs{});
    tree.local.assign(count, ColumnMatrix{});
    for (std::size_t n = 0; n < count; ++n) {
        if (!readTransform(model.nodes[n], tree.rest[n], tree.local[n]))
            return fail(reason, "node " + std::to_string(n) + " has a transform that is not finite or not well formed");
        for (const int child : model.nodes[n].children) {
            if (child < 0 || static_cast<std::size_t>(child) >= count)
                return fail(reason, "node " + std::to_string(n) + " has a child that does not exist");
            if (tree.parent[static_cast<std::size_t>(child)] != -1 || static_cast<std::size_t>(child) == n)
                return fail(reason, "node " + std::to_string(child) + " has more than one parent");
            tree.parent[static_cast<std::size_t>(child)] = static_cast<int>(n);
        }
    }
    // Parents before children: each root's subtree, walked with a list of its own; a node in a
    // cycle is reached from no root.
    tree.order.clear();
    std::vector<int> pending;
    for (std::size_t n = 0; n < count; ++n)
        if (tree.parent[n] < 0) pending.push_back(static_cast<int>(n));
    while (!pending.empty()) {
        const int n = pending.back();
        pending.pop_back();
        tree.order.push_back(n);
        for (const int child : model.nodes[static_cast<std::size_t>(n)].children) pending.push_back(child);
    }
    if (tree.order.size() != count) return fail(reason, "the nodes form a cycle");
    tree.world = worldOf(tree, tree.local);
    return true;
}

std::vector<ColumnMatrix> worldOf(const GltfNodeTree& tree, const std::vector<ColumnMatrix>& local) {
    std::vector<ColumnMatrix> world(local.size());
    for (const int n : tree.order) {
        const auto i = static_cast<std::size_t>(n);
        world[i] = tree.parent[i] < 0 ? local[i] : world[static_cast<std::size_t>(tree.parent[i])] * local[i];
    }
    return world;
}

bool isAncestor(const GltfNodeTree& tree, int ancestor, int node) {
    for (int n = node; n >= 0; n = tree.parent[static_cast<std::size_t>(n)])
        if (n == ancestor) return true;
    return false;
}

bool inverseAffine(const ColumnMatrix& m, ColumnMatrix& inverse) {
    const auto& a = m.m;
    const double c00 = a[1][1] * a[2][2] - a[1][2] * a[2][1], c01 = a[1][2] * a[2][0] - a[1][0] * a[2][2],
                 c02 = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    const double det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
    if (!(std::fabs(det) > 1e-300) || !std::isfinite(det)) return false;
    double r[3][3] = {{c00, a[0][2] * a[2][1] - a[0][1] * a[2][2], a[0][1] * a[1][2] - a[0][2] * a[1][1]},
                      {c01, a[0][0] * a[2][2] - a[0][2] * a[2][0], a[0][2] * a[1][0] - a[0][0] * a[1][2]},
                      {c02, a[0][1] * a[2][0] - a[0][0] * a[2][1], a[0][0] * a[1][1] - a[0][1] * a[1][0]}};
    for (std::size_t i = 0; i < 3; ++i) {
        double t = 0.0;
        for (std::size_t j = 0; j < 3; ++j) { inverse.m[i][j] = r[i][j] / det; }
        for (std::size_t j = 0; j < 3; ++j) t -= inverse.m[i][j] * a[j][3];
        inverse.m[i][3] = t;
    }
    inverse.m[3] = {0.0, 0.0, 0.0, 1.0};
    return true;
}

ColumnMatrix normalMatrix(const ColumnMatrix& m) {
    ColumnMatrix linear = m;
    for (std::size_t i = 0; i < 3; ++i) linear.m[i][3] = 0.0;
    ColumnMatrix inverse, out;
    if (!inverseAffine(linear, inverse)) return linear;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) out.m[i][j] = inverse.m[j][i];
    return out;
}

}  // namespace qx
