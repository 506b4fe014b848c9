#include "app/CommandHost.h"

#include "app/AnimationClock.h"

namespace qx::app {

ClockPause::ClockPause(AnimationClock& clock) : clock_(clock), wasRunning_(!clock.paused()) {
    if (wasRunning_) clock_.pause();
}

ClockPause::~ClockPause() {
    if (wasRunning_) clock_.resume();
}

}  // namespace qx::app
