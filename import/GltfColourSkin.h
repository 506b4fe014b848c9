#pragma once
// A vertex model keeps no materials, only its skin. When an asset colours its triangles with
// base-colour factors alone (no picture), the colours would be lost; instead they become a skin
// of plain cells, one per colour, and each triangle samples the middle of its material's cell.

#include <array>
#include <vector>

#include "import/GltfGeometry.h"
#include "import/TinyGltf.h"
#include "render/Texture.h"

namespace qx {

struct GltfColourSkin {
    Texture picture;                                   // the cells, side by side
    std::vector<std::array<float, 2>> cellOfTriangle;  // s, t of each triangle's cell middle
};

// The skin of the triangles' base colours; false when every triangle is plain white, which an
// untextured vertex model shows anyway.
bool makeColourSkin(const tinygltf::Model& model, const GltfGeometry& geometry, GltfColourSkin& skin);

}  // namespace qx
