// What the viewer and the command-line renderer share about a model's first picture.

#include <gtest/gtest.h>

#include "animation/SkeletalInstance.h"
#include "scene/ModelScene.h"
#include "tests/support/MotionBuilder.h"
#include "tests/support/SkeletonBuilder.h"

namespace qx {
namespace {

// However far the animation has advanced (up to the renderer's 1e9 s, far past what an int
// counts in 1/60 s steps), a cycle is replayed step by step first and stays within its length.
TEST(AdvanceLikeViewer, AnyTimeLeavesTheCycleWithinItsLength) {
    SkeletalModel model;
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::uprightBone("a", ZeroVector));
    test::linkBones(mesh->bones);
    model.addMesh(std::move(mesh));
    MotionTrack track = test::track("a");
    track.channels[TranslationX] = test::channel({test::key(0.0f, 0.0f), test::key(1.5f, 3.0f)});
    model.addMotion(test::makeMotion(1, CycleAnimation, 1.5f, {track}, 0.5f));
    for (const double seconds : {0.75, 90.0, 3.5e7, 3.6e7, 1e9}) {
        SkeletalInstance instance(model);
        MotionSettings settings;
        settings.motionId = 1;
        ASSERT_TRUE(instance.start(settings));
        ASSERT_NE(advanceLikeViewer(instance, seconds), nullptr);
        EXPECT_EQ(instance.cycleLength(), 1.5f) << seconds;
        EXPECT_GE(instance.cyclePhase(), 0.0f) << seconds;
        EXPECT_LT(instance.cyclePhase(), 1.5f) << seconds;
    }
}

}  // namespace
}  // namespace qx
