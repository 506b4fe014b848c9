#include "animation/MotionInstance.h"

namespace qx {

MotionInstance::MotionInstance(const MotionSettings& settings, MotionSampler& source)
    : attackLength(settings.attackLength != 0.0f ? settings.attackLength : source.motion->attackLength),
      decayLength(settings.decayLength != 0.0f ? settings.decayLength : source.motion->decayLength),
      delay(settings.delay),
      stopTime(settings.stopTime),
      weight(settings.weight),
      timeFactor(settings.timeFactor),
      motionId(settings.motionId),
      sampler(&source) {
    MotionInstance::reset();
}

void MotionInstance::reset() {
    state = delay > 0.0f ? MotionState::Delayed : MotionState::Attack;
    decayStart = 0.0f;
    time = 0.0f;
}

float MotionInstance::envelope() const {
    switch (state) {
        case MotionState::Attack:
            return attackWeight();
        case MotionState::Steady:
            return 1.0f;
        case MotionState::Decay:
            return decayLength > 0.0f ? (duration() - time) / decayLength : 0.0f;
        case MotionState::Delayed:
        case MotionState::Finished:
            break;
    }
    return 0.0f;
}

}  // namespace qx
