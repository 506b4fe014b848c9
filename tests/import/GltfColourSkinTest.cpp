// The skin of colours of an untextured vertex model: a cell per distinct colour, each triangle
// sampling the middle of its own; too many colours make none, and say so.

#include <gtest/gtest.h>

#include "import/GltfColourSkin.h"

namespace qx {
namespace {

TEST(GltfColourSkin, EachTriangleSamplesItsColourAndTooManyColoursMakeNone) {
    for (const std::size_t colours : {std::size_t{3}, GltfColourSkinCells - 1, GltfColourSkinCells}) {
        SCOPED_TRACE(colours);
        tinygltf::Model model;
        GltfGeometry geometry;
        for (std::size_t m = 0; m < colours; ++m) {
            tinygltf::Material material;
            material.pbrMetallicRoughness.baseColorFactor = {m / 255.0, 1.0, 0.5, 1.0};
            model.materials.push_back(material);
            // Two triangles a material, and one of the default white material.
            geometry.triangles.push_back({{0, 1, 2}, static_cast<int>(m)});
            geometry.triangles.push_back({{0, 1, 2}, static_cast<int>(m)});
        }
        geometry.triangles.push_back({{0, 1, 2}, -1});
        GltfColourSkin skin;
        std::string note;
        const bool made = makeColourSkin(model, geometry, skin, note);
        ASSERT_EQ(made, colours + 1 <= GltfColourSkinCells);
        EXPECT_EQ(note.empty(), made) << note;
        if (!made) continue;
        ASSERT_EQ(skin.cellOfTriangle.size(), geometry.triangles.size());
        for (std::size_t t = 0; t < geometry.triangles.size(); ++t) {
            const auto x = static_cast<std::size_t>(skin.cellOfTriangle[t][0] * skin.picture.width);
            const auto y = static_cast<std::size_t>(skin.cellOfTriangle[t][1] * skin.picture.height);
            const std::uint8_t* pixel = &skin.picture.pixels[(y * skin.picture.width + x) * 4];
            const int m = geometry.triangles[t].material;
            EXPECT_EQ(pixel[0], m < 0 ? 255 : m) << t;
            EXPECT_EQ(pixel[2], m < 0 ? 255 : 128) << t;
        }
        // Powers of two, so that uploading never rescales the picture across its cells.
        EXPECT_EQ(skin.picture.width & (skin.picture.width - 1), 0);
    }
}

}  // namespace
}  // namespace qx
