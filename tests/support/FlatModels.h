#pragma once
// Flat models for drawing tests: triangles and squares in the z = 0 plane whose pixels a reader
// can predict. Counter-clockwise triangles face +z, towards a camera on the +z side; all
// normals are (0, 0, 1).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "skeletal/SkeletalMesh.h"
#include "vertex/VertexModel.h"

namespace qx::test {

// A skeletal mesh built face by face; every position hangs on one root bone. Faces are grouped
// for drawing as the import groups them: by the texture of their first mapping (-1 without),
// then by material, both in order of first appearance.
class FlatMesh {
public:
    FlatMesh() {
        mesh_.normals.push_back({0.0f, 0.0f, 1.0f});
        MeshBone root;
        root.name = "root";
        root.end = {0.0f, 0.0f, 1.0f};
        root.roll = {0.0f, 1.0f, 0.0f};
        computeBoneFrame(root);
        mesh_.bones.push_back(root);
    }

    std::int32_t material(const Vector3& colour) {
        MeshMaterial m;
        m.color = colour;
        mesh_.materials.push_back(m);
        return static_cast<std::int32_t>(mesh_.materials.size() - 1);
    }

    std::int32_t texture(const std::string& name) {
        Texture t;
        t.name = name;
        mesh_.textures.push_back(std::move(t));
        return static_cast<std::int32_t>(mesh_.textures.size() - 1);
    }

    // One face a, b, c with the given uv pairs; texture -1 gives it no mapping.
    std::int32_t triangle(const Vector3& a, const Vector3& b, const Vector3& c, std::int32_t material,
                          std::int32_t texture = -1, const float (*uv)[2] = nullptr) {
        MeshFace face;
        face.materialIndex = material;
        const Vector3 corners[3] = {a, b, c};
        for (int k = 0; k < 3; ++k) {
            mesh_.positions.push_back(corners[k]);
            mesh_.positionNormals.push_back({0});
            mesh_.bones[0].attachedPositions.push_back(static_cast<std::int32_t>(mesh_.positions.size() - 1));
            face.positionIndex[k] = static_cast<std::int32_t>(mesh_.positions.size() - 1);
            face.normalIndex[k] = 0;
        }
        face.positionIndex[3] = face.positionIndex[2];
        if (texture >= 0) {
            FaceMapping mapping;
            mapping.textureIndex = texture;
            for (int k = 0; k < 3 && uv != nullptr; ++k) {
                mapping.uv[k][0] = uv[k][0];
                mapping.uv[k][1] = uv[k][1];
            }
            face.mappings.push_back(mapping);
        }
        mesh_.faces.push_back(face);
        return static_cast<std::int32_t>(mesh_.faces.size() - 1);
    }

    // The square (x0, y0)-(x1, y1) as two counter-clockwise faces, with the texture's corner
    // (0, 0) at (x0, y0) and (1, 1) at (x1, y1).
    void square(float x0, float y0, float x1, float y1, std::int32_t material, std::int32_t texture = -1) {
        const float lower[3][2] = {{0, 0}, {1, 0}, {1, 1}};
        const float upper[3][2] = {{0, 0}, {1, 1}, {0, 1}};
        triangle({x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, material, texture, lower);
        triangle({x0, y0, 0}, {x1, y1, 0}, {x0, y1, 0}, material, texture, upper);
    }

    // The mesh with its render groups; the builder is spent afterwards.
    SkeletalMesh build() {
        mesh_.renderGroups.clear();
        for (std::size_t f = 0; f < mesh_.faces.size(); ++f) {
            const MeshFace& face = mesh_.faces[f];
            const std::int32_t texture = face.mappings.empty() ? -1 : face.mappings[0].textureIndex;
            TextureGroup* group = nullptr;
            for (TextureGroup& g : mesh_.renderGroups)
                if (g.textureIndex == texture) group = &g;
            if (group == nullptr) group = &mesh_.renderGroups.emplace_back(TextureGroup{texture, {}});
            MaterialBatch* batch = nullptr;
            for (MaterialBatch& b : group->batches)
                if (b.materialIndex == face.materialIndex) batch = &b;
            if (batch == nullptr) batch = &group->batches.emplace_back(MaterialBatch{face.materialIndex, {}});
            batch->faceIndices.push_back(static_cast<std::int32_t>(f));
        }
        return std::move(mesh_);
    }

private:
    SkeletalMesh mesh_;
};

// A one-frame vertex model: the given corners as vertices 0.., drawn by one command over them
// in order, with texture coordinates (s, t) per vertex.
inline void fillFlatVertexModel(VertexModel& model, const std::vector<Vector3>& corners,
                                const std::vector<std::pair<float, float>>& st, std::int32_t type) {
    model.vertexCount = static_cast<std::int32_t>(corners.size());
    model.frames.assign(1, ModelFrame{"still", {}});
    for (const Vector3& c : corners) model.frames[0].vertices.push_back({c, {0.0f, 0.0f, 1.0f}});
    model.commands.assign(1, DrawCommand{type, {}});
    for (std::size_t i = 0; i < corners.size(); ++i)
        model.commands[0].vertices.push_back({st[i].first, st[i].second, static_cast<std::int32_t>(i)});
}

}  // namespace qx::test
