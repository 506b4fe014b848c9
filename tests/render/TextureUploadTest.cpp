#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/ImageDecoders.h"
#include "render/OffscreenContext.h"
#include "render/Texture.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using test::Bytes;

class TextureUpload : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(context.create(64, 64, &reason)) << reason;
    }

    OffscreenContext context;
};

// The picture as GL holds it: R, G, B, A, rows in the order given (the texture's bottom row first).
Bytes asGlTexels(const Texture& t) {
    Bytes texels = t.pixels;
    if (t.rgbaOrder == 0)
        for (std::size_t i = 0; i < texels.size(); i += 4) std::swap(texels[i], texels[i + 2]);
    return texels;
}

Bytes levelTexels(int level, int width, int height) {
    Bytes texels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

GLint levelSize(int level, GLenum which) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &value);
    return value;
}

// 8 x 4, every texel different: B = x * 30, G = y * 60, R = 255 - x - y.
Bytes bgrRows() {
    Bytes rows;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            rows.insert(rows.end(), {std::uint8_t(x * 30), std::uint8_t(y * 60), std::uint8_t(255 - x - y)});
    return rows;
}

TEST_F(TextureUpload, BitmapTexelsEqualTheDecodedPixels) {
    test::BmpLayout layout;
    layout.width = 8;
    layout.height = 4;
    const Bytes rows = bgrRows();
    for (int y = 0; y < 4; ++y) layout.rows.emplace_back(rows.begin() + y * 24, rows.begin() + (y + 1) * 24);
    const Bytes file = test::makeBmp(layout);
    Texture t;
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), t));
    t.upload();
    ASSERT_NE(t.glName, 0u);
    EXPECT_TRUE(glIsTexture(t.glName));
    t.bind();
    EXPECT_EQ(levelSize(0, GL_TEXTURE_WIDTH), 8);
    EXPECT_EQ(levelSize(0, GL_TEXTURE_HEIGHT), 4);
    EXPECT_EQ(levelTexels(0, 8, 4), asGlTexels(t));
    // The mipmap chain goes down to 1 x 1.
    EXPECT_EQ(levelSize(1, GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(levelSize(3, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(levelSize(3, GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureUpload, RgbaTexelsEqualTheDecodedPixelsAndParametersAreSet) {
    std::vector<Bytes> rows;
    for (int y = 0; y < 4; ++y) {
        Bytes row;
        for (int x = 0; x < 4; ++x)
            row.insert(row.end(), {std::uint8_t(x * 60), std::uint8_t(y * 60), 7, std::uint8_t(40 * (x + y))});
        rows.push_back(row);
    }
    const Bytes file = test::makePng(4, 4, 6, 8, rows);
    Texture t;
    ASSERT_TRUE(decodePng(file.data(), file.size(), t));
    t.upload();
    ASSERT_NE(t.glName, 0u);
    t.bind();
    EXPECT_EQ(levelTexels(0, 4, 4), t.pixels);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_CLAMP);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_CLAMP);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
}

TEST_F(TextureUpload, ModelSkinOfOddSizeIsUploaded) {
    QX_REQUIRE_TESTDATA("md2/sydney.bmp");
    Texture t;
    ASSERT_TRUE(t.loadImage(test::testFile("md2/sydney.bmp").string()));
    t.upload();
    ASSERT_NE(t.glName, 0u);
    t.bind();
    // The program does not resize; the mipmap builder scales each side that is no power of two
    // to the nearest one: 308 to 256, 193 to 256 (nearer than 128).
    EXPECT_EQ(levelSize(0, GL_TEXTURE_WIDTH), 256);
    EXPECT_EQ(levelSize(0, GL_TEXTURE_HEIGHT), 256);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureUpload, WithoutPixelsNoNameIsMadeAndBindDoesNothing) {
    Texture other;
    other.width = other.height = 1;
    other.pixels = {1, 2, 3, 4};
    other.upload();
    ASSERT_NE(other.glName, 0u);
    other.bind();

    Texture empty;
    empty.width = 16;
    empty.height = 16;  // a size without pixels, as after a failed decode
    empty.upload();
    EXPECT_EQ(empty.glName, 0u);
    empty.bind();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), other.glName);
}

TEST_F(TextureUpload, NamesAreDeletedOnReuploadDestructionAndMove) {
    auto t = std::make_unique<Texture>();
    t->width = t->height = 1;
    t->pixels = {1, 2, 3, 4};
    t->upload();
    const GLuint first = t->glName;
    t->upload();
    EXPECT_FALSE(glIsTexture(first));
    const GLuint second = t->glName;
    ASSERT_TRUE(glIsTexture(second));

    Texture moved = std::move(*t);
    EXPECT_EQ(moved.glName, second);
    EXPECT_EQ(t->glName, 0u);
    t.reset();
    EXPECT_TRUE(glIsTexture(second)) << "destroying the moved-from texture must not delete the name";
    { Texture gone = std::move(moved); }
    EXPECT_FALSE(glIsTexture(second));
}

TEST_F(TextureUpload, BottomRowOfPixelsIsDrawnAtTheBottom) {
    // Red bottom row, green top row, drawn over the whole framebuffer with t = 0 at the bottom.
    Texture t;
    t.width = 1;
    t.height = 2;
    t.pixels = {255, 0, 0, 255, 0, 255, 0, 255};
    t.magFilter = GL_NEAREST;
    t.upload();
    t.bind();
    glEnable(GL_TEXTURE_2D);
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    Bytes picture;
    ASSERT_TRUE(context.readPixels(picture));
    ASSERT_EQ(picture.size(), 64u * 64 * 4);
    const std::size_t top = (2 * 64 + 32) * 4, bottom = (61 * 64 + 32) * 4;
    EXPECT_EQ(Bytes(picture.begin() + top, picture.begin() + top + 4), (Bytes{0, 255, 0, 255}));
    EXPECT_EQ(Bytes(picture.begin() + bottom, picture.begin() + bottom + 4), (Bytes{255, 0, 0, 255}));
}

TEST(OffscreenContext, TwoContextsKeepTheirOwnFramebuffers) {
    OffscreenContext a, b;
    std::string reason;
    ASSERT_TRUE(a.create(4, 2, &reason)) << reason;
    ASSERT_TRUE(b.create(3, 3, &reason)) << reason;
    ASSERT_TRUE(a.makeCurrent());
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(b.makeCurrent());
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    Bytes pa, pb;
    ASSERT_TRUE(a.readPixels(pa));
    ASSERT_TRUE(b.readPixels(pb));
    ASSERT_EQ(pa.size(), 4u * 2 * 4);
    ASSERT_EQ(pb.size(), 3u * 3 * 4);
    EXPECT_EQ(Bytes(pa.begin(), pa.begin() + 4), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(Bytes(pb.end() - 4, pb.end()), (Bytes{0, 0, 255, 255}));
    // Destroying a context that is not current leaves the current one current.
    a.destroy();
    EXPECT_FALSE(a.valid());
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[2], 1.0f);
    EXPECT_FALSE(a.makeCurrent());
    EXPECT_TRUE(b.readPixels(pb)) << "the other context outlives the first";
    EXPECT_FALSE(a.create(0, 5, &reason));
    EXPECT_TRUE(a.create(2, 2, &reason)) << reason;
}

}  // namespace
}  // namespace qx
