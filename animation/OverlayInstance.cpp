#include "animation/OverlayInstance.h"

namespace qx {

void OverlayInstance::update(float dt) {
    if (state == MotionState::Finished) return;
    time = time + dt * timeFactor;
    switch (state) {
        case MotionState::Delayed:
            if (time >= delay) {
                state = MotionState::Attack;
                time = 0.0f;
            }
            break;
        case MotionState::Attack:
            if (time >= attackLength) {
                state = MotionState::Steady;
                decayStart = duration() - decayLength;
            }
            break;
        case MotionState::Steady:
            if (time >= decayStart) state = MotionState::Decay;
            break;
        case MotionState::Decay:
            if (time >= duration()) state = MotionState::Finished;
            break;
        case MotionState::Finished:
            break;
    }
}

void OverlayInstance::stop() {
    switch (state) {
        case MotionState::Delayed:
            state = MotionState::Finished;
            break;
        case MotionState::Attack:
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
