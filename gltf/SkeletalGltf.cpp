#include "gltf/SkeletalGltf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <tuple>
#include <unordered_map>

#include "animation/BoneWalk.h"
#include "animation/MotionSampler.h"
#include "gltf/GltfMaterials.h"
#include "gltf/MotionKeyTimes.h"

namespace qx {

using json = nlohmann::ordered_json;

namespace {

std::vector<float> matrixValues(const Matrix& m) {
    std::vector<float> values;
    for (const auto& row : m.m) values.insert(values.end(), std::begin(row), std::end(row));
    return values;
}

// A bone frame with a value that is not finite (a bone whose points coincide) as the identity,
// counted.
Matrix finiteMatrix(const Matrix& m, std::size_t& replaced) {
    for (const auto& row : m.m)
        for (const float v : row)
            if (!std::isfinite(v)) {
                ++replaced;
                return Matrix{};
            }
    return m;
}

bool inside(std::int32_t index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

// The node tree of the bones: the skeleton root, then per walk step a fixed node and its joint.
struct Skeleton {
    int root = 0;
    std::vector<int> stepJoints;         // node of each walk step's joint
    std::vector<int> joints;             // the skin's joints: the root, then the steps' joints
    std::vector<float> inverseBinds;     // 16 floats a joint
};

Skeleton addSkeleton(GltfWriter& writer, const SkeletalMesh& mesh, const BoneWalk& walk, const std::string& name,
                     std::size_t& replaced) {
    Skeleton skeleton;
    skeleton.root = writer.append("nodes", {{"name", name}});
    skeleton.joints.push_back(skeleton.root);
    skeleton.inverseBinds = matrixValues(Matrix::identity());
    std::map<int, std::vector<int>> children;
    const auto boneOf = [&](std::int32_t step) -> const MeshBone& {
        return mesh.bones[static_cast<std::size_t>(walk.steps[static_cast<std::size_t>(step)].bone)];
    };
    for (std::size_t s = 0; s < walk.steps.size(); ++s) {
        const BoneWalkStep& step = walk.steps[s];
        const MeshBone& bone = boneOf(static_cast<std::int32_t>(s));
        const bool isRoot = step.parentStep < 0;
        const Matrix parentWorldToBone = isRoot ? Matrix{} : boneOf(step.parentStep).worldToBone;
        const Matrix fixed = finiteMatrix(product(bone.boneToWorld, parentWorldToBone), replaced);
        json fixedNode = {{"name", bone.name + " rest"}};
        if (!(fixed == Matrix{})) fixedNode["matrix"] = matrixValues(fixed);
        const int fixedIndex = writer.append("nodes", std::move(fixedNode));
        const int joint = writer.append("nodes", {{"name", bone.name}});
        const int parent = isRoot ? skeleton.root : skeleton.stepJoints[static_cast<std::size_t>(step.parentStep)];
        children[parent].push_back(fixedIndex);
        children[fixedIndex].push_back(joint);
        skeleton.stepJoints.push_back(joint);
        skeleton.joints.push_back(joint);
        const std::vector<float> inverseBind = matrixValues(finiteMatrix(bone.worldToBone, replaced));
        skeleton.inverseBinds.insert(skeleton.inverseBinds.end(), inverseBind.begin(), inverseBind.end());
    }
    for (auto& [node, list] : children) writer.doc["nodes"][static_cast<std::size_t>(node)]["children"] = list;
    return skeleton;
}

// The drawn faces as glTF vertices (one per distinct position, normal and texture coordinate)
// and one list of triangles per material.
class SkinnedGeometry {
public:
    SkinnedGeometry(const SkeletalMesh& mesh, const BoneWalk& walk, std::size_t& replaced)
        : mesh_(mesh), walk_(walk), replaced_(replaced) {}

    // Adds the faces of a batch drawn with the given material.
    void addBatch(const MaterialBatch& batch, int material, bool textured) {
        std::vector<std::uint32_t>& triangles = triangles_[material];
        if (std::find(order_.begin(), order_.end(), material) == order_.end()) order_.push_back(material);
        for (const std::int32_t faceIndex : batch.faceIndices) {
            if (!inside(faceIndex, mesh_.faces.size())) continue;
            const MeshFace& face = mesh_.faces[static_cast<std::size_t>(faceIndex)];
            bool drawable = true;
            for (int k = 0; k < 3; ++k)
                drawable = drawable && inside(face.positionIndex[k], mesh_.positions.size()) &&
                           inside(face.normalIndex[k], mesh_.normals.size());
            if (!drawable) continue;
            // A face without a mapping keeps the coordinate sent last, as GL does.
            const FaceMapping* mapping = textured && !face.mappings.empty() ? &face.mappings.front() : nullptr;
            for (int k = 0; k < 3; ++k) {
                if (mapping != nullptr)
                    uv_ = {finiteOr(mapping->uv[k][0], 0.0f, replaced_), finiteOr(mapping->uv[k][1], 0.0f, replaced_)};
                triangles.push_back(vertex(face.positionIndex[k], face.normalIndex[k]));
            }
        }
    }

    // The mesh's primitives; none when no face was drawable.
    json primitives(GltfWriter& writer) const {
        json list = json::array();
        if (positions_.empty()) return list;
        const int jointView = writer.addView(joints_.data(), joints_.size() * sizeof(std::uint16_t), GltfVertexData);
        const json attributes = {
            {"POSITION", writer.addVectors(positions_, GltfVertexData, true)},
            {"NORMAL", writer.addVectors(normals_, GltfVertexData, false)},
            {"TEXCOORD_0", writer.addFloats(uvs_, 2, GltfVertexData, false)},
            {"JOINTS_0", writer.addAccessor(jointView, GltfUShort, positions_.size(), "VEC4")},
            {"WEIGHTS_0", writer.addFloats(weights_, 4, GltfVertexData, false)}};
        for (const int material : order_) {
            const std::vector<std::uint32_t>& triangles = triangles_.at(material);
            if (triangles.empty()) continue;
            const int indices = writer.addIndices(triangles);
            list.push_back({{"attributes", attributes}, {"indices", indices}, {"material", material}});
        }
        return list;
    }

private:
    std::uint32_t vertex(std::int32_t position, std::int32_t normal) {
        const auto key = std::make_tuple(position, normal, floatBits(uv_[0]), floatBits(uv_[1]));
        const auto found = vertices_.find(key);
        if (found != vertices_.end()) return found->second;
        const auto index = static_cast<std::uint32_t>(positions_.size());
        vertices_.emplace(key, index);
        positions_.push_back(finiteVector(mesh_.positions[static_cast<std::size_t>(position)], replaced_));
        normals_.push_back(unitNormal(mesh_.normals[static_cast<std::size_t>(normal)]));
        uvs_.insert(uvs_.end(), {uv_[0], uv_[1]});
        // Joint 0 is the unmoving root; a bone's joint is its walk step's, one further on.
        const std::int32_t step = walk_.positionSteps[static_cast<std::size_t>(position)];
        joints_.insert(joints_.end(), {static_cast<std::uint16_t>(step + 1), 0, 0, 0});
        weights_.insert(weights_.end(), {1.0f, 0.0f, 0.0f, 0.0f});
        return index;
    }


    const SkeletalMesh& mesh_;
    const BoneWalk& walk_;
    std::size_t& replaced_;
    std::array<float, 2> uv_{0.0f, 0.0f};
    std::map<std::tuple<std::int32_t, std::int32_t, std::uint32_t, std::uint32_t>, std::uint32_t> vertices_;
    std::vector<Vector3> positions_;
    std::vector<Vector3> normals_;
    std::vector<float> uvs_;
    std::vector<std::uint16_t> joints_;
    std::vector<float> weights_;
    std::map<int, std::vector<std::uint32_t>> triangles_;
    std::vector<int> order_;
};

// Materials are shared by the batches that draw alike: same colour, same texture.
class MaterialTable {
public:
    MaterialTable(GltfWriter& writer, const SkeletalMesh& mesh)
        : writer_(writer), mesh_(mesh), textures_(mesh.textures.size(), -2) {}

    // The material a batch of the group is drawn with, and whether it is textured. A batch whose
    // material is missing keeps the colour of the batch before it, as the renderer does.
    std::pair<int, bool> of(const TextureGroup& group, const MaterialBatch& batch) {
        std::string name = "current colour";
        if (inside(batch.materialIndex, mesh_.materials.size())) {
            colour_ = mesh_.materials[static_cast<std::size_t>(batch.materialIndex)].color;
            name = "material " + std::to_string(batch.materialIndex);
        }
        const int texture = textureOf(group.textureIndex);
        if (texture >= 0) name += " " + mesh_.textures[static_cast<std::size_t>(group.textureIndex)].name;
        const auto key = std::make_tuple(floatBits(colour_.x), floatBits(colour_.y), floatBits(colour_.z), texture);
        auto found = materials_.find(key);
        if (found == materials_.end())
            found = materials_.emplace(key, addMaterial(writer_, name, colour_, texture)).first;
        return {found->second, texture >= 0};
    }

private:
    int textureOf(std::int32_t index) {
        if (!inside(index, textures_.size())) return -1;
        int& texture = textures_[static_cast<std::size_t>(index)];
        if (texture == -2) texture = addTextureImage(writer_, mesh_.textures[static_cast<std::size_t>(index)]);
        return texture;
    }

    GltfWriter& writer_;
    const SkeletalMesh& mesh_;
    std::vector<int> textures_;  // glTF texture per mesh texture; -1 none, -2 not yet added
    Vector3 colour_{1.0f, 1.0f, 1.0f};  // GL's initial current colour
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, int>, int> materials_;
};

// The rest pose as one-key channels, for bones a motion has no track for: a viewer switching
// between animations then shows them at rest, as playback does.
struct RestChannels {
    int time = -1;
    int translation = -1;
    int rotation = -1;
    int scale = -1;

    void addTo(GltfWriter& writer) {
        if (time >= 0) return;
        const float zero[1] = {0.0f};
        const float t[3] = {0.0f, 0.0f, 0.0f};
        const float r[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        const float s[3] = {1.0f, 1.0f, 1.0f};
        time = writer.addFloats(zero, 1, GltfNoTarget, true);
        translation = writer.addFloats(t, 3, GltfNoTarget, false);
        rotation = writer.addFloats(r, 4, GltfNoTarget, false);
        scale = writer.addFloats(s, 3, GltfNoTarget, false);
    }
};

// A sampled track as glTF outputs: translations, rotations (each in the hemisphere of the one
// before, which is the same rotation, so that viewers interpolate the short way) and scales.
struct TrackOutputs {
    std::vector<float> translation, rotation, scale;

    void add(const Pose& pose, std::size_t& replaced) {
        translation.insert(translation.end(), {finiteOr(pose.translation.x, 0, replaced),
                                               finiteOr(pose.translation.y, 0, replaced),
                                               finiteOr(pose.translation.z, 0, replaced)});
        scale.insert(scale.end(), {finiteOr(pose.scale.x, 1, replaced), finiteOr(pose.scale.y, 1, replaced),
                                   finiteOr(pose.scale.z, 1, replaced)});
        float q[4] = {finiteOr(pose.rotation.x, 0, replaced), finiteOr(pose.rotation.y, 0, replaced),
                      finiteOr(pose.rotation.z, 0, replaced), finiteOr(pose.rotation.w, 1, replaced)};
        const float length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
        if (!(length > 0.0f)) {
            // A zero quaternion poses as the identity matrix.
            q[0] = q[1] = q[2] = 0.0f;
            q[3] = 1.0f;
        } else if (std::fabs(length - 1.0f) > 1e-6f) {
            for (float& c : q) c /= length;
        }
        if (rotation.size() >= 4) {
            const float* before = rotation.data() + rotation.size() - 4;
            if (before[0] * q[0] + before[1] * q[1] + before[2] * q[2] + before[3] * q[3] < 0.0f)
                for (float& c : q) c = -c;
        }
        rotation.insert(rotation.end(), std::begin(q), std::end(q));
    }
};

void addChannel(json& animation, int input, int output, int node, const char* path) {
    animation["samplers"].push_back({{"input", input}, {"interpolation", "LINEAR"}, {"output", output}});
    animation["channels"].push_back(
        {{"sampler", animation["samplers"].size() - 1}, {"target", {{"node", node}, {"path", path}}}});
}

bool addAnimation(GltfWriter& writer, const SkeletalMesh& mesh, const BoneWalk& walk, const Skeleton& skeleton,
                  const GltfMotion& source, RestChannels& rest, GltfExportNotes& notes, std::string* reason) {
    const std::vector<float> times = gltfSampleTimes(*source.motion, reason);
    if (times.empty()) return false;
    const int input = writer.addFloats(times, 1, GltfNoTarget, true);
    MotionSampler sampler(*source.motion);
    // A bone plays the first track carrying its name hash, as playback matches them.
    std::unordered_map<std::int32_t, std::size_t> firstTrack;
    for (std::size_t t = 0; t < sampler.tracks.size(); ++t) firstTrack.emplace(sampler.tracks[t].track->nameHash, t);

    json animation = {{"name", source.name}, {"channels", json::array()}, {"samplers", json::array()}};
    for (std::size_t s = 0; s < walk.steps.size(); ++s) {
        const int node = skeleton.stepJoints[s];
        const auto track = firstTrack.find(mesh.bones[static_cast<std::size_t>(walk.steps[s].bone)].nameHash);
        if (track == firstTrack.end()) {
            rest.addTo(writer);
            addChannel(animation, rest.time, rest.translation, node, "translation");
            addChannel(animation, rest.time, rest.rotation, node, "rotation");
            addChannel(animation, rest.time, rest.scale, node, "scale");
            continue;
        }
        TrackOutputs outputs;
        for (const float t : times) outputs.add(sampleTrack(sampler.tracks[track->second], t), notes.nonFiniteValues);
        const int translation = writer.addFloats(outputs.translation, 3, GltfNoTarget, false);
        const int rotation = writer.addFloats(outputs.rotation, 4, GltfNoTarget, false);
        const int scale = writer.addFloats(outputs.scale, 3, GltfNoTarget, false);
        addChannel(animation, input, translation, node, "translation");
        addChannel(animation, input, rotation, node, "rotation");
        addChannel(animation, input, scale, node, "scale");
    }
    if (!animation["channels"].empty()) writer.append("animations", std::move(animation));
    return true;
}

std::size_t countDistinct(std::vector<std::int32_t> indices) {
    std::sort(indices.begin(), indices.end());
    return static_cast<std::size_t>(std::unique(indices.begin(), indices.end()) - indices.begin());
}

}  // namespace

std::vector<float> gltfSampleTimes(const SkeletalMotion& motion, std::string* reason) {
    if (!(motion.duration <= GltfLongestMotion)) {
        if (reason != nullptr) *reason = "the motion is too long to sample (over ten minutes, or not a number)";
        return {};
    }
    const float duration = std::max(motion.duration, 0.0f);
    std::vector<float> times;
    for (int k = 0; static_cast<float>(k) / GltfSamplesPerSecond < duration; ++k)
        times.push_back(static_cast<float>(k) / GltfSamplesPerSecond);
    times.push_back(duration);
    for (const float t : motionKeyTimes(motion))
        if (t >= 0.0f && t <= duration) times.push_back(t);
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return times;
}

bool addSkeletalScene(GltfWriter& writer, const SkeletalMesh& mesh, const std::string& name,
                      const std::vector<GltfMotion>& motions, GltfExportNotes& notes, std::string* reason) {
    const BoneWalk walk = walkBones(mesh);
    // glTF joint indices are 16-bit numbers, and joint 0 is the root.
    if (walk.steps.size() >= 65535) {
        if (reason != nullptr) *reason = "too many bones for a glTF skin (at most 65534)";
        return false;
    }
    notes.doublyAttachedPositions += countDistinct(walk.repeatPositions);
    notes.motions += motions.size();
    const Skeleton skeleton = addSkeleton(writer, mesh, walk, name, notes.nonFiniteValues);

    SkinnedGeometry geometry(mesh, walk, notes.nonFiniteValues);
    MaterialTable materials(writer, mesh);
    for (const TextureGroup& group : mesh.renderGroups)
        for (const MaterialBatch& batch : group.batches) {
            const auto [material, textured] = materials.of(group, batch);
            geometry.addBatch(batch, material, textured);
        }
    json primitives = geometry.primitives(writer);
    json sceneNodes = {skeleton.root};
    if (!primitives.empty()) {
        const int mesh = writer.append("meshes", {{"name", name}, {"primitives", std::move(primitives)}});
        const int ibm = writer.addFloats(skeleton.inverseBinds, 16, GltfNoTarget, false);
        const int skin = writer.append("skins", {{"name", name},
                                                 {"inverseBindMatrices", ibm},
                                                 {"skeleton", skeleton.root},
                                                 {"joints", skeleton.joints}});
        // A skinned mesh's node is a root of the scene: glTF ignores the transforms above it.
        sceneNodes.push_back(writer.append("nodes", {{"name", name + " mesh"}, {"mesh", mesh}, {"skin", skin}}));
    }
    writer.doc["scene"] = 0;
    writer.append("scenes", {{"name", name}, {"nodes", sceneNodes}});

    RestChannels rest;
    for (const GltfMotion& motion : motions)
        if (motion.motion == nullptr || !addAnimation(writer, mesh, walk, skeleton, motion, rest, notes, reason)) {
            if (reason != nullptr && motion.motion != nullptr) *reason = motion.name + ": " + *reason;
            return false;
        }
    return true;
}

}  // namespace qx
