#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "core/Sha256.h"
#include "render/ImageDecoders.h"
#include "render/Texture.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using test::quoted;
using test::runQxtool;

std::string image(const std::string& path, const std::string& more = "") { return "image " + quoted(path) + more; }

// The first line of a reference file: "<sha256> <width> <height>".
struct Reference {
    std::string sha256;
    int width = 0;
    int height = 0;
};

Reference readReference(const std::filesystem::path& path) {
    std::ifstream in(path);
    Reference r;
    in >> r.sha256 >> r.width >> r.height;
    return r;
}

TEST(QxtoolImage, PrintsTheHashOfThePictureAsSeen) {
    QX_REQUIRE_TESTDATA("tga");
    struct Case {
        const char* relative;
        int bits;
        int rgbaOrder;
    };
    const Case files[] = {
        {"bmp/bmpsuite-2.8/g/pal8v5.bmp", 32, 0},  // palette after a 124-byte header
        {"bmp/bmpsuite-2.8/g/pal8topdown.bmp", 32, 0}, {"tga/200x32_rgba_tl_raw.tga", 32, 0},  // top-left origin
        {"tga/200x32_rgb_bl_raw.tga", 24, 0},  // the 24-bit Targa path keeps its depth
        {"png/pngsuite/f02n2c08.png", 32, 1},  // no gamma chunk: the default gamma changes nothing
        {"png/pngsuite/tm3n3p02.png", 32, 1},
    };
    for (const auto& [relative, bits, rgbaOrder] : files) {
        SCOPED_TRACE(relative);
        const auto path = test::testDataDir() / relative;
        const auto run = runQxtool(image(path.string()));
        ASSERT_EQ(run.status, 0) << run.err;
        const auto json = nlohmann::ordered_json::parse(run.out);
        const Reference reference = readReference(path.string() + ".rgba.sha256");
        EXPECT_EQ(json["rgbaSha256"], reference.sha256);
        EXPECT_EQ(json["width"], reference.width);
        EXPECT_EQ(json["height"], reference.height);
        EXPECT_EQ(json["bits"], bits);
        EXPECT_EQ(json["rgbaOrder"], rgbaOrder);
        std::vector<std::string> keys;
        for (const auto& item : json.items()) keys.push_back(item.key());
        EXPECT_EQ(keys, (std::vector<std::string>{"width", "height", "bits", "rgbaOrder", "rgbaSha256"}));
    }
}

TEST(QxtoolImage, OutWritesTheSamePixelsAsPng) {
    QX_REQUIRE_TESTDATA("bmp");
    const auto path = test::testDataDir() / "bmp/bmpsuite-2.8/g/rgb24.bmp";
    test::TempDir dir;
    const auto run = runQxtool(image(path.string(), " --out " + quoted(dir.file("copy.png"))));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::uint8_t> png = test::readBytes(dir.file("copy.png"));
    Texture copy;
    ASSERT_TRUE(decodePng(png.data(), png.size(), copy));
    EXPECT_EQ(copy.width, 127);
    EXPECT_EQ(copy.height, 64);
    const auto json = nlohmann::ordered_json::parse(run.out);
    EXPECT_EQ(json["rgbaSha256"], sha256Hex(displayRgba(copy)));
    EXPECT_EQ(json["rgbaSha256"], readReference(path.string() + ".rgba.sha256").sha256);
}

TEST(QxtoolImage, RefusedImagesExitOneWithTheReason) {
    QX_REQUIRE_TESTDATA("jpeg");
    test::TempDir dir;
    const auto cmyk = (test::testDataDir() / "jpeg/pil_sample_cmyk.jpg").string();
    auto run = runQxtool(image(cmyk, " --out " + quoted(dir.file("never.png"))));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err.rfind("qxtool: " + cmyk + ": ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("CMYK"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("never.png")));

    test::writeBytes(dir.file("a.jpeg"), test::readBytes((test::testDataDir() / "jpeg/testorig.jpg").string()));
    run = runQxtool(image(dir.file("a.jpeg")));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("qxtool: " + dir.file("a.jpeg") + ": ", 0), 0u) << run.err;

    run = runQxtool(image(dir.file("missing.png")));
    EXPECT_EQ(run.status, 1);

    // An output that cannot be written is an error of that file.
    const auto good = (test::testDataDir() / "jpeg/testorig.jpg").string();
    run = runQxtool(image(good, " --out " + quoted(dir.path().string())));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("qxtool: " + dir.path().string() + ": ", 0), 0u) << run.err;

    run = runQxtool("image");
    EXPECT_EQ(run.status, 2);
}

TEST(QxtoolInfo, SummarisesImages) {
    QX_REQUIRE_TESTDATA("jpeg");
    const auto bmp = (test::testDataDir() / "md2/faerie2.bmp").string();
    const auto jpg = (test::testDataDir() / "jpeg/testimggray.jpg").string();
    const auto cmyk = (test::testDataDir() / "jpeg/pil_sample_cmyk.jpg").string();
    auto run = runQxtool("info " + quoted(bmp) + " " + quoted(jpg));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(bmp + ": BMP image"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("220 x 193"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(jpg + ": JPG image"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("227 x 149"), std::string::npos) << run.out;
    run = runQxtool("info " + quoted(cmyk) + " " + quoted(bmp));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("220 x 193"), std::string::npos) << "the other files are still summarised";
}

}  // namespace
}  // namespace qx
