#pragma once
// One motion with its sampler, and motion instances of one kind started on it with chosen
// settings: the common ground of the cycle and overlay state-machine tests.

#include <cstdint>
#include <memory>

#include "animation/MotionSampler.h"
#include "animation/MotionSettings.h"
#include "tests/support/SkeletonBuilder.h"

namespace qx::test {

template <typename Instance, std::int32_t AnimationType, std::int32_t MotionId>
struct InstanceHarness {
    explicit InstanceHarness(float duration, float motionAttack = 0.0f, float motionDecay = 0.0f)
        : motion(makeMotion(MotionId, AnimationType, duration, {}, motionAttack, motionDecay)), sampler(*motion) {}

    Instance play(float attack, float decay, float delay = 0.0f, float stopTime = -1.0f, float timeFactor = 1.0f) {
        MotionSettings s;
        s.attackLength = attack;
        s.decayLength = decay;
        s.delay = delay;
        s.stopTime = stopTime;
        s.timeFactor = timeFactor;
        s.motionId = MotionId;
        return Instance(s, sampler);
    }

    std::unique_ptr<SkeletalMotion> motion;
    MotionSampler sampler;
};

}  // namespace qx::test
