// The sample character: a jointed figure of 17 bones made of tapered tubes, standing with Y up
// and facing +Z, in two materials (cloth and skin) with a striped shirt texture on the torso,
// and three motions: a walk and an idle breath (cycles) and a wave of the right arm (overlay).

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ByteSink.h"
#include "math/Quaternion.h"
#include "skeletal/ComputeHandles.h"
#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tools/samplegen/SampleImage.h"
#include "tools/samplegen/Samples.h"

namespace qx::samples {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int Sides = 8;
constexpr std::int32_t ClothMaterial = 0;
constexpr std::int32_t SkinMaterial = 1;
const char* const ShirtImage = "figure-shirt.bmp";

// One bone of the figure and the tube around it: rings of the given radii at the given
// fractions of the bone's length.
struct BonePlan {
    const char* name;
    const char* parent;
    Vector3 start;
    Vector3 end;
    Vector3 rollDirection;  // from start toward the roll point
    std::int32_t material;
    bool textured;
    std::vector<std::pair<float, float>> rings;  // (fraction of the length, radius)
};

// Arms and legs hang with their +Y facing forward (+Z), so their own X is the world's X and a
// turn about it swings them forward and back; the trunk points up with +Y forward too.
const std::vector<BonePlan>& plans() {
    const Vector3 front{0.0f, 0.0f, 1.0f};
    const Vector3 up{0.0f, 1.0f, 0.0f};
    // clang-format off
    static const std::vector<BonePlan> list = {
        {"hips", nullptr, {0.0f, 9.0f, 0.0f}, {0.0f, 10.0f, 0.0f}, front, ClothMaterial, false, {{0.0f, 1.3f}, {1.0f, 1.2f}}},
        {"spine", "hips", {0.0f, 10.0f, 0.0f}, {0.0f, 12.0f, 0.0f}, front, ClothMaterial, true, {{0.0f, 1.2f}, {1.0f, 1.25f}}},
        {"chest", "spine", {0.0f, 12.0f, 0.0f}, {0.0f, 14.0f, 0.0f}, front, ClothMaterial, true, {{0.0f, 1.25f}, {0.7f, 1.45f}, {1.0f, 1.1f}}},
        {"neck", "chest", {0.0f, 14.0f, 0.0f}, {0.0f, 14.6f, 0.0f}, front, SkinMaterial, false, {{0.0f, 0.35f}, {1.0f, 0.35f}}},
        {"head", "neck", {0.0f, 14.6f, 0.0f}, {0.0f, 16.6f, 0.0f}, front, SkinMaterial, false,
         {{0.0f, 0.45f}, {0.25f, 0.8f}, {0.6f, 0.85f}, {0.9f, 0.6f}, {1.0f, 0.25f}}},
        {"arm.L", "chest", {1.6f, 13.6f, 0.0f}, {1.8f, 11.2f, 0.0f}, front, ClothMaterial, false, {{0.0f, 0.42f}, {1.0f, 0.35f}}},
        {"forearm.L", "arm.L", {1.8f, 11.2f, 0.0f}, {1.9f, 9.2f, 0.0f}, front, SkinMaterial, false, {{0.0f, 0.33f}, {1.0f, 0.27f}}},
        {"hand.L", "forearm.L", {1.9f, 9.2f, 0.0f}, {1.95f, 8.3f, 0.0f}, front, SkinMaterial, false, {{0.0f, 0.3f}, {1.0f, 0.2f}}},
        {"arm.R", "chest", {-1.6f, 13.6f, 0.0f}, {-1.8f, 11.2f, 0.0f}, front, ClothMaterial, false, {{0.0f, 0.42f}, {1.0f, 0.35f}}},
        {"forearm.R", "arm.R", {-1.8f, 11.2f, 0.0f}, {-1.9f, 9.2f, 0.0f}, front, SkinMaterial, false, {{0.0f, 0.33f}, {1.0f, 0.27f}}},
        {"hand.R", "forearm.R", {-1.9f, 9.2f, 0.0f}, {-1.95f, 8.3f, 0.0f}, front, SkinMaterial, false, {{0.0f, 0.3f}, {1.0f, 0.2f}}},
        {"thigh.L", "hips", {0.65f, 9.0f, 0.0f}, {0.7f, 5.0f, 0.0f}, front, ClothMaterial, false, {{0.0f, 0.62f}, {1.0f, 0.45f}}},
        {"shin.L", "thigh.L", {0.7f, 5.0f, 0.0f}, {0.7f, 1.0f, 0.0f}, front, ClothMaterial, false, {{0.0f, 0.45f}, {1.0f, 0.33f}}},
        {"foot.L", "shin.L", {0.7f, 1.0f, 0.0f}, {0.7f, 0.3f, 1.4f}, up, SkinMaterial, false, {{0.0f, 0.33f}, {1.0f, 0.28f}}},
        {"thigh.R", "hips", {-0.65f, 9.0f, 0.0f}, {-0.7f, 5.0f, 0.0f}, front, ClothMaterial, false, {{0.0f, 0.62f}, {1.0f, 0.45f}}},
        {"shin.R", "thigh.R", {-0.7f, 5.0f, 0.0f}, {-0.7f, 1.0f, 0.0f}, front, ClothMaterial, false, {{0.0f, 0.45f}, {1.0f, 0.33f}}},
        {"foot.R", "shin.R", {-0.7f, 1.0f, 0.0f}, {-0.7f, 0.3f, 1.4f}, up, SkinMaterial, false, {{0.0f, 0.33f}, {1.0f, 0.28f}}},
    };
    // clang-format on
    return list;
}

std::int32_t boneIndex(const char* name) {
    const auto& list = plans();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (std::string(list[i].name) == name) return static_cast<std::int32_t>(i);
    return -1;
}

class MeshMaker {
public:
    explicit MeshMaker(SkeletalMesh& mesh) : mesh_(mesh) {}

    std::int32_t position(std::int32_t bone, const Vector3& p) {
        mesh_.positions.push_back(p);
        mesh_.positionNormals.emplace_back();
        const auto index = static_cast<std::int32_t>(mesh_.positions.size() - 1);
        mesh_.bones[bone].attachedPositions.push_back(index);
        return index;
    }

    // A normal sitting on position p.
    std::int32_t normal(std::int32_t p, const Vector3& n) {
        mesh_.normals.push_back(normalize(n));
        const auto index = static_cast<std::int32_t>(mesh_.normals.size() - 1);
        mesh_.positionNormals[p].push_back(index);
        return index;
    }

    struct Corner {
        std::int32_t position;
        std::int32_t normal;
        float u = 0.0f;
        float v = 0.0f;
    };

    void triangle(std::int32_t material, bool textured, const Corner& a, const Corner& b, const Corner& c) {
        MeshFace face;
        face.materialIndex = material;
        const Corner corners[4] = {a, b, c, c};  // the fourth corner is carried; triangles repeat the third
        FaceMapping mapping;
        for (int i = 0; i < 4; ++i) {
            face.positionIndex[i] = corners[i].position;
            face.normalIndex[i] = corners[i].normal;
            mapping.uv[i][0] = corners[i].u;
            mapping.uv[i][1] = corners[i].v;
        }
        if (textured) face.mappings.push_back(mapping);
        mesh_.faces.push_back(face);
    }

private:
    SkeletalMesh& mesh_;
};

// The tube of one bone, built in the bone's frame and carried to model space.
void buildTube(MeshMaker& maker, const SkeletalMesh& mesh, std::int32_t boneIndex, const BonePlan& plan) {
    const MeshBone& bone = mesh.bones[boneIndex];
    const Vector3 axis = plan.end - plan.start;
    const float length = std::sqrt(dot(axis, axis));
    auto toModel = [&](const Vector3& local) { return transformPoint(local, bone.boneToWorld); };
    auto directionToModel = [&](const Vector3& local) { return toModel(local) - toModel(ZeroVector); };

    struct RingVertex {
        std::int32_t position;
        std::int32_t sideNormal;
    };
    std::vector<std::vector<RingVertex>> rings;
    for (const auto& [fraction, radius] : plan.rings) {
        std::vector<RingVertex> ring;
        for (int s = 0; s < Sides; ++s) {
            const double a = 2.0 * Pi * s / Sides;
            const float c = static_cast<float>(std::cos(a)), sn = static_cast<float>(std::sin(a));
            const std::int32_t p = maker.position(boneIndex, toModel({radius * c, radius * sn, fraction * length}));
            ring.push_back({p, maker.normal(p, directionToModel({c, sn, 0.0f}))});
        }
        rings.push_back(ring);
    }

    const auto material = plan.material;
    for (std::size_t r = 0; r + 1 < rings.size(); ++r) {
        const float v0 = plan.rings[r].first, v1 = plan.rings[r + 1].first;
        for (int s = 0; s < Sides; ++s) {
            const int t = (s + 1) % Sides;
            const float u0 = static_cast<float>(s) / Sides, u1 = static_cast<float>(s + 1) / Sides;
            const MeshMaker::Corner a{rings[r][s].position, rings[r][s].sideNormal, u0, v0};
            const MeshMaker::Corner b{rings[r][t].position, rings[r][t].sideNormal, u1, v0};
            const MeshMaker::Corner c{rings[r + 1][t].position, rings[r + 1][t].sideNormal, u1, v1};
            const MeshMaker::Corner d{rings[r + 1][s].position, rings[r + 1][s].sideNormal, u0, v1};
            // Counter-clockwise seen from outside.
            maker.triangle(material, plan.textured, a, b, c);
            maker.triangle(material, plan.textured, a, c, d);
        }
    }

    // End caps, each with a centre and its own flat normals on the rim positions.
    for (const bool top : {false, true}) {
        const auto& ring = top ? rings.back() : rings.front();
        const float fraction = top ? plan.rings.back().first : plan.rings.front().first;
        const Vector3 outward = directionToModel({0.0f, 0.0f, top ? 1.0f : -1.0f});
        const std::int32_t centre = maker.position(boneIndex, toModel({0.0f, 0.0f, fraction * length}));
        const MeshMaker::Corner middle{centre, maker.normal(centre, outward), 0.5f, fraction};
        std::vector<MeshMaker::Corner> rim;
        for (int s = 0; s < Sides; ++s)
            rim.push_back({ring[s].position, maker.normal(ring[s].position, outward), 0.5f, fraction});
        for (int s = 0; s < Sides; ++s) {
            const int t = (s + 1) % Sides;
            if (top)
                maker.triangle(material, plan.textured, middle, rim[s], rim[t]);
            else
                maker.triangle(material, plan.textured, middle, rim[t], rim[s]);
        }
    }
}

// Faces grouped for drawing as the import groups them: by the texture of their first mapping
// (-1 without one), groups in order of first appearance; within a group by material, batches
// in order of first appearance, faces ascending.
void buildRenderGroups(SkeletalMesh& mesh) {
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        const MeshFace& face = mesh.faces[f];
        const std::int32_t texture = face.mappings.empty() ? -1 : face.mappings[0].textureIndex;
        TextureGroup* group = nullptr;
        for (auto& g : mesh.renderGroups)
            if (g.textureIndex == texture) group = &g;
        if (group == nullptr) {
            mesh.renderGroups.push_back({texture, {}});
            group = &mesh.renderGroups.back();
        }
        MaterialBatch* batch = nullptr;
        for (auto& b : group->batches)
            if (b.materialIndex == face.materialIndex) batch = &b;
        if (batch == nullptr) {
            group->batches.push_back({face.materialIndex, {}});
            batch = &group->batches.back();
        }
        batch->faceIndices.push_back(static_cast<std::int32_t>(f));
    }
}

SkeletalMesh makeFigure() {
    SkeletalMesh mesh;
    const auto& list = plans();
    for (std::size_t i = 0; i < list.size(); ++i) {
        MeshBone bone;
        bone.name = list[i].name;
        bone.nameHash = nameHash(bone.name);
        bone.index = static_cast<std::int32_t>(i);
        bone.parent = list[i].parent == nullptr ? -1 : boneIndex(list[i].parent);
        bone.start = list[i].start;
        bone.end = list[i].end;
        bone.roll = list[i].start + list[i].rollDirection;
        computeBoneFrame(bone);
        mesh.bones.push_back(bone);
    }
    // The list is in pre-order: every bone follows its parent and each subtree is contiguous.
    for (std::size_t i = 0; i < mesh.bones.size(); ++i) {
        const std::int32_t parent = mesh.bones[i].parent;
        if (parent < 0) continue;
        if (mesh.bones[parent].firstChild < 0) {
            mesh.bones[parent].firstChild = static_cast<std::int32_t>(i);
            continue;
        }
        std::int32_t last = mesh.bones[parent].firstChild;
        while (mesh.bones[last].nextSibling >= 0) last = mesh.bones[last].nextSibling;
        mesh.bones[last].nextSibling = static_cast<std::int32_t>(i);
    }

    MeshMaker maker(mesh);
    for (std::size_t i = 0; i < list.size(); ++i) buildTube(maker, mesh, static_cast<std::int32_t>(i), list[i]);

    MeshMaterial cloth;
    cloth.color = {0.25f, 0.35f, 0.75f};
    MeshMaterial skin;
    skin.color = {0.93f, 0.76f, 0.62f};
    mesh.materials.push_back(cloth);
    mesh.materials.push_back(skin);
    Texture shirt;
    shirt.name = ShirtImage;
    mesh.textures.push_back(std::move(shirt));
    buildRenderGroups(mesh);
    return mesh;
}

// Horizontal stripes with a red badge on the chest.
RgbImage shirtImage() {
    RgbImage image(64, 64);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const bool stripe = (y / 8) % 2 == 0;
            if (x >= 40 && x < 48 && y >= 16 && y < 24)
                image.set(x, y, 230, 60, 40);
            else if (stripe)
                image.set(x, y, 60, 90, 200);
            else
                image.set(x, y, 235, 235, 240);
        }
    }
    return image;
}

// Keys of one channel, sampled from f at step intervals over [0, duration], joined by curves.
template <typename F>
MotionChannel curve(float duration, float step, F f) {
    MotionChannel channel;
    const int count = static_cast<int>(std::lround(duration / step));
    for (int k = 0; k <= count; ++k) {
        MotionKey key;
        key.time = static_cast<float>(k) * step;
        key.value = f(key.time);
        key.flags = static_cast<std::uint8_t>((CurveKind << 1) | KeyHandlesOmitted);
        channel.keys.push_back(key);
    }
    computeHandles(channel);
    return channel;
}

MotionChannel constant(float value) {
    MotionChannel channel;
    MotionKey key;
    key.value = value;
    key.flags = static_cast<std::uint8_t>((LinearKind << 1) | KeyHandlesOmitted);
    channel.keys.push_back(key);
    return channel;
}

// A track of the named bone turning about its own axis (x, y or z as 0, 1, 2) by angle(t)
// degrees; every other channel holds the identity.
template <typename Angle>
MotionTrack turnTrack(const std::string& bone, int axis, float duration, float step, Angle angle) {
    MotionTrack track;
    track.name = bone;
    track.nameHash = nameHash(bone);
    for (int c = 0; c < ChannelCount; ++c)
        track.channels[c] = constant(c == ScaleX || c == ScaleY || c == ScaleZ || c == RotationW ? 1.0f : 0.0f);
    auto half = [&](float t) { return static_cast<double>(angle(t)) * Pi / 360.0; };
    track.channels[RotationX + axis] =
        curve(duration, step, [&](float t) { return static_cast<float>(std::sin(half(t))); });
    track.channels[RotationW] = curve(duration, step, [&](float t) { return static_cast<float>(std::cos(half(t))); });
    return track;
}

float wave(float t, float period, float phase = 0.0f) {
    return static_cast<float>(std::sin(2.0 * Pi * (static_cast<double>(t) / period + phase)));
}

SkeletalMotion makeWalk() {
    constexpr float D = 1.2f, Step = 0.1f;
    SkeletalMotion motion;
    motion.duration = D;
    motion.attackLength = 0.3f;
    motion.decayLength = 0.3f;
    motion.animationType = CycleAnimation;
    auto leg = [&](const char* thigh, const char* shin, float phase) {
        motion.tracks.push_back(turnTrack(thigh, 0, D, Step, [=](float t) { return 28.0f * wave(t, D, phase); }));
        // The knee bends while the leg swings back, never the wrong way.
        motion.tracks.push_back(
            turnTrack(shin, 0, D, Step, [=](float t) { return 35.0f * std::max(0.0f, wave(t, D, phase + 0.15f)); }));
    };
    leg("thigh.L", "shin.L", 0.0f);
    leg("thigh.R", "shin.R", 0.5f);
    motion.tracks.push_back(turnTrack("arm.L", 0, D, Step, [](float t) { return 22.0f * wave(t, D, 0.5f); }));
    motion.tracks.push_back(turnTrack("arm.R", 0, D, Step, [](float t) { return 22.0f * wave(t, D); }));
    motion.tracks.push_back(
        turnTrack("forearm.L", 0, D, Step, [](float t) { return -12.0f - 8.0f * wave(t, D, 0.5f); }));
    motion.tracks.push_back(turnTrack("forearm.R", 0, D, Step, [](float t) { return -12.0f - 8.0f * wave(t, D); }));
    // Two bobs a stride, along the hips' own Z (up), and a slight twist of the trunk.
    MotionTrack hips = turnTrack("hips", 2, D, Step, [](float t) { return 6.0f * wave(t, D); });
    hips.channels[TranslationZ] = curve(D, Step, [](float t) { return 0.15f * wave(t, D / 2.0f, 0.25f); });
    motion.tracks.push_back(hips);
    motion.tracks.push_back(turnTrack("chest", 2, D, Step, [](float t) { return -8.0f * wave(t, D); }));
    return motion;
}

SkeletalMotion makeIdle() {
    constexpr float D = 3.0f, Step = 0.25f;
    SkeletalMotion motion;
    motion.duration = D;
    motion.attackLength = 0.5f;
    motion.decayLength = 0.5f;
    motion.animationType = CycleAnimation;
    motion.tracks.push_back(turnTrack("spine", 0, D, Step, [](float t) { return 3.0f * wave(t, D); }));
    MotionTrack chest = turnTrack("chest", 0, D, Step, [](float t) { return -2.0f * wave(t, D); });
    // Breathing: the chest widens a little.
    chest.channels[ScaleX] = curve(D, Step, [](float t) { return 1.0f + 0.04f * wave(t, D / 2.0f); });
    chest.channels[ScaleY] = chest.channels[ScaleX];
    motion.tracks.push_back(chest);
    motion.tracks.push_back(turnTrack("head", 2, D, Step, [](float t) { return 12.0f * wave(t, D, 0.25f); }));
    motion.tracks.push_back(turnTrack("neck", 0, D, Step, [](float t) { return 4.0f * wave(t, D / 2.0f); }));
    return motion;
}

SkeletalMotion makeWave() {
    constexpr float D = 2.4f, Step = 0.1f;
    SkeletalMotion motion;
    motion.duration = D;
    motion.attackLength = 0.4f;
    motion.decayLength = 0.4f;
    motion.animationType = OverlayAnimation;
    // The hanging right arm's own Y is the world's +Z: a turn about it of -150 degrees lifts the
    // arm out to the side and above the shoulder; the forearm and hand sway about the same axis.
    motion.tracks.push_back(turnTrack("arm.R", 1, D, Step, [](float) { return -150.0f; }));
    motion.tracks.push_back(turnTrack("forearm.R", 1, D, Step, [](float t) { return 25.0f * wave(t, 0.6f); }));
    motion.tracks.push_back(turnTrack("hand.R", 1, D, Step, [](float t) { return 15.0f * wave(t, 0.6f, 0.2f); }));
    motion.tracks.push_back(turnTrack("head", 2, D, Step, [](float) { return -15.0f; }));
    return motion;
}

}  // namespace

bool writeSkeletalSample(const std::string& folderName, std::string* reason) {
    const std::filesystem::path folder(folderName);
    if (!writeFileAtomically((folder / ShirtImage).string(), encodeBmp24(shirtImage()), reason)) return false;
    if (!writeSkeletalMesh((folder / "figure.qm1").string(), makeFigure(), reason)) return false;
    if (!writeSkeletalMotion((folder / "figure-walk.qm2").string(), makeWalk(), reason)) return false;
    if (!writeSkeletalMotion((folder / "figure-idle.qm2").string(), makeIdle(), reason)) return false;
    return writeSkeletalMotion((folder / "figure-wave.qm2").string(), makeWave(), reason);
}

}  // namespace qx::samples
