#include "scene/PlaySession.h"

#include <algorithm>
#include <cmath>

#include "animation/SkeletalInstance.h"
#include "core/ModelKind.h"
#include "scene/ModelScene.h"
#include "vertex/VertexInstance.h"

namespace qx {

void forEachReplayStep(int kind, const std::vector<SessionEvent>& events, double time,
                       const std::function<void(const ReplayStep&)>& visit) {
    double at = 0.0;
    const auto playUntil = [&](double until, bool final) {
        const ViewerSteps steps = viewerSteps(kind, until - at);
        for (int i = 0; i < steps.count; ++i) visit({nullptr, steps.step, false});
        // Between events a remainder of nothing is no step at all; the final update always is.
        if (final || steps.rest != 0.0f) visit({nullptr, steps.rest, final});
        at = until;
    };
    for (const SessionEvent& event : events) {
        if (!(event.time <= time)) break;
        if (event.time > at) playUntil(event.time, false);
        visit({&event, 0.0f, false});
    }
    playUntil(std::max(time, at), true);
}

void applyEvent(ModelInstance& instance, const SessionEvent& event) {
    using Kind = SessionEvent::Kind;
    if (instance.kind() == SkeletalKind) {
        auto& skeletal = static_cast<SkeletalInstance&>(instance);
        if (event.kind == Kind::Start) skeletal.start(event.settings);
        if (event.kind == Kind::Stop) skeletal.stop(event.settings.motionId);
    } else if (instance.kind() == VertexKind) {
        auto& vertex = static_cast<VertexInstance&>(instance);
        if (event.kind == Kind::Range) vertex.setRange(event.first, event.last, -1);
        if (event.kind == Kind::Rate) vertex.setFps(event.fps);
    }
}

Drawable* replayTo(ModelInstance& instance, const std::vector<SessionEvent>& events, double time,
                   std::size_t* applied) {
    const int kind = instance.kind();
    Drawable* drawable = nullptr;
    std::size_t count = 0;
    forEachReplayStep(kind, events, time, [&](const ReplayStep& step) {
        if (step.event != nullptr) {
            applyEvent(instance, *step.event);
            ++count;
        } else if (step.last) {
            drawable = instance.update(step.dt);
        } else if (kind == SkeletalKind) {
            // Only the mixer's state carries from one step to the next: the pose of a step before
            // the last is never seen.
            static_cast<SkeletalInstance&>(instance).updateMixer(step.dt);
        } else {
            instance.update(step.dt);
        }
    });
    if (applied != nullptr) *applied = count;
    return drawable;
}

PlaySession::PlaySession(Builder build) : build_(std::move(build)) { restart(); }

void PlaySession::restart() {
    instance_ = build_();
    events_.clear();
    applied_ = 0;
    time_ = furthest_ = 0.0;
    drawable_ = instance_->update(0.0f);
}

Drawable* PlaySession::advance(double dt) {
    if (!std::isfinite(dt) || dt < 0.0) dt = 0.0;
    const double end = time_ + dt;
    for (; applied_ < events_.size() && events_[applied_].time <= end; ++applied_) {
        const SessionEvent& event = events_[applied_];
        if (event.time > time_) instance_->update(static_cast<float>(event.time - time_));
        time_ = std::max(time_, event.time);
        apply(event);
    }
    drawable_ = instance_->update(static_cast<float>(end - time_));
    time_ = end;
    furthest_ = std::max(furthest_, time_);
    return drawable_;
}

void PlaySession::record(SessionEvent event) {
    events_.resize(applied_);
    event.time = time_;
    events_.push_back(event);
    applied_ = events_.size();
    apply(events_.back());
}

Drawable* PlaySession::seek(double time) {
    if (!(time > 0.0)) time = 0.0;
    instance_ = build_();
    drawable_ = replayTo(*instance_, events_, time, &applied_);
    time_ = time;
    furthest_ = std::max(furthest_, time_);
    return drawable_;
}

}  // namespace qx
