#include "render/OverlayGeometry.h"

#include <algorithm>
#include <cmath>

#include "animation/SkeletalDrawable.h"
#include "skeletal/SkeletalMesh.h"
#include "vertex/VertexDrawable.h"
#include "vertex/VertexInstance.h"
#include "vertex/VertexModel.h"

namespace qx {

namespace {

// Normals are drawn this fraction of the model's size long.
constexpr float NormalLength = 0.02f;

template <typename T, typename Index>
bool inside(const std::vector<T>& list, Index index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

void grow(BoundingBox& box, const Vector3& p) {
    if (box.empty) {
        box = {p, p, false};
        return;
    }
    box.low = {std::min(box.low.x, p.x), std::min(box.low.y, p.y), std::min(box.low.z, p.z)};
    box.high = {std::max(box.high.x, p.x), std::max(box.high.y, p.y), std::max(box.high.z, p.z)};
}

float diagonal(const BoundingBox& box) {
    if (box.empty) return 0.0f;
    const Vector3 d = box.high - box.low;
    const float size = std::sqrt(dot(d, d));
    return std::isfinite(size) ? size : 0.0f;
}

void addNormalLine(std::vector<Vector3>& lines, const Vector3& at, const Vector3& normal, float length) {
    lines.push_back(at);
    lines.push_back(at + normalize(normal) * length);
}

// The rest box and size, and the grid scaled to them, which every overlay of a model shares.
void measureRest(const BoundingBox& rest, const OverlayOptions& o, OverlayGeometry& out) {
    out.size = diagonal(rest);
    out.grid = o.grid ? groundGrid(rest, out.size) : GroundGrid{};
}

void skeletalTriangles(const SkeletalDrawable& d, std::vector<std::uint32_t>& out) {
    const SkeletalMesh& mesh = *d.mesh;
    for (const TextureGroup& group : mesh.renderGroups) {
        for (const MaterialBatch& batch : group.batches) {
            for (const std::int32_t f : batch.faceIndices) {
                if (!inside(mesh.faces, f)) continue;
                const MeshFace& face = mesh.faces[static_cast<std::size_t>(f)];
                bool drawn = true;
                for (int k = 0; k < 3; ++k)
                    drawn =
                        drawn && inside(d.positions, face.positionIndex[k]) && inside(d.normals, face.normalIndex[k]);
                if (!drawn) continue;
                for (int k = 0; k < 3; ++k) out.push_back(static_cast<std::uint32_t>(face.positionIndex[k]));
            }
        }
    }
}

// The triangles of strips and fans as the renderer draws them: a skipped vertex is not there,
// so the next one takes its place.
void commandTriangles(const VertexModel& model, std::size_t limit, std::vector<std::uint32_t>& out) {
    for (const DrawCommand& command : model.commands) {
        std::uint32_t first = 0, previous = 0;
        std::size_t seen = 0;
        for (const CommandVertex& v : command.vertices) {
            if (v.vertexIndex < 0 || static_cast<std::size_t>(v.vertexIndex) >= limit) continue;
            const auto index = static_cast<std::uint32_t>(v.vertexIndex);
            if (seen >= 2) {
                out.push_back(first);
                out.push_back(previous);
                out.push_back(index);
            }
            if (command.type == TriangleStrip || seen == 0) first = seen == 0 ? index : previous;
            previous = index;
            ++seen;
        }
    }
}

}  // namespace

BoundingBox boxOf(const Vector3* points, std::size_t count) {
    BoundingBox box;
    for (std::size_t i = 0; i < count; ++i) grow(box, points[i]);
    return box;
}

float roundSpacing(float value) {
    if (!(value > 0.0f) || !std::isfinite(value)) return 0.0f;
    float step = std::pow(10.0f, std::floor(std::log10(value)));
    // log10 may round either way at a power of ten.
    if (step > value) step *= 0.1f;
    if (step * 10.0f <= value) step *= 10.0f;
    if (step * 5.0f <= value) return step * 5.0f;
    if (step * 2.0f <= value) return step * 2.0f;
    return step;
}

GroundGrid groundGrid(const BoundingBox& rest, float size) {
    GroundGrid grid;
    grid.spacing = rest.empty ? 0.0f : roundSpacing(size * 0.1f);
    if (grid.spacing == 0.0f) return grid;
    const float margin = size * 0.25f;
    grid.height = rest.low.y;
    grid.lowX = std::floor((rest.low.x - margin) / grid.spacing) * grid.spacing;
    grid.highX = std::ceil((rest.high.x + margin) / grid.spacing) * grid.spacing;
    grid.lowZ = std::floor((rest.low.z - margin) / grid.spacing) * grid.spacing;
    grid.highZ = std::ceil((rest.high.z + margin) / grid.spacing) * grid.spacing;
    grid.linesX = static_cast<std::int32_t>(std::lround((grid.highX - grid.lowX) / grid.spacing)) + 1;
    grid.linesZ = static_cast<std::int32_t>(std::lround((grid.highZ - grid.lowZ) / grid.spacing)) + 1;
    grid.axisLength = std::max(grid.highX - grid.lowX, grid.highZ - grid.lowZ) * 0.5f;
    return grid;
}

void computeOverlayGeometry(const SkeletalDrawable& d, const OverlayOptions& o, OverlayGeometry& out) {
    out.bones.clear();
    out.normalLines.clear();
    out.triangles.clear();
    out.bounds = {};
    if (d.mesh == nullptr) {
        measureRest({}, o, out);
        return;
    }
    const SkeletalMesh& mesh = *d.mesh;
    measureRest(boxOf(mesh.positions.data(), mesh.positions.size()), o, out);

    if (o.skeleton || o.boneNames || o.selectedBone >= 0) {
        const std::size_t count = std::min(mesh.bones.size(), d.bones.size());
        for (std::size_t b = 0; b < count; ++b) {
            const MeshBone& bone = mesh.bones[b];
            const Matrix& world = d.bones[b].world;
            out.bones.push_back({transformPoint(bone.start, world), transformPoint(bone.end, world), bone.parent});
        }
    }
    if (o.normals) {
        const float length = out.size * NormalLength;
        const std::size_t count = std::min(mesh.positionNormals.size(), d.positions.size());
        for (std::size_t p = 0; p < count; ++p)
            for (const std::int32_t n : mesh.positionNormals[p])
                if (inside(d.normals, n))
                    addNormalLine(out.normalLines, d.positions[p], d.normals[static_cast<std::size_t>(n)], length);
    }
    if (o.wireframe != Wireframe::Off) skeletalTriangles(d, out.triangles);
    if (o.bounds) out.bounds = boxOf(d.positions.data(), d.positions.size());
}

void computeOverlayGeometry(const VertexDrawable& d, const OverlayOptions& o, OverlayGeometry& out) {
    out.bones.clear();
    out.normalLines.clear();
    out.triangles.clear();
    out.bounds = {};
    if (d.instance == nullptr) {
        measureRest({}, o, out);
        return;
    }
    const VertexModel& model = d.model();
    BoundingBox rest;
    if (!model.frames.empty())
        for (const FrameVertex& v : model.frames.front().vertices) grow(rest, v.position);
    measureRest(rest, o, out);

    const std::size_t count = std::min({vertexCountOf(model), d.positions.size(), d.normals.size()});
    if (o.normals) {
        const float length = out.size * NormalLength;
        for (std::size_t i = 0; i < count; ++i) addNormalLine(out.normalLines, d.positions[i], d.normals[i], length);
    }
    if (o.wireframe != Wireframe::Off) commandTriangles(model, count, out.triangles);
    if (o.bounds) out.bounds = boxOf(d.positions.data(), count);
}

}  // namespace qx
