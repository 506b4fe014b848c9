// The frame loop must not allocate once the first frame has sized the drawable. This program's
// global operator new counts the allocations made while counting is switched on.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "animation/SkeletalInstance.h"
#include "tests/support/MotionBuilder.h"
#include "tests/support/SkeletonBuilder.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
}  // namespace

// GCC pairs the free below with the library's operator new, not with this one, and warns.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

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

    counting = true;
    // Through fades, the overlay's end and removal, and a stop.
    for (int frame = 0; frame < 40; ++frame) {
        if (frame == 30) instance.stop(1);
        instance.update(0.05f);
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_TRUE(instance.overlays().empty());
}

}  // namespace
}  // namespace qx
