#include "app/IdleLoop.h"

#include "app/AnimationClock.h"

namespace qx::app {

bool IdleLoop::runPass(AnimatedView* activeView) {
    if (activeView == nullptr) {
        if (frameRateStopwatch_ >= 0 && frameRateStopwatch_ < AnimationClock::StopwatchCount) {
            clock_.releaseStopwatch(frameRateStopwatch_);
            frameRateStopwatch_ = -1;
        }
        return false;
    }
    clock_.tick();
    timeStep_ = clock_.readStopwatch(animationStopwatch_);
    activeView->UpdateAnimation(timeStep_);
    activeView->invalidate();
    clock_.restartStopwatch(animationStopwatch_);
    if (++passCounter_ >= PassesPerRate) {
        passCounter_ = 0;
        const float seconds = clock_.readStopwatch(frameRateStopwatch_);
        if (seconds > 0.0f) frameRate_ = static_cast<float>(PassesPerRate) / seconds;
        clock_.restartStopwatch(frameRateStopwatch_);
    }
    return !clock_.paused();
}

void IdleLoop::restartAnimation() {
    if (clock_.paused()) clock_.resume();
    clock_.tick();
    clock_.releaseStopwatch(animationStopwatch_);
    animationStopwatch_ = clock_.takeStopwatch();
    clock_.releaseStopwatch(frameRateStopwatch_);
    frameRateStopwatch_ = clock_.takeStopwatch();
}

void IdleLoop::releaseAnimationStopwatch() {
    clock_.releaseStopwatch(animationStopwatch_);
    animationStopwatch_ = -1;
}

}  // namespace qx::app
