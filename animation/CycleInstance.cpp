#include "animation/CycleInstance.h"

#include <cmath>

namespace qx {

void CycleInstance::update(float dt) {
    if (state == MotionState::Finished) return;
    // -1 is the "never" marker, so only that exact value turns the count-down off.
    if (stopTime != -1.0f) {
        stopTime = stopTime - dt * timeFactor;
        if (stopTime < 0.0f) {
            stopTime = -1.0f;
            stop();
            return;
        }
    }
    time = time + dt * timeFactor;
    switch (state) {
        case MotionState::Delayed:
            // The part of the step beyond the delay is kept, so the fade-in starts on time.
            if (time >= delay) {
                state = MotionState::Attack;
                time = std::fmod(time, delay);
            }
            break;
        case MotionState::Attack:
            if (time >= attackLength) state = MotionState::Steady;
            break;
        case MotionState::Steady:
            // A motion of no length has nowhere to loop to; fmod by 0 would make the time NaN.
            if (time >= duration()) time = duration() > 0.0f ? std::fmod(time, duration()) : 0.0f;
            break;
        case MotionState::Decay:
            if (time >= duration()) state = MotionState::Finished;
            break;
        case MotionState::Finished:
            break;
    }
}

void CycleInstance::stop() {
    switch (state) {
        case MotionState::Delayed:
            state = MotionState::Finished;
            break;
        case MotionState::Attack:
            // Decay's envelope is (duration - time) / decayLength: this time continues the fade
            // from the weight reached instead of jumping to full weight.
            time = duration() - attackWeight() * decayLength;
            state = MotionState::Decay;
            break;
        case MotionState::Steady:
            time = duration() - decayLength;
            state = MotionState::Decay;
            break;
        case MotionState::Decay:
        case MotionState::Finished:
            break;
    }
}

}  // namespace qx
