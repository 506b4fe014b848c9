#pragma once
// The node hierarchy of a glTF asset at rest: each node's parent, its own transform (as given,
// and as translation, rotation and scale), and where it stands in the world. Cycles, nodes with
// two parents, child indices out of range and transforms that are not finite are refused.

#include <string>
#include <vector>

#include "import/TinyGltf.h"

#include "gltf/GltfTrs.h"

namespace qx {

struct GltfNodeTree {
    std::vector<int> parent;          // -1 for a root
    std::vector<GltfTrs> rest;        // the node's own transform as a pose
    std::vector<ColumnMatrix> local;  // the node's own transform as given
    std::vector<ColumnMatrix> world;  // parents' transforms applied
    std::vector<int> order;           // every node after its parent
};

bool buildNodeTree(const tinygltf::Model& model, GltfNodeTree& tree, std::string* reason);

// World matrices from per-node local ones, in the tree's order.
std::vector<ColumnMatrix> worldOf(const GltfNodeTree& tree, const std::vector<ColumnMatrix>& local);

// Whether ancestor is node or lies above it.
bool isAncestor(const GltfNodeTree& tree, int ancestor, int node);

// The inverse of an affine matrix (its last row 0 0 0 1); false when it is singular.
bool inverseAffine(const ColumnMatrix& m, ColumnMatrix& inverse);

// The matrix's linear part's inverse transpose, which carries normals.
ColumnMatrix normalMatrix(const ColumnMatrix& m);

}  // namespace qx
