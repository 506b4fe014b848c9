#pragma once
// The triangles of a glTF asset's meshes, gathered from the nodes that show them: every
// primitive's vertices (positions, normals, first texture coordinates, skin influences and
// morph targets) in the node's own space, and its triangles (strips and fans unfolded) with
// their material. Points and lines are left out and counted.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "import/TinyGltf.h"

namespace qx {

struct GltfTriangle {
    std::array<std::uint32_t, 3> corners{};  // into the gathered vertices
    int material = -1;                       // glTF material; -1 the default one
};

// One primitive's vertices, first..first+count of the gathered ones.
struct GltfPrimitiveRange {
    int node = -1;
    std::size_t first = 0, count = 0;
    std::vector<std::vector<float>> targetPositions;  // per morph target, 3 a vertex
    std::vector<std::vector<float>> targetNormals;    // likewise, or empty
};

// Up to eight influences a vertex: skin joint and weight.
struct GltfInfluences {
    std::array<std::uint32_t, 8> joints{};
    std::array<float, 8> weights{};
};

struct GltfGeometry {
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 3>> normals;
    std::vector<std::array<float, 2>> uvs;  // glTF's: v runs down from the image's top row
    std::vector<bool> hasUv;
    std::vector<GltfInfluences> influences;  // for skinned nodes only; empty otherwise
    std::vector<GltfTriangle> triangles;
    std::vector<GltfPrimitiveRange> primitives;
    std::size_t skippedPrimitives = 0;  // points and lines
};

// Adds the mesh of node (which must have one) to geometry. withInfluences reads JOINTS_n and
// WEIGHTS_n; withTargets the morph targets. False, with a reason, for a damaged primitive.
// Says how many primitives of points or lines were left out, when any were.
void noteSkippedPrimitives(const GltfGeometry& geometry, std::vector<std::string>& notes);

bool addNodeMesh(const tinygltf::Model& model, int node, bool withInfluences, bool withTargets, GltfGeometry& geometry,
                 std::string* reason);

}  // namespace qx
