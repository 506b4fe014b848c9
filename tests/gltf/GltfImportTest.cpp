// Import from glTF: models and motions exported and converted back play as they did; files made
// by other programs convert and play; damaged files are refused with a reason and leave nothing.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <numeric>
#include <random>

#include "gltf/GltfExport.h"
#include "import/GltfImport.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/gltf/GltfEvaluator.h"
#include "tests/gltf/PlayedAlike.h"
#include "tests/support/Qxtool.h"
#include "tests/support/RandomSkeletalModel.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "vertex/VertexModelFile.h"

namespace qx::test {
namespace {

double distance(const Point& a, const Point& b) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); }

// Each imported vertex against the original vertices resting where it rests: the nearest played
// one lies within 1e-4 of the model's size.
void expectSamePoses(const std::vector<Point>& rest, const std::vector<Point>& played,
                     const std::vector<Point>& importedRest, const std::vector<Point>& importedPlayed,
                     const std::string& what) {
    const double size = sizeOf(rest);
    ASSERT_FALSE(importedRest.empty()) << what;
    for (std::size_t i = 0; i < importedRest.size(); ++i) {
        double nearest = INFINITY;
        for (std::size_t k = 0; k < rest.size(); ++k)
            if (distance(rest[k], importedRest[i]) <= 1e-5 * size)
                nearest = std::min(nearest, distance(played[k], importedPlayed[i]));
        ASSERT_LE(nearest, 1e-4 * size) << what << ", vertex " << i;
    }
}

TEST(GltfImport, RandomSkeletalModelsComeBackPlayingTheSamePoses) {
    TempDir dir;
    int checked = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        RandomModel made = randomModel(random);
        GltfExportNotes notes;
        std::string reason;
        ASSERT_TRUE(exportSkeletalGltf(*made.mesh, "random", {{"motion", made.motion.get()}}, dir.file("random.glb"),
                                       {}, &notes, &reason))
            << reason;
        const auto imported = importGltf(dir.file("random.glb"), "random", {}, &reason);
        ASSERT_TRUE(imported) << reason;
        ASSERT_TRUE(imported->mesh);
        ASSERT_EQ(imported->motions.size(), 1u);
        EXPECT_EQ(imported->motions[0].fileName, "random-motion.qm2");
        EXPECT_EQ(imported->motions[0].motion->duration, made.motion->duration);

        SkeletalModel original, back;
        original.addMesh(std::move(made.mesh));
        original.addMotion(std::move(made.motion));
        imported->motions[0].motion->nameHash = MotionId;
        imported->motions[0].motion->animationType = OverlayAnimation;
        back.addMesh(std::move(imported->mesh));
        back.addMotion(std::move(imported->motions[0].motion));
        const std::vector<Point> rest = restOf(*original.meshes().front());
        const std::vector<Point> backRest = restOf(*back.meshes().front());
        for (const float t : timesToCheck(random, *original.motions().front())) {
            const std::vector<Point> positions = played(original, t);
            if (positions.empty()) continue;
            ++checked;
            expectSamePoses(rest, positions, backRest, played(back, t), "at " + std::to_string(t));
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(checked, 1000);
}

// Up to a dozen vertices in up to six frames, drawn by random strips and fans.
VertexModel randomVertexModel(std::mt19937& random) {
    const auto uniform = [&](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    VertexModel model;
    model.vertexCount = 3 + below(10);
    for (int f = 1 + below(6); f > 0; --f) {
        ModelFrame frame;
        frame.name = "frame" + std::to_string(f);
        for (int v = 0; v < model.vertexCount; ++v)
            frame.vertices.push_back({{uniform(-3, 3), uniform(-3, 3), uniform(-3, 3)}, {0.0f, 0.0f, 1.0f}});
        model.frames.push_back(std::move(frame));
    }
    for (int c = 1 + below(4); c > 0; --c) {
        DrawCommand command;
        command.type = below(2) == 0 ? TriangleStrip : TriangleFan;
        for (int k = 3 + below(4); k > 0; --k)
            command.vertices.push_back({uniform(0, 1), uniform(0, 1), below(model.vertexCount)});
        model.commands.push_back(std::move(command));
    }
    return model;
}

TEST(GltfImport, RandomVertexModelsComeBackWithTheirFramesAtTheirRate) {
    TempDir dir;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const VertexModel model = randomVertexModel(random);
        GltfExportNotes notes;
        std::string reason;
        if (!exportVertexGltf(model, "random", dir.file("random.glb"), {}, &notes, &reason)) {
            EXPECT_EQ(reason, "the model draws no triangle");
            continue;
        }
        const auto imported = importGltf(dir.file("random.glb"), "random", {}, &reason);
        ASSERT_TRUE(imported) << reason;
        ASSERT_TRUE(imported->vertexModel);
        const VertexModel& back = *imported->vertexModel;
        // "all frames" plays every frame at 15 a second and back to the first.
        const std::size_t frames = model.frames.size();
        ASSERT_GE(back.frames.size(), frames + 1);
        std::vector<Point> rest;
        for (const FrameVertex& v : model.frames[0].vertices)
            rest.push_back({v.position.x, v.position.y, v.position.z});
        for (std::size_t f = 0; f <= frames; ++f) {
            EXPECT_EQ(back.frames[f].name.rfind("all frames", 0), 0u);
            std::vector<Point> played, backRest, backPlayed;
            for (const FrameVertex& v : model.frames[f % frames].vertices)
                played.push_back({v.position.x, v.position.y, v.position.z});
            for (std::size_t v = 0; v < back.frames[0].vertices.size(); ++v) {
                const Vector3& r = back.frames[0].vertices[v].position;
                const Vector3& p = back.frames[f].vertices[v].position;
                backRest.push_back({r.x, r.y, r.z});
                backPlayed.push_back({p.x, p.y, p.z});
            }
            expectSamePoses(rest, played, backRest, backPlayed, "frame " + std::to_string(f));
        }
    }
}

struct OtherProgramFile {
    const char* file;                  // in the shared test data
    std::vector<const char*> written;  // beside the destination "out"
    const char* said;                  // on standard error; "" for nothing
    bool moves;
};

TEST(GltfImport, FilesMadeByOtherProgramsConvertAndPlay) {
    QX_REQUIRE_TESTDATA("gltf");
    const OtherProgramFile files[] = {
        {"gltf/simple_skin.gltf", {"out.qm1", "out-animation-1.qm2"}, "more than one joint", true},
        {"gltf/AnimatedMorphCube/AnimatedMorphCube.gltf", {"out.qv1", "out.bmp"}, "", true},
        {"gltf/BoxTextured/BoxTextured.gltf", {"out.qv1", "out.bmp"}, "", false},
    };
    for (const OtherProgramFile& file : files) {
        SCOPED_TRACE(file.file);
        TempDir dir;
        const CommandResult result =
            runQxtool("convert " + quoted((testDataDir() / file.file).string()) + " -o " + quoted(dir.file("out")));
        ASSERT_EQ(result.status, 0) << result.err;
        std::size_t files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) files += entry.is_regular_file();
        EXPECT_EQ(files, file.written.size());
        for (const char* name : file.written) EXPECT_TRUE(std::filesystem::exists(dir.file(name))) << name;
        EXPECT_EQ(result.err.find(file.said) != std::string::npos && result.err.empty() == (*file.said == 0), true)
            << result.err;
        // Playing: the motion or the frames move the model (but the still box), finitely.
        const bool skeletal = std::filesystem::exists(dir.file("out.qm1"));
        const CommandResult played =
            skeletal ? runQxtool("animate " + quoted(dir.file("out.qm1")) + " " + quoted(dir.file(file.written[1])),
                                 "start 0 0 0 0 -1 1 1\nupdate 0\ndump\nupdate 1\ndump\n")
                     : runQxtool("play " + quoted(dir.file("out.qv1")), "update 0\ndump\nupdate 0.5\ndump\n");
        ASSERT_EQ(played.status, 0) << played.err;
        EXPECT_EQ(played.out.find("null"), std::string::npos);
        const std::size_t line = played.out.find('\n');
        const auto first = nlohmann::json::parse(played.out.substr(0, line));
        const auto second = nlohmann::json::parse(played.out.substr(line + 1));
        EXPECT_EQ(first["positions"] != second["positions"], file.moves);
    }
    TempDir dir;
    ASSERT_EQ(runQxtool("convert " + quoted((testDataDir() / "gltf/BoxTextured/BoxTextured.gltf").string()) + " -o " +
                        quoted(dir.file("box.qv1")))
                  .status,
              0);
    const auto box = readVertexModel(dir.file("box.qv1"), nullptr, ImageLoading::Decode);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->skin.width, 211);  // the logo's picture, as its .bmp skin
}

// Files exported from Blender (made by tests/gltf/blender/make-samples.py): the rigidly skinned
// arm plays Blender's poses at every time, its bones pointing to their children though Blender's
// joints point along Y; the lamp's shape key and its moves become its frames at 15 a second.
TEST(GltfImport, ModelsExportedFromBlenderComeBackPlayingTheirPoses) {
    const std::string arm = (sourceDir() / "tests/gltf/blender/arm.glb").string();
    GltfEvaluator gltf;
    std::string reason;
    ASSERT_TRUE(gltf.read(arm, &reason)) << reason;
    std::vector<Point> rest;
    for (const EvaluatedVertex& v : gltf.evaluate(-1, 0.0)) rest.push_back(v.posed);
    for (const char* animation : {"wave", "reach"}) {
        SCOPED_TRACE(animation);
        auto imported = importGltf(arm, "arm", {}, &reason);
        ASSERT_TRUE(imported && imported->mesh) << reason;
        EXPECT_TRUE(imported->notes.empty()) << imported->notes.front();
        ASSERT_EQ(imported->motions.size(), 2u);
        const SkeletalMesh& mesh = *imported->mesh;
        for (const MeshBone& bone : mesh.bones) {
            if (bone.firstChild < 0) continue;
            const Vector3& child = mesh.bones[static_cast<std::size_t>(bone.firstChild)].start;
            EXPECT_LT(distance({bone.end.x, bone.end.y, bone.end.z}, {child.x, child.y, child.z}), 1e-5) << bone.name;
        }
        const std::size_t m = imported->motions[0].fileName == std::string("arm-") + animation + ".qm2" ? 0 : 1;
        imported->motions[m].motion->nameHash = MotionId;
        imported->motions[m].motion->animationType = OverlayAnimation;
        const float duration = imported->motions[m].motion->duration;
        SkeletalModel back;
        back.addMesh(std::move(imported->mesh));
        back.addMotion(std::move(imported->motions[m].motion));
        const std::vector<Point> backRest = restOf(*back.meshes().front());
        for (const float f : {0.01f, 0.1f, 0.37f, 0.5f, 0.61f, 0.9f, 0.99f}) {
            std::vector<Point> posed;
            for (const EvaluatedVertex& v : gltf.evaluate(gltf.animation(animation), f * duration))
                posed.push_back(v.posed);
            const std::vector<Point> backPosed = played(back, f * duration);
            ASSERT_FALSE(backPosed.empty());
            expectSamePoses(rest, posed, backRest, backPosed, "at " + std::to_string(f * duration));
        }
    }
    const std::string lamp = (sourceDir() / "tests/gltf/blender/lamp.glb").string();
    GltfEvaluator lampGltf;
    ASSERT_TRUE(lampGltf.read(lamp, &reason)) << reason;
    const auto imported = importGltf(lamp, "lamp", {}, &reason);
    ASSERT_TRUE(imported && imported->vertexModel) << reason;
    const VertexModel& model = *imported->vertexModel;
    ASSERT_EQ(imported->images.size(), 1u);  // its brass colour, as a skin
    const std::vector<std::uint8_t>& skin = imported->images[0].picture.pixels;
    EXPECT_EQ(std::vector<std::uint8_t>(skin.begin(), skin.begin() + 4),
              (std::vector<std::uint8_t>{204, 153, 51, 255}));
    for (const DrawCommand& command : model.commands)
        for (const CommandVertex& v : command.vertices) EXPECT_TRUE(v.s == 0.5f && v.t == 0.5f);
    std::size_t frame = 0;
    for (const char* animation : {"KeyAction", "LampAction"})
        for (int k = 0; frame < model.frames.size() && model.frames[frame].name.rfind(animation, 0) == 0;
             ++k, ++frame) {
            const auto posed = lampGltf.evaluate(lampGltf.animation(animation), k / 15.0);
            ASSERT_EQ(posed.size(), model.frames[frame].vertices.size());
            for (std::size_t v = 0; v < posed.size(); ++v) {
                const Vector3& p = model.frames[frame].vertices[v].position;
                ASSERT_LT(distance(posed[v].posed, {p.x, p.y, p.z}), 1e-5) << model.frames[frame].name << " " << v;
            }
        }
    EXPECT_EQ(frame, model.frames.size());
    EXPECT_EQ(frame, 28u);  // two clips of 14 frames each: 20 Blender frames at 24 a second, sampled at 15
}

// A small skinned asset as glb bytes, its JSON changed by damage.
std::vector<std::uint8_t> glbOf(const nlohmann::json& doc, const std::vector<std::uint8_t>& bin) {
    std::string json = doc.dump();
    json.resize((json.size() + 3) & ~std::size_t{3}, ' ');
    std::vector<std::uint8_t> out;
    const auto put = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(0x46546C67);
    put(2);
    put(static_cast<std::uint32_t>(12 + 8 + json.size() + 8 + bin.size()));
    put(static_cast<std::uint32_t>(json.size()));
    put(0x4E4F534A);
    out.insert(out.end(), json.begin(), json.end());
    put(static_cast<std::uint32_t>(bin.size()));
    put(0x004E4942);
    out.insert(out.end(), bin.begin(), bin.end());
    return out;
}

struct Damage {
    const char* what;
    std::function<void(nlohmann::json&)> change;
    const char* reason;  // part of the reason given
};

TEST(GltfImport, DamagedFilesAreRefusedWithTheirReasonAndLeaveNothing) {
    TempDir dir;
    std::mt19937 random(3);
    RandomModel made = randomModel(random);
    std::string reason;
    GltfExportNotes notes;
    ASSERT_TRUE(exportSkeletalGltf(*made.mesh, "base", {{"walk", made.motion.get()}}, dir.file("base.glb"), {}, &notes,
                                   &reason));
    GltfEvaluator base;
    ASSERT_TRUE(base.read(dir.file("base.glb"), &reason)) << reason;
    const auto position = [](nlohmann::json& d) -> nlohmann::json& {
        return d["accessors"][d["meshes"][0]["primitives"][0]["attributes"]["POSITION"].get<int>()];
    };
    // A view of two indices that go back (5, then 3), for sparse accessors to point at.
    nlohmann::json damageable = base.doc;
    std::vector<std::uint8_t> bin = base.bin;
    const auto addView = [&](nlohmann::json& doc, const std::vector<std::uint32_t>& numbers) {
        doc["bufferViews"].push_back({{"buffer", 0}, {"byteOffset", bin.size()}, {"byteLength", 4 * numbers.size()}});
        for (const std::uint32_t n : numbers)
            for (int i = 0; i < 4; ++i) bin.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
        doc["buffers"][0]["byteLength"] = bin.size();
    };
    addView(damageable, {5, 3});
    const auto sparse = [](std::size_t count, std::size_t indices, std::size_t values) {
        return nlohmann::json{{"count", count},
                              {"indices", {{"bufferView", indices}, {"componentType", 5125}}},
                              {"values", {{"bufferView", values}}}};
    };
    const Damage damages[] = {
        {"an accessor count beyond its view", [&](nlohmann::json& d) { position(d)["count"] = 1u << 30; },
         "run past the end"},
        {"a giant count", [&](nlohmann::json& d) { position(d)["count"] = 0xFFFFFFFFFFFull; }, "run past the end"},
        {"a view past its buffer", [](nlohmann::json& d) { d["bufferViews"][0]["byteLength"] = 1 << 30; },
         "past the end of its buffer"},
        {"a stride shorter than an element",
         [&](nlohmann::json& d) { d["bufferViews"][position(d)["bufferView"].get<int>()]["byteStride"] = 4; },
         "stride"},
        {"an accessor that does not exist", [](nlohmann::json& d) { d["meshes"][0]["primitives"][0]["indices"] = 999; },
         "out of bounds"},
        {"sparse indices that go back",
         [&](nlohmann::json& d) { position(d)["sparse"] = sparse(2, d["bufferViews"].size() - 1, 0); }, "ascend"},
        {"sparse values past their view",
         [&](nlohmann::json& d) { position(d)["sparse"] = sparse(2, 0, d["bufferViews"].size() - 1); }, "past the end"},
        {"a sparse count beyond the accessor",
         [&](nlohmann::json& d) { position(d)["sparse"] = sparse(1 << 30, 0, 0); }, "sparse values number"},
        {"a node cycle", [](nlohmann::json& d) { d["nodes"][1]["children"].push_back(0); }, "cycle"},
        {"a node with two parents",
         [](nlohmann::json& d) {
             d["nodes"].push_back({{"children", {1}}});
         },
         "more than one parent"},
        {"a child out of range", [](nlohmann::json& d) { d["nodes"][0]["children"].push_back(4000); },
         "does not exist"},
        {"a NaN-sized transform",
         [](nlohmann::json& d) {
             d["nodes"][0]["translation"] = {1e39, 0, 0};
         },
         "not finite"},
        {"a vertex index past the vertices",
         [](nlohmann::json& d) {
             for (auto& [name, accessor] : d["meshes"][0]["primitives"][0]["attributes"].items())
                 d["accessors"][accessor.get<int>()]["count"] = 3;
         },
         "outside its vertices"},
        {"a skin joint that does not exist", [](nlohmann::json& d) { d["skins"][0]["joints"].push_back(999); },
         "joint that does not exist"},
        {"a joint named twice",
         [](nlohmann::json& d) { d["skins"][0]["joints"].push_back(d["skins"][0]["joints"][0]); }, "twice"},
        {"key times that go back",
         [](nlohmann::json& d) {
             d["animations"][0]["samplers"][0]["input"] = d["animations"][0]["samplers"][0]["output"];
         },
         "components"},
        {"a sampler without its channel", [](nlohmann::json& d) { d["animations"][0]["channels"][0]["sampler"] = 99; },
         "without a sampler"},
        {"Draco compression",
         [](nlohmann::json& d) {
             d["extensionsRequired"] = {"KHR_draco_mesh_compression"};
             d["extensionsUsed"] = {"KHR_draco_mesh_compression"};
         },
         "Draco"},
        {"meshopt compression", [](nlohmann::json& d) { d["extensionsUsed"] = {"EXT_meshopt_compression"}; },
         "meshopt"},
        {"KTX2 textures", [](nlohmann::json& d) { d["extensionsUsed"] = {"KHR_texture_basisu"}; }, "KTX2"},
        {"no asset version", [](nlohmann::json& d) { d.erase("asset"); }, "glTF"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        nlohmann::json doc = damageable;
        damage.change(doc);
        writeBytes(dir.file("damaged.glb"), glbOf(doc, bin));
        const CommandResult result =
            runQxtool("convert " + quoted(dir.file("damaged.glb")) + " -o " + quoted(dir.file("out")));
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find(damage.reason), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.qm1")) || std::filesystem::exists(dir.file("out-walk.qm2")));
    }
    // Every position given as a sparse replacement of zeros reads as the plain accessor does.
    nlohmann::json doc = damageable;
    nlohmann::json& positions = position(doc);
    std::vector<std::uint32_t> every(positions["count"].get<std::size_t>());
    std::iota(every.begin(), every.end(), 0u);
    addView(doc, every);
    positions["sparse"] = sparse(every.size(), doc["bufferViews"].size() - 1, positions["bufferView"]);
    positions["sparse"]["values"]["byteOffset"] = positions.value("byteOffset", 0);
    positions.erase("bufferView");
    positions.erase("byteOffset");
    doc["extensionsUsed"] = {"KHR_texture_transform", "KHR_mesh_quantization", "EXT_\x1b[2J"};
    writeBytes(dir.file("sparse.glb"), glbOf(doc, bin));
    const auto plain = importGltf(dir.file("base.glb"), "out", {}, &reason);
    const auto fromSparse = importGltf(dir.file("sparse.glb"), "out", {}, &reason);
    ASSERT_TRUE(plain && fromSparse) << reason;
    EXPECT_EQ(fromSparse->mesh->positions, plain->mesh->positions);
    // What the file's extensions would change is named, as plain text; quantized meshes are read.
    EXPECT_EQ(fromSparse->notes.back(), "extensions the conversion leaves out: KHR_texture_transform, EXT_?[2J");

    // Bytes cut short, and text that is no JSON.
    std::vector<std::uint8_t> bytes = glbOf(base.doc, base.bin);
    for (const std::size_t cut : {std::size_t{10}, std::size_t{30}, bytes.size() - 7}) {
        writeBytes(dir.file("damaged.glb"),
                   std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
        EXPECT_FALSE(importGltf(dir.file("damaged.glb"), "out", {}, &reason)) << cut;
    }
    writeBytes(dir.file("damaged.gltf"), {'{', '"', 'a'});
    EXPECT_FALSE(importGltf(dir.file("damaged.gltf"), "out", {}, &reason));
    EXPECT_NE(reason.find("not a glTF 2.0 file"), std::string::npos) << reason;
}

}  // namespace
}  // namespace qx::test
