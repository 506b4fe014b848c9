#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "render/Camera.h"
#include "render/Lighting.h"
#include "render/OffscreenContext.h"
#include "skeletal/SkeletalModel.h"
#include "vertex/VertexModel.h"

namespace qx {
namespace {

// Half the height of the picture at unit distance for the 45 degree field of view:
// 2 tan(22.5 degrees).
constexpr float TwoTan = 0.8284271f;

void expectVector(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(CameraMeasure, BoxOfThePositions) {
    Camera camera;
    measureBox(camera, {{-1, 2, 3}, {3, -2, 5}, {1, 0, 4}});
    expectVector(camera.extent, {4, 4, 2});
    expectVector(camera.centre, {1, 0, 4});

    measureBox(camera, {{7, 8, 9}});
    expectVector(camera.extent, {0, 0, 0});
    expectVector(camera.centre, {7, 8, 9});

    measureBox(camera, {});
    expectVector(camera.extent, {1, 1, 1});
    expectVector(camera.centre, {0, 0, 0});
}

TEST(CameraMeasure, ModelsAreMeasuredByTheirFirstMeshOrFrame) {
    Camera camera;
    VertexModel vertex;
    vertex.vertexCount = 2;
    vertex.frames = {ModelFrame{"a", {{{0, 0, 0}, {}}, {{2, 4, 6}, {}}}},
                     ModelFrame{"b", {{{-50, 0, 0}, {}}, {{50, 0, 0}, {}}}}};
    measureModel(camera, vertex);
    expectVector(camera.extent, {2, 4, 6});
    expectVector(camera.centre, {1, 2, 3});

    SkeletalModel skeletal;
    auto first = std::make_unique<SkeletalMesh>();
    first->positions = {{-1, -1, -1}, {1, 3, 1}};
    auto second = std::make_unique<SkeletalMesh>();
    second->positions = {{-100, 0, 0}, {100, 0, 0}};
    skeletal.addMesh(std::move(first));
    skeletal.addMesh(std::move(second));
    measureModel(camera, skeletal);
    expectVector(camera.extent, {2, 4, 2});
    expectVector(camera.centre, {0, 1, 0});
}

Camera fitted(float width, float height, const Vector3& extent, const Vector3& centre) {
    Camera camera;
    camera.width = width;
    camera.height = height;
    camera.extent = extent;
    camera.centre = centre;
    fitCamera(camera);
    return camera;
}

TEST(CameraFit, TallModelFitsItsHeightAndIsCentred) {
    const Camera camera = fitted(640, 480, {2, 4, 1}, {1, 2, 3});
    EXPECT_EQ(camera.extent.y, 4.0f);
    // 4 / (2 tan 22.5) = 4.828427 back, one depth more, then the centre's z.
    expectVector(camera.translation, {-1, -2, -4.0f / TwoTan - 1.0f - 3.0f});
    EXPECT_FLOAT_EQ(camera.nearClip, 0.1f);
    EXPECT_FLOAT_EQ(camera.farClip, 100.0f);
}

TEST(CameraFit, WideModelWidensItsHeightToTheWindowsAspect) {
    const Camera camera = fitted(640, 480, {8, 2, 1}, {0, 0, 0});
    EXPECT_FLOAT_EQ(camera.extent.y, 6.0f);  // 8 x 480 / 640
    EXPECT_NEAR(camera.translation.z, -6.0f / TwoTan - 1.0f, 1e-5f);
}

TEST(CameraFit, FlatOrShapelessModelsStillGetAProjection) {
    Camera flat = fitted(640, 480, {2, 2, 0}, {0, 0, 0});
    const float distance = 2.0f / TwoTan;
    EXPECT_NEAR(flat.translation.z, -distance, 1e-5f);
    EXPECT_NEAR(flat.nearClip, distance * 0.1f, 1e-5f);
    EXPECT_NEAR(flat.farClip, distance * 100.0f, 1e-3f);

    // A line along z takes its length as its height; a point takes 1.
    const Camera line = fitted(640, 480, {0, 0, 3}, {0, 0, 0});
    EXPECT_EQ(line.extent.y, 3.0f);
    EXPECT_FLOAT_EQ(line.nearClip, 0.3f);
    const Camera point = fitted(640, 480, {0, 0, 0}, {5, 5, 5});
    EXPECT_EQ(point.extent.y, 1.0f);
    EXPECT_GT(point.nearClip, 0.0f);
    EXPECT_LT(point.translation.z, -5.0f);
}

TEST(CameraFit, ZeroSizedWindowSkipsTheWidthTest) {
    const Camera camera = fitted(640, 0, {8, 2, 1}, {0, 0, 0});
    EXPECT_EQ(camera.extent.y, 2.0f);
    EXPECT_TRUE(std::isfinite(camera.translation.z));
}

class CameraGl : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(context.create(16, 16, &reason)) << reason;
    }

    static std::array<float, 16> matrix(GLenum which) {
        std::array<float, 16> m{};
        glGetFloatv(which, m.data());
        return m;
    }

    OffscreenContext context;
};

TEST_F(CameraGl, ProjectionFromTheFieldOfViewAndClipDistances) {
    Camera camera;
    camera.width = 200.7f;  // truncated
    camera.height = 100;
    camera.nearClip = 1;
    camera.farClip = 100;
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    applyProjection(camera);

    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 200, 100}));
    const auto p = matrix(GL_PROJECTION_MATRIX);
    const float f = 2.0f / TwoTan;  // cot 22.5
    EXPECT_NEAR(p[0], f / 2.0f, 1e-5f);
    EXPECT_NEAR(p[5], f, 1e-5f);
    EXPECT_NEAR(p[10], -101.0f / 99.0f, 1e-5f);
    EXPECT_NEAR(p[11], -1.0f, 1e-6f);
    EXPECT_NEAR(p[14], -200.0f / 99.0f, 1e-5f);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), (std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    camera.height = 0;  // counted as 1
    applyProjection(camera);
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 200, 1}));
    EXPECT_NEAR(matrix(GL_PROJECTION_MATRIX)[0], f / 200.0f, 1e-6f);
}

TEST_F(CameraGl, TransformTurnsAboutYThenXThenZAndThenTranslates) {
    Camera camera;
    camera.translation = {1, 2, -10};
    camera.rotationX = 90;
    camera.rotationY = 90;
    glMatrixMode(GL_MODELVIEW);
    glScalef(5, 5, 5);  // replaced, not combined
    applyCameraTransform(camera);
    const auto m = matrix(GL_MODELVIEW_MATRIX);
    // (1, 0, 0): about y to (0, 0, -1), about x to (0, 1, 0), moved to (1, 3, -10).
    const Vector3 moved{m[0] + m[12], m[1] + m[13], m[2] + m[14]};
    expectVector(moved, {1, 3, -10});

    camera.rotationX = 0;
    camera.rotationY = 0;
    camera.rotationZ = 90;
    applyCameraTransform(camera);
    const auto z = matrix(GL_MODELVIEW_MATRIX);
    expectVector({z[0] + z[12], z[1] + z[13], z[2] + z[14]}, {1, 3, -10});
}

TEST_F(CameraGl, LightingSetsAmbientEmissionSpecularAndBackground) {
    LightingSettings settings;
    settings.ambient = 0.25f;
    settings.specular = 0.5f;
    settings.red = 255;
    settings.green = 0;
    settings.blue = 51;
    applyLighting(settings);
    std::array<float, 4> v{};
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, v.data());
    EXPECT_EQ(v, (std::array<float, 4>{0.25f, 0.25f, 0.25f, 0.0f}));
    glGetMaterialfv(GL_FRONT, GL_EMISSION, v.data());
    EXPECT_EQ(v, (std::array<float, 4>{0.25f, 0.25f, 0.25f, 1.0f}));
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, v.data());
    EXPECT_EQ(v, (std::array<float, 4>{0.5f, 0.5f, 0.5f, 0.0f}));
    glGetFloatv(GL_COLOR_CLEAR_VALUE, v.data());
    EXPECT_NEAR(v[0], 1.0f, 1e-6f);
    EXPECT_EQ(v[1], 0.0f);
    EXPECT_NEAR(v[2], 0.2f, 1e-6f);
    EXPECT_EQ(v[3], 1.0f);
}

}  // namespace
}  // namespace qx
