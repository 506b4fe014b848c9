#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>

#include "animation/SkeletalInstance.h"
#include "tests/support/MotionBuilder.h"
#include "tests/support/SkeletonBuilder.h"

namespace qx {
namespace {

// Bones "a" (the root) and "b" (its child), both upright at the origin: their matrices are the
// identity, so a bone's local matrix is its blended pose itself.
struct Posing {
    Posing() {
        auto mesh = std::make_unique<SkeletalMesh>();
        mesh->bones.push_back(test::uprightBone("a", ZeroVector));
        mesh->bones.push_back(test::uprightBone("b", ZeroVector, 0));
        test::linkBones(mesh->bones);
        model.addMesh(std::move(mesh));
    }

    void add(std::int32_t id, std::int32_t type, float duration, std::vector<MotionTrack> tracks) {
        model.addMotion(test::makeMotion(id, type, duration, std::move(tracks)));
    }

    SkeletalInstance& build() {
        instance = std::make_unique<SkeletalInstance>(model);
        return *instance;
    }

    const Matrix& local(int bone) const { return instance->drawables()[0]->bones[bone].local; }

    SkeletalModel model;
    std::unique_ptr<SkeletalInstance> instance;
};

MotionSettings play(std::int32_t id, float attack = 0.0f) {
    MotionSettings s;
    s.attackLength = attack;
    s.motionId = id;
    return s;
}

// The local matrix of a pose on a bone with identity frames: scale x rotation, translated.
Matrix poseMatrix(const Vector3& translation, const Quaternion& rotation, float scale = 1.0f) {
    Matrix m = toMatrix(rotation);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m.m[i][j] *= scale;
    m.setRow(3, translation);
    return m;
}

// A track of the named bone moving along x from 0 to length over [0, length].
MotionTrack slide(const std::string& bone, float length) {
    MotionTrack t = test::poseTrack(bone, ZeroVector);
    t.channels[TranslationX] = test::channel({test::key(0.0f, 0.0f), test::key(length, length)});
    return t;
}

TEST(Posing, NoMotionLeavesEveryLocalIdentity) {
    Posing p;
    p.add(1, CycleAnimation, 1.0f, {test::poseTrack("a", {1.0f, 0.0f, 0.0f})});
    p.build().update(0.5f);  // loaded but not started
    test::expectNear(Matrix::identity(), p.local(0));
    test::expectNear(Matrix::identity(), p.local(1));
}

TEST(Posing, OneFullCycleGivesEachBoneItsSampledPose) {
    Posing p;
    p.add(1, CycleAnimation, 1.0f,
          {test::poseTrack("b", {0.0f, 5.0f, 0.0f}),
           test::poseTrack("a", {1.0f, 2.0f, 3.0f}, test::aboutZ(90.0f), {2.0f, 2.0f, 2.0f})});
    SkeletalInstance& instance = p.build();
    instance.start(play(1));
    instance.update(0.25f);
    test::expectNear(poseMatrix({1.0f, 2.0f, 3.0f}, test::aboutZ(90.0f), 2.0f), p.local(0));
    test::expectNear(poseMatrix({0.0f, 5.0f, 0.0f}, {}), p.local(1));
}

TEST(Posing, TracksNamingNoBoneChangeNothing) {
    Posing p;
    p.add(1, CycleAnimation, 1.0f, {test::poseTrack("elsewhere", {1.0f, 0.0f, 0.0f}, test::aboutZ(45.0f))});
    SkeletalInstance& instance = p.build();
    instance.start(play(1));
    instance.update(0.25f);
    test::expectNear(Matrix::identity(), p.local(0));
    test::expectNear(Matrix::identity(), p.local(1));
}

TEST(Posing, TheFirstTrackOfABoneIsTheOneThatPlays) {
    Posing p;
    p.add(1, CycleAnimation, 1.0f,
          {test::poseTrack("a", {1.0f, 0.0f, 0.0f}), test::poseTrack("a", {9.0f, 0.0f, 0.0f})});
    SkeletalInstance& instance = p.build();
    instance.start(play(1));
    instance.update(0.25f);
    test::expectNear(poseMatrix({1.0f, 0.0f, 0.0f}, {}), p.local(0));
}

TEST(Posing, HalfFadedOverlayOverAFullCycleTakesAThird) {
    Posing p;
    p.add(1, OverlayAnimation, 4.0f, {test::poseTrack("a", {3.0f, 0.0f, 0.0f})});
    p.add(2, CycleAnimation, 1.0f, {test::poseTrack("a", ZeroVector, test::aboutZ(90.0f))});
    SkeletalInstance& instance = p.build();
    instance.start(play(1, 1.0f));
    instance.start(play(2));
    instance.update(0.5f);
    ASSERT_EQ(instance.overlays()[0].envelope(), 0.5f);
    // Weights 0.5 and 1: a third of the overlay's translation, two thirds of the cycle's turn.
    test::expectNear(poseMatrix({1.0f, 0.0f, 0.0f}, test::aboutZ(60.0f)), p.local(0));
}

TEST(Posing, FullOverlayHidesTheCyclesOnlyFromItsOwnBones) {
    Posing p;
    p.add(1, OverlayAnimation, 4.0f, {test::poseTrack("a", {5.0f, 0.0f, 0.0f})});
    p.add(2, CycleAnimation, 1.0f,
          {test::poseTrack("a", {0.0f, 7.0f, 0.0f}), test::poseTrack("b", {0.0f, 7.0f, 0.0f})});
    SkeletalInstance& instance = p.build();
    instance.start(play(1));
    instance.start(play(2));
    instance.update(0.5f);
    test::expectNear(poseMatrix({5.0f, 0.0f, 0.0f}, {}), p.local(0));
    test::expectNear(poseMatrix({0.0f, 7.0f, 0.0f}, {}), p.local(1));
}

TEST(Posing, OverlaysAverageBeforeTheySaturate) {
    Posing p;
    p.add(1, OverlayAnimation, 4.0f, {test::poseTrack("a", {2.0f, 0.0f, 0.0f})});
    p.add(2, OverlayAnimation, 4.0f, {test::poseTrack("a", {4.0f, 0.0f, 0.0f})});
    p.add(3, CycleAnimation, 1.0f, {test::poseTrack("a", {100.0f, 0.0f, 0.0f})});
    SkeletalInstance& instance = p.build();
    instance.start(play(1));
    instance.start(play(2));
    instance.start(play(3));
    instance.update(0.5f);
    test::expectNear(poseMatrix({3.0f, 0.0f, 0.0f}, {}), p.local(0));
}

TEST(Posing, PartialWeightIsPulledTowardIdentity) {
    Posing p;
    p.add(1, CycleAnimation, 1.0f,
          {test::poseTrack("a", {4.0f, 0.0f, 0.0f}, test::aboutZ(120.0f), {5.0f, 5.0f, 5.0f})});
    SkeletalInstance& instance = p.build();
    instance.start(play(1, 1.0f));
    instance.update(0.25f);
    ASSERT_EQ(instance.cycles()[0].envelope(), 0.25f);
    // Three quarters of the way to identity.
    test::expectNear(poseMatrix({1.0f, 0.0f, 0.0f}, test::aboutZ(30.0f), 2.0f), p.local(0));
}

TEST(Posing, CyclesAreSampledAtTheSameFractionOfTheirDurations) {
    Posing p;
    p.add(1, CycleAnimation, 1.0f, {slide("a", 1.0f)});
    p.add(2, CycleAnimation, 3.0f, {slide("b", 3.0f)});
    SkeletalInstance& instance = p.build();
    instance.start(play(1));
    instance.start(play(2));
    instance.update(0.5f);  // phase 0.5 of a 2 s mix
    EXPECT_FLOAT_EQ(p.local(0).m[3][0], 0.25f);
    EXPECT_FLOAT_EQ(p.local(1).m[3][0], 0.75f);
}

TEST(Posing, OverlaysAreSampledAtTheirOwnTime) {
    Posing p;
    p.add(1, OverlayAnimation, 4.0f, {slide("a", 4.0f)});
    SkeletalInstance& instance = p.build();
    instance.start(play(1));
    instance.update(0.5f);
    instance.update(0.75f);
    EXPECT_FLOAT_EQ(p.local(0).m[3][0], 1.25f);
}

TEST(Posing, PoseActsInTheBonesOwnFrame) {
    // A bone lying along +X from (1, 0, 0), rolled toward +Z: its own axes X, Y, Z are the
    // world's Y, Z, X. A quarter turn about its own Z (its Y toward its -X) is a turn about the
    // world's X through its start that takes the world's +Z onto -Y.
    SkeletalModel model;
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::meshBone("a", {1.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 1.0f}));
    test::linkBones(mesh->bones);
    model.addMesh(std::move(mesh));
    model.addMotion(test::makeMotion(1, CycleAnimation, 1.0f, {test::poseTrack("a", ZeroVector, test::aboutZ(90.0f))}));
    SkeletalInstance instance(model);
    instance.start(play(1));
    const Matrix& local = instance.update(0.25f)->bones[0].local;
    test::expectNear({1.0f, -1.0f, 0.0f}, transformPoint({1.0f, 0.0f, 1.0f}, local));
    test::expectNear({3.0f, 0.0f, 0.0f}, transformPoint({3.0f, 0.0f, 0.0f}, local));
}

// The product of the row convention written out plainly, each entry summed left to right.
Matrix plainProduct(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
            if (i == 3) r.m[i][j] += b.m[3][j];
        }
    return r;
}

// Whatever the build (four wide or scalar), a local matrix is worldToBone x (diagonal scale x
// rotation, translated) x boneToWorld to the bit: random frames and poses with zero and negative
// scales (whose zero terms decide the signs of zeros; upright bones pass them on) and NaNs.
TEST(Posing, LocalMatricesAreThePlainProductsBitForBit) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<float> spread(-3.0f, 3.0f);
    const float odd[] = {0.0f, -0.0f, std::numeric_limits<float>::quiet_NaN()};
    for (int round = 0; round < 3000; ++round) {
        SkeletalModel model;
        auto mesh = std::make_unique<SkeletalMesh>();
        const Vector3 s{spread(random), spread(random), spread(random)};
        mesh->bones.push_back(round % 2 == 0
                                  ? test::uprightBone("a", s)
                                  : test::meshBone("a", s, s + Vector3{spread(random), 0.5f, 1.0f}, s + UnitX));
        test::linkBones(mesh->bones);
        model.addMesh(std::move(mesh));
        MotionTrack track = test::track("a");
        for (auto& channel : track.channels)
            channel = test::channel({test::key(0.0f, random() % 8 < 3 ? odd[random() % 3] : spread(random))});
        model.addMotion(test::makeMotion(1, CycleAnimation, 1.0f, {track}));
        SkeletalInstance instance(model);
        instance.start(play(1));
        const Matrix& local = instance.update(0.25f)->bones[0].local;

        MotionSampler sampler(*model.motions()[0]);
        const Pose pose = sampleTrack(sampler.tracks[0], 0.0f);
        Matrix scale;
        for (int i = 0; i < 3; ++i) scale.m[i][i] = (&pose.scale.x)[i];
        Matrix p = plainProduct(scale, toMatrix(pose.rotation));
        p.setRow(3, pose.translation);
        const MeshBone& bone = model.meshes()[0]->bones[0];
        const Matrix expected = plainProduct(plainProduct(bone.worldToBone, p), bone.boneToWorld);
        for (int i = 0; i < 12; ++i)
            ASSERT_EQ(std::bit_cast<std::uint32_t>(local.m[i / 3][i % 3]),
                      std::bit_cast<std::uint32_t>(expected.m[i / 3][i % 3]))
                << "round " << round << ", entry " << i / 3 << "," << i % 3;
    }
}

}  // namespace
}  // namespace qx
