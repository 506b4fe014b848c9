// How reading a mesh treats its textures' images in each loading mode, and where it finds them.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "render/OffscreenContext.h"
#include "skeletal/SkeletalMeshFile.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

// A 24-bit BMP of the given size, every pixel the same colour.
std::vector<std::uint8_t> solidBmp(std::int32_t width, std::int32_t height) {
    test::BmpLayout layout;
    layout.width = width;
    layout.height = height;
    test::Bytes row;
    for (std::int32_t x = 0; x < width; ++x) row.insert(row.end(), {10, 20, 30});
    layout.rows.assign(static_cast<std::size_t>(height), row);
    return test::makeBmp(layout);
}

std::string meshWithTexture(const test::TempDir& dir, const std::string& textureName) {
    SkeletalMesh mesh;
    mesh.textures.resize(1);
    mesh.textures[0].name = textureName;
    mesh.textures[0].auxWord1 = 5;
    std::filesystem::create_directories(dir.path() / "model");
    const std::string path = (dir.path() / "model" / "m.qm1").string();
    EXPECT_TRUE(writeSkeletalMesh(path, mesh));
    return path;
}

// Runs the test body from another current directory and returns to the old one afterwards.
class InDirectory {
public:
    explicit InDirectory(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~InDirectory() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

TEST(MeshTextures, SkipKeepsNamesAndLoadsNoImage) {
    test::TempDir dir;
    const std::string path = meshWithTexture(dir, "skin.bmp");
    test::writeBytes((dir.path() / "model" / "skin.bmp").string(), solidBmp(2, 2));
    const auto mesh = readSkeletalMesh(path, nullptr, ImageLoading::Skip);
    ASSERT_TRUE(mesh);
    const Texture& texture = mesh->textures[0];
    EXPECT_EQ(texture.name, "skin.bmp");
    EXPECT_EQ(texture.auxWord1, 5);
    EXPECT_EQ(texture.width, 0);
    EXPECT_TRUE(texture.pixels.empty());
    EXPECT_EQ(texture.glName, 0u);
}

TEST(MeshTextures, DecodeFindsAnImageBesideTheMeshFromAnyDirectory) {
    test::TempDir dir;
    const std::string path = meshWithTexture(dir, "maps/skin.bmp");
    std::filesystem::create_directory(dir.path() / "model" / "maps");
    test::writeBytes((dir.path() / "model" / "maps" / "skin.bmp").string(), solidBmp(3, 2));
    const InDirectory elsewhere(dir.path());
    const auto mesh = readSkeletalMesh(path, nullptr, ImageLoading::Decode);
    ASSERT_TRUE(mesh);
    const Texture& texture = mesh->textures[0];
    EXPECT_EQ(texture.name, "maps/skin.bmp");
    EXPECT_EQ(texture.width, 3);
    EXPECT_EQ(texture.height, 2);
    EXPECT_EQ(texture.pixels.size(), 3u * 2u * 4u);
}

TEST(MeshTextures, CurrentDirectoryIsTheFallbackAndBesideTheMeshComesFirst) {
    test::TempDir dir;
    const std::string path = meshWithTexture(dir, "skin.bmp");
    test::writeBytes(dir.file("skin.bmp"), solidBmp(4, 1));
    const InDirectory cwd(dir.path());
    auto mesh = readSkeletalMesh(path, nullptr, ImageLoading::Decode);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->textures[0].width, 4);

    test::writeBytes((dir.path() / "model" / "skin.bmp").string(), solidBmp(1, 1));
    mesh = readSkeletalMesh(path, nullptr, ImageLoading::Decode);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->textures[0].width, 1);
}

TEST(MeshTextures, MissingImageStillLoadsTheMesh) {
    test::TempDir dir;
    const std::string path = meshWithTexture(dir, "nowhere.png");
    const auto mesh = readSkeletalMesh(path, nullptr, ImageLoading::Decode);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->textures[0].name, "nowhere.png");
    EXPECT_TRUE(mesh->textures[0].pixels.empty());
}

TEST(MeshTextures, UploadWithoutAContextLeavesTexturesNameless) {
    test::TempDir dir;
    const std::string path = meshWithTexture(dir, "skin.bmp");
    test::writeBytes((dir.path() / "model" / "skin.bmp").string(), solidBmp(2, 2));
    const auto mesh = readSkeletalMesh(path, nullptr, ImageLoading::Upload);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->textures[0].glName, 0u);
    EXPECT_TRUE(mesh->textures[0].pixels.empty());
    EXPECT_EQ(mesh->textures[0].name, "skin.bmp");
}

TEST(MeshTextures, UploadCreatesTexturesInTheCurrentContext) {
    OffscreenContext context;
    std::string reason;
    ASSERT_TRUE(context.create(16, 16, &reason)) << reason;
    test::TempDir dir;
    const std::string path = meshWithTexture(dir, "skin.bmp");
    test::writeBytes((dir.path() / "model" / "skin.bmp").string(), solidBmp(4, 2));
    const auto mesh = readSkeletalMesh(path, &reason, ImageLoading::Upload);
    ASSERT_TRUE(mesh) << reason;
    const Texture& texture = mesh->textures[0];
    ASSERT_NE(texture.glName, 0u);
    EXPECT_EQ(glIsTexture(texture.glName), GL_TRUE);
    EXPECT_TRUE(texture.pixels.empty());  // released once uploaded
    texture.bind();
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 2);
}

}  // namespace
}  // namespace qx
