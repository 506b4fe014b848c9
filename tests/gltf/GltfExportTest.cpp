// qxtool export, read back by the tests' own glTF evaluator and played against qxtool animate
// and qxtool play: every exported vertex must be where playback puts the model's vertex at the
// same rest place, within 1e-4 of the model's size.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "skeletal/SkeletalMeshFile.h"
#include "tests/gltf/GltfEvaluator.h"
#include "tests/gltf/PlayedAlike.h"
#include "tests/support/Qxtool.h"
#include "tests/support/SkeletonBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx::test {
namespace {

using json = nlohmann::json;

std::string sample(const std::string& name) { return (sourceDir() / "samples" / name).string(); }

std::vector<json> run(const std::string& commandLine, const std::string& script = "") {
    const CommandResult result = runCommand(commandLine, script);
    EXPECT_EQ(result.status, 0) << commandLine << "\n" << result.err;
    std::vector<json> lines;
    std::istringstream out(result.out);
    for (std::string line; std::getline(out, line);) lines.push_back(json::parse(line));
    return lines;
}

std::vector<Point> points(const json& list) {
    std::vector<Point> out;
    for (const auto& p : list) out.push_back({p[0].get<float>(), p[1].get<float>(), p[2].get<float>()});
    return out;
}

GltfEvaluator exported(const std::string& arguments, const std::string& glb) {
    const CommandResult result = runCommand(qxtoolPath() + " export " + arguments + " -o " + test::quoted(glb));
    EXPECT_EQ(result.status, 0) << result.err;
    GltfEvaluator gltf;
    std::string reason;
    EXPECT_TRUE(gltf.read(glb, &reason)) << reason;
    return gltf;
}

TEST(GltfExport, SkinnedFigurePlaysEachMotionAsAnimateDoes) {
    TempDir dir;
    const std::vector<std::string> motions = {"figure-idle", "figure-walk", "figure-wave"};
    std::string arguments = test::quoted(sample("figure.qm1"));
    for (const std::string& m : motions) arguments += " " + test::quoted(sample(m + ".qm2"));
    const GltfEvaluator gltf = exported(arguments, dir.file("figure.glb"));
    for (std::size_t m = 0; m < motions.size(); ++m) {
        // One motion at full weight at once (a fade of a microsecond), then steps of uneven
        // length that end on the export's sampling grid (between its samples glTF interpolates
        // linearly where a motion may curve); glTF is asked for the time animate samples at.
        const std::vector<json> dumps =
            run(qxtoolPath() + " animate " + arguments,
                "dump\nstart " + std::to_string(m) + " 1e-6 1e-6 0 -1 1 1\nupdate 0.0333333333\n" +
                    "update 0.1\ndump\nupdate 0.4\ndump\nupdate 0.6\ndump\nupdate 0.9\ndump\n");
        ASSERT_EQ(dumps.size(), 5u);
        const std::vector<Point> rest = points(dumps[0]["positions"]);
        for (std::size_t d = 1; d < dumps.size(); ++d) {
            // A cycle is sampled at the shared phase, an overlay (played once) at its own time.
            const bool cycle = !dumps[d]["cycles"].empty();
            const json& playing = dumps[d][cycle ? "cycles" : "overlays"];
            ASSERT_EQ(playing.size(), 1u);
            ASSERT_EQ(playing[0]["envelope"], 1.0);
            const double t = cycle ? dumps[d]["cyclePhase"].get<double>() : playing[0]["time"].get<double>();
            expectPlayedAlike(gltf.evaluate(gltf.animation(motions[m]), t), rest, points(dumps[d]["positions"]),
                              motions[m] + " at " + std::to_string(t));
        }
    }
}

struct VertexCase {
    const char* model;      // a sample, or a shared MD2 file
    const char* animation;  // exported animation
    int first, last;        // the frames it plays
};

TEST(GltfExport, VertexModelsPlayTheirNamedAnimationsAsPlayDoes) {
    const VertexCase cases[] = {{"flag.qv1", "all frames", 0, 26},
                                {"flag.qv1", "flap", 12, 20},
                                {"md2/sydney.md2", "run", 40, 46},
                                {"md2/faerie.md2", "all frames", 0, 198}};
    for (const VertexCase& c : cases) {
        TempDir dir;
        std::string source = sample(c.model), played = source;
        if (std::string(c.model).starts_with("md2/")) {
            source = (testDataDir() / c.model).string();
            if (!std::filesystem::exists(source)) {
                std::cout << "skipped " << source << ": shared test data not found\n";
                continue;
            }
            // play reads the program's own format: the MD2 is converted for it, and exported as it is.
            played = dir.file("model.qv1");
            run(qxtoolPath() + " convert " + test::quoted(source) + " -o " + test::quoted(played));
        }
        const GltfEvaluator gltf = exported(test::quoted(source), dir.file("model.glb"));
        const int animation = gltf.animation(c.animation);
        ASSERT_GE(animation, 0) << c.model << " has no animation " << c.animation;
        const std::string range = std::to_string(c.first) + " " + std::to_string(c.last);
        const std::vector<json> dumps = run(qxtoolPath() + " play " + test::quoted(played),
                                            "new 0 1 15\nupdate 0\ndump\nnew " + range + " 15\n" +
                                                "update 0.03\ndump\nupdate 0.21\ndump\nupdate 0.5\ndump\n");
        ASSERT_EQ(dumps.size(), 4u);
        for (std::size_t d = 1; d < dumps.size(); ++d) {
            const double t = (dumps[d]["current"].get<int>() - c.first + dumps[d]["fraction"].get<double>()) / 15.0;
            expectPlayedAlike(gltf.evaluate(animation, t), points(dumps[0]["positions"]), points(dumps[d]["positions"]),
                              std::string(c.model) + " " + c.animation + " at " + std::to_string(t));
        }
    }
}

// What export refuses (exit 1 or 2), and the limits of glTF it meets while still writing the
// file, each named on standard error.
TEST(GltfExport, SaysWhatItRefusesAndWhatGltfCannotKeep) {
    TempDir dir;
    SkeletalMesh mesh;  // position 0 is listed by both bones
    mesh.bones = {uprightBone("root", ZeroVector), uprightBone("tip", {0.0f, 2.0f, 0.0f}, 0)};
    linkBones(mesh.bones);
    MeshFace face;
    for (int k = 0; k < 3; ++k)
        face.positionIndex[k] = face.normalIndex[k] = addVertex(mesh, 0, {1.0f, float(k), float(k * k)}, UnitX);
    mesh.faces.push_back(face);
    mesh.renderGroups.push_back({-1, {{0, {0}}}});
    mesh.bones[1].attachedPositions.push_back(0);
    const std::string twice = test::quoted(dir.file("twice.qm1")), walk = test::quoted(sample("figure-walk.qm2"));
    const std::string glb = " -o " + test::quoted(dir.file("out.glb"));
    ASSERT_TRUE(writeSkeletalMesh(dir.file("twice.qm1"), mesh));
    mesh.faces[0].positionIndex[2] = 7;  // nothing left to draw
    ASSERT_TRUE(writeSkeletalMesh(dir.file("empty.qm1"), mesh));
    const struct {
        std::string arguments;
        int status;
        std::string message;
    } cases[] = {{twice + glb, 0, "positions attached to more than one bone: 1 "},
                 {twice + " " + walk + " " + walk + glb, 0, "motions exported as separate animations: 2 "},
                 {test::quoted(sample("flag.qv1")) + " " + walk + glb, 2, "motions go with a skeletal mesh only"},
                 {walk + glb, 1, "not a model"},
                 {twice + " -o " + test::quoted(dir.file("out.obj")), 1, "must end in .glb or .gltf"},
                 {test::quoted(dir.file("empty.qm1")) + glb, 1, "the model draws no triangle"},
                 {twice + " --scale -1" + glb, 2, "--scale expects a number above 0, not '-1'"},
                 {twice + " --scale 1e99" + glb, 2, "--scale expects a number above 0"}};
    for (const auto& c : cases) {
        const CommandResult result = runCommand(qxtoolPath() + " export " + c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.arguments << ": " << result.err;
    }
}

}  // namespace
}  // namespace qx::test
