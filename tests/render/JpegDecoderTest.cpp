#include <gtest/gtest.h>

#include "render/ImageDecoders.h"
#include "render/Texture.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using test::Bytes;

bool decode(const Bytes& file, Texture& t, std::string* reason = nullptr) {
    return decodeJpeg(file.data(), file.size(), t, reason);
}

// 16 x 16: the top half red, the bottom half blue.
Bytes redOverBlue() {
    Bytes samples;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool top = y < 8;
            samples.insert(samples.end(), {std::uint8_t(top ? 255 : 0), 0, std::uint8_t(top ? 0 : 255)});
        }
    return samples;
}

void expectNear(const Texture& t, int x, int row, std::array<int, 4> expected, int tolerance) {
    const std::size_t i = (static_cast<std::size_t>(row) * t.width + x) * 4;
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(t.pixels[i + c], expected[c], tolerance) << "x " << x << " row " << row;
}

TEST(JpegDecoder, ColourImageComesOutRgbBottomRowFirst) {
    Texture t;
    ASSERT_TRUE(decode(test::makeJpeg(16, 16, 3, redOverBlue()), t));
    EXPECT_EQ(t.width, 16);
    EXPECT_EQ(t.height, 16);
    EXPECT_EQ(t.bits, 32);
    EXPECT_EQ(t.rgbaOrder, 1);
    // Away from the edge between the halves, quality 100 keeps the colours within a few steps.
    expectNear(t, 3, 0, {0, 0, 255, 255}, 4);
    expectNear(t, 12, 15, {255, 0, 0, 255}, 4);
}

TEST(JpegDecoder, GreyImageIsExpandedToEqualChannels) {
    Bytes samples;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) samples.push_back(static_cast<std::uint8_t>(y < 4 ? 40 : 220));
    Texture t;
    ASSERT_TRUE(decode(test::makeJpeg(8, 8, 1, samples), t));
    ASSERT_EQ(t.pixels.size(), 8u * 8 * 4);
    for (std::size_t i = 0; i < t.pixels.size(); i += 4) {
        EXPECT_EQ(t.pixels[i], t.pixels[i + 1]);
        EXPECT_EQ(t.pixels[i], t.pixels[i + 2]);
        EXPECT_EQ(t.pixels[i + 3], 255);
    }
    expectNear(t, 4, 0, {220, 220, 220, 255}, 3);
    expectNear(t, 4, 7, {40, 40, 40, 255}, 3);
}

TEST(JpegDecoder, EveryTruncationAndGarbageFailCleanly) {
    const Bytes file = test::makeJpeg(16, 16, 3, redOverBlue());
    for (std::size_t n = 0; n < file.size(); ++n) {
        Texture t;
        std::string reason;
        EXPECT_FALSE(decode(Bytes(file.begin(), file.begin() + n), t, &reason)) << n;
        EXPECT_FALSE(reason.empty());
        EXPECT_TRUE(t.pixels.empty());
    }
    Texture t;
    EXPECT_FALSE(decode(Bytes(300, 0x5A), t));
}

TEST(JpegDecoder, SizeOutOfProportionToTheFileIsRefused) {
    Bytes file = test::makeJpeg(8, 8, 1, Bytes(64, 128));
    // The start-of-frame marker (FF C0) holds the height and width after length and precision.
    std::size_t sof = 0;
    while (sof + 1 < file.size() && !(file[sof] == 0xFF && file[sof + 1] == 0xC0)) ++sof;
    ASSERT_LT(sof + 9, file.size());
    file[sof + 5] = file[sof + 7] = 0xEA;  // 60000 x 60000
    file[sof + 6] = file[sof + 8] = 0x60;
    Texture t;
    std::string reason;
    EXPECT_FALSE(decode(file, t, &reason));
    EXPECT_NE(reason.find("too large"), std::string::npos) << reason;
}

TEST(JpegFiles, DecodesEqualTheReferencesWithinRounding) {
    QX_REQUIRE_TESTDATA("jpeg");
    for (const char* name :
         {"testorig.jpg", "testimgp.jpg", "testimggray.jpg", "testimgari.jpg", "pil_sample_rgb.jpg"}) {
        SCOPED_TRACE(name);
        const auto path = test::testFile(std::string("jpeg/") + name);
        Texture t;
        std::string reason;
        ASSERT_TRUE(t.loadImage(path.string(), &reason)) << reason;
        const auto reference = test::referencePixels(path);
        ASSERT_TRUE(reference.has_value());
        // Other IDCT and upsampling choices of other library builds stay within a few steps.
        EXPECT_LE(test::largestDifference(displayRgba(t), *reference), 4);
    }
}

TEST(JpegFiles, FourComponentImageIsRefusedCleanly) {
    QX_REQUIRE_TESTDATA("jpeg");
    Texture t;
    std::string reason;
    EXPECT_FALSE(t.loadImage(test::testFile("jpeg/pil_sample_cmyk.jpg").string(), &reason));
    EXPECT_NE(reason.find("CMYK"), std::string::npos) << reason;
    EXPECT_TRUE(t.pixels.empty());
}

}  // namespace
}  // namespace qx
