// Whole pictures of the samples and the shared MD2 models, drawn as `qxtool render` draws them
// and compared with committed baselines in tests/scene/baselines/. The other renderer tests
// probe single pixels; these catch a model moved by a few pixels, a texture swapped or flipped,
// or lighting gone wrong.
//
// QX_UPDATE_BASELINES=1 in the environment writes the current pictures as the baselines instead
// of comparing (each case then reports itself skipped, naming the file it wrote).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "render/ImageDecoders.h"
#include "render/PngWriter.h"
#include "scene/Snapshot.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

constexpr int Side = 256;

// A pixel differs when one of its channels is more than ChannelTolerance from the baseline's;
// a picture fails when more than DifferingPixelsAllowed of its 65536 pixels differ.
// Measured: llvmpipe gives the same bytes every time (largest difference 0 over repeated and
// shuffled runs, 1 to 4 rasterizer threads, a rebuild without the compiler cache, the
// sanitizer build and the qxtool binary). Mesa's other software rasterizer, softpipe, stands
// in for a different Mesa: it differs by 1 on up to 162 pixels and by more than 2 only on at
// most 4 pixels, where a triangle's edge falls the other way across a pixel centre. The margins
// sit well above that and far below a real change: moving a picture by one pixel makes 400 to
// 3150 pixels differ by more than 16, turning the light 23 degrees 200 (Sydney, mostly dark)
// to 8700, a texture upside down 1700 to 9800.
constexpr int ChannelTolerance = 16;
constexpr int DifferingPixelsAllowed = 20;

enum class Root { Samples, SharedTestData };

struct Case {
    const char* name;  // the test's name and the baseline's file name
    Root root;
    const char* file;
    const char* motion;  // a .qm2 beside a skeletal sample, or nullptr
    double time;         // seconds the animation has advanced
    bool texturing;
    OverlayOptions overlays;
};

OverlayOptions overlays(bool skeletonAndNames, Wireframe wireframe, bool grid, bool normalsAndBounds) {
    OverlayOptions o;
    o.skeleton = o.boneNames = skeletonAndNames;
    o.selectedBone = skeletonAndNames ? 6 : -1;  // forearm.L
    o.wireframe = wireframe;
    o.grid = grid;
    o.normals = o.bounds = normalsAndBounds;
    return o;
}

// The walk cycle lasts 1.2 s and fades in over 0.3 s: three moments of the stride at full
// weight. The flag plays its 26 frames at 15 a second: 0.5 s falls halfway between frames 7
// and 8, 1 s on frame 15, so one picture checks interpolation and one a stored frame. Sydney
// shows her skin; the faerie's skin (faerie.bmp) is not among the shared files, so she shows
// the lit surface alone, as in the viewer.
const Case Cases[] = {
    {"figure_walk_0_4", Root::Samples, "figure.qm1", "figure-walk.qm2", 0.4, true, {}},
    {"figure_walk_0_7", Root::Samples, "figure.qm1", "figure-walk.qm2", 0.7, true, {}},
    {"figure_walk_1_0", Root::Samples, "figure.qm1", "figure-walk.qm2", 1.0, true, {}},
    {"figure_walk_0_4_untextured", Root::Samples, "figure.qm1", "figure-walk.qm2", 0.4, false, {}},
    {"figure_walk_0_7_untextured", Root::Samples, "figure.qm1", "figure-walk.qm2", 0.7, false, {}},
    {"figure_walk_1_0_untextured", Root::Samples, "figure.qm1", "figure-walk.qm2", 1.0, false, {}},
    {"flag_0_5", Root::Samples, "flag.qv1", nullptr, 0.5, true, {}},
    {"flag_1_0", Root::Samples, "flag.qv1", nullptr, 1.0, true, {}},
    {"sydney", Root::SharedTestData, "md2/sydney.md2", nullptr, 0.0, true, {}},
    {"faerie", Root::SharedTestData, "md2/faerie.md2", nullptr, 0.0, true, {}},
    // The overlays: the skeleton over the model with forearm.L selected and every bone named;
    // the edges over the flag, its pole on the grid; Sydney's normals and bounds.
    {"figure_walk_0_7_skeleton", Root::Samples, "figure.qm1", "figure-walk.qm2", 0.7, true,
     overlays(true, Wireframe::Off, false, false)},
    {"flag_0_5_wireframe_grid", Root::Samples, "flag.qv1", nullptr, 0.5, true,
     overlays(false, Wireframe::Over, true, false)},
    {"sydney_normals_bounds", Root::SharedTestData, "md2/sydney.md2", nullptr, 0.0, true,
     overlays(false, Wireframe::Off, false, true)},
};

// Names the case in gtest's messages instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

fs::path baselinePath(const Case& c) {
    return test::sourceDir() / "tests" / "scene" / "baselines" / (std::string(c.name) + ".png");
}
fs::path failureDir() { return fs::path(QX_BUILD_DIR) / "baseline-failures"; }

// The picture qxtool render writes for these options.
std::vector<std::uint8_t> draw(const Case& c) {
    SnapshotRequest request;
    const fs::path root = c.root == Root::Samples ? test::sourceDir() / "samples" : test::testDataDir();
    request.file = (root / c.file).string();
    if (c.motion != nullptr) request.motions.push_back((root / c.motion).string());
    request.time = c.time;
    request.texturing = c.texturing;
    request.overlays = c.overlays;
    request.width = Side;
    request.height = Side;
    Snapshot snapshot;
    SnapshotProblem problem;
    EXPECT_TRUE(drawSnapshot(request, snapshot, problem)) << problem.reason;
    // As the render command does: the picture is opaque whatever alpha blending left behind.
    for (std::size_t i = 3; i < snapshot.rgba.size(); i += 4) snapshot.rgba[i] = 255;
    return snapshot.rgba;
}

// Top row first, as drawn; empty when the file is missing or not a PNG of the expected size.
std::vector<std::uint8_t> readBaseline(const fs::path& path, std::string& reason) {
    if (!fs::exists(path)) {
        reason = "no baseline at " + path.string();
        return {};
    }
    const std::vector<std::uint8_t> bytes = test::readBytes(path.string());
    Texture texture;
    // Taken as stored: gamma correction would change the bytes the renderer made.
    if (!decodePng(bytes.data(), bytes.size(), texture, &reason, false)) return {};
    if (texture.width != Side || texture.height != Side) {
        reason = path.string() + " is " + std::to_string(texture.width) + "x" + std::to_string(texture.height) +
                 ", not " + std::to_string(Side) + "x" + std::to_string(Side);
        return {};
    }
    return displayRgba(texture);
}

struct Comparison {
    int differing = 0;               // pixels with a channel beyond the tolerance
    int largest = 0;                 // the largest channel difference anywhere
    std::vector<std::uint8_t> diff;  // differing pixels red over the baseline dimmed to a quarter
};

Comparison compare(const std::vector<std::uint8_t>& actual, const std::vector<std::uint8_t>& expected) {
    Comparison result;
    result.diff.resize(actual.size());
    for (std::size_t p = 0; p < actual.size(); p += 4) {
        int most = 0;
        for (std::size_t k = 0; k < 3; ++k) most = std::max(most, std::abs(actual[p + k] - expected[p + k]));
        result.largest = std::max(result.largest, most);
        const bool differs = most > ChannelTolerance;
        result.differing += differs ? 1 : 0;
        for (std::size_t k = 0; k < 3; ++k)
            result.diff[p + k] = differs ? (k == 0 ? 255 : 0) : static_cast<std::uint8_t>(expected[p + k] / 4);
        result.diff[p + 3] = 255;
    }
    return result;
}

// Writes a picture for a person to look at; the path, or why it could not be written.
std::string keep(const std::vector<std::uint8_t>& rgba, const std::string& name) {
    std::error_code error;
    fs::create_directories(failureDir(), error);
    const std::string path = (failureDir() / name).string();
    std::string reason;
    return writePng(path, rgba.data(), Side, Side, &reason) ? path : "(not written: " + reason + ")";
}

// A case that matches again leaves no pictures of an earlier failure to mislead.
void forgetFailure(const Case& c) {
    std::error_code error;
    fs::remove(failureDir() / (std::string(c.name) + "-actual.png"), error);
    fs::remove(failureDir() / (std::string(c.name) + "-diff.png"), error);
}

class Baseline : public ::testing::TestWithParam<Case> {};

TEST_P(Baseline, RenderMatchesTheCommittedPicture) {
    const Case& c = GetParam();
    if (c.root == Root::SharedTestData) QX_REQUIRE_TESTDATA(c.file);
    const std::vector<std::uint8_t> actual = draw(c);
    ASSERT_EQ(actual.size(), static_cast<std::size_t>(Side) * Side * 4);

    const fs::path baseline = baselinePath(c);
    const char* update = std::getenv("QX_UPDATE_BASELINES");
    if (update != nullptr && std::string(update) == "1") {
        std::string reason;
        ASSERT_TRUE(writePng(baseline.string(), actual.data(), Side, Side, &reason)) << reason;
        GTEST_SKIP() << "QX_UPDATE_BASELINES=1: wrote " << baseline.string() << " instead of comparing";
    }

    std::string reason;
    const std::vector<std::uint8_t> expected = readBaseline(baseline, reason);
    if (expected.empty()) {
        FAIL() << reason << "; the render is in " << keep(actual, std::string(c.name) + "-actual.png")
               << " (QX_UPDATE_BASELINES=1 writes the baselines)";
    }
    const Comparison result = compare(actual, expected);
    if (result.differing <= DifferingPixelsAllowed) {
        forgetFailure(c);
    } else {
        ADD_FAILURE() << result.differing << " pixels differ from " << baseline.string() << " by more than "
                      << ChannelTolerance << " in a channel (" << DifferingPixelsAllowed
                      << " allowed; largest difference " << result.largest
                      << ")\n  render:     " << keep(actual, std::string(c.name) + "-actual.png")
                      << "\n  difference: " << keep(result.diff, std::string(c.name) + "-diff.png");
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, Baseline, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qx
