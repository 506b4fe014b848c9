#include "import/GltfColourSkin.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace qx {

namespace {

// Cells are wide enough that filtering and the first mipmap levels read one colour only, and the
// picture's sides are powers of two, so that uploading it never rescales it across cells.
constexpr int CellSide = 16;

using Colour = std::array<std::uint8_t, 4>;

Colour baseColour(const tinygltf::Model& model, int material) {
    Colour colour{255, 255, 255, 255};
    if (material < 0 || static_cast<std::size_t>(material) >= model.materials.size()) return colour;
    const auto& factor = model.materials[static_cast<std::size_t>(material)].pbrMetallicRoughness.baseColorFactor;
    for (std::size_t c = 0; c < 4 && c < factor.size(); ++c) {
        // Taken as the skeletal import takes a material's colour, so both kinds of model show alike.
        const double value = std::isfinite(factor[c]) ? std::clamp(factor[c], 0.0, 1.0) : 1.0;
        colour[c] = static_cast<std::uint8_t>(std::lround(value * 255.0));
    }
    return colour;
}

}  // namespace

bool makeColourSkin(const tinygltf::Model& model, const GltfGeometry& geometry, GltfColourSkin& skin,
                    std::string& note) {
    std::map<Colour, int> cells;
    std::vector<int> cellOf;
    cellOf.reserve(geometry.triangles.size());
    for (const GltfTriangle& triangle : geometry.triangles) {
        const auto found = cells.emplace(baseColour(model, triangle.material), static_cast<int>(cells.size()));
        cellOf.push_back(found.first->second);
    }
    if (cells.size() == 1 && cells.begin()->first == Colour{255, 255, 255, 255}) return false;
    if (cells.size() > GltfColourSkinCells) {
        note = std::to_string(cells.size()) + " material colours are more than a skin of colours holds (" +
               std::to_string(GltfColourSkinCells) + "); the model is left white";
        return false;
    }
    int columns = 1;
    while (columns < static_cast<int>(cells.size())) columns *= 2;
    skin.picture.width = columns * CellSide;
    skin.picture.height = CellSide;
    skin.picture.bits = 32;
    skin.picture.rgbaOrder = 1;
    skin.picture.pixels.assign(static_cast<std::size_t>(skin.picture.width) * CellSide * 4, 255);
    for (const auto& [colour, cell] : cells)
        for (int y = 0; y < CellSide; ++y)
            for (int x = 0; x < CellSide; ++x)
                std::copy(colour.begin(), colour.end(),
                          skin.picture.pixels.begin() +
                              (static_cast<std::ptrdiff_t>(y) * skin.picture.width + cell * CellSide + x) * 4);
    skin.cellOfTriangle.clear();
    for (const int cell : cellOf)
        skin.cellOfTriangle.push_back({(static_cast<float>(cell) + 0.5f) / static_cast<float>(columns), 0.5f});
    return true;
}

}  // namespace qx
