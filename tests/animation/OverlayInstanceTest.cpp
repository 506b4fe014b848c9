#include <gtest/gtest.h>

#include "animation/OverlayInstance.h"
#include "tests/support/InstanceHarness.h"
#include "tests/support/SkeletonBuilder.h"

namespace qx {
namespace {

using Overlay = test::InstanceHarness<OverlayInstance, OverlayAnimation, 12>;

TEST(OverlayInstance, DelayedDropsThePartOfTheStepBeyondTheDelay) {
    Overlay o(3.0f);
    OverlayInstance i = o.play(1.0f, 1.0f, 1.0f);
    i.update(1.25f);
    EXPECT_EQ(i.state, MotionState::Attack);
    EXPECT_EQ(i.time, 0.0f);
    EXPECT_EQ(i.envelope(), 0.0f);
}

TEST(OverlayInstance, PlaysOnceThroughEveryState) {
    Overlay o(3.0f);
    OverlayInstance i = o.play(0.5f, 0.75f);
    i.update(0.25f);
    EXPECT_EQ(i.state, MotionState::Attack);
    EXPECT_EQ(i.envelope(), 0.5f);
    i.update(0.25f);
    EXPECT_EQ(i.state, MotionState::Steady);
    EXPECT_EQ(i.decayStart, 2.25f);
    i.update(1.5f);
    EXPECT_EQ(i.state, MotionState::Steady);
    EXPECT_EQ(i.time, 2.0f);
    i.update(0.25f);
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.envelope(), 1.0f);
    i.update(0.375f);
    EXPECT_EQ(i.envelope(), 0.5f);
    i.update(0.375f);
    EXPECT_EQ(i.state, MotionState::Finished);
    EXPECT_EQ(i.envelope(), 0.0f);
}

TEST(OverlayInstance, IgnoresStopTime) {
    Overlay o(10.0f);
    OverlayInstance i = o.play(0.0f, 1.0f, 0.0f, 0.5f);
    i.update(1.0f);
    i.update(1.0f);
    EXPECT_EQ(i.state, MotionState::Steady);
    EXPECT_EQ(i.time, 2.0f);
    EXPECT_EQ(i.stopTime, 0.5f);
}

TEST(OverlayInstance, ZeroDecayEndsAtTheMotionsEnd) {
    Overlay o(1.0f);
    OverlayInstance i = o.play(0.0f, 0.0f);
    i.update(0.5f);
    EXPECT_EQ(i.decayStart, 1.0f);
    i.update(0.5f);
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.envelope(), 0.0f);
    i.update(0.0f);
    EXPECT_EQ(i.state, MotionState::Finished);
}

TEST(OverlayInstance, StopWhileDelayedFinishesAtOnce) {
    Overlay o(3.0f);
    OverlayInstance i = o.play(1.0f, 1.0f, 2.0f);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Finished);
}

TEST(OverlayInstance, StopDuringAttackDecaysFromFullWeight) {
    Overlay o(3.0f);
    OverlayInstance i = o.play(1.0f, 2.0f);
    i.update(0.5f);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.time, 1.0f);
    EXPECT_EQ(i.envelope(), 1.0f);
}

TEST(OverlayInstance, StopWhenSteadyJumpsToTheStartOfTheDecay) {
    Overlay o(4.0f);
    OverlayInstance i = o.play(0.0f, 1.0f);
    i.update(0.5f);
    i.update(0.5f);
    ASSERT_EQ(i.state, MotionState::Steady);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.time, 3.0f);
}

TEST(OverlayInstance, StopDuringDecayOrFinishedChangesNothing) {
    Overlay o(4.0f);
    OverlayInstance i = o.play(0.0f, 2.0f);
    i.update(0.5f);
    i.stop();
    i.update(0.5f);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.time, 2.5f);
    i.update(1.5f);
    ASSERT_EQ(i.state, MotionState::Finished);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Finished);
}

}  // namespace
}  // namespace qx
