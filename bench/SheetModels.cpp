#include "bench/SheetModels.h"

#include <cmath>

namespace qx::bench {

// A wavy sheet of columns x rows quads, two triangles each, with a normal per position, in
// four material batches of one textured group.
SkeletalMesh makeSheet(int columns, int rows) {
    SkeletalMesh mesh;
    const auto at = [columns](int x, int y) { return static_cast<std::int32_t>(y * (columns + 1) + x); };
    for (int y = 0; y <= rows; ++y) {
        for (int x = 0; x <= columns; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            mesh.positions.push_back({fx, fy, 2.0f * std::sin(fx * 0.2f) * std::cos(fy * 0.2f)});
            mesh.normals.push_back(normalize(Vector3{-0.4f * std::cos(fx * 0.2f), 0.4f * std::sin(fy * 0.2f), 1.0f}));
        }
    }
    for (int m = 0; m < 4; ++m) {
        MeshMaterial material;
        material.color = {0.5f + 0.1f * static_cast<float>(m), 0.8f, 1.0f - 0.1f * static_cast<float>(m)};
        mesh.materials.push_back(material);
    }
    TextureGroup group;
    group.textureIndex = 0;
    for (int m = 0; m < 4; ++m) group.batches.push_back({m, {}});
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const std::int32_t corners[2][3] = {{at(x, y), at(x + 1, y), at(x + 1, y + 1)},
                                                {at(x, y), at(x + 1, y + 1), at(x, y + 1)}};
            for (const auto& c : corners) {
                MeshFace face;
                face.materialIndex = (x * 4) / columns;
                FaceMapping mapping;
                for (int k = 0; k < 3; ++k) {
                    face.positionIndex[k] = face.normalIndex[k] = c[k];
                    mapping.uv[k][0] = mesh.positions[static_cast<std::size_t>(c[k])].x / static_cast<float>(columns);
                    mapping.uv[k][1] = mesh.positions[static_cast<std::size_t>(c[k])].y / static_cast<float>(rows);
                }
                face.mappings.push_back(mapping);
                group.batches[static_cast<std::size_t>(face.materialIndex)].faceIndices.push_back(
                    static_cast<std::int32_t>(mesh.faces.size()));
                mesh.faces.push_back(face);
            }
        }
    }
    mesh.renderGroups.push_back(group);
    return mesh;
}

void makeChequer(Texture& texture) {
    texture.width = texture.height = 64;
    texture.bits = 32;
    texture.pixels.resize(64 * 64 * 4);
    for (int i = 0; i < 64 * 64; ++i) {
        const bool light = ((i % 64) / 8 + (i / 64) / 8) % 2 == 0;
        const std::uint8_t v = light ? 230 : 60;
        std::uint8_t* p = texture.pixels.data() + i * 4;
        p[0] = v;
        p[1] = v;
        p[2] = 255;
        p[3] = 255;
    }
    texture.upload();
    texture.releasePixels();
}

}  // namespace qx::bench
