#include "scene/Recorder.h"

#include <algorithm>

#include "core/FileBytes.h"
#include "core/ModelKind.h"
#include "scene/ModelScene.h"

namespace qx {

double frameTime(const RecordingRequest& request, std::int64_t k) {
    return request.start + static_cast<double>(k) / request.fps;
}

CameraTurn frameTurn(const RecordingRequest& request, std::int64_t k, std::int64_t count) {
    CameraTurn turn = request.scene.turn;
    if (count > 0) turn.yaw += request.orbit * static_cast<double>(k) / static_cast<double>(count);
    return turn;
}

bool Recorder::open(const RecordingRequest& request, SnapshotProblem& problem) {
    request_ = request;
    return scene_.open(request.scene, problem);
}

double Recorder::naturalDuration() const {
    const std::vector<SessionEvent>& events = request_.events;
    if (const SkeletalModel* model = scene_.skeletal()) {
        const auto& motions = model->motions();
        std::vector<double> playing(motions.size(), request_.replaySession ? 0.0 : 1.0);
        for (const SessionEvent& event : events) {
            if (!request_.replaySession || event.time > request_.start || event.motion < 0 ||
                static_cast<std::size_t>(event.motion) >= motions.size())
                continue;
            const float factor = event.settings.timeFactor;
            if (event.kind == SessionEvent::Kind::Start) playing[event.motion] = factor > 0.0f ? 1.0 / factor : 0.0;
            if (event.kind == SessionEvent::Kind::Stop) playing[event.motion] = 0.0;
        }
        double longest = 0.0;
        for (std::size_t i = 0; i < motions.size(); ++i)
            longest = std::max(longest, static_cast<double>(motions[i]->duration) * playing[i]);
        return longest;
    }
    const SnapshotRequest& s = request_.scene;
    std::int32_t frames = static_cast<std::int32_t>(scene_.vertex()->frames.size());
    if (s.hasFrames) frames = s.last - s.first;
    double fps = s.fps;
    for (const SessionEvent& event : events) {
        if (!request_.replaySession || event.time > request_.start) continue;
        if (event.kind == SessionEvent::Kind::Range) frames = event.last - event.first;
        if (event.kind == SessionEvent::Kind::Rate) fps = event.fps;
    }
    return fps > 0.0 && frames > 0 ? frames / fps : 0.0;
}

Recorder::Result Recorder::record(std::int64_t count, FrameWriter& writer, const RecordingProgress& progress,
                                  std::string* reason) {
    Snapshot picture;
    SnapshotProblem problem;
    for (std::int64_t k = 0; k < count; ++k) {
        const std::unique_ptr<ModelInstance> instance = scene_.makeInstance(!request_.replaySession);
        Drawable* drawable = replayTo(*instance, request_.events, frameTime(request_, k));
        if (!scene_.draw(drawable, frameTurn(request_, k, count), picture, false, problem)) {
            setReason(reason, problem.reason);
            return Result::Failed;
        }
        // A window shows colours only (see qxtool render).
        for (std::size_t i = 3; i < picture.rgba.size(); i += 4) picture.rgba[i] = 255;
        if (!writer.write(picture.rgba.data(), reason)) return Result::Failed;
        if (progress && !progress(k + 1, count)) return Result::Cancelled;
    }
    return writer.finish(reason) ? Result::Done : Result::Failed;
}

}  // namespace qx
