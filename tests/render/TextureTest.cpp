#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>

#include "render/Texture.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

using test::Bytes;

// A 2 x 1 bitmap: blue then red (bottom row first, B, G, R).
Bytes tinyBmp() {
    test::BmpLayout layout;
    layout.width = 2;
    layout.rows = {{255, 0, 0, 0, 0, 255}};
    return test::makeBmp(layout);
}

TEST(TextureLoadImage, DecoderIsChosenByTheLastThreeCharactersIgnoringCase) {
    test::TempDir dir;
    for (const char* name : {"SKIN.BMP", "skin.bmp", "Skin.Bmp", "noDot_bmp"}) {
        SCOPED_TRACE(name);
        test::writeBytes(dir.file(name), tinyBmp());
        Texture t;
        EXPECT_TRUE(t.loadImage(dir.file(name)));
        EXPECT_EQ(t.width, 2);
    }
}

TEST(TextureLoadImage, OtherEndingsAndMismatchedContentsAreNotDecoded) {
    test::TempDir dir;
    const Bytes jpeg = test::makeJpeg(8, 8, 1, Bytes(64, 90));
    test::writeBytes(dir.file("skin.jpg"), jpeg);
    test::writeBytes(dir.file("skin.jpeg"), jpeg);
    test::writeBytes(dir.file("skin.gif"), tinyBmp());
    test::writeBytes(dir.file("bitmap.png"), tinyBmp());  // the contents never choose the decoder
    Texture t;
    EXPECT_TRUE(t.loadImage(dir.file("skin.jpg")));
    std::string reason;
    EXPECT_FALSE(t.loadImage(dir.file("skin.jpeg"), &reason));
    EXPECT_TRUE(t.pixels.empty()) << "a failed load leaves no pixels from the one before";
    EXPECT_FALSE(t.loadImage(dir.file("skin.gif"), &reason));
    EXPECT_FALSE(t.loadImage(dir.file("bitmap.png"), &reason));
    EXPECT_NE(reason.find("PNG"), std::string::npos) << reason;
    EXPECT_FALSE(t.loadImage(dir.file("missing.bmp"), &reason));
    EXPECT_NE(reason.find("cannot open"), std::string::npos) << reason;
    EXPECT_FALSE(t.loadImage("mp", &reason));
}

TEST(LoadTextureImage, ModesDecideWhatIsKept) {
    test::TempDir dir;
    test::writeBytes(dir.file("skin.bmp"), tinyBmp());

    Texture skipped;
    loadTextureImage(skipped, dir.file("skin.bmp"), ImageLoading::Skip);
    EXPECT_EQ(skipped.width, 0);
    EXPECT_TRUE(skipped.pixels.empty());

    Texture decoded;
    loadTextureImage(decoded, dir.file("skin.bmp"), ImageLoading::Decode);
    EXPECT_EQ(decoded.width, 2);
    EXPECT_EQ(decoded.pixels.size(), 8u);
    EXPECT_EQ(decoded.glName, 0u);

    // No GL context is current in this test: the texture is decoded, stays nameless, and its
    // pixels are released as after any upload.
    Texture uploaded;
    loadTextureImage(uploaded, dir.file("skin.bmp"), ImageLoading::Upload);
    EXPECT_EQ(uploaded.width, 2);
    EXPECT_TRUE(uploaded.pixels.empty());
    EXPECT_EQ(uploaded.glName, 0u);

    Texture missing;
    loadTextureImage(missing, dir.file("nothing.bmp"), ImageLoading::Upload);
    EXPECT_EQ(missing.glName, 0u);
    EXPECT_TRUE(missing.pixels.empty());
}

TEST(DisplayRgba, TurnsRowsTopFirstAndBytesRgba) {
    Texture t;
    t.width = 1;
    t.height = 2;
    t.rgbaOrder = 0;
    t.pixels = {1, 2, 3, 4, 5, 6, 7, 8};  // bottom row first, B, G, R, A
    EXPECT_EQ(displayRgba(t), (Bytes{7, 6, 5, 8, 3, 2, 1, 4}));
    t.rgbaOrder = 1;
    EXPECT_EQ(displayRgba(t), (Bytes{5, 6, 7, 8, 1, 2, 3, 4}));
    t.pixels.resize(4);  // inconsistent with the size: nothing to show
    EXPECT_TRUE(displayRgba(t).empty());
}

// Runs a test body in another current directory and goes back afterwards.
class InDirectory {
public:
    explicit InDirectory(const std::filesystem::path& path) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~InDirectory() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

TEST(ResolveImagePath, BesideTheModelFirstThenTheCurrentDirectory) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "models" / "maps");
    std::filesystem::create_directories(dir.path() / "work" / "maps");
    test::writeBytes(dir.file("models/maps/beside.bmp"), tinyBmp());
    test::writeBytes(dir.file("models/maps/both.bmp"), tinyBmp());
    test::writeBytes(dir.file("work/maps/both.bmp"), tinyBmp());
    test::writeBytes(dir.file("work/maps/here.bmp"), tinyBmp());
    const std::string model = dir.file("models/hero.qm1");

    InDirectory work(dir.path() / "work");
    EXPECT_EQ(resolveImagePath("maps/beside.bmp", model), dir.file("models/maps/beside.bmp"));
    EXPECT_EQ(resolveImagePath("maps/both.bmp", model), dir.file("models/maps/both.bmp"));
    EXPECT_EQ(resolveImagePath("maps/here.bmp", model), "maps/here.bmp");
    EXPECT_EQ(resolveImagePath("maps/nowhere.bmp", model), "maps/nowhere.bmp");
    EXPECT_EQ(resolveImagePath(dir.file("work/maps/here.bmp"), model), dir.file("work/maps/here.bmp"));
    // A model named without a folder lies in the current directory.
    EXPECT_EQ(resolveImagePath("maps/here.bmp", "hero.qm1"), "maps/here.bmp");
    EXPECT_EQ(resolveImagePath("", model), "");
}

}  // namespace
}  // namespace qx
