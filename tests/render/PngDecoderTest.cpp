#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cmath>

#include "core/ByteSink.h"
#include "render/ImageDecoders.h"
#include "render/PngWriter.h"
#include "render/Texture.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using test::Bytes;

bool decode(const Bytes& file, Texture& t, std::string* reason = nullptr, bool gamma = true) {
    return decodePng(file.data(), file.size(), t, reason, gamma);
}

TEST(PngDecoder, GreyBecomesOpaqueRgbWithTheBottomRowFirst) {
    const Bytes file = test::makePng(2, 2, PNG_COLOR_TYPE_GRAY, 8, {{0, 100}, {200, 255}});
    Texture t;
    ASSERT_TRUE(decode(file, t));
    EXPECT_EQ(t.width, 2);
    EXPECT_EQ(t.height, 2);
    EXPECT_EQ(t.bits, 32);
    EXPECT_EQ(t.rgbaOrder, 1);
    EXPECT_EQ(t.pixels, (Bytes{200, 200, 200, 255, 255, 255, 255, 255, 0, 0, 0, 255, 100, 100, 100, 255}));
}

TEST(PngDecoder, OneBitGreyIsScaledToBlackAndWhite) {
    const Bytes file = test::makePng(8, 1, PNG_COLOR_TYPE_GRAY, 1, {{0b10100001}});
    Texture t;
    ASSERT_TRUE(decode(file, t));
    const std::uint8_t expected[8] = {255, 0, 255, 0, 0, 0, 0, 255};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(t.pixels[x * 4], expected[x]) << x;
        EXPECT_EQ(t.pixels[x * 4 + 3], 255) << x;
    }
}

TEST(PngDecoder, RgbGetsOpaqueAlphaAndRgbaKeepsIts) {
    Texture rgb;
    ASSERT_TRUE(decode(test::makePng(1, 1, PNG_COLOR_TYPE_RGB, 8, {{10, 20, 30}}), rgb));
    EXPECT_EQ(rgb.pixels, (Bytes{10, 20, 30, 255}));
    Texture rgba;
    ASSERT_TRUE(decode(test::makePng(1, 1, PNG_COLOR_TYPE_RGBA, 8, {{10, 20, 30, 40}}), rgba));
    EXPECT_EQ(rgba.pixels, (Bytes{10, 20, 30, 40}));
    Texture greyAlpha;
    ASSERT_TRUE(decode(test::makePng(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{90, 7}}), greyAlpha));
    EXPECT_EQ(greyAlpha.pixels, (Bytes{90, 90, 90, 7}));
}

TEST(PngDecoder, SixteenBitSamplesAreReducedToTheirHighByte) {
    Texture t;
    ASSERT_TRUE(decode(test::makePng(1, 1, PNG_COLOR_TYPE_RGB, 16, {{0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF}}), t));
    EXPECT_EQ(t.pixels, (Bytes{0x12, 0xAB, 0xFF, 255}));
}

TEST(PngDecoder, EveryTruncationFailsCleanly) {
    const Bytes file = test::makePng(4, 4, PNG_COLOR_TYPE_RGB, 8, std::vector<Bytes>(4, Bytes(12, 77)));
    for (std::size_t n = 0; n < file.size(); ++n) {
        Texture t;
        std::string reason;
        EXPECT_FALSE(decode(Bytes(file.begin(), file.begin() + n), t, &reason)) << n;
        EXPECT_FALSE(reason.empty());
        EXPECT_TRUE(t.pixels.empty());
    }
}

void chunk(ByteSink& out, const char* type, const Bytes& data) {
    const std::uint32_t length = static_cast<std::uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) out.u8(static_cast<std::uint8_t>(length >> shift));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.bytes(typed.data(), typed.size());
    const std::uint32_t crc = static_cast<std::uint32_t>(::crc32(0, typed.data(), static_cast<uInt>(typed.size())));
    for (int shift = 24; shift >= 0; shift -= 8) out.u8(static_cast<std::uint8_t>(crc >> shift));
}

TEST(PngDecoder, ImageLargerThanItsCompressedDataCouldHoldIsRefused) {
    // 60000 x 60000 RGBA (14.4 GB of pixels) claimed by a file of a hundred bytes: libpng's own
    // limit allows the size, the decoder must refuse before making the buffer.
    ByteSink out;
    const std::uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    out.bytes(signature, 8);
    const Bytes header = {0, 0, 0xEA, 0x60, 0, 0, 0xEA, 0x60, 8, 6, 0, 0, 0};
    chunk(out, "IHDR", header);
    Bytes raw(64, 0);
    Bytes packed(128);
    uLongf packedSize = packed.size();
    ASSERT_EQ(::compress(packed.data(), &packedSize, raw.data(), raw.size()), Z_OK);
    packed.resize(packedSize);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    Texture t;
    std::string reason;
    EXPECT_FALSE(decode(out.data(), t, &reason));
    EXPECT_NE(reason.find("too short"), std::string::npos) << reason;
}

TEST(PngWriter, EncodedPictureDecodesToTheSamePixels) {
    const Bytes picture = {255, 0, 0, 255, 0,   255, 0,   128, 0, 0, 255, 0,  // top row
                           1,   2, 3, 4,   250, 251, 252, 253, 9, 9, 9,   9};
    Bytes file;
    ASSERT_TRUE(encodePng(picture.data(), 3, 2, file));
    Texture t;
    ASSERT_TRUE(decode(file, t));
    EXPECT_EQ(t.width, 3);
    EXPECT_EQ(t.height, 2);
    EXPECT_EQ(displayRgba(t), picture);

    test::TempDir dir;
    std::string reason;
    ASSERT_TRUE(writePng(dir.file("out.png"), picture.data(), 3, 2, &reason)) << reason;
    EXPECT_EQ(test::readBytes(dir.file("out.png")), file);
    EXPECT_FALSE(writePng(dir.path().string(), picture.data(), 3, 2, &reason));
    EXPECT_FALSE(encodePng(picture.data(), 0, 2, file, &reason));
}

// ---- PngSuite ----

std::vector<std::filesystem::path> suiteFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(test::testFile("png/pngsuite")))
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The gAMA value of a PNG file, or 0 when it has none.
double fileGamma(const Bytes& file) {
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = std::uint32_t{file[at]} << 24 | std::uint32_t{file[at + 1]} << 16 |
                                     std::uint32_t{file[at + 2]} << 8 | file[at + 3];
        if (std::memcmp(&file[at + 4], "gAMA", 4) == 0 && length == 4) {
            const std::uint32_t g = std::uint32_t{file[at + 8]} << 24 | std::uint32_t{file[at + 9]} << 16 |
                                    std::uint32_t{file[at + 10]} << 8 | file[at + 11];
            return g / 100000.0;
        }
        at += 12 + std::size_t{length};
    }
    return 0;
}

TEST(PngSuite, FilesEqualTheirReferences) {
    QX_REQUIRE_TESTDATA("png/pngsuite");
    int compared = 0;
    for (const auto& path : suiteFiles()) {
        const std::string name = path.filename().string();
        if (name[0] == 'x') continue;
        SCOPED_TRACE(name);
        const Bytes file = test::readBytes(path.string());
        Texture t;
        std::string reason;
        ASSERT_TRUE(decode(file, t, &reason)) << reason;
        EXPECT_EQ(t.pixels.size(), std::size_t(t.width) * std::size_t(t.height) * 4);
        if (const auto reference = test::referencePixels(path)) {
            EXPECT_EQ(test::largestDifference(displayRgba(t), *reference), 0);
            ++compared;
        } else if (const auto plain = test::referencePixels(path, true)) {
            // Taken as stored, the samples equal the plain decode...
            Texture stored;
            ASSERT_TRUE(decode(file, stored, &reason, false));
            EXPECT_EQ(test::largestDifference(displayRgba(stored), *plain), 0);
            // ...and corrected, each colour sample v becomes 255 (v / 255)^(1 / (file gamma x 2.2)).
            const double exponent = 1.0 / (fileGamma(file) * 2.2);
            const Bytes corrected = displayRgba(t);
            int worst = 0;
            for (std::size_t i = 0; i < plain->size(); ++i) {
                const double expected =
                    i % 4 == 3 ? (*plain)[i] : std::floor(255 * std::pow((*plain)[i] / 255.0, exponent) + 0.5);
                worst = std::max(worst, static_cast<int>(std::abs(expected - corrected[i])));
            }
            EXPECT_LE(worst, 1);
            ++compared;
        }
    }
    // Every file of 8 bits or less except tbbn0g04.png has a reference.
    EXPECT_EQ(compared, 127);
}

TEST(PngSuite, CorruptFilesAreRefusedWithAReason) {
    QX_REQUIRE_TESTDATA("png/pngsuite");
    int corrupt = 0;
    for (const auto& path : suiteFiles()) {
        const std::string name = path.filename().string();
        if (name[0] != 'x') continue;
        SCOPED_TRACE(name);
        Texture t;
        std::string reason;
        EXPECT_FALSE(t.loadImage(path.string(), &reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_TRUE(t.pixels.empty());
        ++corrupt;
    }
    EXPECT_EQ(corrupt, 14);
}

}  // namespace
}  // namespace qx
