#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "math/Matrix.h"
#include "math/Matrix3.h"
#include "math/Trig.h"

namespace qx {
namespace {

constexpr float HalfPi = std::numbers::pi_v<float> / 2.0f;

void expectVectorNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectMatrixNear(const Matrix& actual, const Matrix& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(actual.m[i][j], expected.m[i][j], tolerance) << i << "," << j;
}

bool bitIdentical(const Matrix& a, const Matrix& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(RotationConvention, PositiveAngleAboutZTurnsXTowardY) {
    expectVectorNear(transform(UnitX, Matrix3::rotationZ(HalfPi)), UnitY);
    expectVectorNear(transform(UnitY, Matrix3::rotationX(HalfPi)), UnitZ);
    expectVectorNear(transform(UnitZ, Matrix3::rotationY(HalfPi)), UnitX);
}

TEST(RotationConvention, AxisBuilderAgreesWithAxisSpecificBuilders) {
    const float angle = 0.7f;
    const Matrix3 pairs[][2] = {{Matrix3::rotationAxis(angle, UnitX), Matrix3::rotationX(angle)},
                                {Matrix3::rotationAxis(angle, UnitY), Matrix3::rotationY(angle)},
                                {Matrix3::rotationAxis(angle, UnitZ), Matrix3::rotationZ(angle)}};
    for (const auto& pair : pairs)
        for (int i = 0; i < 3; ++i) expectVectorNear(pair[0].row(i), pair[1].row(i));
}

TEST(RotationConvention, ProductAppliesLeftOperandFirst) {
    // Rotate +X onto +Y, then translate by (5, 0, 0): the point lands at (5, 1, 0).
    Matrix translate;
    translate.setRow(3, {5.0f, 0.0f, 0.0f});
    const Matrix both = product(Matrix::rotationZ(HalfPi), translate);
    expectVectorNear(transformPoint(UnitX, both), {5.0f, 1.0f, 0.0f});
    EXPECT_FLOAT_EQ(both.m[3][3], 1.0f);
    EXPECT_FLOAT_EQ(both.m[0][3], 0.0f);
}

TEST(RotationConvention, InPlaceRotationEqualsProductAndTurnsTranslationRow) {
    Matrix m = Matrix::rotationX(0.3f);
    m.setRow(3, {1.0f, 2.0f, 3.0f});
    const Matrix expected = product(m, Matrix::rotationZ(0.9f));
    m.rotateZ(0.9f);
    expectMatrixNear(m, expected);

    Matrix axis = Matrix::rotationY(0.2f);
    axis.setRow(3, {1.0f, 0.0f, 0.0f});
    const Vector3 tilted = normalize(Vector3{1.0f, 1.0f, 0.0f});
    const Matrix expectedAxis = product(axis, Matrix::rotationAxis(0.4f, tilted));
    axis.rotateAxis(0.4f, tilted);
    expectMatrixNear(axis, expectedAxis);
}

TEST(RotationConvention, ZeroAngleChangesNothingNotEvenRounding) {
    Matrix m = Matrix::rotationAxis(0.123f, normalize(Vector3{1.0f, 2.0f, 3.0f}));
    m.setRow(3, {0.1f, 0.2f, 0.3f});
    const Matrix before = m;
    m.rotateX(0.0f);
    m.rotateY(0.0f);
    m.rotateZ(0.0f);
    m.rotateAxis(0.0f, UnitX);
    EXPECT_TRUE(bitIdentical(m, before));
    EXPECT_TRUE(bitIdentical(Matrix::rotationAxis(0.0f, UnitY), Matrix::identity()));
    EXPECT_TRUE(bitIdentical(Matrix::rotationZ(0.0f), Matrix::identity()));
    EXPECT_EQ(Matrix3::rotationX(0.0f), Matrix3::identity());
}

TEST(MatrixOperations, DeterminantTransposeRowsAndColumns) {
    EXPECT_NEAR(Matrix3::rotationAxis(1.1f, normalize(Vector3{3, -1, 2})).determinant(), 1.0f, 1e-6f);
    Matrix3 scale;
    scale.setRow(0, {2, 0, 0});
    scale.setRow(1, {0, 3, 0});
    scale.setRow(2, {0, 0, 4});
    EXPECT_FLOAT_EQ(scale.determinant(), 24.0f);

    Matrix m;
    m.setRow(3, {7.0f, 8.0f, 9.0f});
    m.transpose();
    EXPECT_EQ(m.column(3), (Vector3{7.0f, 8.0f, 9.0f}));
    EXPECT_EQ(m.m[3][0], 0.0f);
}

TEST(MatrixOperations, NormalizeLeavesZeroVectorUnchanged) {
    Vector3 zero;
    zero.normalize();
    EXPECT_EQ(zero, ZeroVector);
    expectVectorNear(normalize(Vector3{3.0f, 0.0f, 4.0f}), {0.6f, 0.0f, 0.8f});
}

TEST(BoneFrame, BoneAlongZWithRollAlongYIsIdentity) {
    expectMatrixNear(Matrix::fromBonePoints({0, 0, 0}, {0, 0, 1}, {0, 1, 0}), Matrix::identity(), 0.0f);
}

TEST(BoneFrame, OffsetBoneAlongZIsPureTranslation) {
    Matrix expected;
    expected.setRow(3, {-1.0f, -2.0f, -3.0f});
    expectMatrixNear(Matrix::fromBonePoints({1, 2, 3}, {1, 2, 4}, {1, 3, 3}), expected, 0.0f);
}

TEST(BoneFrame, MapsStartToOriginEndOntoZAndRollIntoPositiveY) {
    const Vector3 start{1.0f, -2.0f, 0.5f}, end{4.0f, 2.0f, 0.5f}, roll{1.0f, -2.0f, 3.0f};
    const Matrix m = Matrix::fromBonePoints(start, end, roll);
    expectVectorNear(transformPoint(start, m), ZeroVector, 1e-5f);
    expectVectorNear(transformPoint(end, m), {0.0f, 0.0f, 5.0f}, 1e-5f);
    const Vector3 r = transformPoint(roll, m);
    EXPECT_NEAR(r.x, 0.0f, 1e-5f);
    EXPECT_GT(r.y, 0.0f);
    expectMatrixNear(product(m, Matrix::rigidInverse(m)), Matrix::identity());
    expectMatrixNear(product(Matrix::rigidInverse(m), m), Matrix::identity());
}

TEST(BoneFrame, BonePointingDownZStaysAProperRotation) {
    const Matrix m = Matrix::fromBonePoints({0, 0, 2}, {0, 0, 0}, {0, 1, 2});
    expectVectorNear(transformPoint({0, 0, 0}, m), {0.0f, 0.0f, 2.0f}, 1e-5f);
    Matrix3 rotation;
    for (int i = 0; i < 3; ++i) rotation.setRow(i, m.row(i));
    EXPECT_NEAR(rotation.determinant(), 1.0f, 1e-5f);
    EXPECT_GT(transformPoint({0, 1, 2}, m).y, 0.0f);
}

TEST(BoneFrame, DegenerateBoneGivesFiniteMatrix) {
    const Matrix m = Matrix::fromBonePoints({1, 1, 1}, {1, 1, 1}, {1, 1, 1});
    for (const auto& row : m.m)
        for (float v : row) EXPECT_TRUE(std::isfinite(v));
}

TEST(AlignZ, TakesDirectionOntoZAndUpIntoPositiveY) {
    const Vector3 direction = normalize(Vector3{1.0f, 1.0f, 1.0f});
    Matrix3 m;
    m.alignZ(direction, {0.0f, 0.0f, 1.0f});
    expectVectorNear(transform(direction, m), UnitZ);
    const Vector3 up = transform({0.0f, 0.0f, 1.0f}, m);
    EXPECT_NEAR(up.x, 0.0f, 1e-6f);
    EXPECT_GT(up.y, 0.0f);

    Matrix3 straight;
    straight.alignZ(UnitZ, UnitY);
    EXPECT_EQ(straight, Matrix3::identity());
}

TEST(RigidInverse, UndoesRotationAndTranslation) {
    Matrix m = Matrix::rotationAxis(0.8f, normalize(Vector3{1, 2, 2}));
    m.setRow(3, {3.0f, -4.0f, 5.0f});
    const Vector3 p{0.5f, 0.25f, -2.0f};
    expectVectorNear(transformPoint(transformPoint(p, m), Matrix::rigidInverse(m)), p, 1e-5f);
}

}  // namespace
}  // namespace qx
