#pragma once
// One idle pass of the program: while the event queue is empty the clock ticks, the active view
// advances its model by the time since the previous pass and asks for a paint, and every 100
// passes the frame rate is measured. Plain C++ over the clock and a view interface, so that it
// runs the same in the window and in tests; IdleDriver calls it from the event loop.

namespace qx::app {

class AnimationClock;

// What an idle pass needs of the view it animates.
class AnimatedView {
public:
    virtual ~AnimatedView() = default;
    // Advances the view's model by timeStep seconds and hands it to the renderer.
    virtual void UpdateAnimation(float timeStep) = 0;
    // Asks for a paint of the whole view.
    virtual void invalidate() = 0;
};

class IdleLoop {
public:
    static constexpr int PassesPerRate = 100;

    explicit IdleLoop(AnimationClock& clock) : clock_(clock) {}

    // Runs one pass for the active view (none: the frame-rate stopwatch is freed and nothing
    // runs). True while there is more to do: a view to animate and the clock running.
    bool runPass(AnimatedView* activeView);

    // What a newly opened document does before its first pass: the clock runs again, one tick
    // is taken so that the time spent opening is not fed to the animation, and the animation
    // and frame-rate stopwatches are taken afresh.
    void restartAnimation();
    // A closed child window no longer times anything.
    void releaseAnimationStopwatch();

    // Seconds the active view advanced by in the last pass.
    float timeStep() const { return timeStep_; }
    // Frames per second over the last 100 passes; 0 until 100 passes have run. A window of
    // passes measured while paused (which reads no time) keeps the last rate.
    float frameRate() const { return frameRate_; }
    int animationStopwatch() const { return animationStopwatch_; }
    int frameRateStopwatch() const { return frameRateStopwatch_; }

private:
    AnimationClock& clock_;
    int animationStopwatch_ = -1;
    int frameRateStopwatch_ = -1;
    int passCounter_ = 0;
    float timeStep_ = 0.0f;
    float frameRate_ = 0.0f;
};

}  // namespace qx::app
