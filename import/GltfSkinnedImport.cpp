#include "import/GltfSkinnedImport.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "import/GltfAccessors.h"
#include "import/GltfGeometry.h"
#include "import/GltfJointMotion.h"
#include "import/GltfNames.h"
#include "import/GltfRigidStray.h"
#include "import/GltfTextures.h"
#include "import/MeshFromPly.h"
#include "skeletal/NameHash.h"

namespace qx {

namespace {

bool fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

double length3(const ColumnMatrix& m, std::size_t column) {
    return std::sqrt(m.m[0][column] * m.m[0][column] + m.m[1][column] * m.m[1][column] +
                     m.m[2][column] * m.m[2][column]);
}

// A rest transform's uniform scale; false when it scales unevenly, shears or mirrors.
bool uniformScale(const ColumnMatrix& m, double& scale) {
    scale = length3(m, 0);
    if (!(scale > 0.0)) return false;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) {
            double dot = 0.0;
            for (std::size_t k = 0; k < 3; ++k) dot += m.m[k][i] * m.m[k][j];
            if (!(std::fabs(dot / (scale * scale) - (i == j ? 1.0 : 0.0)) <= 1e-4)) return false;
        }
    ColumnMatrix unit = m;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) unit.m[i][j] /= scale;
    RigidTransform rigid;
    return rigidPart(unit, rigid);
}

Vector3 vectorOf(const std::array<double, 3>& v) {
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

// The skeleton: one bone per joint, in the pre-order the mesh keeps its bones in.
struct Skeleton {
    std::vector<int> nodeOfBone;  // -1 for a synthetic root
    std::map<int, std::int32_t> boneOfNode;
    std::vector<std::int32_t> boneOfJoint;  // per skin joint
    std::vector<int> depth;
};

bool buildSkeleton(const tinygltf::Model& model, const GltfNodeTree& tree, const tinygltf::Skin& skin,
                   SkeletalMesh& mesh, Skeleton& skeleton, std::size_t& renamed, std::string* reason) {
    std::set<int> jointSet;
    for (const int joint : skin.joints) {
        if (joint < 0 || static_cast<std::size_t>(joint) >= model.nodes.size())
            return fail(reason, "the skin names a joint that does not exist");
        if (!jointSet.insert(joint).second) return fail(reason, "the skin names a joint twice");
    }
    if (skin.joints.empty()) return fail(reason, "the skin has no joints");
    if (skin.joints.size() >= 65535) return fail(reason, "too many joints");
    // Each joint under its nearest joint ancestor.
    std::map<int, std::vector<int>> children;
    std::vector<int> roots;
    for (const int node : tree.order) {
        if (jointSet.count(node) == 0) continue;
        int above = tree.parent[static_cast<std::size_t>(node)];
        while (above >= 0 && jointSet.count(above) == 0) above = tree.parent[static_cast<std::size_t>(above)];
        (above < 0 ? roots : children[above]).push_back(node);
    }
    std::vector<std::pair<int, std::int32_t>> pending;  // node, parent bone
    if (roots.size() > 1) {
        skeleton.nodeOfBone.push_back(-1);
        for (auto r = roots.rbegin(); r != roots.rend(); ++r) pending.push_back({*r, 0});
    } else {
        pending.push_back({roots.front(), -1});
    }
    while (!pending.empty()) {
        const auto [node, parent] = pending.back();
        pending.pop_back();
        const auto bone = static_cast<std::int32_t>(skeleton.nodeOfBone.size());
        skeleton.nodeOfBone.push_back(node);
        skeleton.boneOfNode[node] = bone;
        mesh.bones.resize(skeleton.nodeOfBone.size());
        mesh.bones[static_cast<std::size_t>(bone)].parent = parent;
        const auto& list = children[node];
        for (auto c = list.rbegin(); c != list.rend(); ++c) pending.push_back({*c, bone});
    }
    mesh.bones.resize(skeleton.nodeOfBone.size());
    skeleton.depth.assign(mesh.bones.size(), 0);
    std::set<std::string> names;
    for (std::size_t b = 0; b < mesh.bones.size(); ++b) {
        MeshBone& bone = mesh.bones[b];
        bone.index = static_cast<std::int32_t>(b);
        if (bone.parent >= 0) {
            skeleton.depth[b] = skeleton.depth[static_cast<std::size_t>(bone.parent)] + 1;
            MeshBone& parent = mesh.bones[static_cast<std::size_t>(bone.parent)];
            if (parent.firstChild < 0) {
                parent.firstChild = static_cast<std::int32_t>(b);
            } else {
                std::int32_t last = parent.firstChild;
                while (mesh.bones[static_cast<std::size_t>(last)].nextSibling >= 0)
                    last = mesh.bones[static_cast<std::size_t>(last)].nextSibling;
                mesh.bones[static_cast<std::size_t>(last)].nextSibling = static_cast<std::int32_t>(b);
            }
        }
        const int node = skeleton.nodeOfBone[b];
        const std::string given = node < 0 ? "root" : model.nodes[static_cast<std::size_t>(node)].name;
        std::string name = bytesOfText(given.empty() ? "joint " + std::to_string(node) : given, renamed);
        bone.name = uniqueName(name, names);
        bone.nameHash = nameHash(bone.name);
    }
    for (const int joint : skin.joints) skeleton.boneOfJoint.push_back(skeleton.boneOfNode.at(joint));
    return true;
}

// Start, end and roll of each bone: the joint's rest frame, its axes renamed so that the bone
// points along the one nearest its first child (a bone without one as its parent does), its
// length reaching that child.
bool placeBones(const GltfNodeTree& tree, const Skeleton& skeleton, double size, SkeletalMesh& mesh,
                std::vector<BoneAxes>& axes, std::string* reason) {
    std::vector<double> lengths(mesh.bones.size(), 0.0);
    axes.assign(mesh.bones.size(), BoneAxes{});
    const auto origin = [&](std::size_t b) -> std::array<double, 3> {
        const int node = skeleton.nodeOfBone[b];
        if (node < 0) return {0.0, 0.0, 0.0};
        const ColumnMatrix& w = tree.world[static_cast<std::size_t>(node)];
        return {w.m[0][3], w.m[1][3], w.m[2][3]};
    };
    for (std::size_t b = 0; b < mesh.bones.size(); ++b) {
        MeshBone& bone = mesh.bones[b];
        const int node = skeleton.nodeOfBone[b];
        ColumnMatrix frame;
        double scale = 1.0;
        if (node >= 0) {
            frame = tree.world[static_cast<std::size_t>(node)];
            if (!uniformScale(frame, scale))
                return fail(reason, "joint \"" + bone.name +
                                        "\" rests scaled unevenly, sheared or mirrored, which a bone cannot hold");
        }
        const auto o = origin(b);
        double length = 0.0;
        std::array<double, 3> towardChild{};
        if (bone.firstChild >= 0) {
            const auto c = origin(static_cast<std::size_t>(bone.firstChild));
            length = std::hypot(c[0] - o[0], c[1] - o[1], c[2] - o[2]);
            for (std::size_t k = 0; k < 3; ++k)
                for (std::size_t i = 0; i < 3; ++i) towardChild[k] += frame.m[i][k] * (c[i] - o[i]);
        }
        if (length > 1e-6 * size) {
            std::size_t k = 2;  // along Z where no axis is nearer
            for (std::size_t i = 0; i < 3; ++i)
                if (std::fabs(towardChild[i]) > std::fabs(towardChild[k]) + 1e-9 * length) k = i;
            axes[b] = BoneAxes::along(static_cast<int>(k), towardChild[k] < 0.0 ? -1.0 : 1.0);
        } else if (bone.parent >= 0) {
            axes[b] = axes[static_cast<std::size_t>(bone.parent)];
        }
        if (!(length > 1e-6 * size)) length = bone.parent >= 0 ? lengths[static_cast<std::size_t>(bone.parent)] : 0.0;
        if (!(length > 1e-6 * size)) length = size > 0.0 ? 0.1 * size : 1.0;
        lengths[b] = length;
        const BoneAxes& a = axes[b];
        std::array<double, 3> end{}, roll{};
        for (std::size_t i = 0; i < 3; ++i) {
            end[i] = o[i] + a.sign[2] * frame.m[i][static_cast<std::size_t>(a.axis[2])] / scale * length;
            roll[i] = o[i] + a.sign[1] * frame.m[i][static_cast<std::size_t>(a.axis[1])] / scale * length;
        }
        bone.start = vectorOf(o);
        bone.end = vectorOf(end);
        bone.roll = vectorOf(roll);
        computeBoneFrame(bone);
    }
    return true;
}

ColumnMatrix matrixAt(const std::vector<float>& values, std::size_t index) {
    ColumnMatrix m;
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = 0; j < 4; ++j) m.m[i][j] = values[index * 16 + j * 4 + i];
    return m;
}

// The joint of largest weight (the first of equals).
std::size_t strongest(const GltfInfluences& influence) {
    std::size_t best = 0;
    for (std::size_t k = 1; k < 8; ++k)
        if (influence.weights[k] > influence.weights[best]) best = k;
    return best;
}

}  // namespace

bool importSkinned(const GltfDocument& document, const GltfNodeTree& tree, const std::vector<GltfAnimation>& animations,
                   int skinIndex, const std::string& stem, GltfImport& result, std::string* reason) {
    const tinygltf::Model& model = document.model;
    const tinygltf::Skin& skin = model.skins[static_cast<std::size_t>(skinIndex)];
    auto mesh = std::make_unique<SkeletalMesh>();
    Skeleton skeleton;
    std::size_t renamed = 0;
    if (!buildSkeleton(model, tree, skin, *mesh, skeleton, renamed, reason)) return false;

    std::vector<float> inverseBinds;
    if (skin.inverseBindMatrices >= 0) {
        if (!readAccessorFloats(model, skin.inverseBindMatrices, 16, inverseBinds, reason)) return false;
        if (inverseBinds.size() != skin.joints.size() * 16)
            return fail(reason, "the skin's inverse bind matrices do not match its joints in count");
    }
    std::vector<ColumnMatrix> skinning;  // per joint: rest world x inverse bind
    for (std::size_t j = 0; j < skin.joints.size(); ++j)
        skinning.push_back(tree.world[static_cast<std::size_t>(skin.joints[j])] *
                           (inverseBinds.empty() ? ColumnMatrix{} : matrixAt(inverseBinds, j)));

    // The meshes: those bound to the skin, and those hung under a joint or standing still.
    GltfGeometry geometry;
    std::vector<std::int32_t> boneOfVertex;
    std::vector<ColumnMatrix> placeOfVertex;
    std::size_t otherSkins = 0, morphed = 0;
    for (std::size_t n = 0; n < model.nodes.size(); ++n) {
        const tinygltf::Node& node = model.nodes[n];
        if (node.mesh < 0) continue;
        if (node.skin >= 0 && node.skin != skinIndex) {
            ++otherSkins;
            continue;
        }
        const bool bound = node.skin == skinIndex;
        const std::size_t first = geometry.positions.size();
        if (!addNodeMesh(model, static_cast<int>(n), bound, false, geometry, reason)) return false;
        if (node.mesh >= 0 && !model.meshes[static_cast<std::size_t>(node.mesh)].weights.empty()) ++morphed;
        for (const tinygltf::Primitive& p : model.meshes[static_cast<std::size_t>(node.mesh)].primitives)
            morphed += p.targets.empty() ? 0 : 1;
        std::int32_t hung = -1;
        for (int above = static_cast<int>(n); above >= 0 && hung < 0;
             above = tree.parent[static_cast<std::size_t>(above)])
            if (const auto found = skeleton.boneOfNode.find(above); found != skeleton.boneOfNode.end())
                hung = found->second;
        for (std::size_t v = first; v < geometry.positions.size(); ++v) {
            if (!bound) {
                boneOfVertex.push_back(hung);
                placeOfVertex.push_back(tree.world[n]);
                continue;
            }
            const GltfInfluences& influence = geometry.influences[v];
            const std::uint32_t joint = influence.joints[strongest(influence)];
            if (joint >= skin.joints.size()) return fail(reason, "a vertex names a joint the skin does not have");
            boneOfVertex.push_back(skeleton.boneOfJoint[joint]);
            placeOfVertex.push_back(skinning[joint]);
        }
    }
    if (geometry.triangles.empty()) return fail(reason, "the skinned meshes hold no triangle");

    for (std::size_t v = 0; v < geometry.positions.size(); ++v) {
        const auto& p = geometry.positions[v];
        const auto& n = geometry.normals[v];
        mesh->positions.push_back(vectorOf(qx::apply(placeOfVertex[v], {p[0], p[1], p[2]})));
        ColumnMatrix turn = normalMatrix(placeOfVertex[v]);
        auto t = qx::apply(turn, {n[0], n[1], n[2]});
        const double length = std::hypot(t[0], t[1], t[2]);
        if (length > 0.0) t = {t[0] / length, t[1] / length, t[2] / length};
        mesh->normals.push_back(vectorOf(t));
        mesh->positionNormals.push_back({static_cast<std::int32_t>(v)});
        if (boneOfVertex[v] >= 0)
            mesh->bones[static_cast<std::size_t>(boneOfVertex[v])].attachedPositions.push_back(
                static_cast<std::int32_t>(v));
    }
    GltfTextures textures(document, stem, *mesh, result);
    for (const GltfTriangle& triangle : geometry.triangles) {
        MeshFace face;
        face.materialIndex = textures.material(triangle.material);
        const std::int32_t texture = textures.texture(triangle.material);
        bool mapped = texture >= 0;
        for (std::size_t k = 0; k < 3; ++k) {
            face.positionIndex[k] = face.normalIndex[k] = static_cast<std::int32_t>(triangle.corners[k]);
            mapped = mapped && geometry.hasUv[triangle.corners[k]];
        }
        if (mapped) {
            FaceMapping mapping;
            mapping.textureIndex = texture;
            for (std::size_t k = 0; k < 3; ++k) {
                const auto& uv = geometry.uvs[triangle.corners[k]];
                mapping.uv[k][0] = uv[0];
                mapping.uv[k][1] = 1.0f - uv[1];  // t runs up from the bottom row, glTF's v down from the top
            }
            face.mappings.push_back(mapping);
        }
        mesh->faces.push_back(std::move(face));
    }
    mesh->renderGroups = buildRenderGroups(mesh->faces);

    double low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (const Vector3& p : mesh->positions) {
        const float c[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i) low[i] = std::min(low[i], double{c[i]}), high[i] = std::max(high[i], double{c[i]});
    }
    const double size = std::hypot(high[0] - low[0], high[1] - low[1], high[2] - low[2]);
    std::vector<BoneAxes> axes;
    if (!placeBones(tree, skeleton, size, *mesh, axes, reason)) return false;

    // The motions.
    std::set<std::string> motionNames;
    std::size_t strayed = 0, otherNodes = 0, weightsLeft = 0;
    int depth = 0;
    for (const int d : skeleton.depth) depth = std::max(depth, d);
    const double center[3] = {(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2};
    for (std::size_t a = 0; a < animations.size(); ++a) {
        const GltfAnimation& animation = animations[a];
        auto motion = std::make_unique<SkeletalMotion>();
        motion->duration = animation.duration;
        // Keys added for rotations and resampled curves: what a few per stored key take, so that
        // a file's keys bound the motion it makes.
        KeyBudget budget;
        budget.left = 1024;
        for (const GltfCurve& curve : animation.curves) budget.left += 64 * curve.times.size();
        for (const auto& [node, curves] : animation.nodes) {
            const auto bone = skeleton.boneOfNode.find(node);
            if (bone == skeleton.boneOfNode.end()) {
                if (curves.translation >= 0 || curves.rotation >= 0 || curves.scale >= 0) ++otherNodes;
                if (curves.weights >= 0) ++weightsLeft;
                continue;
            }
            const auto b = static_cast<std::size_t>(bone->second);
            const MeshBone& meshBone = mesh->bones[b];
            JointMap map;
            map.rest = tree.rest[static_cast<std::size_t>(node)];
            const auto& s = map.rest.scale;
            map.restScale = (std::fabs(s[0]) + std::fabs(s[1]) + std::fabs(s[2])) / 3.0;
            if (!(map.restScale > 0.0)) map.restScale = 1.0;
            double worldScale = 1.0;
            uniformScale(tree.world[static_cast<std::size_t>(node)], worldScale);
            map.translationFactor = worldScale;
            map.axes = axes[b];
            JointTolerance tolerance;
            tolerance.tolerance = GltfImportTolerance * size / (depth + 1);
            tolerance.reach = size + std::hypot(meshBone.start.x - center[0], meshBone.start.y - center[1],
                                                meshBone.start.z - center[2]);
            MotionTrack track;
            track.name = meshBone.name;
            track.nameHash = meshBone.nameHash;
            convertJointCurves(animation, curves, map, tolerance, budget, track);
            motion->tracks.push_back(std::move(track));
        }
        strayed += budget.exceeded ? 1 : 0;
        std::size_t replaced = 0;
        const std::string name =
            safeFileName(bytesOfText(animation.name, replaced), "animation-" + std::to_string(a + 1));
        result.motions.push_back({uniqueName(stem + "-" + name, motionNames, "-") + ".qm2", std::move(motion)});
    }

    describeRigidStray(measureRigidStray(tree, animations, skin.joints, inverseBinds, geometry, size), animations,
                       result.notes);
    noteReplacedCharacters(renamed, result.notes);
    if (otherSkins > 0)
        result.notes.push_back("only the skin with most vertices is converted; " + std::to_string(otherSkins) +
                               " mesh(es) bound to other skins are left out");
    if (morphed > 0)
        result.notes.push_back("morph targets on the skinned model are left out (its meshes rest as at weight 0)");
    if (otherNodes > 0)
        result.notes.push_back(
            std::to_string(otherNodes) +
            " animated node(s) that are not joints of the skin are left still (only joints become bones)");
    if (weightsLeft > 0) result.notes.push_back("morph weight animations are left out of the motions");
    if (strayed > 0)
        result.notes.push_back(std::to_string(strayed) +
                               " motion(s) needed more keys than a motion takes and stray further "
                               "than 1e-4 of the model's size somewhere");
    noteSkippedPrimitives(geometry, result.notes);
    result.mesh = std::move(mesh);
    return true;
}

}  // namespace qx
