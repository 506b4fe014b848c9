#pragma once
// The program's one clock: ticks once per idle pass, can be paused and resumed, and lends 100
// stopwatches that keep their running time across a pause (the paused time is not counted).
//
// Times come from a monotonic counter and its frequency; the default counter is the system's
// steady clock in nanoseconds, and tests hand in one they move by hand. A running stopwatch
// holds the count it was last started at, a paused one the counts it has run; which
// stopwatches are taken is kept beside them, so a stopwatch paused with zero counts run (or
// started at a reading of 0) is not mistaken for a free one.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace qx::app {

class AnimationClock {
public:
    static constexpr int StopwatchCount = 100;
    using Counter = std::function<std::int64_t()>;

    // None when the frequency is not a positive number: the platform has no counter.
    static std::unique_ptr<AnimationClock> create(Counter counter, std::int64_t countsPerSecond);
    // Over the system's steady clock.
    static std::unique_ptr<AnimationClock> create();

    // Only when running: the time between this tick and the previous one becomes elapsed().
    void tick();
    // Only when running: stopwatches hold the counts they have run; elapsed becomes 0.
    void pause();
    // Only when paused: every stopwatch runs on from where it was; the next elapsed() is the gap
    // between the last tick and the pause.
    void resume();
    void toggle();
    bool paused() const { return paused_; }
    // Seconds between the last two ticks; 0 while paused.
    float elapsed() const { return elapsed_; }

    // The lowest free stopwatch, started at the last tick's reading; -1 when all are in use.
    int takeStopwatch();
    // Seconds from the stopwatch's last start to the last tick. -1, and any index while paused,
    // reads elapsed() (so a paused stopwatch reads 0).
    float readStopwatch(int index) const;
    // Starts the stopwatch again at the last tick's reading; nothing while paused or for -1.
    void restartStopwatch(int index);
    // Frees it; indices outside 0..99 and free stopwatches are ignored.
    void releaseStopwatch(int index);
    int stopwatchesInUse() const { return inUse_; }

private:
    AnimationClock(Counter counter, std::int64_t countsPerSecond);
    // Applies f to every stopwatch in use, lowest first.
    template <typename F>
    void forEachInUse(F f);

    Counter counter_;
    float secondsPerCount_ = 0.0f;
    std::int64_t previous_ = 0;
    std::int64_t current_ = 0;
    std::array<std::int64_t, StopwatchCount> stopwatches_{};
    std::array<bool, StopwatchCount> taken_{};
    int inUse_ = 0;
    float elapsed_ = 0.0f;
    bool paused_ = false;
    std::int64_t pauseGap_ = 0;
};

}  // namespace qx::app
