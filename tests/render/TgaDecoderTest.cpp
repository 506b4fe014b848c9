#include <gtest/gtest.h>

#include "render/ImageDecoders.h"
#include "render/Texture.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using test::Bytes;
using test::TgaLayout;

bool decode(const Bytes& file, Texture& t, std::string* reason = nullptr) {
    return decodeTga(file.data(), file.size(), t, reason);
}

// 2 x 2, rows in file order: (1,2,3) (4,5,6) then (7,8,9) (10,11,12).
TgaLayout twentyFourBit() {
    TgaLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    return layout;
}

TEST(TgaDecoder, TwentyFourBitAddsOpaqueAlphaAndKeepsBottomLeftRows) {
    Texture t;
    ASSERT_TRUE(decode(test::makeTga(twentyFourBit()), t));
    EXPECT_EQ(t.width, 2);
    EXPECT_EQ(t.height, 2);
    EXPECT_EQ(t.bits, 24);
    EXPECT_EQ(t.rgbaOrder, 0);
    EXPECT_EQ(t.pixels, (Bytes{1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255}));
}

TEST(TgaDecoder, ThirtyTwoBitKeepsTheFilesAlpha) {
    TgaLayout layout;
    layout.width = 2;
    layout.bits = 32;
    layout.pixels = {1, 2, 3, 0, 4, 5, 6, 128};
    Texture t;
    ASSERT_TRUE(decode(test::makeTga(layout), t));
    EXPECT_EQ(t.bits, 32);
    EXPECT_EQ(t.pixels, layout.pixels);
}

TEST(TgaDecoder, TopLeftOriginRowsAreTurnedBottomRowFirst) {
    TgaLayout layout = twentyFourBit();
    layout.descriptor = 0x20;
    Texture t;
    ASSERT_TRUE(decode(test::makeTga(layout), t));
    EXPECT_EQ(t.pixels, (Bytes{7, 8, 9, 255, 10, 11, 12, 255, 1, 2, 3, 255, 4, 5, 6, 255}));
}

TEST(TgaDecoder, ImageIdFieldIsSkipped) {
    TgaLayout layout = twentyFourBit();
    layout.imageId = "made by a test";
    Texture t;
    ASSERT_TRUE(decode(test::makeTga(layout), t));
    EXPECT_EQ(t.pixels[0], 1);
    EXPECT_EQ(t.pixels[12], 10);
}

TEST(TgaDecoder, RefusesColourMapsCompressionGreyAndOtherDepths) {
    struct Case {
        const char* what;
        void (*change)(TgaLayout&);
    };
    const Case cases[] = {
        {"colour-mapped image",
         [](TgaLayout& s) {
             s.imageType = 1;
             s.colourMapType = 1;
             s.bits = 8;
             s.colourMap = Bytes(3 * 256, 7);
             s.pixels.resize(4);
         }},
        {"true colour with a colour map",
         [](TgaLayout& s) {
             s.colourMapType = 1;
             s.colourMap = Bytes(6, 7);
         }},
        {"RLE", [](TgaLayout& s) { s.imageType = 10; }},
        {"grey",
         [](TgaLayout& s) {
             s.imageType = 3;
             s.bits = 8;
             s.pixels.resize(4);
         }},
        {"16 bits",
         [](TgaLayout& s) {
             s.bits = 16;
             s.pixels.resize(8);
         }},
        {"zero width", [](TgaLayout& s) { s.width = 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TgaLayout layout = twentyFourBit();
        c.change(layout);
        Texture t;
        std::string reason;
        EXPECT_FALSE(decode(test::makeTga(layout), t, &reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_TRUE(t.pixels.empty());
    }
}

TEST(TgaDecoder, EveryTruncationFailsAndHugeSizesAreRefused) {
    const Bytes file = test::makeTga(twentyFourBit());
    for (std::size_t n = 0; n < file.size(); ++n) {
        Texture t;
        EXPECT_FALSE(decode(Bytes(file.begin(), file.begin() + n), t)) << n;
    }
    TgaLayout layout = twentyFourBit();
    layout.width = layout.height = 65535;
    Texture t;
    std::string reason;
    EXPECT_FALSE(decode(test::makeTga(layout), t, &reason));
    EXPECT_NE(reason.find("truncated"), std::string::npos) << reason;
}

TEST(TgaFiles, UncompressedFilesEqualTheirReferences) {
    QX_REQUIRE_TESTDATA("tga");
    for (const char* name :
         {"200x32_rgb_bl_raw.tga", "200x32_rgba_bl_raw.tga", "200x32_rgba_tl_raw.tga", "tga_id_field.tga"}) {
        SCOPED_TRACE(name);
        const auto path = test::testFile(std::string("tga/") + name);
        Texture t;
        std::string reason;
        ASSERT_TRUE(t.loadImage(path.string(), &reason)) << reason;
        const auto reference = test::referencePixels(path);
        ASSERT_TRUE(reference.has_value());
        EXPECT_EQ(test::largestDifference(displayRgba(t), *reference), 0);
    }
}

TEST(TgaFiles, TopLeftAndBottomLeftFilesOfOnePictureGiveTheSamePixels) {
    QX_REQUIRE_TESTDATA("tga");
    Texture bottomLeft, topLeft;
    ASSERT_TRUE(bottomLeft.loadImage(test::testFile("tga/200x32_rgba_bl_raw.tga").string()));
    ASSERT_TRUE(topLeft.loadImage(test::testFile("tga/200x32_rgba_tl_raw.tga").string()));
    EXPECT_EQ(bottomLeft.pixels, topLeft.pixels);
}

TEST(TgaFiles, UnsupportedFilesAreRefusedCleanly) {
    QX_REQUIRE_TESTDATA("tga");
    for (const char* name : {"200x32_rgb_bl_rle.tga", "200x32_rgba_bl_rle.tga", "200x32_p_bl_raw.tga",
                             "200x32_l_bl_raw.tga", "rgba16.tga"}) {
        SCOPED_TRACE(name);
        Texture t;
        std::string reason;
        EXPECT_FALSE(t.loadImage(test::testFile(std::string("tga/") + name).string(), &reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_TRUE(t.pixels.empty());
    }
}

}  // namespace
}  // namespace qx
