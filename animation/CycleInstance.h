#pragma once
// A motion played as a loop in the shared cycle mix: Delayed -> Attack -> Steady, looping in
// Steady until it is stopped (by the user or by its stopTime count-down), then Decay -> Finished.
// Its own time drives only its state and envelope; the pose is sampled at the mixer's shared
// phase (see SkeletalInstance).

#include "animation/MotionInstance.h"

namespace qx {

class CycleInstance : public MotionInstance {
public:
    CycleInstance(const MotionSettings& settings, MotionSampler& sampler) : MotionInstance(settings, sampler) {}

    // At most one state change per update, decided by the state held when it began. While
    // stopTime counts down, the update that takes it below 0 stops the cycle instead of
    // advancing it; reaching exactly 0 is not enough.
    void update(float dt);
    // Delayed: ends at once. Attack: fades out from the weight the fade-in had reached.
    // Steady: fades out from full weight. Decay and Finished: no change.
    void stop();
};

}  // namespace qx
