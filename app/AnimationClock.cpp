#include "app/AnimationClock.h"

#include <chrono>

namespace qx::app {

std::unique_ptr<AnimationClock> AnimationClock::create(Counter counter, std::int64_t countsPerSecond) {
    if (!counter || countsPerSecond <= 0) return nullptr;
    return std::unique_ptr<AnimationClock>(new AnimationClock(std::move(counter), countsPerSecond));
}

std::unique_ptr<AnimationClock> AnimationClock::create() {
    using Steady = std::chrono::steady_clock;
    const Steady::time_point origin = Steady::now();
    return create(
        [origin] { return std::chrono::duration_cast<std::chrono::nanoseconds>(Steady::now() - origin).count(); },
        1'000'000'000);
}

AnimationClock::AnimationClock(Counter counter, std::int64_t countsPerSecond)
    : counter_(std::move(counter)), secondsPerCount_(1.0f / static_cast<float>(countsPerSecond)) {
    current_ = previous_ = counter_();
}

template <typename F>
void AnimationClock::forEachInUse(F f) {
    int seen = 0;
    for (std::size_t i = 0; i < stopwatches_.size() && seen < inUse_; ++i) {
        if (!taken_[i]) continue;
        f(stopwatches_[i]);
        ++seen;
    }
}

void AnimationClock::tick() {
    if (paused_) return;
    previous_ = current_;
    current_ = counter_();
    elapsed_ = static_cast<float>(current_ - previous_) * secondsPerCount_;
}

void AnimationClock::pause() {
    if (paused_) return;
    paused_ = true;
    previous_ = current_;
    current_ = counter_();
    pauseGap_ = current_ - previous_;
    const std::int64_t now = current_;
    forEachInUse([now](std::int64_t& value) { value = now - value; });
    elapsed_ = 0.0f;
}

void AnimationClock::resume() {
    if (!paused_) return;
    paused_ = false;
    current_ = counter_();
    previous_ = current_ - pauseGap_;
    const std::int64_t now = current_;
    forEachInUse([now](std::int64_t& value) { value = now - value; });
    elapsed_ = static_cast<float>(current_ - previous_) * secondsPerCount_;
}

void AnimationClock::toggle() {
    if (paused_)
        resume();
    else
        pause();
}

int AnimationClock::takeStopwatch() {
    if (inUse_ >= StopwatchCount && !paused_) return -1;
    for (int i = 0; i < StopwatchCount; ++i) {
        if (taken_[static_cast<std::size_t>(i)]) continue;
        taken_[static_cast<std::size_t>(i)] = true;
        stopwatches_[static_cast<std::size_t>(i)] = current_;
        ++inUse_;
        return i;
    }
    return -1;
}

float AnimationClock::readStopwatch(int index) const {
    if (index < 0 || index >= StopwatchCount || paused_) return elapsed_;
    // A free stopwatch reads as one started at the counter's origin, as it always has.
    return static_cast<float>(current_ - stopwatches_[static_cast<std::size_t>(index)]) * secondsPerCount_;
}

void AnimationClock::restartStopwatch(int index) {
    if (index < 0 || index >= StopwatchCount || paused_ || !taken_[static_cast<std::size_t>(index)]) return;
    stopwatches_[static_cast<std::size_t>(index)] = current_;
}

void AnimationClock::releaseStopwatch(int index) {
    if (index < 0 || index >= StopwatchCount || !taken_[static_cast<std::size_t>(index)]) return;
    taken_[static_cast<std::size_t>(index)] = false;
    stopwatches_[static_cast<std::size_t>(index)] = 0;
    --inUse_;
}

}  // namespace qx::app
