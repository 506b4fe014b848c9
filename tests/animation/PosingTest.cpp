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
          {test::poseTrack("b", {0.0f, 5.0f, 0.0f}), test::poseTrack("a", {1.0f, 2.0f, 3.0f}, test::aboutZ(90.0f), {2.0f, 2.0f, 2.0f})});
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
    p.add(1, CycleAnimation, 1.0f, {test::poseTrack("a", {1.0f, 0.0f, 0.0f}), test::poseTrack("a", {9.0f, 0.0f, 0.0f})});
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
    p.add(2, CycleAnimation, 1.0f, {test::poseTrack("a", {0.0f, 7.0f, 0.0f}), test::poseTrack("b", {0.0f, 7.0f, 0.0f})});
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
    p.add(1, CycleAnimation, 1.0f, {test::poseTrack("a", {4.0f, 0.0f, 0.0f}, test::aboutZ(120.0f), {5.0f, 5.0f, 5.0f})});
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

// The product as the row convention defines it, written out plainly: each entry summed left to
// right, the translation row's entry plus the translation last.
Matrix plainProduct(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) {
            float v = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
            if (i == 3) v += b.m[3][j];
            r.m[i][j] = v;
        }
    return r;
}

// Whatever the build (four wide or scalar), a bone's local matrix is worldToBone x (diagonal scale
// x rotation, translated) x boneToWorld to the bit, for random frames and poses that include
// zero and negative scales, whose zero terms decide the signs of zeros, and non-finite values.
TEST(Posing, LocalMatricesAreThePlainProductsBitForBit) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<float> spread(-3.0f, 3.0f);
    const auto value = [&](int slot) {
        switch (random() % 16) {
            case 0: return 0.0f;
            case 1: return -0.0f;
            case 2: return slot < 3 ? std::numeric_limits<float>::infinity() : std::numeric_limits<float>::quiet_NaN();
            default: return spread(random);
        }
    };
    for (int round = 0; round < 3000; ++round) {
        SkeletalModel model;
        auto mesh = std::make_unique<SkeletalMesh>();
        const Vector3 start{spread(random), spread(random), spread(random)};
        // Upright bones pass the pose's own entries through; others mix them.
        mesh->bones.push_back(round % 2 == 0 ? test::uprightBone("a", start)
                                             : test::meshBone("a", start, start + Vector3{spread(random), spread(random), 1.0f},
                                                              start + Vector3{1.0f, spread(random), spread(random)}));
        test::linkBones(mesh->bones);
        model.addMesh(std::move(mesh));
        MotionTrack track = test::track("a");
        for (int c = 0; c < ChannelCount; ++c) track.channels[c] = test::channel({test::key(0.0f, value(c))});
        model.addMotion(test::makeMotion(1, CycleAnimation, 1.0f, {track}));
        SkeletalInstance instance(model);
        instance.start(play(1));
        const Matrix& local = instance.update(0.25f)->bones[0].local;

        MotionSampler sampler(*model.motions()[0]);
        const Pose pose = sampleTrack(sampler.tracks[0], 0.0f);
        Matrix scale;
        scale.m[0][0] = pose.scale.x;
        scale.m[1][1] = pose.scale.y;
        scale.m[2][2] = pose.scale.z;
        Matrix p = plainProduct(scale, toMatrix(pose.rotation));
        p.setRow(3, pose.translation);
        const MeshBone& bone = model.meshes()[0]->bones[0];
        const Matrix expected = plainProduct(plainProduct(bone.worldToBone, p), bone.boneToWorld);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 3; ++j)
                ASSERT_EQ(std::bit_cast<std::uint32_t>(local.m[i][j]), std::bit_cast<std::uint32_t>(expected.m[i][j]))
                    << "round " << round << ", entry " << i << "," << j << ": " << local.m[i][j] << " against "
                    << expected.m[i][j];
    }
}

}  // namespace
}  // namespace qx
