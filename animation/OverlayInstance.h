#pragma once
// A motion played once over the cycles: Delayed -> Attack -> Steady -> Decay -> Finished by
// itself, sampled at its own time. It has no stop count-down (stopTime is ignored).

#include "animation/MotionInstance.h"

namespace qx {

class OverlayInstance : public MotionInstance {
public:
    OverlayInstance(const MotionSettings& settings, MotionSampler& sampler) : MotionInstance(settings, sampler) {}

    // At most one state change per update, decided by the state held when it began. The fade-in
    // starts at time 0 whatever part of the step went beyond the delay, and the fade-out begins
    // decayLength before the motion's end.
    void update(float dt);
    // Delayed: ends at once. Attack and Steady: jumps to the start of the fade-out (so a stop
    // during the fade-in fades out from full weight). Decay and Finished: no change.
    void stop();
};

}  // namespace qx
