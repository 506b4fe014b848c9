// The committed vertex model sample: that it is what the generator writes, and that the viewer
// can show it (frames, animations, commands inside the vertices, a decodable skin beside it).

#include <gtest/gtest.h>

#include <map>

#include "render/OffscreenContext.h"
#include "scene/OpenFile.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "vertex/VertexModelFile.h"

namespace qx {
namespace {

std::string samplePath(const std::string& name) { return (test::sourceDir() / "samples" / name).string(); }

TEST(VertexSample, CommittedFilesAreTheGeneratorsOutput) {
    test::TempDir dir;
    const std::string samplegen = (std::filesystem::path(test::qxtoolPath()).parent_path() / "samplegen").string();
    const auto run = test::runCommand("'" + samplegen + "' '" + dir.path().string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* name : {"flag.qv1", "flag.bmp"}) {
        EXPECT_EQ(test::readBytes(dir.file(name)), test::readBytes(samplePath(name)))
            << name << " differs from a fresh run of samplegen: regenerate samples/";
    }
}

TEST(VertexSample, FlagHasNamedAnimationsOfStripsAndFansAndItsSkin) {
    std::string reason;
    const auto model = readVertexModelToShow(samplePath("flag.qv1"), &reason, ImageLoading::Decode);
    ASSERT_TRUE(model) << reason;
    std::map<std::string, int> animations;
    for (const ModelFrame& frame : model->frames) {
        ASSERT_GE(frame.name.size(), 3u);
        ++animations[frame.name.substr(0, frame.name.size() - 2)];
    }
    EXPECT_EQ(animations, (std::map<std::string, int>{{"wave", 12}, {"flap", 8}, {"droop", 6}}));
    EXPECT_EQ(model->frames.front().name, "wave01");
    int strips = 0, fans = 0;
    for (const DrawCommand& command : model->commands) {
        (command.type == TriangleStrip ? strips : fans) += 1;
        EXPECT_GE(command.vertices.size(), 3u);
        for (const CommandVertex& v : command.vertices) {
            EXPECT_GE(v.vertexIndex, 0);
            EXPECT_LT(v.vertexIndex, model->vertexCount);
            EXPECT_GE(v.s, 0.0f);
            EXPECT_LE(v.s, 1.0f);
            EXPECT_GE(v.t, 0.0f);
            EXPECT_LE(v.t, 1.0f);
        }
    }
    EXPECT_GT(strips, 0);
    EXPECT_GT(fans, 0);
    // Every normal is a unit vector, so the flag lights evenly.
    for (const ModelFrame& frame : model->frames)
        for (const FrameVertex& v : frame.vertices) EXPECT_NEAR(dot(v.normal, v.normal), 1.0f, 1e-5f);
    // The skin beside it, a 24-bit bitmap, decodes.
    EXPECT_EQ(model->skin.width, 128);
    EXPECT_EQ(model->skin.height, 64);
    EXPECT_EQ(model->skin.pixels.size(), 128u * 64u * 4u);
}

TEST(VertexSample, ReadWithAContextCurrentItsSkinBecomesATexture) {
    OffscreenContext context;
    std::string reason;
    if (!context.create(16, 16, &reason)) GTEST_SKIP() << "no off-screen GL here: " << reason;
    const auto model = readVertexModelToShow(samplePath("flag.qv1"), &reason, ImageLoading::Upload);
    ASSERT_TRUE(model) << reason;
    EXPECT_NE(model->skin.glName, 0u);
    EXPECT_TRUE(model->skin.pixels.empty());  // the model keeps only the GL texture
}

}  // namespace
}  // namespace qx
