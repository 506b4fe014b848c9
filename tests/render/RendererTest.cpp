#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "animation/SkeletalDrawable.h"
#include "render/ImageDecoders.h"
#include "render/OffscreenContext.h"
#include "render/Renderer.h"
#include "tests/support/FlatModels.h"
#include "tests/support/ImageFiles.h"
#include "vertex/VertexInstance.h"

namespace qx {
namespace {

using Rgb = std::array<int, 3>;

constexpr int Size = 64;
// Pixel centres of the four quarters of the picture, as (column, row from the top).
constexpr int Low = 16;
constexpr int High = 48;

const Rgb Background{0, 0, 0};
const Rgb Red{255, 0, 0};
const Rgb Green{0, 255, 0};
const Rgb Blue{0, 0, 255};
const Rgb Yellow{255, 255, 0};

// An 8 x 8 bitmap in four solid quarters as a person sees it: red top left, green top right,
// blue bottom left, yellow bottom right. Quarters of 4 x 4 texels keep linear filtering from
// mixing colours at the quarter centres.
test::Bytes quarterBitmap() {
    test::BmpLayout layout;
    layout.width = 8;
    layout.height = 8;
    // Bitmap rows run bottom first, pixels B, G, R.
    for (int fileRow = 0; fileRow < 8; ++fileRow) {
        const bool top = fileRow >= 4;
        test::Bytes row;
        for (int x = 0; x < 8; ++x) {
            const Rgb c = top ? (x < 4 ? Red : Green) : (x < 4 ? Blue : Yellow);
            row.insert(row.end(), {std::uint8_t(c[2]), std::uint8_t(c[1]), std::uint8_t(c[0])});
        }
        layout.rows.push_back(row);
    }
    return test::makeBmp(layout);
}

void uploadQuarters(Texture& texture) {
    const test::Bytes file = quarterBitmap();
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), texture));
    texture.upload();
    texture.releasePixels();
    ASSERT_NE(texture.glName, 0u);
}

// A drawable of neither known kind.
class OtherDrawable : public Drawable {
public:
    int kind() const override { return 2; }
};

// A skeletal drawable of a mesh in its rest shape, as a first update would leave it.
std::unique_ptr<SkeletalDrawable> restDrawable(const SkeletalMesh& mesh) {
    auto d = std::make_unique<SkeletalDrawable>(mesh);
    d->positions = mesh.positions;
    d->normals = mesh.normals;
    return d;
}

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(context.create(Size, Size, &reason)) << reason;
    }

    // The square -1..1 fills the picture; z from -1 to 1 is inside the clip volume.
    static void flatView() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    void drawFrame(Renderer& renderer) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderer.drawAll();
        renderer.clear();
        ASSERT_TRUE(context.readPixels(pixels));
    }

    Rgb at(int column, int row) const {
        const std::size_t i = (static_cast<std::size_t>(row) * Size + static_cast<std::size_t>(column)) * 4;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    OffscreenContext context;
    std::vector<std::uint8_t> pixels;
};

// Each channel within tolerance of the expected value.
::testing::AssertionResult near(const Rgb& actual, const Rgb& expected, int tolerance = 2) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(actual[i] - expected[i]) > tolerance)
            return ::testing::AssertionFailure()
                   << "got (" << actual[0] << ", " << actual[1] << ", " << actual[2] << "), expected (" << expected[0]
                   << ", " << expected[1] << ", " << expected[2] << ")";
    return ::testing::AssertionSuccess();
}

GLint integer(GLenum what) {
    GLint value = -1;
    glGetIntegerv(what, &value);
    return value;
}

std::array<float, 4> floats4(GLenum what) {
    std::array<float, 4> v{-1, -1, -1, -1};
    glGetFloatv(what, v.data());
    return v;
}

std::array<float, 4> light0(GLenum what) {
    std::array<float, 4> v{-1, -1, -1, -1};
    glGetLightfv(GL_LIGHT0, what, v.data());
    return v;
}

TEST_F(RendererTest, ConstructionSetsTheDrawingState) {
    Renderer renderer;
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(renderer.isEnabled(i)) << i;
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(integer(GL_ALPHA_TEST_FUNC), GL_GREATER);
    EXPECT_EQ(floats4(GL_ALPHA_TEST_REF)[0], 0.0f);
    EXPECT_EQ(integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(floats4(GL_COLOR_CLEAR_VALUE), (std::array<float, 4>{0, 0, 0, 1}));
    EXPECT_EQ(floats4(GL_DEPTH_CLEAR_VALUE)[0], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(light0(GL_POSITION), (std::array<float, 4>{0, 0, 1, 0}));
    EXPECT_EQ(light0(GL_DIFFUSE), (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_FACE), GL_FRONT);
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_PARAMETER), GL_DIFFUSE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RendererTest, LightDirectionGoesThroughTheModelviewOfConstruction) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);  // turns +z onto +x
    Renderer renderer;
    const auto position = light0(GL_POSITION);
    EXPECT_NEAR(position[0], 1.0f, 1e-6f);
    EXPECT_NEAR(position[1], 0.0f, 1e-6f);
    EXPECT_NEAR(position[2], 0.0f, 1e-6f);
    EXPECT_EQ(position[3], 0.0f);
}

TEST_F(RendererTest, SetStateSwitchesItsGlEffectAndIgnoresOtherIndices) {
    Renderer renderer;
    renderer.setState(Renderer::Lighting, false);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    renderer.setState(Renderer::Texturing, false);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    renderer.setState(Renderer::DepthWrites, false);
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_FALSE);
    renderer.setState(Renderer::Culling, false);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(renderer.isEnabled(i)) << i;

    renderer.setState(Renderer::DepthWrites, true);
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_TRUE(renderer.isEnabled(Renderer::DepthWrites));
    renderer.setState(Renderer::Culling, true);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    for (const int index : {-1, 4, 1000}) {
        renderer.setState(index, true);
        EXPECT_FALSE(renderer.isEnabled(index)) << index;
    }
    EXPECT_FALSE(renderer.isEnabled(Renderer::Lighting));
    EXPECT_FALSE(renderer.isEnabled(Renderer::Texturing));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RendererTest, ANewContextGetsTheSameState) {
    Renderer renderer;
    renderer.setState(Renderer::Texturing, false);
    renderer.setState(Renderer::Culling, false);

    OffscreenContext second;
    ASSERT_TRUE(second.create(8, 8));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));  // a fresh context knows nothing of the renderer
    renderer.applyToCurrentContext();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(light0(GL_POSITION), (std::array<float, 4>{0, 0, 1, 0}));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));

    // The switches reach only the context current at the call.
    renderer.setState(Renderer::Lighting, false);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    ASSERT_TRUE(context.makeCurrent());
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(RendererTest, UntexturedBatchShowsItsMaterialColour) {
    flatView();
    Renderer renderer;
    renderer.setState(Renderer::Lighting, false);
    test::FlatMesh flat;
    flat.square(-1, -1, 0, 1, flat.material({0.2f, 0.4f, 0.6f}));
    flat.square(0, -1, 1, 1, flat.material({1.0f, 0.0f, 0.5f}));
    const SkeletalMesh mesh = flat.build();
    const auto d = restDrawable(mesh);
    renderer.submit(*d);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(Low, Low), {51, 102, 153}));
    EXPECT_TRUE(near(at(Low, High), {51, 102, 153}));
    EXPECT_TRUE(near(at(High, Low), {255, 0, 128}));
}

TEST_F(RendererTest, TexturedSquareShowsItsTextureUpright) {
    flatView();
    Renderer renderer;
    // Lit from the viewer's side with a white material the texels come through unchanged: the
    // lit colour 1 + 0.2 x 0.2 of ambient is clamped to 1.
    test::FlatMesh flat;
    flat.square(-1, -1, 1, 1, flat.material({1, 1, 1}), flat.texture("quarters.bmp"));
    SkeletalMesh mesh = flat.build();
    uploadQuarters(mesh.textures[0]);
    const auto d = restDrawable(mesh);
    renderer.submit(*d);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(Low, Low), Red));
    EXPECT_TRUE(near(at(High, Low), Green));
    EXPECT_TRUE(near(at(Low, High), Blue));
    EXPECT_TRUE(near(at(High, High), Yellow));
}

TEST_F(RendererTest, UntexturedGroupAfterATexturedOneIsNotTinted) {
    flatView();
    Renderer renderer;
    test::FlatMesh flat;
    flat.square(-1, -1, 0, 1, flat.material({1, 1, 1}), flat.texture("quarters.bmp"));
    flat.square(0, -1, 1, 1, flat.material({0.2f, 0.4f, 0.6f}));
    SkeletalMesh mesh = flat.build();
    ASSERT_EQ(mesh.renderGroups.size(), 2u);
    ASSERT_EQ(mesh.renderGroups[1].textureIndex, -1);
    uploadQuarters(mesh.textures[0]);
    const auto d = restDrawable(mesh);
    renderer.submit(*d);
    drawFrame(renderer);
    // The left half shows the texture's left column; the right half material plus the 0.04 of
    // ambient light (0.2 of the light model times the material's default 0.2).
    // Column 8 samples the texture at s = 0.27, in its left quarters.
    EXPECT_TRUE(near(at(8, Low), Red));
    EXPECT_TRUE(near(at(8, High), Blue));
    EXPECT_TRUE(near(at(High, Low), {61, 112, 163}));
    EXPECT_TRUE(near(at(High, High), {61, 112, 163}));

    // A group whose texture is not in the list is drawn as an untextured one.
    mesh.renderGroups[0].textureIndex = 3;
    renderer.submit(*d);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(8, Low), {255, 255, 255}));
    EXPECT_TRUE(near(at(High, Low), {61, 112, 163}));
}

TEST_F(RendererTest, FacesWhoseImageIsMissingShowNotTheTextureBoundBefore) {
    flatView();
    Renderer renderer;
    Texture other;
    uploadQuarters(other);  // left bound, as a reader leaves the last texture it uploads
    test::FlatMesh flat;
    flat.square(-1, -1, 1, 1, flat.material({0, 1, 0}), flat.texture("missing.bmp"));
    const SkeletalMesh mesh = flat.build();
    ASSERT_EQ(mesh.textures[0].glName, 0u);
    const auto d = restDrawable(mesh);
    renderer.submit(*d);
    drawFrame(renderer);
    // The green material lit head-on plus the 0.04 of ambient; the bound texture would have
    // turned the top left quarter red times green: black.
    EXPECT_TRUE(near(at(Low, Low), {10, 255, 10}));

    // A vertex model whose skin is missing, every vertex on the other texture's red quarter,
    // shows the current colour lit.
    VertexModel model;
    test::fillFlatVertexModel(model, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}},
                              {{0.25f, 0.75f}, {0.25f, 0.75f}, {0.25f, 0.75f}, {0.25f, 0.75f}}, TriangleFan);
    VertexInstance instance(model);
    glColor3f(0, 0, 1);
    renderer.submit(*instance.update(0.0f));
    drawFrame(renderer);
    EXPECT_TRUE(near(at(Low, Low), {10, 10, 255}));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(RendererTest, WithLightingOrTexturingOffSkeletalMeshesShowMaterialColours) {
    flatView();
    test::FlatMesh flat;
    flat.square(-1, -1, 1, 1, flat.material({0.2f, 0.4f, 0.6f}), flat.texture("quarters.bmp"));
    SkeletalMesh mesh = flat.build();
    uploadQuarters(mesh.textures[0]);
    const auto d = restDrawable(mesh);
    Renderer renderer;
    renderer.setState(Renderer::Lighting, false);
    renderer.submit(*d);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(Low, Low), {51, 102, 153}));
    EXPECT_TRUE(near(at(High, High), {51, 102, 153}));

    renderer.setState(Renderer::Lighting, true);
    renderer.setState(Renderer::Texturing, false);
    renderer.submit(*d);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(Low, Low), {61, 112, 163}));
}

TEST_F(RendererTest, VertexModelShowsItsSkinWithLightingOff) {
    flatView();
    Renderer renderer;
    renderer.setState(Renderer::Lighting, false);
    VertexModel model;
    test::fillFlatVertexModel(model, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
                              TriangleFan);
    uploadQuarters(model.skin);
    VertexInstance instance(model);
    glColor3f(1, 1, 1);
    renderer.submit(*instance.update(0.0f));
    drawFrame(renderer);
    EXPECT_TRUE(near(at(Low, Low), Red));
    EXPECT_TRUE(near(at(High, Low), Green));
    EXPECT_TRUE(near(at(Low, High), Blue));
    EXPECT_TRUE(near(at(High, High), Yellow));
}

TEST_F(RendererTest, CommandTypeOneIsAStripAndEveryOtherTypeAFan) {
    flatView();
    Renderer renderer;
    renderer.setState(Renderer::Lighting, false);
    renderer.setState(Renderer::Texturing, false);
    glColor3f(1, 1, 1);
    // Corners bottom left, bottom right, top right, top left. As a fan they cover the square;
    // as a strip the triangles (0, 1, 2) and (2, 1, 3) leave the left of the anti-diagonal
    // above the diagonal, around (-0.5, 0.25), empty.
    const int column = 16, row = 24;
    for (const std::int32_t type : {TriangleStrip, TriangleFan, 7}) {
        VertexModel model;
        test::fillFlatVertexModel(model, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}},
                                  {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, type);
        VertexInstance instance(model);
        renderer.submit(*instance.update(0.0f));
        drawFrame(renderer);
        EXPECT_TRUE(near(at(column, row), type == TriangleStrip ? Background : Rgb{255, 255, 255})) << type;
        EXPECT_TRUE(near(at(High, High), {255, 255, 255})) << type;
    }
}

TEST_F(RendererTest, CullingRemovesBackFacingSkeletalTrianglesOnlyAndIsRestored) {
    flatView();
    Renderer renderer;
    renderer.setState(Renderer::Lighting, false);
    glColor3f(1, 1, 1);
    // Clockwise as seen from +z: both triangles face away, the skeletal one on the left half,
    // the vertex one on the right.
    test::FlatMesh flat;
    flat.triangle({-1, -1, 0}, {-1, 1, 0}, {0, -1, 0}, flat.material({1, 1, 1}));
    const SkeletalMesh mesh = flat.build();
    const auto skeletal = restDrawable(mesh);
    VertexModel model;
    test::fillFlatVertexModel(model, {{0, -1, 0}, {0, 1, 0}, {1, -1, 0}}, {{0, 0}, {0, 0}, {0, 0}}, TriangleFan);
    VertexInstance instance(model);
    const VertexDrawable* vertex = instance.update(0.0f);
    const int row = 48;  // y = -0.5: inside both triangles near their left edges
    const int left = 8, right = 40;

    renderer.submit(*skeletal);
    renderer.submit(*vertex);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(left, row), Background));
    EXPECT_TRUE(near(at(right, row), {255, 255, 255}));
    EXPECT_TRUE(renderer.isEnabled(Renderer::Culling));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    renderer.setState(Renderer::Culling, false);
    renderer.submit(*skeletal);
    renderer.submit(*vertex);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(left, row), {255, 255, 255}));
    EXPECT_TRUE(near(at(right, row), {255, 255, 255}));
    EXPECT_FALSE(renderer.isEnabled(Renderer::Culling));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(RendererTest, SubmitFilesByKindAndDrawsEachSubmission) {
    flatView();
    Renderer renderer;
    renderer.setState(Renderer::Lighting, false);
    renderer.setState(Renderer::Texturing, false);
    VertexModel model;
    test::fillFlatVertexModel(model, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}, {{0, 0}, {0, 0}, {0, 0}, {0, 0}},
                              TriangleFan);
    VertexInstance instance(model);
    const VertexDrawable* d = instance.update(0.0f);
    const OtherDrawable other;

    renderer.submit(other);
    EXPECT_EQ(renderer.vertexCount() + renderer.skeletalCount(), 0u);
    // Half-transparent white over black: 0.5 after one pass, 0.5 + 0.5 x 0.5 after two.
    glColor4f(1, 1, 1, 0.5f);
    renderer.submit(*d);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(Low, Low), {128, 128, 128}, 1));

    glColor4f(1, 1, 1, 0.5f);
    renderer.submit(*d);
    renderer.submit(other);
    renderer.submit(*d);
    EXPECT_EQ(renderer.vertexCount(), 2u);
    EXPECT_EQ(renderer.skeletalCount(), 0u);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(Low, Low), {191, 191, 191}, 1));

    // drawFrame cleared the lists: nothing is drawn now.
    EXPECT_EQ(renderer.vertexCount(), 0u);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(Low, Low), Background, 0));
}

TEST_F(RendererTest, IndicesOutsideTheirListsAreSkipped) {
    flatView();
    Renderer renderer;
    renderer.setState(Renderer::Lighting, false);
    test::FlatMesh flat;
    const std::int32_t grey = flat.material({0.5f, 0.5f, 0.5f});
    // Top left quarter: a face with a corner outside the positions; below it a good face in the
    // same batch, after it. Right half: a face in a batch whose material is outside the list,
    // in a group whose texture is outside the list.
    const std::int32_t damaged = flat.triangle({-1, 0, 0}, {0, 0, 0}, {0, 1, 0}, grey);
    const std::int32_t good = flat.triangle({-1, -1, 0}, {0, -1, 0}, {0, 0, 0}, grey);
    const std::int32_t loose = flat.triangle({0, -1, 0}, {1, -1, 0}, {1, 1, 0}, grey);
    SkeletalMesh mesh = flat.build();
    mesh.faces[static_cast<std::size_t>(damaged)].positionIndex[1] = 99;
    mesh.renderGroups = {TextureGroup{-1, {MaterialBatch{grey, {42, damaged, -3, good}}}},
                         TextureGroup{5, {MaterialBatch{9, {loose}}}}};
    const auto d = restDrawable(mesh);
    renderer.submit(*d);
    drawFrame(renderer);
    // Centroids of the three faces. Sending the damaged face's two good corners would have
    // made the good face's first corner end a triangle and lost the good face.
    EXPECT_TRUE(near(at(21, 21), Background));
    EXPECT_TRUE(near(at(21, 53), {128, 128, 128}));
    EXPECT_TRUE(near(at(53, 43), {128, 128, 128}));  // in the colour current then

    VertexModel model;
    test::fillFlatVertexModel(model, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}, {{0, 0}, {0, 0}, {0, 0}, {0, 0}},
                              TriangleFan);
    // The drawable's lists are longer than the model's 4 vertices; index 5 is still outside.
    auto& fan = model.commands[0].vertices;
    fan.insert(fan.begin() + 1, {0, 0, 99});
    fan.insert(fan.begin() + 3, {0, 0, -1});
    fan.push_back({0, 0, 5});
    VertexInstance instance(model);
    renderer.submit(*instance.update(0.0f));
    glColor3f(1, 1, 1);
    drawFrame(renderer);
    EXPECT_TRUE(near(at(4, 4), {255, 255, 255}));  // the top left corner: the fan 0, 1, 2, 3 was whole
    EXPECT_TRUE(near(at(60, 60), {255, 255, 255}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Every overlay on, over a boned square and a vertex model: what the overlays change (the
// capabilities, colour, widths, polygon mode, depth function, vertex array) reads as before.
TEST_F(RendererTest, OverlaysLeaveTheDrawingStateAsTheyFoundIt) {
    flatView();
    Renderer renderer;
    OverlayOptions all;
    all.skeleton = all.boneNames = all.normals = all.bounds = all.grid = true;
    all.selectedBone = 0;
    test::FlatMesh flat;
    flat.square(-1, -1, 1, 1, flat.material({1, 0, 0}));
    SkeletalMesh mesh = flat.build();
    mesh.bones[0].start = {0, -0.5f, 0};
    mesh.bones[0].end = {0, 0.5f, 0};
    const auto d = restDrawable(mesh);
    VertexModel model;
    test::fillFlatVertexModel(model, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}}, {{0, 0}, {1, 0}, {1, 1}}, TriangleFan);
    VertexInstance instance(model);
    const auto state = [] {
        std::array<float, 4> colour = floats4(GL_CURRENT_COLOR);
        GLint polygonMode[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, polygonMode);
        return std::vector<float>{float(glIsEnabled(GL_LIGHTING)),
                                  float(glIsEnabled(GL_TEXTURE_2D)),
                                  float(glIsEnabled(GL_CULL_FACE)),
                                  float(glIsEnabled(GL_DEPTH_TEST)),
                                  float(glIsEnabled(GL_POLYGON_OFFSET_LINE)),
                                  float(glIsEnabled(GL_VERTEX_ARRAY)),
                                  float(integer(GL_DEPTH_FUNC)),
                                  floats4(GL_LINE_WIDTH)[0],
                                  floats4(GL_POINT_SIZE)[0],
                                  float(polygonMode[0]),
                                  float(polygonMode[1]),
                                  colour[0],
                                  colour[1],
                                  colour[2]};
    };
    // As the models alone leave it.
    renderer.submit(*d);
    renderer.submit(*instance.update(0.0f));
    drawFrame(renderer);
    const std::vector<float> models = state();
    for (const Wireframe wireframe : {Wireframe::Over, Wireframe::Alone}) {
        all.wireframe = wireframe;
        renderer.setOverlays(all);
        renderer.submit(*d);
        renderer.submit(*instance.update(0.0f));
        drawFrame(renderer);
        EXPECT_EQ(state(), models);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    // The labels were placed: one bone, its midpoint in the middle of the 64-pixel picture.
    ASSERT_EQ(renderer.boneLabels().size(), 1u);
    EXPECT_NEAR(renderer.boneLabels()[0].x, Size / 2.0f, 1.0f);
    EXPECT_NEAR(renderer.boneLabels()[0].y, Size / 2.0f, 1.0f);
}

}  // namespace
}  // namespace qx
