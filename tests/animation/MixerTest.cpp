#include <gtest/gtest.h>

#include "animation/SkeletalInstance.h"
#include "tests/support/SkeletonBuilder.h"

namespace qx {
namespace {

// A one-bone model; motions are added by the tests before the instance is built.
struct Mixer {
    Mixer() {
        auto mesh = std::make_unique<SkeletalMesh>();
        mesh->bones.push_back(test::uprightBone("root", ZeroVector));
        test::linkBones(mesh->bones);
        model.addMesh(std::move(mesh));
    }

    void add(std::int32_t id, std::int32_t type, float duration) {
        model.addMotion(test::makeMotion(id, type, duration));
    }

    static MotionSettings settings(std::int32_t id, float attack = 0.0f, float delay = 0.0f, float timeFactor = 1.0f) {
        MotionSettings s;
        s.attackLength = attack;
        s.decayLength = 1.0f;
        s.delay = delay;
        s.timeFactor = timeFactor;
        s.motionId = id;
        return s;
    }

    SkeletalModel model;
};

TEST(Mixer, StartWithAnUnknownIdFailsAndChangesNothing) {
    Mixer m;
    m.add(1, CycleAnimation, 1.0f);
    SkeletalInstance instance(m.model);
    EXPECT_FALSE(instance.start(Mixer::settings(2)));
    EXPECT_TRUE(instance.cycles().empty());
    EXPECT_TRUE(instance.overlays().empty());
    instance.stop(2);  // nothing to stop, nothing happens
}

TEST(Mixer, StartFilesTheInstanceByAnimationType) {
    Mixer m;
    m.add(1, CycleAnimation, 1.0f);
    m.add(2, OverlayAnimation, 1.0f);
    m.add(3, 2, 1.0f);
    SkeletalInstance instance(m.model);
    EXPECT_TRUE(instance.start(Mixer::settings(1)));
    EXPECT_TRUE(instance.start(Mixer::settings(2)));
    EXPECT_TRUE(instance.start(Mixer::settings(3)));  // another type plays nothing but is no failure
    ASSERT_EQ(instance.cycles().size(), 1u);
    ASSERT_EQ(instance.overlays().size(), 1u);
    EXPECT_EQ(instance.cycles()[0].motionId, 1);
    EXPECT_EQ(instance.overlays()[0].motionId, 2);
}

TEST(Mixer, StartPlaysTheFirstMotionWithTheId) {
    Mixer m;
    m.add(1, CycleAnimation, 2.0f);
    m.add(1, CycleAnimation, 5.0f);
    SkeletalInstance instance(m.model);
    instance.start(Mixer::settings(1));
    ASSERT_EQ(instance.cycles().size(), 1u);
    EXPECT_EQ(instance.cycles()[0].duration(), 2.0f);
}

TEST(Mixer, StartingTwicePlaysTwoAndOneStopStopsTheFirst) {
    Mixer m;
    m.add(1, CycleAnimation, 4.0f);
    SkeletalInstance instance(m.model);
    instance.start(Mixer::settings(1));
    instance.start(Mixer::settings(1));
    instance.updateMixer(0.5f);
    instance.stop(1);
    ASSERT_EQ(instance.cycles().size(), 2u);
    EXPECT_EQ(instance.cycles()[0].state, MotionState::Decay);
    EXPECT_EQ(instance.cycles()[1].state, MotionState::Steady);
}

TEST(Mixer, StopLooksAtTheOverlaysFirst) {
    Mixer m;
    m.add(1, CycleAnimation, 4.0f);
    SkeletalInstance instance(m.model);
    instance.start(Mixer::settings(1));
    // The property panel changes a loaded motion's type in place; the next start follows it.
    m.model.motions()[0]->animationType = OverlayAnimation;
    instance.start(Mixer::settings(1));
    instance.updateMixer(0.5f);
    instance.stop(1);
    EXPECT_EQ(instance.overlays()[0].state, MotionState::Decay);
    EXPECT_EQ(instance.cycles()[0].state, MotionState::Steady);
}

TEST(Mixer, FinishedInstancesLeaveTheirListsInTheUpdateThatEndsThem) {
    Mixer m;
    m.add(1, OverlayAnimation, 1.0f);
    m.add(2, CycleAnimation, 1.0f);
    SkeletalInstance instance(m.model);
    MotionSettings overlay = Mixer::settings(1);
    overlay.decayLength = 0.5f;
    instance.start(overlay);
    instance.start(Mixer::settings(2, 0.0f, 5.0f));
    instance.updateMixer(0.25f);  // overlay Attack -> Steady; its fade-out begins at 0.5
    instance.updateMixer(0.25f);  // Steady -> Decay
    EXPECT_EQ(instance.overlays().size(), 1u);
    instance.stop(2);  // a delayed cycle ends at once but stays listed until the mixer runs
    EXPECT_EQ(instance.cycles().size(), 1u);
    EXPECT_EQ(instance.cycles()[0].state, MotionState::Finished);
    instance.updateMixer(0.5f);  // overlay reaches its end
    EXPECT_TRUE(instance.overlays().empty());
    EXPECT_TRUE(instance.cycles().empty());
}

TEST(Mixer, PhaseAdvancesWithThePreviousCycleLength) {
    Mixer m;
    m.add(1, CycleAnimation, 2.0f);
    SkeletalInstance instance(m.model);
    instance.start(Mixer::settings(1));
    instance.updateMixer(0.5f);  // no cycle length yet: the phase is this step
    EXPECT_EQ(instance.cyclePhase(), 0.5f);
    EXPECT_EQ(instance.cycleLength(), 2.0f);
    instance.updateMixer(1.0f);
    EXPECT_EQ(instance.cyclePhase(), 1.5f);
    instance.updateMixer(1.0f);
    EXPECT_EQ(instance.cyclePhase(), 0.5f);
}

TEST(Mixer, TwoCyclesShareTheMeanLengthAndOneFraction) {
    Mixer m;
    m.add(1, CycleAnimation, 1.0f);
    m.add(2, CycleAnimation, 3.0f);
    SkeletalInstance instance(m.model);
    instance.start(Mixer::settings(1));
    instance.start(Mixer::settings(2));
    instance.updateMixer(0.5f);
    EXPECT_EQ(instance.cycleLength(), 2.0f);
    // Phase 0.5 of a 2 s mix: a quarter of each cycle.
    EXPECT_EQ(instance.cycleSampleTime(instance.cycles()[0]), 0.25f);
    EXPECT_EQ(instance.cycleSampleTime(instance.cycles()[1]), 0.75f);
}

TEST(Mixer, CycleLengthWeighsByEnvelopeAndPlaybackSpeed) {
    Mixer m;
    m.add(1, CycleAnimation, 1.0f);
    m.add(2, CycleAnimation, 4.0f);
    SkeletalInstance instance(m.model);
    instance.start(Mixer::settings(1));
    instance.start(Mixer::settings(2, 1.0f, 0.0f, 2.0f));  // at double speed, half faded in
    instance.updateMixer(0.25f);
    ASSERT_EQ(instance.cycles()[1].envelope(), 0.5f);
    // (1 x 1 + 4 x 0.5 / 2) / (1 + 0.5)
    EXPECT_FLOAT_EQ(instance.cycleLength(), 2.0f / 1.5f);
}

TEST(Mixer, NoCycleAtPositiveWeightLeavesTheLengthZero) {
    Mixer m;
    m.add(1, CycleAnimation, 2.0f);
    SkeletalInstance instance(m.model);
    instance.start(Mixer::settings(1, 0.0f, 5.0f));
    instance.updateMixer(0.5f);
    EXPECT_EQ(instance.cycleLength(), 0.0f);
    instance.updateMixer(0.25f);
    EXPECT_EQ(instance.cyclePhase(), 0.25f);
    EXPECT_EQ(instance.cycleSampleTime(instance.cycles()[0]), 0.0f);
}

TEST(Mixer, CyclesOfNoLengthAreSampledAtTimeZero) {
    Mixer m;
    m.add(1, CycleAnimation, 0.0f);
    SkeletalInstance instance(m.model);
    instance.start(Mixer::settings(1));
    instance.updateMixer(0.5f);
    instance.updateMixer(0.5f);
    EXPECT_EQ(instance.cycleLength(), 0.0f);
    EXPECT_EQ(instance.cycleSampleTime(instance.cycles()[0]), 0.0f);
}

}  // namespace
}  // namespace qx
