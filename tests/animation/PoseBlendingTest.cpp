#include <gtest/gtest.h>

#include "animation/PoseBlending.h"
#include "tests/support/SkeletonBuilder.h"

namespace qx {
namespace {

Pose pose(const Vector3& translation, const Quaternion& rotation = {}, const Vector3& scale = {1.0f, 1.0f, 1.0f}) {
    Pose p;
    p.translation = translation;
    p.rotation = rotation;
    p.scale = scale;
    return p;
}

void expectNear(const Quaternion& expected, const Quaternion& actual) {
    EXPECT_NEAR(expected.x, actual.x, 1e-5f);
    EXPECT_NEAR(expected.y, actual.y, 1e-5f);
    EXPECT_NEAR(expected.z, actual.z, 1e-5f);
    EXPECT_NEAR(expected.w, actual.w, 1e-5f);
}

TEST(PoseBlending, FirstPoseIsCopiedWithItsWeight) {
    Pose acc;
    blendIn(acc, pose({1.0f, 2.0f, 3.0f}, test::aboutZ(40.0f), {2.0f, 2.0f, 2.0f}), 0.5f);
    EXPECT_EQ(acc.translation, Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(acc.scale, Vector3(2.0f, 2.0f, 2.0f));
    EXPECT_EQ(acc.rotation, test::aboutZ(40.0f));
    EXPECT_EQ(acc.weight, 0.5f);
    EXPECT_FALSE(acc.saturated);
}

TEST(PoseBlending, KeepsTheRunningWeightedMean) {
    Pose acc;
    blendIn(acc, pose({0.0f, 0.0f, 0.0f}, test::aboutZ(0.0f)), 1.0f);
    blendIn(acc, pose({6.0f, 0.0f, 0.0f}, test::aboutZ(90.0f)), 2.0f);
    EXPECT_EQ(acc.weight, 3.0f);
    test::expectNear({4.0f, 0.0f, 0.0f}, acc.translation);
    expectNear(test::aboutZ(60.0f), acc.rotation);
}

TEST(PoseBlending, SaturatedAccumulatorTakesOnlyTheMissingWeight) {
    Pose acc = pose({0.0f, 0.0f, 0.0f});
    acc.weight = 0.75f;
    acc.saturated = true;
    blendIn(acc, pose({8.0f, 0.0f, 0.0f}), 5.0f);
    EXPECT_EQ(acc.weight, 1.0f);
    test::expectNear({2.0f, 0.0f, 0.0f}, acc.translation);
    blendIn(acc, pose({100.0f, 0.0f, 0.0f}), 5.0f);  // full: nothing more gets in
    test::expectNear({2.0f, 0.0f, 0.0f}, acc.translation);
}

TEST(PoseBlending, SaturateClampsOnceTheWeightReachesOne) {
    Pose partial;
    partial.weight = 0.5f;
    EXPECT_FALSE(saturate(partial));
    EXPECT_EQ(partial.weight, 0.5f);
    Pose over;
    over.weight = 1.5f;
    EXPECT_TRUE(saturate(over));
    EXPECT_EQ(over.weight, 1.0f);
}

TEST(PoseBlending, FillPullsAPartialWeightTowardIdentity) {
    Pose acc = pose({4.0f, 0.0f, -8.0f}, test::aboutZ(120.0f), {5.0f, 5.0f, 1.0f});
    acc.weight = 0.25f;
    fill(acc);
    EXPECT_TRUE(acc.saturated);
    EXPECT_EQ(acc.weight, 1.0f);
    test::expectNear({1.0f, 0.0f, -2.0f}, acc.translation);
    test::expectNear({2.0f, 2.0f, 1.0f}, acc.scale);
    expectNear(test::aboutZ(30.0f), acc.rotation);
}

}  // namespace
}  // namespace qx
