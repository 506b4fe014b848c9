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
#include "gltf/AdaptiveSampling.h"
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

// One node per bone where its fixed part is rigid (the joint), else a fixed node and the joint
// under it.
struct SkeletonBone {
    int joint = -1;
    bool folded = false;
    RigidTransform rigid;  // the fixed part, when folded

    // What the joint carries for a pose of the bone.
    GltfTrs jointPose(const GltfTrs& pose) const { return folded ? fold(rigid, pose) : pose; }
};

struct Skeleton {
    int root = 0;
    std::vector<SkeletonBone> steps;   // per walk step
    std::vector<int> joints;           // the skin's joints: the root, then the steps' joints
    std::vector<float> inverseBinds;   // 16 floats a joint
    std::vector<SampledBone> sampled;  // per walk step, for placing samples (tracks unset)
};

void setTrs(json& node, const GltfTrs& trs) {
    if (trs.translation != GltfTrs{}.translation) node["translation"] = trs.translation;
    if (trs.rotation != GltfTrs{}.rotation) node["rotation"] = trs.rotation;
    if (trs.scale != GltfTrs{}.scale) node["scale"] = trs.scale;
}

// The corners of the box around the positions each walk step moves, in that bone's frame: the
// places where a pose's error shows most.
std::vector<std::vector<std::array<double, 3>>> boneBoxes(const SkeletalMesh& mesh, const BoneWalk& walk,
                                                          const std::vector<Matrix>& worldToBone) {
    std::vector<std::array<double, 3>> low(walk.steps.size(), {INFINITY, INFINITY, INFINITY});
    std::vector<std::array<double, 3>> high(walk.steps.size(), {-INFINITY, -INFINITY, -INFINITY});
    for (std::size_t p = 0; p < mesh.positions.size() && p < walk.positionSteps.size(); ++p) {
        const std::int32_t step = walk.positionSteps[p];
        if (!inside(step, walk.steps.size())) continue;
        const Vector3& v = mesh.positions[p];
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) continue;
        const ColumnMatrix toBone = columnFormOf(worldToBone[static_cast<std::size_t>(step)]);
        const auto inBone = apply(toBone, {v.x, v.y, v.z});
        for (std::size_t c = 0; c < 3; ++c) {
            low[static_cast<std::size_t>(step)][c] = std::min(low[static_cast<std::size_t>(step)][c], inBone[c]);
            high[static_cast<std::size_t>(step)][c] = std::max(high[static_cast<std::size_t>(step)][c], inBone[c]);
        }
    }
    std::vector<std::vector<std::array<double, 3>>> boxes(walk.steps.size());
    for (std::size_t s = 0; s < walk.steps.size(); ++s) {
        if (!(low[s][0] <= high[s][0])) continue;
        for (int corner = 0; corner < 8; ++corner)
            boxes[s].push_back({(corner & 1) ? high[s][0] : low[s][0], (corner & 2) ? high[s][1] : low[s][1],
                                (corner & 4) ? high[s][2] : low[s][2]});
    }
    return boxes;
}

Skeleton addSkeleton(GltfWriter& writer, const SkeletalMesh& mesh, const BoneWalk& walk, const std::string& name,
                     float scale, GltfExportNotes& notes) {
    Skeleton skeleton;
    json rootNode = {{"name", name}};
    if (scale != 1.0f) rootNode["scale"] = {scale, scale, scale};
    skeleton.root = writer.append("nodes", std::move(rootNode));
    skeleton.joints.push_back(skeleton.root);
    skeleton.inverseBinds = matrixValues(Matrix::identity());
    std::map<int, std::vector<int>> children;
    const auto boneOf = [&](std::int32_t step) -> const MeshBone& {
        return mesh.bones[static_cast<std::size_t>(walk.steps[static_cast<std::size_t>(step)].bone)];
    };
    std::vector<Matrix> worldToBone;
    for (std::size_t s = 0; s < walk.steps.size(); ++s)
        worldToBone.push_back(finiteMatrix(boneOf(static_cast<std::int32_t>(s)).worldToBone, notes.nonFiniteValues));
    const auto boxes = boneBoxes(mesh, walk, worldToBone);
    for (std::size_t s = 0; s < walk.steps.size(); ++s) {
        const BoneWalkStep& step = walk.steps[s];
        const MeshBone& bone = boneOf(static_cast<std::int32_t>(s));
        const bool isRoot = step.parentStep < 0;
        const Matrix parentWorldToBone = isRoot ? Matrix{} : boneOf(step.parentStep).worldToBone;
        const Matrix fixed = finiteMatrix(product(bone.boneToWorld, parentWorldToBone), notes.nonFiniteValues);
        const std::string boneName = textOfBytes(bone.name);
        const int parent = isRoot ? skeleton.root : skeleton.steps[static_cast<std::size_t>(step.parentStep)].joint;
        SkeletonBone placed;
        placed.folded = rigidPart(columnFormOf(fixed), placed.rigid);
        json jointNode = {{"name", boneName}};
        if (placed.folded) {
            setTrs(jointNode, placed.jointPose(GltfTrs{}));
            placed.joint = writer.append("nodes", std::move(jointNode));
            children[parent].push_back(placed.joint);
        } else {
            ++notes.unfoldedBones;
            json fixedNode = {{"name", boneName + " rest"}};
            if (!(fixed == Matrix{})) fixedNode["matrix"] = matrixValues(fixed);
            const int fixedIndex = writer.append("nodes", std::move(fixedNode));
            placed.joint = writer.append("nodes", std::move(jointNode));
            children[parent].push_back(fixedIndex);
            children[fixedIndex].push_back(placed.joint);
        }
        skeleton.steps.push_back(placed);
        skeleton.joints.push_back(placed.joint);
        const std::vector<float> inverseBind = matrixValues(worldToBone[s]);
        skeleton.inverseBinds.insert(skeleton.inverseBinds.end(), inverseBind.begin(), inverseBind.end());
        skeleton.sampled.push_back({step.parentStep, columnFormOf(fixed), -1, boxes[s]});
    }
    for (auto& [node, list] : children) writer.doc["nodes"][static_cast<std::size_t>(node)]["children"] = list;
    return skeleton;
}

// The diagonal of the box around the mesh's finite positions.
double sizeOf(const SkeletalMesh& mesh) {
    double low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (const Vector3& p : mesh.positions) {
        const float v[3] = {p.x, p.y, p.z};
        if (!std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2])) continue;
        for (int c = 0; c < 3; ++c) low[c] = std::min(low[c], double{v[c]}), high[c] = std::max(high[c], double{v[c]});
    }
    if (!(low[0] <= high[0])) return 0.0;
    return std::hypot(high[0] - low[0], high[1] - low[1], high[2] - low[2]);
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
                // glTF's v runs down the image from its top row; t runs up from the bottom one.
                if (mapping != nullptr)
                    uv_ = {finiteOr(mapping->uv[k][0], 0.0f, replaced_),
                           1.0f - finiteOr(mapping->uv[k][1], 0.0f, replaced_)};
                triangles.push_back(vertex(face.positionIndex[k], face.normalIndex[k]));
            }
        }
    }

    // The mesh's primitives; none when no face was drawable.
    json primitives(GltfWriter& writer) const {
        json list = json::array();
        if (positions_.empty()) return list;
        const int jointView = writer.addView(joints_.data(), joints_.size() * sizeof(std::uint16_t), GltfVertexData);
        const json attributes = {{"POSITION", writer.addVectors(positions_, GltfVertexData, true)},
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
    std::array<float, 2> uv_{0.0f, 1.0f};  // GL's initial coordinate (0, 0), as glTF's u, v
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
        if (texture >= 0) name += " " + textOfBytes(mesh_.textures[static_cast<std::size_t>(group.textureIndex)].name);
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
    std::vector<int> textures_;         // glTF texture per mesh texture; -1 none, -2 not yet added
    Vector3 colour_{1.0f, 1.0f, 1.0f};  // GL's initial current colour
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, int>, int> materials_;
};

// The rotations of a channel, each turned into the hemisphere of the one before (the same
// rotation), so that readers interpolate the short way.
void keepHemisphere(std::vector<float>& rotations) {
    for (std::size_t i = 4; i + 4 <= rotations.size(); i += 4) {
        float* q = rotations.data() + i;
        const float* before = q - 4;
        if (before[0] * q[0] + before[1] * q[1] + before[2] * q[2] + before[3] * q[3] < 0.0f)
            for (int c = 0; c < 4; ++c) q[c] = -q[c];
    }
}

void addChannel(json& animation, int input, int output, int node, const char* path) {
    animation["samplers"].push_back({{"input", input}, {"interpolation", "LINEAR"}, {"output", output}});
    animation["channels"].push_back(
        {{"sampler", animation["samplers"].size() - 1}, {"target", {{"node", node}, {"path", path}}}});
}

// The inputs of one animation: its sample times, and the whole motion in two keys for what
// holds still all through (so that the animation lasts as long as the motion even when no bone
// moves). Each is written once, when a channel first needs it.
struct AnimationInputs {
    const std::vector<float>& times;
    std::vector<float> wholeMotion;
    int sampled = -1, still = -1;

    int of(GltfWriter& writer, bool isStill) {
        int& input = isStill ? still : sampled;
        if (input < 0) input = writer.addFloats(isStill ? wholeMotion : times, 1, GltfNoTarget, true);
        return input;
    }
};

// One path of a joint from its values (components a sample, one sample per time): all of them,
// or where they never change, the first over the whole motion.
void addJointPath(GltfWriter& writer, json& animation, AnimationInputs& inputs, int node, const char* path,
                  std::vector<float> values, std::size_t components) {
    bool still = true;
    for (std::size_t i = components; i < values.size() && still; ++i) still = values[i] == values[i % components];
    if (still) {
        values.resize(components);
        for (std::size_t k = 1; k < inputs.wholeMotion.size(); ++k)
            values.insert(values.end(), values.begin(), values.begin() + static_cast<std::ptrdiff_t>(components));
    }
    addChannel(animation, inputs.of(writer, still),
               writer.addFloats(values, static_cast<int>(components), GltfNoTarget, false), node, path);
}

void addJointChannels(GltfWriter& writer, json& animation, AnimationInputs& inputs, int node,
                      const std::vector<GltfTrs>& poses) {
    std::vector<float> translation, rotation, scale;
    for (const GltfTrs& pose : poses) {
        translation.insert(translation.end(), pose.translation.begin(), pose.translation.end());
        rotation.insert(rotation.end(), pose.rotation.begin(), pose.rotation.end());
        scale.insert(scale.end(), pose.scale.begin(), pose.scale.end());
    }
    keepHemisphere(rotation);
    addJointPath(writer, animation, inputs, node, "translation", std::move(translation), 3);
    addJointPath(writer, animation, inputs, node, "rotation", std::move(rotation), 4);
    addJointPath(writer, animation, inputs, node, "scale", std::move(scale), 3);
}

bool addAnimation(GltfWriter& writer, const SkeletalMesh& mesh, const BoneWalk& walk, const Skeleton& skeleton,
                  const GltfMotion& source, double tolerance, GltfExportNotes& notes, std::string* reason) {
    const SkeletalMotion& motion = *source.motion;
    if (!(motion.duration <= GltfLongestMotion)) {
        if (reason != nullptr) *reason = "the motion is too long to sample (over ten minutes, or not a number)";
        return false;
    }
    const float duration = std::max(motion.duration, 0.0f);
    MotionSampler sampler(motion);
    // A bone plays the first track carrying its name hash, as playback matches them.
    std::unordered_map<std::int32_t, std::size_t> firstTrack;
    for (std::size_t t = 0; t < sampler.tracks.size(); ++t) firstTrack.emplace(sampler.tracks[t].track->nameHash, t);
    std::vector<SampledBone> bones = skeleton.sampled;
    for (std::size_t s = 0; s < walk.steps.size(); ++s) {
        const auto track = firstTrack.find(mesh.bones[static_cast<std::size_t>(walk.steps[s].bone)].nameHash);
        if (track != firstTrack.end()) bones[s].track = static_cast<int>(track->second);
    }
    const std::vector<float> keyTimes = motionKeyTimes(motion);
    const auto moving = static_cast<std::size_t>(
        std::count_if(bones.begin(), bones.end(), [](const SampledBone& bone) { return bone.track >= 0; }));
    const AdaptiveSamples samples = sampleAdaptively(sampler, bones, keyTimes, duration, tolerance,
                                                     gltfSampleBudget(duration, keyTimes.size(), moving));
    notes.samples += samples.times.size();
    notes.looseAnimations += samples.withinTolerance ? 0 : 1;
    notes.steppedAnimations += samples.steps ? 1 : 0;
    notes.unsampledAnimations += samples.outOfBudget ? 1 : 0;

    AnimationInputs inputs{samples.times, {0.0f}};
    if (duration > 0.0f) inputs.wholeMotion.push_back(duration);
    json animation = {{"name", source.name}, {"channels", json::array()}, {"samplers", json::array()}};
    for (std::size_t s = 0; s < walk.steps.size(); ++s) {
        const SkeletonBone& bone = skeleton.steps[s];
        std::vector<GltfTrs> poses;
        if (bones[s].track >= 0) {
            TrackSampler& track = sampler.tracks[static_cast<std::size_t>(bones[s].track)];
            for (std::size_t k = 0; k < samples.times.size(); ++k) {
                gltfTrsOf(sampleTrack(track, samples.times[k]), notes.nonFiniteValues);  // counts what was replaced
                poses.push_back(bone.jointPose(samples.poses[s][k]));
            }
        }
        if (poses.empty()) poses.push_back(bone.jointPose(GltfTrs{}));  // at rest all through
        addJointChannels(writer, animation, inputs, bone.joint, poses);
    }
    if (!animation["channels"].empty()) writer.append("animations", std::move(animation));
    return true;
}

std::size_t countDistinct(std::vector<std::int32_t> indices) {
    std::sort(indices.begin(), indices.end());
    return static_cast<std::size_t>(std::unique(indices.begin(), indices.end()) - indices.begin());
}

}  // namespace

bool addSkeletalScene(GltfWriter& writer, const SkeletalMesh& mesh, const std::string& name,
                      const std::vector<GltfMotion>& motions, float scale, GltfExportNotes& notes,
                      std::string* reason) {
    const BoneWalk walk = walkBones(mesh);
    // glTF joint indices are 16-bit numbers, and joint 0 is the root.
    if (walk.steps.size() >= 65535) {
        if (reason != nullptr) *reason = "too many bones for a glTF skin (at most 65534)";
        return false;
    }
    notes.doublyAttachedPositions += countDistinct(walk.repeatPositions);
    notes.motions += motions.size();
    const Skeleton skeleton = addSkeleton(writer, mesh, walk, name, scale, notes);

    SkinnedGeometry geometry(mesh, walk, notes.nonFiniteValues);
    MaterialTable materials(writer, mesh);
    for (const TextureGroup& group : mesh.renderGroups)
        for (const MaterialBatch& batch : group.batches) {
            const auto [material, textured] = materials.of(group, batch);
            geometry.addBatch(batch, material, textured);
        }
    json primitives = geometry.primitives(writer);
    if (primitives.empty()) {
        if (reason != nullptr) *reason = "the model draws no triangle";
        return false;
    }
    json sceneNodes = {skeleton.root};
    {
        const int mesh = writer.append("meshes", {{"name", name}, {"primitives", std::move(primitives)}});
        const int ibm = writer.addFloats(skeleton.inverseBinds, 16, GltfNoTarget, false);
        const int skin = writer.append(
            "skins",
            {{"name", name}, {"inverseBindMatrices", ibm}, {"skeleton", skeleton.root}, {"joints", skeleton.joints}});
        // A skinned mesh's node is a root of the scene: glTF ignores the transforms above it.
        sceneNodes.push_back(writer.append("nodes", {{"name", name + " mesh"}, {"mesh", mesh}, {"skin", skin}}));
    }
    writer.doc["scene"] = 0;
    writer.append("scenes", {{"name", name}, {"nodes", sceneNodes}});

    const double tolerance = GltfMotionTolerance * sizeOf(mesh);
    for (const GltfMotion& motion : motions)
        if (motion.motion == nullptr || !addAnimation(writer, mesh, walk, skeleton, motion, tolerance, notes, reason)) {
            if (reason != nullptr && motion.motion != nullptr) *reason = motion.name + ": " + *reason;
            return false;
        }
    return true;
}

}  // namespace qx
