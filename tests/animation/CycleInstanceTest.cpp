#include <gtest/gtest.h>

#include "animation/CycleInstance.h"
#include "tests/support/InstanceHarness.h"
#include "tests/support/SkeletonBuilder.h"

namespace qx {
namespace {

// A cycle of a motion of the given duration (no tracks: these tests look at the clock only).
using Cycle = test::InstanceHarness<CycleInstance, CycleAnimation, 11>;

TEST(CycleInstance, StartsInAttackWithoutDelayAndDelayedWithOne) {
    Cycle c(2.0f);
    EXPECT_EQ(c.play(1.0f, 1.0f).state, MotionState::Attack);
    const CycleInstance delayed = c.play(1.0f, 1.0f, 0.5f);
    EXPECT_EQ(delayed.state, MotionState::Delayed);
    EXPECT_EQ(delayed.time, 0.0f);
    EXPECT_EQ(delayed.envelope(), 0.0f);
}

TEST(CycleInstance, ZeroFadeLengthsTakeTheMotionsOwn) {
    Cycle c(2.0f, 0.5f, 0.75f);
    const CycleInstance defaults = c.play(0.0f, 0.0f);
    EXPECT_EQ(defaults.attackLength, 0.5f);
    EXPECT_EQ(defaults.decayLength, 0.75f);
    const CycleInstance own = c.play(0.25f, 1.5f);
    EXPECT_EQ(own.attackLength, 0.25f);
    EXPECT_EQ(own.decayLength, 1.5f);
}

TEST(CycleInstance, ZeroAttackReachesSteadyAtTheFirstUpdate) {
    Cycle c(2.0f);
    CycleInstance i = c.play(0.0f, 1.0f);
    EXPECT_EQ(i.envelope(), 1.0f);  // a fade-in of no length is already complete
    i.update(0.125f);
    EXPECT_EQ(i.state, MotionState::Steady);
    EXPECT_EQ(i.time, 0.125f);
}

TEST(CycleInstance, DelayedKeepsThePartOfTheStepBeyondTheDelay) {
    Cycle c(4.0f);
    CycleInstance i = c.play(1.0f, 1.0f, 1.0f);
    i.update(0.5f);
    EXPECT_EQ(i.state, MotionState::Delayed);
    i.update(0.75f);
    EXPECT_EQ(i.state, MotionState::Attack);
    EXPECT_EQ(i.time, 0.25f);
    EXPECT_EQ(i.envelope(), 0.25f);
}

TEST(CycleInstance, MakesOneTransitionPerUpdate) {
    Cycle c(4.0f);
    CycleInstance i = c.play(0.5f, 1.0f, 1.0f);
    i.update(2.75f);  // past the delay and, with the remainder 0.75, past the attack too
    EXPECT_EQ(i.state, MotionState::Attack);
    EXPECT_EQ(i.time, 0.75f);
    i.update(0.0f);
    EXPECT_EQ(i.state, MotionState::Steady);
}

TEST(CycleInstance, AttackTurnsSteadyAndTheTimeRunsOn) {
    Cycle c(4.0f);
    CycleInstance i = c.play(0.5f, 1.0f);
    i.update(0.25f);
    EXPECT_EQ(i.state, MotionState::Attack);
    EXPECT_EQ(i.envelope(), 0.5f);
    i.update(0.25f);
    EXPECT_EQ(i.state, MotionState::Steady);
    EXPECT_EQ(i.time, 0.5f);
    EXPECT_EQ(i.envelope(), 1.0f);
}

TEST(CycleInstance, SteadyLoopsOverTheDuration) {
    Cycle c(2.0f);
    CycleInstance i = c.play(0.0f, 1.0f);
    i.update(0.5f);
    i.update(1.0f);
    EXPECT_EQ(i.time, 1.5f);
    i.update(1.0f);
    EXPECT_EQ(i.state, MotionState::Steady);
    EXPECT_EQ(i.time, 0.5f);
    i.update(1.5f);  // exactly the duration wraps to 0
    EXPECT_EQ(i.time, 0.0f);
}

TEST(CycleInstance, DecayFadesToTheMotionsEndAndFinishes) {
    Cycle c(2.0f);
    CycleInstance i = c.play(0.0f, 1.0f);
    i.update(0.25f);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.time, 1.0f);
    EXPECT_EQ(i.envelope(), 1.0f);
    i.update(0.5f);
    EXPECT_EQ(i.envelope(), 0.5f);
    i.update(0.5f);
    EXPECT_EQ(i.state, MotionState::Finished);
    EXPECT_EQ(i.envelope(), 0.0f);
    i.update(0.5f);  // a finished instance no longer moves
    EXPECT_EQ(i.time, 2.0f);
}

TEST(CycleInstance, StopTimeMustFallBelowZero) {
    // 2 s of motion time at half speed: the count-down reaches exactly 0 after 4 s and stops
    // the cycle only at the next update, which does not advance the time.
    Cycle c(10.0f);
    CycleInstance i = c.play(0.0f, 1.0f, 0.0f, 2.0f, 0.5f);
    for (int k = 0; k < 4; ++k) i.update(1.0f);
    EXPECT_EQ(i.state, MotionState::Steady);
    EXPECT_EQ(i.stopTime, 0.0f);
    EXPECT_EQ(i.time, 2.0f);
    i.update(1.0f);
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.stopTime, -1.0f);
    EXPECT_EQ(i.time, 9.0f);
}

TEST(CycleInstance, StopTimeDuringAttackDecaysFromTheWeightReached) {
    Cycle c(4.0f);
    CycleInstance i = c.play(2.0f, 1.0f, 0.0f, 0.75f);
    i.update(0.5f);
    EXPECT_EQ(i.envelope(), 0.25f);
    i.update(0.5f);
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.envelope(), 0.25f);
}

TEST(CycleInstance, StopWhileDelayedFinishesAtOnce) {
    Cycle c(4.0f);
    CycleInstance i = c.play(1.0f, 1.0f, 2.0f);
    i.update(0.5f);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Finished);
}

TEST(CycleInstance, StopDuringAttackStartsDecayAtTheReachedWeight) {
    Cycle c(4.0f);
    CycleInstance i = c.play(1.0f, 2.0f);
    i.update(0.5f);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.time, 3.0f);  // 4 - 0.5 * 2
    EXPECT_EQ(i.envelope(), 0.5f);
}

TEST(CycleInstance, StopDuringAZeroLengthAttackDecaysFromFullWeight) {
    Cycle c(4.0f);
    CycleInstance i = c.play(0.0f, 2.0f, 1.0f);
    i.update(1.0f);
    ASSERT_EQ(i.state, MotionState::Attack);
    i.stop();
    EXPECT_EQ(i.time, 2.0f);
    EXPECT_EQ(i.envelope(), 1.0f);
}

TEST(CycleInstance, StopWhenSteadyStartsTheWholeDecay) {
    Cycle c(4.0f);
    CycleInstance i = c.play(0.0f, 1.5f);
    i.update(3.5f);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.time, 2.5f);
    EXPECT_EQ(i.envelope(), 1.0f);
}

TEST(CycleInstance, StopDuringDecayOrFinishedChangesNothing) {
    Cycle c(4.0f);
    CycleInstance i = c.play(0.0f, 2.0f);
    i.update(0.5f);
    i.stop();
    i.update(0.5f);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.time, 2.5f);
    i.update(2.0f);
    ASSERT_EQ(i.state, MotionState::Finished);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Finished);
    EXPECT_EQ(i.time, 4.5f);
}

TEST(CycleInstance, ZeroDecayFadesOutAtOnce) {
    Cycle c(4.0f);
    CycleInstance i = c.play(0.0f, 0.0f);
    i.update(0.5f);
    i.stop();
    EXPECT_EQ(i.state, MotionState::Decay);
    EXPECT_EQ(i.envelope(), 0.0f);
    i.update(0.0f);
    EXPECT_EQ(i.state, MotionState::Finished);
}

TEST(CycleInstance, MotionOfNoLengthLoopsToTimeZero) {
    Cycle c(0.0f);
    CycleInstance i = c.play(0.0f, 1.0f);
    i.update(0.5f);
    i.update(0.5f);
    EXPECT_EQ(i.state, MotionState::Steady);
    EXPECT_EQ(i.time, 0.0f);
}

}  // namespace
}  // namespace qx
