#include "gltf/VertexGltf.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "gltf/GltfMaterials.h"
#include "vertex/FrameClips.h"

namespace qx {

using json = nlohmann::ordered_json;

namespace {

// The triangles of the draw commands over glTF vertices, one per distinct model vertex and
// texture coordinate.
struct CommandGeometry {
    std::vector<std::int32_t> sources;  // model vertex of each glTF vertex
    std::vector<float> uvs;
    std::vector<std::uint32_t> triangles;

    CommandGeometry(const VertexModel& model, std::size_t limit, std::size_t& replaced) {
        std::map<std::tuple<std::int32_t, std::uint32_t, std::uint32_t>, std::uint32_t> known;
        std::vector<std::uint32_t> drawn;
        for (const DrawCommand& command : model.commands) {
            drawn.clear();
            for (const CommandVertex& v : command.vertices) {
                if (v.vertexIndex < 0 || static_cast<std::size_t>(v.vertexIndex) >= limit) continue;
                const auto key = std::make_tuple(v.vertexIndex, floatBits(v.s), floatBits(v.t));
                auto found = known.find(key);
                if (found == known.end()) {
                    found = known.emplace(key, static_cast<std::uint32_t>(sources.size())).first;
                    sources.push_back(v.vertexIndex);
                    // glTF's v runs down the image from its top row; t runs up from the bottom one.
                    uvs.insert(uvs.end(), {finiteOr(v.s, 0.0f, replaced), 1.0f - finiteOr(v.t, 0.0f, replaced)});
                }
                drawn.push_back(found->second);
            }
            for (std::size_t i = 0; i + 2 < drawn.size(); ++i) {
                if (command.type != TriangleStrip)
                    triangles.insert(triangles.end(), {drawn[0], drawn[i + 1], drawn[i + 2]});
                else if (i % 2 == 0)
                    triangles.insert(triangles.end(), {drawn[i], drawn[i + 1], drawn[i + 2]});
                else
                    triangles.insert(triangles.end(), {drawn[i + 1], drawn[i], drawn[i + 2]});
            }
        }
    }
};

// glTF's front faces wind counter-clockwise. Models from some sources wind theirs the other way
// round (playback draws both sides, so it never shows), and readers that light a face from its
// front then light such a model from behind: black. The model's own normals say which way it
// winds; where most triangles turn against them, every triangle is turned round.
void windAlongNormals(std::vector<std::uint32_t>& triangles, const std::vector<Vector3>& positions,
                      const std::vector<Vector3>& normals) {
    std::size_t along = 0, against = 0;
    for (std::size_t i = 0; i + 2 < triangles.size(); i += 3) {
        const Vector3& a = positions[triangles[i]];
        const Vector3& b = positions[triangles[i + 1]];
        const Vector3& c = positions[triangles[i + 2]];
        const Vector3 u = b - a, v = c - a;
        const Vector3 face{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
        const Vector3 n = normals[triangles[i]] + normals[triangles[i + 1]] + normals[triangles[i + 2]];
        const float d = face.x * n.x + face.y * n.y + face.z * n.z;
        if (d > 0.0f) ++along;
        if (d < 0.0f) ++against;
    }
    if (against <= along) return;
    for (std::size_t i = 0; i + 2 < triangles.size(); i += 3) std::swap(triangles[i + 1], triangles[i + 2]);
}

// An animation of the weights playing frames first..last-1 and back to first.
void addFrameAnimation(GltfWriter& writer, int node, const std::string& name, std::int32_t first, std::int32_t last,
                       std::size_t frameCount) {
    const auto keys = static_cast<std::size_t>(last - first) + 1;
    std::vector<float> times(keys);
    std::vector<float> weights(keys * frameCount, 0.0f);
    for (std::size_t k = 0; k < keys; ++k) {
        times[k] = static_cast<float>(k) / GltfFramesPerSecond;
        const std::size_t frame = k + 1 < keys ? static_cast<std::size_t>(first) + k : static_cast<std::size_t>(first);
        weights[k * frameCount + frame] = 1.0f;
    }
    const int input = writer.addFloats(times, 1, GltfNoTarget, true);
    const int output = writer.addFloats(weights, 1, GltfNoTarget, false);
    writer.append("animations", {{"name", name},
                                 {"channels", {{{"sampler", 0}, {"target", {{"node", node}, {"path", "weights"}}}}}},
                                 {"samplers", {{{"input", input}, {"interpolation", "LINEAR"}, {"output", output}}}}});
}

}  // namespace

bool addVertexScene(GltfWriter& writer, const VertexModel& model, const std::string& name, float scale,
                    GltfExportNotes& notes, std::string* reason) {
    if (model.frames.empty()) {
        if (reason != nullptr) *reason = "the model has no frames";
        return false;
    }
    const std::size_t limit =
        std::min(static_cast<std::size_t>(std::max(model.vertexCount, 0)), model.frames.front().vertices.size());
    CommandGeometry geometry(model, limit, notes.nonFiniteValues);
    if (geometry.triangles.empty()) {
        if (reason != nullptr) *reason = "the model draws no triangle";
        return false;
    }

    // Frame 0 is the mesh itself; each target holds the way from it to its frame.
    const auto& base = model.frames.front().vertices;
    std::vector<Vector3> positions, normals;
    for (const std::int32_t v : geometry.sources) {
        positions.push_back(finiteVector(base[static_cast<std::size_t>(v)].position, notes.nonFiniteValues));
        normals.push_back(unitNormal(base[static_cast<std::size_t>(v)].normal));
    }
    windAlongNormals(geometry.triangles, positions, normals);
    json targets = json::array();
    json targetNames = json::array();
    for (const ModelFrame& frame : model.frames) {
        std::vector<Vector3> moved, turned;
        for (std::size_t i = 0; i < geometry.sources.size(); ++i) {
            const FrameVertex& vertex = frame.vertices[static_cast<std::size_t>(geometry.sources[i])];
            moved.push_back(finiteVector(finiteVector(vertex.position, notes.nonFiniteValues) - positions[i],
                                         notes.nonFiniteValues));
            turned.push_back(unitNormal(vertex.normal) - normals[i]);
        }
        targets.push_back({{"POSITION", writer.addVectors(moved, GltfVertexData, true)},
                           {"NORMAL", writer.addVectors(turned, GltfVertexData, false)}});
        targetNames.push_back(textOfBytes(frame.name));
    }
    const int texture = addTextureImage(writer, model.skin);
    const int material = addMaterial(writer, "skin", {1.0f, 1.0f, 1.0f}, texture);
    json primitive = {{"attributes",
                       {{"POSITION", writer.addVectors(positions, GltfVertexData, true)},
                        {"NORMAL", writer.addVectors(normals, GltfVertexData, false)},
                        {"TEXCOORD_0", writer.addFloats(geometry.uvs, 2, GltfVertexData, false)}}},
                      {"indices", writer.addIndices(geometry.triangles)},
                      {"material", material},
                      {"targets", std::move(targets)}};
    // Frame names where glTF tools look for the names of targets.
    const int mesh = writer.append("meshes", {{"name", name},
                                              {"primitives", json::array({std::move(primitive)})},
                                              {"extras", {{"targetNames", std::move(targetNames)}}}});
    json meshNode = {{"name", name}, {"mesh", mesh}};
    if (scale != 1.0f) meshNode["scale"] = {scale, scale, scale};
    const int node = writer.append("nodes", std::move(meshNode));
    writer.doc["scene"] = 0;
    writer.append("scenes", {{"name", name}, {"nodes", {node}}});

    const std::size_t frameCount = model.frames.size();
    addFrameAnimation(writer, node, "all frames", 0, static_cast<std::int32_t>(frameCount), frameCount);
    std::set<std::string> used{"all frames"};
    for (const FrameClip& run : frameClips(model)) {
        const std::string stem = run.name.empty() ? "frames" : run.name;
        std::string runName = textOfBytes(stem);
        for (int n = 2; used.count(runName) != 0; ++n) runName = textOfBytes(stem) + " " + std::to_string(n);
        used.insert(runName);
        addFrameAnimation(writer, node, runName, run.first, run.last, frameCount);
    }
    return true;
}

}  // namespace qx
