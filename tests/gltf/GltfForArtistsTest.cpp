// Exports as artists' tools read them: animations that follow playback at any time (jumps and
// curves included), one node per bone, textures upright and named as PNGs, names as the program
// shows them, a scale, and what is refused. (Faces wound toward their normals: the F3D tests.)

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "animation/SkeletalInstance.h"
#include "gltf/AdaptiveSampling.h"
#include "gltf/GltfExport.h"
#include "render/ImageDecoders.h"
#include "render/Texture.h"
#include "scene/OpenFile.h"
#include "skeletal/ComputeHandles.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalModel.h"
#include "tests/gltf/GltfEvaluator.h"
#include "tests/gltf/PlayedAlike.h"
#include "tests/support/MotionBuilder.h"
#include "tests/support/Qxtool.h"
#include "tests/support/RandomMotion.h"
#include "tests/support/SkeletonBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx::test {
namespace {

constexpr std::int32_t MotionId = 7;

struct RandomModel {
    std::unique_ptr<SkeletalMesh> mesh = std::make_unique<SkeletalMesh>();
    std::unique_ptr<SkeletalMotion> motion;
    bool degenerateBone = false;
};

// A tree of up to five bones in pre-order (now and then one whose roll lies on its axis, so that
// it has no frame), two triangles on each, and an overlay whose channels are random in key count,
// order, ties and interpolation kind, their values tamed to finite ones that playback can show,
// and their handles mostly computed as a reader does (a curve whose stored handles its time
// cannot be solved for plays as millisecond steps).
RandomModel randomModel(std::mt19937& random) {
    const auto uniform = [&](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const auto point = [&] { return Vector3{uniform(-3, 3), uniform(-3, 3), uniform(-3, 3)}; };
    RandomModel model;
    SkeletalMesh& mesh = *model.mesh;
    const int bones = 1 + below(5);
    for (int b = 0; b < bones; ++b) {
        // Pre-order, one root: the parent is the bone before or one of its ancestors.
        std::int32_t parent = b - 1;
        while (parent > 0 && below(3) == 0) parent = mesh.bones[static_cast<std::size_t>(parent)].parent;
        const Vector3 start = point(), end = point();
        const bool flat = below(10) == 0;
        model.degenerateBone = model.degenerateBone || flat;
        mesh.bones.push_back(
            meshBone("bone" + std::to_string(b), start, end, flat ? end + (end - start) : point(), parent));
    }
    linkBones(mesh.bones);
    mesh.materials.push_back({{0.8f, 0.6f, 0.4f}, {}, 0, 0});
    TextureGroup group;
    group.batches.push_back({0, {}});
    for (int b = 0; b < bones; ++b)
        for (int f = 0; f < 2; ++f) {
            MeshFace face;
            for (int k = 0; k < 3; ++k)
                face.positionIndex[k] = face.normalIndex[k] = addVertex(mesh, b, point(), point());
            group.batches[0].faceIndices.push_back(static_cast<std::int32_t>(mesh.faces.size()));
            mesh.faces.push_back(face);
        }
    mesh.renderGroups.push_back(group);

    // Now and then a motion keeps the handles the generator stored, as a file may.
    const bool computedHandles = below(8) != 0;
    std::vector<MotionTrack> tracks;
    for (int b = 0; b < bones; ++b) {
        if (below(4) == 0) continue;  // a bone the motion does not move
        MotionTrack t;
        t.name = "bone" + std::to_string(b);
        t.nameHash = mesh.bones[static_cast<std::size_t>(b)].nameHash;
        for (int c = 0; c < ChannelCount; ++c) {
            MotionChannel& channel = t.channels[static_cast<std::size_t>(c)];
            channel = randomChannel(random, static_cast<KeyOrder>(below(3)));
            // Scales of a character's bones: shrinking and growing, not folding inside out, so
            // that the pose stays within a few sizes of the model, where float playback itself
            // is finer than the tolerance.
            for (MotionKey& key : channel.keys)
                if (!std::isfinite(key.value) || std::fabs(key.value) > 100.0f || (c >= ScaleX && c <= ScaleZ))
                    key.value = c >= ScaleX && c <= ScaleZ ? uniform(0.5f, 1.5f) : uniform(-2.0f, 2.0f);
            if (computedHandles) computeHandles(channel);
        }
        tracks.push_back(std::move(t));
    }
    model.motion = makeMotion(MotionId, OverlayAnimation, uniform(0.2f, 2.5f), std::move(tracks));
    return model;
}

// Random times over the motion, and every key time inside it with the floats on either side.
std::vector<float> timesToCheck(std::mt19937& random, const SkeletalMotion& motion) {
    std::vector<float> times;
    for (int i = 0; i < 30; ++i) times.push_back(std::uniform_real_distribution<float>(0.0f, motion.duration)(random));
    for (const MotionTrack& track : motion.tracks)
        for (const MotionChannel& channel : track.channels)
            for (const MotionKey& key : channel.keys)
                if (key.time > 1e-3f && key.time < motion.duration)
                    times.insert(times.end(),
                                 {std::nextafter(key.time, 0.0f), key.time, std::nextafter(key.time, 9.0f)});
    return times;
}

// The positions playback shows with the motion alone at full weight, time t into it; empty
// when the overlay is over or playback has no finite answer.
std::vector<Point> played(const SkeletalModel& model, float t) {
    SkeletalInstance instance(model);
    MotionSettings settings;
    settings.attackLength = settings.decayLength = 1e-6f;
    settings.motionId = MotionId;
    instance.start(settings);
    const auto* drawable = static_cast<const SkeletalDrawable*>(instance.update(t));
    if (instance.overlays().empty() || instance.overlays()[0].time != t || instance.overlays()[0].envelope() != 1.0f)
        return {};
    std::vector<Point> points;
    for (const Vector3& p : drawable->positions) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return {};
        points.push_back({p.x, p.y, p.z});
    }
    return points;
}

std::vector<Point> restOf(const SkeletalMesh& mesh) {
    std::vector<Point> rest;
    for (const Vector3& p : mesh.positions) rest.push_back({p.x, p.y, p.z});
    return rest;
}

TEST(GltfForArtists, RandomMotionsFollowPlaybackAtAnyTime) {
    TempDir dir;
    int checked = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        RandomModel made = randomModel(random);
        const SkeletalMesh& mesh = *made.mesh;
        const SkeletalMotion& motion = *made.motion;
        GltfExportNotes notes;
        std::string reason;
        ASSERT_TRUE(
            exportSkeletalGltf(mesh, "random", {{"motion", &motion}}, dir.file("random.glb"), {}, &notes, &reason))
            << reason;
        GltfEvaluator gltf;
        ASSERT_TRUE(gltf.read(dir.file("random.glb"), &reason)) << reason;
        // One node a bone, but for bones whose fixed part cannot be a joint's own transform;
        // with the skeleton's root and the mesh's node.
        EXPECT_EQ(gltf.doc["nodes"].size(), mesh.bones.size() + notes.unfoldedBones + 2);
        if (!made.degenerateBone) { EXPECT_EQ(notes.unfoldedBones, 0u); }
        const auto input = gltf.doc["animations"][0]["samplers"][0]["input"].get<int>();
        EXPECT_EQ(gltf.doc["accessors"][input]["max"][0].get<float>(), motion.duration);

        EXPECT_EQ(notes.looseAnimations, 0u);
        SkeletalModel model;
        model.addMesh(std::move(made.mesh));
        model.addMotion(std::move(made.motion));
        const std::vector<Point> rest = restOf(*model.meshes().front());
        for (const float t : timesToCheck(random, *model.motions().front())) {
            const std::vector<Point> positions = played(model, t);
            if (positions.empty()) continue;
            ++checked;
            expectPlayedAlike(gltf.evaluate(0, t), rest, positions, "at " + std::to_string(t));
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(checked, 1000);
}

GltfEvaluator exportedFile(const TempDir& dir, const std::string& arguments) {
    const CommandResult result = runQxtool("export " + arguments + " -o " + quoted(dir.file("out.glb")));
    EXPECT_EQ(result.status, 0) << arguments << ": " << result.err;
    GltfEvaluator gltf;
    std::string reason;
    EXPECT_TRUE(gltf.read(dir.file("out.glb"), &reason)) << arguments << ": " << reason;
    return gltf;
}

// The embedded picture is the source as an image viewer shows it, named as the PNG it is, and
// the coordinates run down it from the top.
TEST(GltfForArtists, TexturesAreUprightPngsNamedAfterTheirSource) {
    TempDir dir;
    const std::string samples = (sourceDir() / "samples").string() + "/";
    const GltfEvaluator gltf = exportedFile(dir, quoted(samples + "figure.qm1"));
    ASSERT_EQ(gltf.doc["images"].size(), 1u);
    const auto& image = gltf.doc["images"][0];
    EXPECT_EQ(image["name"], "figure-shirt.png");
    const auto& view = gltf.doc["bufferViews"][image["bufferView"].get<int>()];
    Texture embedded, source;
    ASSERT_TRUE(decodePng(gltf.bin.data() + view.value("byteOffset", 0), view["byteLength"].get<std::size_t>(),
                          embedded, nullptr, false));
    ASSERT_TRUE(source.loadImage(samples + "figure-shirt.bmp"));
    EXPECT_EQ(displayRgba(embedded), displayRgba(source));

    const std::unique_ptr<SkeletalMesh> mesh = [&] {
        std::string reason;
        return readMeshToShow(samples + "figure.qm1", &reason, ImageLoading::Upload);
    }();
    ASSERT_NE(mesh, nullptr);
    std::set<float> expected, written;
    for (const MeshFace& face : mesh->faces)
        for (const FaceMapping& mapping : face.mappings)
            for (const auto& uv : mapping.uv) expected.insert(1.0f - uv[1]);
    const auto& attributes = gltf.doc["meshes"][0]["primitives"][0]["attributes"];
    const std::vector<double> uvs = gltf.numbers(attributes["TEXCOORD_0"].get<int>());
    for (std::size_t i = 1; i < uvs.size(); i += 2) written.insert(static_cast<float>(uvs[i]));
    for (const float v : written) EXPECT_TRUE(expected.count(v) == 1) << "v " << v << " is no 1 - t of the model";
}

// A motion that curves hard needs many samples; held to fewer, the sampling says it strays.
TEST(GltfForArtists, SamplingSaysWhenItRunsOutOfSamples) {
    MotionTrack swing;
    swing.channels[TranslationX] =
        channel({key(0.0f, 0.0f, 2), key(1.0f, 5.0f, 2), key(2.0f, -5.0f, 2), key(3.0f, 0.0f, 2)});
    computeHandles(swing.channels[TranslationX]);
    const std::unique_ptr<SkeletalMotion> motion = makeMotion(MotionId, OverlayAnimation, 3.0f, {swing});
    SampledBone bone;
    bone.track = 0;
    bone.corners = {{0.0, 0.0, 0.0}, {1.0, 1.0, 1.0}};
    for (const std::size_t budget : {std::size_t{100}, gltfSampleBudget(3.0f, 4, 1)}) {
        MotionSampler sampler(*motion);
        const AdaptiveSamples samples = sampleAdaptively(sampler, {bone}, {0.0f, 1.0f, 2.0f, 3.0f}, 3.0f, 1e-5, budget);
        EXPECT_EQ(samples.withinTolerance, budget > 100) << budget;
    }
}

// Byte names, a motion that moves nothing, the scale, and a mesh with nothing to draw.
TEST(GltfForArtists, NamesDurationScaleAndRefusals) {
    TempDir dir;
    SkeletalMesh mesh;
    mesh.bones = {uprightBone("caf\xE9", ZeroVector)};
    linkBones(mesh.bones);
    MeshFace face;
    for (int k = 0; k < 3; ++k)
        face.positionIndex[k] = face.normalIndex[k] = addVertex(mesh, 0, {float(k), float(k * k), 1.0f}, UnitZ);
    mesh.faces.push_back(face);
    mesh.renderGroups.push_back({-1, {{0, {0}}}});
    const std::unique_ptr<SkeletalMotion> still = makeMotion(MotionId, CycleAnimation, 2.5f);
    std::string reason;
    GltfExportNotes notes;
    for (const float scale : {1.0f, 0.5f})
        ASSERT_TRUE(exportSkeletalGltf(mesh, "m", {{"still", still.get()}},
                                       dir.file(scale == 1.0f ? "one.glb" : "half.glb"), {scale}, &notes, &reason))
            << reason;
    GltfEvaluator one, half;
    ASSERT_TRUE(one.read(dir.file("one.glb"), &reason) && half.read(dir.file("half.glb"), &reason)) << reason;
    EXPECT_EQ(one.doc["nodes"][1]["name"], "caf\u00e9");
    const auto input = one.doc["animations"][0]["samplers"][0]["input"].get<int>();
    EXPECT_EQ(one.doc["accessors"][input]["max"][0].get<float>(), 2.5f);
    const auto full = one.evaluate(0, 1.0), halved = half.evaluate(0, 1.0);
    ASSERT_EQ(full.size(), halved.size());
    for (std::size_t i = 0; i < full.size(); ++i)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(halved[i].posed[c], full[i].posed[c] * 0.5, 1e-6);

    EXPECT_FALSE(exportSkeletalGltf(mesh, "m", {}, dir.file("zero.glb"), {0.0f}, &notes, &reason));
    mesh.faces[0].positionIndex[1] = 99;  // no corner left to draw
    EXPECT_FALSE(exportSkeletalGltf(mesh, "m", {}, dir.file("empty.glb"), {}, &notes, &reason));
    EXPECT_EQ(reason, "the model draws no triangle");
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.glb")));
}

}  // namespace
}  // namespace qx::test
