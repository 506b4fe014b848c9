#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "math/Quaternion.h"
#include "math/Trig.h"

namespace qx {
namespace {

TEST(DegreeFactor, IsTheProgramsFloatNotPiOver180) {
    const float factor = DegreeFactor;
    std::uint32_t bits = 0;
    std::memcpy(&bits, &factor, 4);
    EXPECT_EQ(bits, 0x3C8EFA39u);
    EXPECT_GT(factor, static_cast<float>(std::numbers::pi / 180.0));
}

TEST(Quaternion, NinetyDegreesAboutZMatchesRotationByTheProgramsFactor) {
    const Matrix3 fromQuaternion = toMatrix3(Quaternion::fromAxisDegrees(UnitZ, 90.0f, false));
    const Matrix3 byFactor = Matrix3::rotationZ(90.0f * DegreeFactor);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(fromQuaternion.m[i][j], byFactor.m[i][j], 2e-7f);
    // The factor is a little above pi/180, so the diagonal is clearly not cos(pi/2).
    const float exactCos = Matrix3::rotationZ(std::numbers::pi_v<float> / 2).m[0][0];
    EXPECT_GT(std::fabs(fromQuaternion.m[0][0] - exactCos), 5e-7f);
}

TEST(Quaternion, SetNormalizesOnRequestAndAxisIsNotNormalized) {
    Quaternion q;
    q.set(0.0f, 0.0f, 3.0f, 4.0f, true);
    EXPECT_FLOAT_EQ(q.z, 0.6f);
    EXPECT_FLOAT_EQ(q.w, 0.8f);
    const Quaternion scaled = Quaternion::fromAxisDegrees({0.0f, 0.0f, 2.0f}, 60.0f, false);
    EXPECT_NEAR(scaled.z, 2.0f * 0.5f, 1e-5f);
    const Quaternion unit = Quaternion::fromAxisDegrees({0.0f, 0.0f, 2.0f}, 60.0f, true);
    EXPECT_NEAR(unit.x * unit.x + unit.y * unit.y + unit.z * unit.z + unit.w * unit.w, 1.0f, 1e-6f);
}

TEST(Quaternion, MatrixFormRotatesLikeTheAxisBuilder) {
    const Vector3 axis = normalize(Vector3{1.0f, -2.0f, 0.5f});
    const Matrix3 fromQuaternion = toMatrix3(Quaternion::fromAxisDegrees(axis, 40.0f, false));
    const Matrix3 fromAxis = Matrix3::rotationAxis(40.0f * DegreeFactor, axis);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(fromQuaternion.m[i][j], fromAxis.m[i][j], 1e-6f);

    Matrix m;
    m.setRow(3, {1.0f, 0.0f, 0.0f});
    m.multiplyByQuaternion(Quaternion::fromAxisDegrees(UnitZ, 90.0f, false));
    EXPECT_NEAR(m.m[3][1], 1.0f, 1e-5f);  // the translation turned with the rest
    EXPECT_EQ(toMatrix(IdentityQuaternion), Matrix::identity());
}

TEST(Slerp, EndpointsAndHalfway) {
    const Quaternion a = IdentityQuaternion;
    const Quaternion b = Quaternion::fromAxisDegrees(UnitZ, 90.0f, false);
    const Quaternion start = slerp(a, b, 0.0f), end = slerp(a, b, 1.0f);
    EXPECT_NEAR(start.w, a.w, 1e-6f);
    EXPECT_NEAR(end.z, b.z, 1e-6f);
    EXPECT_NEAR(end.w, b.w, 1e-6f);
    const Quaternion half = slerp(a, b, 0.5f);
    const Quaternion expected = Quaternion::fromAxisDegrees(UnitZ, 45.0f, false);
    EXPECT_NEAR(half.z, expected.z, 1e-5f);
    EXPECT_NEAR(half.w, expected.w, 1e-5f);
}

TEST(Slerp, NearlyEqualQuaternionsReturnTheFirstForEveryT) {
    const Quaternion a{0.0f, 0.0f, 0.0f, 1.0f};
    const Quaternion b{0.0f, 0.0f, 0.00001f, 1.0f};
    for (float t : {0.0f, 0.3f, 1.0f}) EXPECT_EQ(slerp(a, b, t), a);
    // Rounding can push the dot product of a unit quaternion with itself above 1: no NaN.
    const Quaternion u = Quaternion::fromAxisDegrees(normalize(Vector3{1, 1, 1}), 33.0f, true);
    EXPECT_EQ(slerp(u, u, 0.5f), u);
}

TEST(Slerp, FollowsTheArcAsGivenWithoutNegating) {
    // The dot product is -0.8: the short way would negate b and give a negative z halfway.
    // Along the arc as given: theta = acos(-0.8), and halfway is (a + b) * sin(theta/2) / sin(theta).
    const Quaternion a = IdentityQuaternion;
    const Quaternion b{0.0f, 0.0f, 0.6f, -0.8f};
    const Quaternion mid = slerp(a, b, 0.5f);
    const float factor = std::sin(std::acos(-0.8f) / 2.0f) / 0.6f;
    EXPECT_NEAR(mid.z, 0.6f * factor, 1e-5f);
    EXPECT_NEAR(mid.w, 0.2f * factor, 1e-5f);
    EXPECT_GT(mid.z, 0.0f);
}

}  // namespace
}  // namespace qx
