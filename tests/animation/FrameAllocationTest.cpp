// The frame loop must not allocate once the first frame has sized the drawable. This program's
// global operator new counts the allocations made while counting is switched on.

#include <gtest/gtest.h>

#include "animation/SkeletalInstance.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/MotionBuilder.h"
#include "tests/support/SkeletonBuilder.h"

namespace qx {
namespace {

TEST(FrameAllocation, UpdatesAfterTheFirstAllocateNothing) {
    SkeletalModel model;
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::uprightBone("a", ZeroVector));
    mesh->bones.push_back(test::uprightBone("b", {0.0f, 1.0f, 0.0f}, 0));
    test::linkBones(mesh->bones);
    for (int i = 0; i < 50; ++i) test::addVertex(*mesh, i % 2, {1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    model.addMesh(std::move(mesh));
    MotionTrack swing = test::poseTrack("a", ZeroVector);
    swing.channels[RotationZ] = test::channel({test::key(0.0f, 0.0f), test::key(1.0f, 0.5f)});
    model.addMotion(test::makeMotion(1, CycleAnimation, 1.0f, {swing, test::poseTrack("b", {0.0f, 0.0f, 1.0f})}));
    model.addMotion(test::makeMotion(2, OverlayAnimation, 0.5f, {test::poseTrack("b", {1.0f, 0.0f, 0.0f})}));

    SkeletalInstance instance(model);
    MotionSettings settings;
    settings.attackLength = 0.1f;
    settings.decayLength = 0.1f;
    for (const std::int32_t id : {1, 2}) {
        settings.motionId = id;
        instance.start(settings);
    }
    instance.update(0.05f);

    test::startCountingAllocations();
    // Through fades, the overlay's end and removal, and a stop.
    for (int frame = 0; frame < 40; ++frame) {
        if (frame == 30) instance.stop(1);
        instance.update(0.05f);
    }
    const test::Allocations allocations = test::stopCountingAllocations();
    EXPECT_EQ(allocations.count, 0u);
    EXPECT_TRUE(instance.overlays().empty());
}

}  // namespace
}  // namespace qx
