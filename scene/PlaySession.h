#pragma once
// What a window has played of its model since its instance was built: the instance, the time
// it has played (session time, in seconds of animation: paused time not counted, slowed time
// counted slowed) and the record of what happened when (a motion started with its settings or
// stopped, a vertex frame range or rate set).
//
// The record makes every moment of the session a pose: the instance rebuilt and the record
// replayed to that time, segment by segment between events, each segment stepped as
// advanceLikeViewer steps it (so a session whose motions all start at 0 shows at time t what
// `qxtool render --time t` shows). A replay only runs the mixer for the steps before the last
// and poses and skins once, at the end, which keeps a long session quick to seek.
//
// Live play advances the same instance by the steps it is given and applies the recorded events
// it passes at their times, so after a seek back playing goes through what was recorded again.
// A new event recorded before the end of the record rewrites what came after it.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "animation/MotionSettings.h"
#include "core/ModelInstance.h"

namespace qx {

class Drawable;

struct SessionEvent {
    enum class Kind : std::uint8_t { Start, Stop, Range, Rate };
    double time = 0.0;
    Kind kind = Kind::Start;
    std::int32_t motion = 0;  // Start, Stop: the motion's index in the model
    MotionSettings settings;  // Start; its motionId names the motion to the instance
    std::int32_t first = -1;  // Range: frames first..last-1
    std::int32_t last = -1;
    float fps = 0.0f;  // Rate
};

// One step of a replay: an event applied, or the instance updated by dt (last: the final update,
// the one whose drawable is shown).
struct ReplayStep {
    const SessionEvent* event = nullptr;
    float dt = 0.0f;
    bool last = false;
};

// Calls visit with every step that replays events (in time order) to time on a fresh instance
// of the given kind (core/ModelKind.h): for each event, the time up to it and the event, then
// the time up to `time`. Events after time are not replayed; the final update always comes,
// with dt 0 when nothing is left.
void forEachReplayStep(int kind, const std::vector<SessionEvent>& events, double time,
                       const std::function<void(const ReplayStep&)>& visit);

// Applies one event to an instance: start or stop (skeletal), setRange from the first frame or
// setFps (vertex). An event of the other kind is ignored.
void applyEvent(ModelInstance& instance, const SessionEvent& event);

// Replays the events to time on a fresh instance, step by step as forEachReplayStep gives them
// (the mixer alone for the steps of a skeletal instance before the last), and returns the
// drawable of the final update. applied, when given, receives how many events were applied.
Drawable* replayTo(ModelInstance& instance, const std::vector<SessionEvent>& events, double time,
                   std::size_t* applied = nullptr);

class PlaySession {
public:
    using Builder = std::function<std::unique_ptr<ModelInstance>()>;

    // Builds the first instance and updates it by 0, so a drawable exists from the start.
    explicit PlaySession(Builder build);

    ModelInstance& instance() const { return *instance_; }
    Drawable* drawable() const { return drawable_; }
    // Session time now, and the furthest it has been.
    double time() const { return time_; }
    double furthest() const { return furthest_; }
    const std::vector<SessionEvent>& events() const { return events_; }

    // Plays dt more seconds (a negative or non-finite dt plays nothing), applying the recorded
    // events passed on the way at their own times.
    Drawable* advance(double dt);
    // Records the event as happening now, dropping any recorded after now, and applies it.
    void record(SessionEvent event);
    // Shows the pose at time (clamped at 0): the instance rebuilt and the record replayed.
    Drawable* seek(double time);
    // A new instance and an empty record: the session starts again at 0.
    void restart();

private:
    void apply(const SessionEvent& event) { applyEvent(*instance_, event); }

    Builder build_;
    std::unique_ptr<ModelInstance> instance_;
    Drawable* drawable_ = nullptr;
    std::vector<SessionEvent> events_;
    std::size_t applied_ = 0;  // events_[0..applied_) are in the instance's past
    double time_ = 0.0;
    double furthest_ = 0.0;
};

}  // namespace qx
