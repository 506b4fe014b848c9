#include "import/GltfGeometry.h"

#include <cmath>

#include "import/GltfAccessors.h"

namespace qx {

namespace {

bool fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

int attribute(const tinygltf::Primitive& primitive, const char* name) {
    const auto found = primitive.attributes.find(name);
    return found == primitive.attributes.end() ? -1 : found->second;
}

// The triangles of the primitive's index list (or of its vertices in order).
bool addTriangles(const tinygltf::Primitive& primitive, const std::vector<std::uint32_t>& indices, std::size_t first,
                  std::size_t count, GltfGeometry& geometry, std::string* reason) {
    for (const std::uint32_t i : indices)
        if (i >= count) return fail(reason, "a primitive's index lies outside its vertices");
    const auto corner = [&](std::size_t k) { return static_cast<std::uint32_t>(first + indices[k]); };
    const auto add = [&](std::size_t a, std::size_t b, std::size_t c) {
        geometry.triangles.push_back({{corner(a), corner(b), corner(c)}, primitive.material});
    };
    const std::size_t n = indices.size();
    if (primitive.mode == TINYGLTF_MODE_TRIANGLES || primitive.mode == -1)
        for (std::size_t k = 0; k + 2 < n; k += 3) add(k, k + 1, k + 2);
    else if (primitive.mode == TINYGLTF_MODE_TRIANGLE_STRIP)
        for (std::size_t k = 0; k + 2 < n; ++k) k % 2 == 0 ? add(k, k + 1, k + 2) : add(k + 1, k, k + 2);
    else
        for (std::size_t k = 1; k + 1 < n; ++k) add(0, k, k + 1);
    return true;
}

// Normals where the primitive has none: each vertex the sum of its triangles' normals.
void computeNormals(GltfGeometry& geometry, std::size_t firstTriangle, std::size_t first, std::size_t count) {
    for (std::size_t v = first; v < first + count; ++v) geometry.normals[v] = {0.0f, 0.0f, 0.0f};
    for (std::size_t t = firstTriangle; t < geometry.triangles.size(); ++t) {
        const auto& c = geometry.triangles[t].corners;
        const auto& a = geometry.positions[c[0]];
        const auto& b = geometry.positions[c[1]];
        const auto& d = geometry.positions[c[2]];
        const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w[3] = {d[0] - a[0], d[1] - a[1], d[2] - a[2]};
        const float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        for (const std::uint32_t k : c)
            for (std::size_t i = 0; i < 3; ++i) geometry.normals[k][i] += n[i];
    }
    for (std::size_t v = first; v < first + count; ++v) {
        auto& n = geometry.normals[v];
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        n = length > 0.0f ? std::array<float, 3>{n[0] / length, n[1] / length, n[2] / length}
                          : std::array<float, 3>{0.0f, 0.0f, 1.0f};
    }
}

bool addInfluences(const tinygltf::Model& model, const tinygltf::Primitive& primitive, std::size_t count,
                   GltfGeometry& geometry, std::string* reason) {
    geometry.influences.resize(geometry.positions.size());
    for (int set = 0; set < 2; ++set) {
        const int joints = attribute(primitive, set == 0 ? "JOINTS_0" : "JOINTS_1");
        const int weights = attribute(primitive, set == 0 ? "WEIGHTS_0" : "WEIGHTS_1");
        if (joints < 0 && weights < 0) {
            if (set == 0) return fail(reason, "a skinned primitive has no JOINTS_0 and WEIGHTS_0");
            break;
        }
        std::vector<std::uint32_t> j;
        std::vector<float> w;
        if (!readAccessorUnsigned(model, joints, 4, j, reason) || !readAccessorFloats(model, weights, 4, w, reason))
            return false;
        if (j.size() != count * 4 || w.size() != count * 4)
            return fail(reason, "a primitive's joints or weights do not match its vertices in count");
        for (std::size_t v = 0; v < count; ++v)
            for (std::size_t k = 0; k < 4; ++k) {
                GltfInfluences& influence = geometry.influences[geometry.positions.size() - count + v];
                influence.joints[static_cast<std::size_t>(set) * 4 + k] = j[v * 4 + k];
                influence.weights[static_cast<std::size_t>(set) * 4 + k] = w[v * 4 + k];
            }
    }
    return true;
}

}  // namespace

bool addNodeMesh(const tinygltf::Model& model, int node, bool withInfluences, bool withTargets, GltfGeometry& geometry,
                 std::string* reason) {
    const int meshIndex = model.nodes[static_cast<std::size_t>(node)].mesh;
    if (meshIndex < 0 || static_cast<std::size_t>(meshIndex) >= model.meshes.size())
        return fail(reason, "node " + std::to_string(node) + " shows a mesh that does not exist");
    for (const tinygltf::Primitive& primitive : model.meshes[static_cast<std::size_t>(meshIndex)].primitives) {
        if (primitive.mode != -1 && primitive.mode != TINYGLTF_MODE_TRIANGLES &&
            primitive.mode != TINYGLTF_MODE_TRIANGLE_STRIP && primitive.mode != TINYGLTF_MODE_TRIANGLE_FAN) {
            ++geometry.skippedPrimitives;
            continue;
        }
        if (primitive.material >= static_cast<int>(model.materials.size()))
            return fail(reason, "a primitive's material does not exist");
        std::vector<float> positions, normals, uvs;
        if (!readAccessorFloats(model, attribute(primitive, "POSITION"), 3, positions, reason)) return false;
        const std::size_t count = positions.size() / 3;
        if (const int n = attribute(primitive, "NORMAL"); n >= 0) {
            if (!readAccessorFloats(model, n, 3, normals, reason)) return false;
            if (normals.size() != positions.size())
                return fail(reason, "a primitive's normals do not match its positions");
        }
        if (const int t = attribute(primitive, "TEXCOORD_0"); t >= 0) {
            if (!readAccessorFloats(model, t, 2, uvs, reason)) return false;
            if (uvs.size() != count * 2)
                return fail(reason, "a primitive's texture coordinates do not match its positions");
        }
        std::vector<std::uint32_t> indices;
        if (primitive.indices >= 0) {
            if (!readAccessorUnsigned(model, primitive.indices, 1, indices, reason)) return false;
        } else {
            for (std::size_t i = 0; i < count; ++i) indices.push_back(static_cast<std::uint32_t>(i));
        }
        const std::size_t first = geometry.positions.size();
        if (count > UINT32_MAX - first) return fail(reason, "too many vertices");
        GltfPrimitiveRange range{node, first, count, {}, {}};
        for (std::size_t v = 0; v < count; ++v) {
            geometry.positions.push_back({positions[v * 3], positions[v * 3 + 1], positions[v * 3 + 2]});
            geometry.normals.push_back(
                normals.empty() ? std::array<float, 3>{0.0f, 0.0f, 1.0f}
                                : std::array<float, 3>{normals[v * 3], normals[v * 3 + 1], normals[v * 3 + 2]});
            geometry.uvs.push_back(uvs.empty() ? std::array<float, 2>{0.0f, 0.0f}
                                               : std::array<float, 2>{uvs[v * 2], uvs[v * 2 + 1]});
            geometry.hasUv.push_back(!uvs.empty());
        }
        const std::size_t firstTriangle = geometry.triangles.size();
        if (!addTriangles(primitive, indices, first, count, geometry, reason)) return false;
        if (normals.empty()) computeNormals(geometry, firstTriangle, first, count);
        if (withInfluences && !addInfluences(model, primitive, count, geometry, reason)) return false;
        if (withTargets)
            for (const auto& target : primitive.targets) {
                std::vector<float> moved, turned;
                if (const auto p = target.find("POSITION"); p != target.end())
                    if (!readAccessorFloats(model, p->second, 3, moved, reason)) return false;
                if (const auto n = target.find("NORMAL"); n != target.end())
                    if (!readAccessorFloats(model, n->second, 3, turned, reason)) return false;
                if ((!moved.empty() && moved.size() != count * 3) || (!turned.empty() && turned.size() != count * 3))
                    return fail(reason, "a morph target does not match its primitive's vertices in count");
                if (moved.empty()) moved.assign(count * 3, 0.0f);
                range.targetPositions.push_back(std::move(moved));
                range.targetNormals.push_back(std::move(turned));
            }
        geometry.primitives.push_back(std::move(range));
    }
    return true;
}

void noteSkippedPrimitives(const GltfGeometry& geometry, std::vector<std::string>& notes) {
    if (geometry.skippedPrimitives > 0)
        notes.push_back(std::to_string(geometry.skippedPrimitives) + " primitive(s) of points or lines are left out");
}

}  // namespace qx
