#pragma once
// A motion that is playing: its settings, where it stands in its envelope (wait, fade in, full
// weight, fade out) and its own clock. Two kinds share this base: a CycleInstance loops in the
// shared cycle mix until stopped, an OverlayInstance plays once over the cycles.
//
// Instances are small values, copied into the mixer's lists of a SkeletalInstance, which keeps
// each kind in a list of its own: nothing is called through this base, so nothing is virtual.
// Each kind has update(dt), advancing by dt seconds of the caller's clock (scaled by
// timeFactor), and stop(), which begins the fade-out.

#include <cstdint>

#include "animation/MotionSampler.h"
#include "animation/MotionSettings.h"

namespace qx {

// The stored numbers are part of what qxtool prints.
enum class MotionState : std::int32_t {
    Delayed = 0,   // waiting for the delay to pass; envelope 0
    Attack = 1,    // fading in; envelope time / attackLength
    Steady = 2,    // full weight; envelope 1
    Decay = 3,     // fading out; envelope (duration - time) / decayLength
    Finished = 4,  // over; removed from its list by the next mixer update; envelope 0
};

class MotionInstance {
public:
    // The motion is the sampler's. A 0 attackLength or decayLength in settings stands for the
    // motion's own length. The sampler is not owned and must outlive the instance.
    MotionInstance(const MotionSettings& settings, MotionSampler& sampler);

    // Back to the start: Delayed when there is a delay to wait, otherwise Attack; time 0.
    void reset();
    // The weight of this instance's pose in the blend, by state. Both kinds share it. A zero
    // fade length gives the value the fade is heading for (1 in Attack, 0 in Decay) rather than
    // the 0/0 of the formula.
    float envelope() const;
    float duration() const { return sampler->motion->duration; }

    float attackLength = 0.0f;
    float decayLength = 0.0f;
    float delay = 0.0f;
    float stopTime = -1.0f;
    float weight = 1.0f;
    float timeFactor = 1.0f;
    std::int32_t motionId = 0;
    MotionState state = MotionState::Delayed;
    float decayStart = 0.0f;  // overlays: the time at which the fade-out begins
    float time = 0.0f;        // local seconds: drives the state and the envelope
    MotionSampler* sampler = nullptr;

protected:
    MotionInstance(const MotionInstance&) = default;
    MotionInstance& operator=(const MotionInstance&) = default;

    // The weight the fade-in has reached, for a stop during the attack.
    float attackWeight() const { return attackLength > 0.0f ? time / attackLength : 1.0f; }
};

}  // namespace qx
