#pragma once
// A vertex model keeps no materials, only its skin. When an asset colours its triangles with
// base-colour factors alone (no picture), the colours would be lost; instead they become a skin
// of plain cells, one per colour, and each triangle samples the middle of its material's cell.

#include <array>
#include <string>
#include <vector>

#include "import/GltfGeometry.h"
#include "import/TinyGltf.h"
#include "render/Texture.h"

namespace qx {

struct GltfColourSkin {
    Texture picture;                                   // the cells, side by side
    std::vector<std::array<float, 2>> cellOfTriangle;  // s, t of each triangle's cell middle
};

// A skin holds this many colours at most, 2048 pixels wide.
inline constexpr std::size_t GltfColourSkinCells = 128;

// The skin of the triangles' base colours; false when every triangle is plain white, which an
// untextured vertex model shows anyway, or when they have more colours than a skin holds (said
// in note).
bool makeColourSkin(const tinygltf::Model& model, const GltfGeometry& geometry, GltfColourSkin& skin,
                    std::string& note);

}  // namespace qx
