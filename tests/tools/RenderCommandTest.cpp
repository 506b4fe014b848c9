#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <utility>

#include "render/ImageDecoders.h"
#include "render/PngWriter.h"
#include "skeletal/SkeletalMeshFile.h"
#include "tests/support/AmExportBuilder.h"
#include "tests/support/FlatModels.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using Rgb = std::array<int, 3>;

using test::quoted;
std::string samplePath(const std::string& name) { return (test::sourceDir() / "samples" / name).string(); }

test::CommandResult render(const std::string& file, const std::string& out, const std::string& more = "") {
    return test::runQxtool("render " + quoted(file) + " --out " + quoted(out) + more);
}

// A PNG read back as a person sees it.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // top row first

    Rgb at(int x, int y) const {
        const std::size_t i =
            (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2]};
    }
    // Pixels of the given column that differ from the colour.
    int countInColumn(int x, const Rgb& colour) const {
        int count = 0;
        for (int y = 0; y < height; ++y) count += at(x, y) != colour ? 1 : 0;
        return count;
    }
    int countAll(const Rgb& colour) const {
        int count = 0;
        for (int x = 0; x < width; ++x) count += countInColumn(x, colour);
        return count;
    }
};

Picture readPicture(const std::string& path) {
    const std::vector<std::uint8_t> bytes = test::readBytes(path);
    Texture texture;
    std::string reason;
    EXPECT_TRUE(decodePng(bytes.data(), bytes.size(), texture, &reason, false)) << reason;
    return {texture.width, texture.height, displayRgba(texture)};
}

::testing::AssertionResult near(const Rgb& actual, const Rgb& expected, int tolerance = 2) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(actual[i] - expected[i]) > tolerance)
            return ::testing::AssertionFailure()
                   << "got (" << actual[0] << ", " << actual[1] << ", " << actual[2] << "), expected (" << expected[0]
                   << ", " << expected[1] << ", " << expected[2] << ")";
    return ::testing::AssertionSuccess();
}

// The square -1..1 in z = 0, facing the camera unless turned away, in one material.
void writeSquare(const std::string& path, const Vector3& colour, bool facingAway = false,
                 const std::string& texture = "") {
    test::FlatMesh flat;
    const std::int32_t material = flat.material(colour);
    const std::int32_t image = texture.empty() ? -1 : flat.texture(texture);
    if (facingAway) {
        flat.triangle({-1, -1, 0}, {1, 1, 0}, {1, -1, 0}, material);
        flat.triangle({-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, material);
    } else {
        flat.square(-1, -1, 1, 1, material, image);
    }
    std::string reason;
    ASSERT_TRUE(writeSkeletalMesh(path, flat.build(), &reason)) << reason;
}

TEST(QxtoolRender, FitsTheModelAndKeepsTheBackgroundAroundIt) {
    test::TempDir dir;
    writeSquare(dir.file("square.qm1"), {1, 0, 0});
    const auto run = render(dir.file("square.qm1"), dir.file("square.png"), " --size 64x48 --background 0,0,255");
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture picture = readPicture(dir.file("square.png"));
    ASSERT_EQ(picture.width, 64);
    ASSERT_EQ(picture.height, 48);
    // The camera backs off until the square's height fills the picture's; at 4:3 it then covers
    // the middle three quarters of the width, columns 8 to 55. Lit head-on, red comes out full
    // with the 0.04 of ambient light on every channel.
    EXPECT_TRUE(near(picture.at(32, 24), {255, 10, 10}));
    EXPECT_TRUE(near(picture.at(12, 10), {255, 10, 10}));
    EXPECT_TRUE(near(picture.at(3, 24), {0, 0, 255}, 0));
    EXPECT_TRUE(near(picture.at(60, 24), {0, 0, 255}, 0));
    EXPECT_TRUE(near(picture.at(0, 0), {0, 0, 255}, 0));
}

TEST(QxtoolRender, BackgroundIsBlackByDefaultAndSizeIs640By480) {
    test::TempDir dir;
    writeSquare(dir.file("square.qm1"), {0, 1, 0});
    const auto run = render(dir.file("square.qm1"), dir.file("square.png"));
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture picture = readPicture(dir.file("square.png"));
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    EXPECT_TRUE(near(picture.at(5, 240), {0, 0, 0}, 0));
    EXPECT_TRUE(near(picture.at(320, 240), {10, 255, 10}));
}

TEST(QxtoolRender, CullRemovesFacesTurnedAway) {
    test::TempDir dir;
    writeSquare(dir.file("away.qm1"), {1, 1, 1}, true);
    auto run = render(dir.file("away.qm1"), dir.file("shown.png"), " --size 32x32");
    ASSERT_EQ(run.status, 0) << run.err;
    // Wound clockwise as seen, with normals towards the camera: lit as usual unless culled.
    EXPECT_NE(readPicture(dir.file("shown.png")).at(16, 16), (Rgb{0, 0, 0}));
    run = render(dir.file("away.qm1"), dir.file("culled.png"), " --size 32x32 --cull");
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture culled = readPicture(dir.file("culled.png"));
    for (int x = 0; x < 32; ++x) EXPECT_EQ(culled.countInColumn(x, {0, 0, 0}), 0) << x;
}

TEST(QxtoolRender, TexturesComeFromBesideTheMeshUnlessSwitchedOff) {
    test::TempDir dir;
    writeSquare(dir.file("tile.qm1"), {1, 1, 1}, false, "tile.png");
    const std::vector<std::uint8_t> green(4 * 4 * 4, 0);
    std::vector<std::uint8_t> pixels = green;
    for (std::size_t i = 0; i < pixels.size(); i += 4) pixels[i + 1] = pixels[i + 3] = 255;
    ASSERT_TRUE(writePng(dir.file("tile.png"), pixels.data(), 4, 4));

    auto run = render(dir.file("tile.qm1"), dir.file("textured.png"), " --size 32x32");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(near(readPicture(dir.file("textured.png")).at(16, 16), {0, 255, 0}));
    run = render(dir.file("tile.qm1"), dir.file("plain.png"), " --size 32x32 --no-texture");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(near(readPicture(dir.file("plain.png")).at(16, 16), {255, 255, 255}));
}

TEST(QxtoolRender, SkeletalSampleMovesWithTime) {
    test::TempDir dir;
    const std::string figure = samplePath("figure.qm1");
    const std::string walk = " --size 96x96 --motion " + quoted(samplePath("figure-walk.qm2"));
    auto run = render(figure, dir.file("start.png"), walk + " --time 0");
    ASSERT_EQ(run.status, 0) << run.err;
    run = render(figure, dir.file("later.png"), walk + " --time 0.5");
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture start = readPicture(dir.file("start.png"));
    const Picture later = readPicture(dir.file("later.png"));
    // The figure's head and trunk (the upper half of its height) cross the middle column; the
    // sides stay empty.
    EXPECT_GT(start.countInColumn(48, {0, 0, 0}), 35);
    EXPECT_EQ(start.countInColumn(2, {0, 0, 0}), 0);
    EXPECT_NE(start.rgba, later.rgba);
}

TEST(QxtoolRender, VertexSamplePlaysItsFrameRange) {
    test::TempDir dir;
    const std::string flag = samplePath("flag.qv1");
    auto run = render(flag, dir.file("wave.png"), " --size 80x60 --frames 0:12");
    ASSERT_EQ(run.status, 0) << run.err;
    run = render(flag, dir.file("droop.png"), " --size 80x60 --frames 20:26");
    ASSERT_EQ(run.status, 0) << run.err;
    run = render(flag, dir.file("droop-later.png"), " --size 80x60 --frames 20:26 --fps 10 --time 0.25");
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture wave = readPicture(dir.file("wave.png"));
    const Picture droop = readPicture(dir.file("droop.png"));
    EXPECT_GT(wave.countInColumn(40, {0, 0, 0}), 10);
    EXPECT_NE(wave.rgba, droop.rgba);
    EXPECT_NE(droop.rgba, readPicture(dir.file("droop-later.png")).rgba);
}

TEST(QxtoolRender, ConvertsMd2AndPlyInMemory) {
    QX_REQUIRE_TESTDATA("md2/sydney.md2");
    test::TempDir dir;
    auto run = render((test::testDataDir() / "md2/sydney.md2").string(), dir.file("sydney.png"), " --size 64x64");
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture sydney = readPicture(dir.file("sydney.png"));
    // A standing figure as tall as the picture and a sixth as wide covers well over 1 in 20
    // of its pixels; the edges stay empty.
    EXPECT_GT(sydney.countAll({0, 0, 0}), 64 * 64 / 20);
    EXPECT_EQ(sydney.countInColumn(0, {0, 0, 0}), 0);
    EXPECT_EQ(sydney.countInColumn(63, {0, 0, 0}), 0);

    test::writeBytes(dir.file("square.ply"), test::squarePly().bytes());
    run = render(dir.file("square.ply"), dir.file("square.png"), " --size 32x32");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(readPicture(dir.file("square.png")).at(16, 16), (Rgb{0, 0, 0}));
}

TEST(QxtoolRender, RejectedInputsExitOneAndNameTheFile) {
    test::TempDir dir;
    writeSquare(dir.file("square.qm1"), {1, 1, 1});
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("missing.qm1"), ""},
        {dir.file("square.qm1"), " --motion " + quoted(dir.file("missing.qm2"))},
        {dir.file("notes.txt"), ""},
    };
    test::writeBytes(dir.file("notes.txt"), {'h', 'i'});
    for (const auto& [file, more] : cases) {
        const auto run = render(file, dir.file("out.png"), more);
        EXPECT_EQ(run.status, 1) << file << more;
        EXPECT_EQ(run.err.rfind("qxtool: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(more.empty() ? file : dir.file("missing.qm2")), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.png")));
    }
    const std::string unwritable = dir.file("no-such-folder/out.png");
    const auto run = render(dir.file("square.qm1"), unwritable);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("qxtool: " + unwritable + ": "), std::string::npos) << run.err;
}

TEST(QxtoolRender, BadOptionsAreUsageErrors) {
    test::TempDir dir;
    writeSquare(dir.file("square.qm1"), {1, 1, 1});
    const std::string square = dir.file("square.qm1");
    const std::string flag = samplePath("flag.qv1");
    const std::pair<std::string, std::string> cases[] = {
        {square, " --size 0x10"},
        {square, " --size 640"},
        {square, " --size 99999x10"},
        {square, " --background 1,2"},
        {square, " --background 1,2,256"},
        {square, " --time -1"},
        // Numbers are read as in scripts: plain decimals a float or double can hold.
        {square, " --time 0x10"},
        {square, " --time +1"},
        {square, " --time 1e999"},
        {flag, " --fps 1e999"},
        {flag, " --fps 0x1"},
        {square, " --frames 0:1"},
        {square, " --fps 10"},
        {flag, " --motion " + quoted(samplePath("figure-walk.qm2"))},
        {flag, " --frames 3"},
        {flag, " --frames 0:99"},
        // A vertex model has no bones; the wireframe is over the model or instead of it.
        {flag, " --skeleton"},
        {flag, " --bone-names"},
        {square, " --wireframe --wireframe-only"},
        {square, " --grids"},
    };
    for (const auto& [file, more] : cases) {
        const auto run = render(file, dir.file("out.png"), more);
        EXPECT_EQ(run.status, 2) << more;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.png"))) << more;
    }
    const auto run = test::runQxtool("render " + quoted(square));
    EXPECT_EQ(run.status, 2);
}

// Each overlay adds to the picture the same flags give without it; the wireframe alone replaces
// the model. In a thumbnail the overlays count as drawn, so the grid widens the opaque part.
TEST(QxtoolRender, OverlayFlagsDrawOverThePicture) {
    test::TempDir dir;
    writeSquare(dir.file("square.qm1"), {1, 0, 0});
    const std::string figure = samplePath("figure.qm1") + " --motion " + quoted(samplePath("figure-walk.qm2"));
    const std::pair<std::string, std::string> cases[] = {
        {figure, " --skeleton"},
        {figure, " --bone-names"},
        {quoted(samplePath("flag.qv1")), " --wireframe"},
        {quoted(samplePath("flag.qv1")), " --normals"},
        {quoted(dir.file("square.qm1")), " --bounds"},
        {quoted(dir.file("square.qm1")), " --grid"},
        {quoted(dir.file("square.qm1")), " --wireframe-only"},
    };
    for (const auto& [file, flag] : cases) {
        const std::string common = "render " + file + " --size 96x72 --time 0.5 --out ";
        ASSERT_EQ(test::runQxtool(common + quoted(dir.file("plain.png"))).status, 0) << file;
        const auto run = test::runQxtool(common + quoted(dir.file("overlay.png")) + flag);
        ASSERT_EQ(run.status, 0) << flag << ": " << run.err;
        const Picture plain = readPicture(dir.file("plain.png"));
        const Picture overlay = readPicture(dir.file("overlay.png"));
        EXPECT_NE(plain.rgba, overlay.rgba) << flag;
        if (flag == " --wireframe-only") {
            EXPECT_GT(plain.width * plain.height - plain.countAll({255, 10, 10}), 1000) << flag;
            EXPECT_EQ(overlay.width * overlay.height - overlay.countAll({255, 10, 10}), 0) << flag;
        }
    }

    int opaque[2] = {};
    for (const int grid : {0, 1}) {
        const auto run = test::runQxtool("thumbnail " + quoted(samplePath("flag.qv1")) + " " +
                                         quoted(dir.file("thumb.png")) + " --size 64" + (grid ? " --grid" : ""));
        ASSERT_EQ(run.status, 0) << run.err;
        const Picture thumb = readPicture(dir.file("thumb.png"));
        for (std::size_t i = 3; i < thumb.rgba.size(); i += 4) opaque[grid] += thumb.rgba[i] == 255 ? 1 : 0;
    }
    EXPECT_GT(opaque[1], opaque[0]);
    EXPECT_EQ(test::runQxtool("thumbnail " + quoted(samplePath("flag.qv1")) + " x.png --skeleton").status, 2);
}

// File managers show a model's picture on their own ground: square at the size asked for, the
// model opaque, the rest clear. What has no picture, cannot be read or draws nothing gets none:
// exit 1 and no file, an older one kept.
TEST(QxtoolThumbnail, SquarePicturesOfModelsAndNoneOfAnythingElse) {
    test::TempDir dir;
    test::writeBytes(dir.file("square.ply"), test::squarePly().bytes());
    std::vector<std::uint8_t> half = test::readBytes(samplePath("figure.qm1"));
    half.resize(half.size() / 2);
    test::writeBytes(dir.file("damaged.qm1"), half);
    ASSERT_TRUE(writeSkeletalMesh(dir.file("nothing.qm1"), test::FlatMesh().build()));
    const struct {
        std::string file;
        int side;          // 0: no picture
        bool groundShows;  // a square model fitted to a square picture fills it
    } cases[] = {
        {samplePath("figure.qm1"), 256, true},
        {samplePath("flag.qv1"), 64, true},
        {(test::testDataDir() / "md2/sydney.md2").string(), 96, true},
        {dir.file("square.ply"), 32, false},
        {samplePath("figure-walk.qm2"), 0, false},
        {dir.file("damaged.qm1"), 0, false},
        {dir.file("nothing.qm1"), 0, false},
        {dir.file("missing.qv1"), 0, false},
    };
    for (const auto& c : cases) {
        if (c.side > 0 && !std::filesystem::exists(c.file)) continue;  // the shared test data
        test::writeBytes(dir.file("thumb.png"), {'o', 'l', 'd'});
        const auto run = test::runQxtool("thumbnail " + quoted(c.file) + " " + quoted(dir.file("thumb.png")) +
                                         (c.side == 256 || c.side == 0 ? "" : " --size " + std::to_string(c.side)));
        if (c.side == 0) {
            EXPECT_EQ(run.status, 1) << c.file;
            EXPECT_NE(run.err.find(c.file), std::string::npos) << run.err;
            EXPECT_EQ(test::readBytes(dir.file("thumb.png")), (std::vector<std::uint8_t>{'o', 'l', 'd'})) << c.file;
            continue;
        }
        ASSERT_EQ(run.status, 0) << c.file << ": " << run.err;
        const Picture picture = readPicture(dir.file("thumb.png"));
        EXPECT_EQ(picture.width, c.side) << c.file;
        EXPECT_EQ(picture.height, c.side) << c.file;
        int clear = 0, opaque = 0;
        for (std::size_t i = 3; i < picture.rgba.size(); i += 4) {
            clear += picture.rgba[i] == 0 ? 1 : 0;
            opaque += picture.rgba[i] == 255 ? 1 : 0;
        }
        EXPECT_EQ(clear + opaque, c.side * c.side) << c.file;
        EXPECT_GT(opaque, c.side * c.side / 20) << c.file;
        EXPECT_TRUE(!c.groundShows || clear > c.side * c.side / 10) << c.file;
    }
    EXPECT_EQ(test::runQxtool("thumbnail " + quoted(samplePath("flag.qv1")) + " x.png --size 0").status, 2);
}

}  // namespace
}  // namespace qx
