#include <gtest/gtest.h>

#include <set>

#include "core/Sha256.h"
#include "render/ImageDecoders.h"
#include "render/Texture.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using test::BmpLayout;
using test::Bytes;
using test::makeBmp;

using Pixel = std::array<std::uint8_t, 4>;  // as the texture stores it: B, G, R, A for bitmaps

Pixel pixelAt(const Texture& t, int x, int row) {
    const std::size_t i = (static_cast<std::size_t>(row) * t.width + x) * 4;
    return {t.pixels[i], t.pixels[i + 1], t.pixels[i + 2], t.pixels[i + 3]};
}

bool decode(const Bytes& file, Texture& t, std::string* reason = nullptr) {
    return decodeBmp(file.data(), file.size(), t, reason);
}

// Sixteen distinct colours: entry i is B = i, G = 16 i, R = 255 - i.
std::vector<std::array<std::uint8_t, 4>> rampPalette(int entries) {
    std::vector<std::array<std::uint8_t, 4>> palette;
    for (int i = 0; i < entries; ++i)
        palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(16 * i % 256),
                           static_cast<std::uint8_t>(255 - i), 0});
    return palette;
}

Pixel ramp(int i) {
    return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(16 * i % 256), static_cast<std::uint8_t>(255 - i),
            255};
}

TEST(BmpDecoder, FourBitOddWidthTakesHighNibbleFirstAndSkipsPadding) {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.bits = 4;
    layout.palette = rampPalette(16);
    // Two bytes hold three pixels; the low nibble of the second byte and the two pad bytes
    // must be ignored.
    layout.rows = {{0x12, 0x3F}, {0x45, 0x6A}};
    Texture t;
    ASSERT_TRUE(decode(makeBmp(layout), t));
    EXPECT_EQ(t.width, 3);
    EXPECT_EQ(t.height, 2);
    EXPECT_EQ(t.bits, 32);
    EXPECT_EQ(t.rgbaOrder, 0);
    EXPECT_EQ(t.pixels.size(), 3u * 2 * 4);
    EXPECT_EQ(pixelAt(t, 0, 0), ramp(1));
    EXPECT_EQ(pixelAt(t, 1, 0), ramp(2));
    EXPECT_EQ(pixelAt(t, 2, 0), ramp(3));
    EXPECT_EQ(pixelAt(t, 0, 1), ramp(4));
    EXPECT_EQ(pixelAt(t, 1, 1), ramp(5));
    EXPECT_EQ(pixelAt(t, 2, 1), ramp(6));
}

TEST(BmpDecoder, EightBitWithColoursUsedZeroReadsAllTwoHundredFiftySixEntries) {
    BmpLayout layout;
    layout.width = 2;
    layout.bits = 8;
    layout.coloursUsed = 0;
    layout.palette = rampPalette(256);
    layout.rows = {{200, 255}};
    Texture t;
    ASSERT_TRUE(decode(makeBmp(layout), t));
    EXPECT_EQ(pixelAt(t, 0, 0), ramp(200));
    EXPECT_EQ(pixelAt(t, 1, 0), ramp(255));
}

TEST(BmpDecoder, EightBitIndexBeyondTheColourCountIsBlack) {
    BmpLayout layout;
    layout.width = 2;
    layout.bits = 8;
    layout.coloursUsed = 2;
    layout.palette = rampPalette(2);
    layout.rows = {{1, 7}};
    Texture t;
    BmpColours colours;
    // A stale colour table from an earlier image must not leak into this one.
    colours.palette[7][0] = colours.palette[7][1] = colours.palette[7][2] = 99;
    const Bytes file = makeBmp(layout);
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), t, nullptr, colours));
    EXPECT_EQ(pixelAt(t, 0, 0), ramp(1));
    EXPECT_EQ(pixelAt(t, 1, 0), (Pixel{0, 0, 0, 255}));
}

TEST(BmpDecoder, TwentyFourBitWidthOneSkipsThePadByteOfEachRow) {
    BmpLayout layout;
    layout.width = 1;
    layout.height = 3;
    layout.rows = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    Texture t;
    ASSERT_TRUE(decode(makeBmp(layout), t));
    EXPECT_EQ(pixelAt(t, 0, 0), (Pixel{1, 2, 3, 255}));
    EXPECT_EQ(pixelAt(t, 0, 1), (Pixel{4, 5, 6, 255}));
    EXPECT_EQ(pixelAt(t, 0, 2), (Pixel{7, 8, 9, 255}));
}

TEST(BmpDecoder, ThirtyTwoBitKeepsColoursAndMakesEveryPixelOpaque) {
    BmpLayout layout;
    layout.width = 2;
    layout.bits = 32;
    layout.rows = {{10, 20, 30, 0, 40, 50, 60, 128}};
    Texture t;
    ASSERT_TRUE(decode(makeBmp(layout), t));
    EXPECT_EQ(pixelAt(t, 0, 0), (Pixel{10, 20, 30, 255}));
    EXPECT_EQ(pixelAt(t, 1, 0), (Pixel{40, 50, 60, 255}));
}

Bytes sixteenBitRow(std::initializer_list<std::uint16_t> values) {
    Bytes row;
    for (const std::uint16_t v : values) {
        row.push_back(static_cast<std::uint8_t>(v & 0xFF));
        row.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return row;
}

TEST(BmpDecoder, SixteenBitFiveSixFiveMasksWidenEachChannel) {
    BmpLayout layout;
    layout.width = 6;
    layout.bits = 16;
    layout.compression = 3;
    layout.masks = std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F};
    layout.rows = {sixteenBitRow({0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0000, 0x8410})};
    Texture t;
    BmpColours colours;
    const Bytes file = makeBmp(layout);
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), t, nullptr, colours));
    EXPECT_EQ(colours.redMask, 0xF800u);
    EXPECT_EQ(colours.greenMask, 0x07E0u);
    EXPECT_EQ(colours.blueMask, 0x001Fu);
    EXPECT_EQ(pixelAt(t, 0, 0), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(t, 1, 0), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(t, 2, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(pixelAt(t, 3, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(t, 4, 0), (Pixel{0, 0, 0, 255}));
    // 0x8410: red 16 of 31 -> 16*8 | 16/4 = 132; green 32 of 63 -> 32*4 | 32/16 = 130; blue as red.
    EXPECT_EQ(pixelAt(t, 5, 0), (Pixel{132, 130, 132, 255}));
}

TEST(BmpDecoder, SixteenBitWithoutMasksHoldsFiveBitsPerChannel) {
    BmpLayout layout;
    layout.width = 3;
    layout.bits = 16;
    layout.rows = {sixteenBitRow({0x7FFF, 0x7C00, 0x0010})};
    Texture t;
    ASSERT_TRUE(decode(makeBmp(layout), t));
    EXPECT_EQ(pixelAt(t, 0, 0), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(t, 1, 0), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(t, 2, 0), (Pixel{132, 0, 0, 255}));
}

// Each channel width from 1 to 7 bits, placed in the red mask at bit 8: a full value becomes 255
// and one chosen value shows the bit repetition of the widening table.
TEST(BmpDecoder, SixteenBitChannelWidthsOneToSevenRepeatTheirBits) {
    struct Case {
        int bits;
        std::uint16_t value;
        std::uint8_t expected;
    };
    const Case cases[] = {{1, 1, 255}, {2, 1, 85}, {3, 4, 146}, {4, 8, 136}, {5, 1, 8}, {6, 33, 134}, {7, 64, 129}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        const std::uint32_t mask = ((1u << c.bits) - 1) << 8;
        BmpLayout layout;
        layout.width = 2;
        layout.bits = 16;
        layout.compression = 3;
        layout.masks = std::array<std::uint32_t, 3>{mask, 0, 0};
        layout.rows = {sixteenBitRow({static_cast<std::uint16_t>(mask), static_cast<std::uint16_t>(c.value << 8)})};
        Texture t;
        ASSERT_TRUE(decode(makeBmp(layout), t));
        EXPECT_EQ(pixelAt(t, 0, 0)[2], 255);
        EXPECT_EQ(pixelAt(t, 1, 0)[2], c.expected);
    }
}

TEST(BmpDecoder, TopDownFileIsStoredBottomRowFirst) {
    BmpLayout layout;
    layout.width = 1;
    layout.height = -2;
    layout.rows = {{0, 0, 255}, {255, 0, 0}};  // red on top, blue below
    Texture t;
    ASSERT_TRUE(decode(makeBmp(layout), t));
    EXPECT_EQ(t.height, 2);
    EXPECT_EQ(pixelAt(t, 0, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(t, 0, 1), (Pixel{0, 0, 255, 255}));
}

TEST(BmpDecoder, PaletteIsReadAfterTheDeclaredHeaderSize) {
    for (const std::uint32_t headerSize : {40u, 52u, 64u, 108u, 124u}) {
        SCOPED_TRACE(headerSize);
        BmpLayout layout;
        layout.width = 2;
        layout.bits = 8;
        layout.headerSize = headerSize;
        layout.coloursUsed = 4;
        layout.palette = rampPalette(4);
        layout.rows = {{2, 3}};
        Texture t;
        ASSERT_TRUE(decode(makeBmp(layout), t));
        EXPECT_EQ(pixelAt(t, 0, 0), ramp(2));
        EXPECT_EQ(pixelAt(t, 1, 0), ramp(3));
    }
}

TEST(BmpDecoder, ColourCountOverTwoHundredFiftySixUsesTheFirstEntries) {
    BmpLayout layout;
    layout.width = 1;
    layout.bits = 8;
    layout.coloursUsed = 300;
    layout.palette = rampPalette(256);
    for (int i = 0; i < 44; ++i) layout.palette.push_back({1, 2, 3, 0});
    layout.rows = {{255}};
    Texture t;
    ASSERT_TRUE(decode(makeBmp(layout), t));
    EXPECT_EQ(pixelAt(t, 0, 0), ramp(255));
}

BmpLayout smallTwentyFourBit() {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
    return layout;
}

TEST(BmpDecoder, RefusesVariantsItDoesNotDecode) {
    struct Case {
        const char* what;
        void (*change)(BmpLayout&);
    };
    const Case cases[] = {
        {"one bit", [](BmpLayout& s) { s.bits = 1; }},
        {"two bits", [](BmpLayout& s) { s.bits = 2; }},
        {"sixty-four bits", [](BmpLayout& s) { s.bits = 64; }},
        {"RLE8", [](BmpLayout& s) { s.compression = 1; }},
        {"RLE4", [](BmpLayout& s) { s.compression = 2; }},
        {"JPEG inside", [](BmpLayout& s) { s.compression = 4; }},
        {"zero width", [](BmpLayout& s) { s.width = 0; }},
        {"negative width", [](BmpLayout& s) { s.width = -3; }},
        {"zero height", [](BmpLayout& s) { s.height = 0; }},
        {"short OS/2 header", [](BmpLayout& s) { s.headerSize = 16; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BmpLayout layout = smallTwentyFourBit();
        c.change(layout);
        Texture t;
        std::string reason;
        EXPECT_FALSE(decode(makeBmp(layout), t, &reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_TRUE(t.pixels.empty());
    }
}

TEST(BmpDecoder, RefusesCoreHeaderAndWrongSignature) {
    Bytes file = makeBmp(smallTwentyFourBit());
    Texture t;
    std::string reason;
    file[14] = 12;  // header size of the old OS/2 core header
    EXPECT_FALSE(decode(file, t, &reason));
    EXPECT_NE(reason.find("core"), std::string::npos) << reason;
    file = makeBmp(smallTwentyFourBit());
    file[1] = 'A';
    EXPECT_FALSE(decode(file, t, &reason));
    EXPECT_NE(reason.find("signature"), std::string::npos) << reason;
}

TEST(BmpDecoder, EveryTruncationOfTheFileFailsCleanly) {
    const Bytes file = makeBmp(smallTwentyFourBit());
    // The last row's padding may be missing; anything shorter lacks pixels.
    const std::size_t lastNeeded = file.size() - 3;
    for (std::size_t n = 0; n < lastNeeded; ++n) {
        Texture t;
        std::string reason;
        EXPECT_FALSE(decode(Bytes(file.begin(), file.begin() + n), t, &reason)) << n;
        EXPECT_TRUE(t.pixels.empty());
    }
    Texture t;
    EXPECT_TRUE(decode(Bytes(file.begin(), file.begin() + lastNeeded), t));
}

TEST(BmpDecoder, SizesTheDataCannotFillAreRefusedBeforeAllocating) {
    BmpLayout layout = smallTwentyFourBit();
    layout.width = 0x7FFFFFFF;
    layout.height = 0x7FFFFFFF;
    Texture t;
    std::string reason;
    EXPECT_FALSE(decode(makeBmp(layout), t, &reason));
    EXPECT_NE(reason.find("too short"), std::string::npos) << reason;

    layout = smallTwentyFourBit();
    layout.height = -0x7FFFFFFF;
    EXPECT_FALSE(decode(makeBmp(layout), t, &reason));

    // A declared image size beyond the end of the file is a short read.
    layout = smallTwentyFourBit();
    layout.imageSizeField = 1 << 30;
    EXPECT_FALSE(decode(makeBmp(layout), t, &reason));
}

TEST(BmpDecoder, HeaderOrPixelOffsetsOutsideTheFileFailCleanly) {
    Texture t;
    Bytes file = makeBmp(smallTwentyFourBit());
    file[10] = file[11] = file[12] = file[13] = 0xFF;  // pixel data offset
    EXPECT_FALSE(decode(file, t));

    BmpLayout layout;
    layout.bits = 8;
    layout.palette = rampPalette(1);
    layout.coloursUsed = 1;
    layout.rows = {{0}};
    file = makeBmp(layout);
    file[14] = file[15] = file[16] = file[17] = 0xFF;  // header size: the palette lies far beyond
    EXPECT_FALSE(decode(file, t));
}

// ---- The BMP suite ----

std::filesystem::path suiteFolder(const char* folder) {
    return test::testFile(std::string("bmp/bmpsuite-2.8/") + folder);
}

std::vector<std::filesystem::path> bitmapsIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(BmpSuite, GoodFilesThatDecodeEqualTheirReferences) {
    QX_REQUIRE_TESTDATA("bmp/bmpsuite-2.8/g");
    std::set<std::string> refused;
    int compared = 0;
    for (const auto& path : bitmapsIn(suiteFolder("g"))) {
        SCOPED_TRACE(path.filename().string());
        Texture t;
        std::string reason;
        if (!t.loadImage(path.string(), &reason)) {
            EXPECT_FALSE(reason.empty());
            refused.insert(path.filename().string());
            continue;
        }
        const auto reference = test::referencePixels(path);
        if (!reference) continue;
        // The reference widens 16-bit channels by scaling, the decoder by repeating bits.
        const int tolerance = path.filename().string().starts_with("rgb16") ? 1 : 0;
        EXPECT_LE(test::largestDifference(displayRgba(t), *reference), tolerance);
        ++compared;
    }
    const std::set<std::string> expectedRefusals = {"pal1.bmp",    "pal1bg.bmp",  "pal1wb.bmp",
                                                    "pal4rle.bmp", "pal8os2.bmp", "pal8rle.bmp"};
    EXPECT_EQ(refused, expectedRefusals);
    EXPECT_EQ(compared, 20);
}

TEST(BmpSuite, LongHeaderPalettesAndOddOffsetsInQuestionableFilesMatchReferences) {
    QX_REQUIRE_TESTDATA("bmp/bmpsuite-2.8/q");
    for (const char* name : {"pal8os2v2.bmp", "pal8os2v2-sz.bmp", "pal8os2v2-40sz.bmp", "pal8offs.bmp", "rgb24prof.bmp",
                             "rgb24lprof.bmp", "rgb24largepal.bmp", "rgb16faketrns.bmp"}) {
        SCOPED_TRACE(name);
        const auto path = suiteFolder("q") / name;
        Texture t;
        std::string reason;
        ASSERT_TRUE(t.loadImage(path.string(), &reason)) << reason;
        const auto reference = test::referencePixels(path);
        ASSERT_TRUE(reference.has_value());
        EXPECT_LE(test::largestDifference(displayRgba(t), *reference), std::string(name).starts_with("rgb16") ? 1 : 0);
    }
}

TEST(BmpSuite, QuestionableAndBadFilesDecodeOrFailCleanly) {
    QX_REQUIRE_TESTDATA("bmp/bmpsuite-2.8/b");
    for (const char* folder : {"q", "b", "x"}) {
        for (const auto& path : bitmapsIn(suiteFolder(folder))) {
            SCOPED_TRACE(path.string());
            Texture t;
            std::string reason;
            if (t.loadImage(path.string(), &reason)) {
                EXPECT_GT(t.width, 0);
                EXPECT_GT(t.height, 0);
                EXPECT_EQ(t.pixels.size(), std::size_t(t.width) * std::size_t(t.height) * 4);
            } else {
                EXPECT_FALSE(reason.empty());
                EXPECT_TRUE(t.pixels.empty());
            }
        }
    }
    Texture big;
    EXPECT_FALSE(big.loadImage(suiteFolder("b").string() + "/reallybig.bmp"));
}

TEST(BmpSuite, ModelSkinsMatchTheirReferenceHashes) {
    QX_REQUIRE_TESTDATA("md2/sydney.bmp");
    for (const char* name : {"sydney.bmp", "faerie2.bmp", "dolphin_f.bmp"}) {
        SCOPED_TRACE(name);
        const auto path = test::testFile(std::string("md2/") + name);
        Texture t;
        ASSERT_TRUE(t.loadImage(path.string()));
        const std::string line = [&] {
            const Bytes b = test::readBytes(path.string() + ".rgba.sha256");
            return std::string(b.begin(), b.end());
        }();
        const std::string expected =
            sha256Hex(displayRgba(t)) + " " + std::to_string(t.width) + " " + std::to_string(t.height);
        EXPECT_EQ(line.substr(0, line.find_last_not_of("\r\n") + 1), expected);
    }
}

}  // namespace
}  // namespace qx
