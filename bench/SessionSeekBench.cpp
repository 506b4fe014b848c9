// Seeking a window's session: a ten-minute session of the sample figure with its three motions,
// a motion started or stopped every 20 seconds, replayed to its end as the timeline shows it.
// Beside it the plain replay that poses and skins at every step, which a seek avoids.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "scene/ModelScene.h"
#include "scene/OpenFile.h"
#include "scene/PlaySession.h"

namespace {

using namespace qx;

constexpr double SessionLength = 600.0;

struct FigureSession {
    FigureSession() {
        const std::string samples = QX_SOURCE_DIR "/samples/";
        model.addMesh(readMeshToShow(samples + "figure.qm1", nullptr, ImageLoading::Skip));
        for (const char* name : {"figure-idle.qm2", "figure-walk.qm2", "figure-wave.qm2"})
            model.addMotion(readMotionToPlay(samples + name));
        session = std::make_unique<PlaySession>([this] { return makeInstance(model); });
        for (int i = 0; i < 30; ++i) {
            session->advance(i == 0 ? 0.0 : 20.0);
            SessionEvent event;
            event.motion = i % 3;
            // Each motion is started, then stopped the next time its turn comes.
            event.kind = (i / 3) % 2 == 0 ? SessionEvent::Kind::Start : SessionEvent::Kind::Stop;
            event.settings.motionId = model.motions()[static_cast<std::size_t>(event.motion)]->nameHash;
            event.settings.attackLength = event.settings.decayLength = 0.5f;
            session->record(event);
        }
        session->advance(SessionLength - session->time());
    }
    SkeletalModel model;
    std::unique_ptr<PlaySession> session;
};

void BM_SeekTenMinuteSession(benchmark::State& state) {
    FigureSession figure;
    for (auto _ : state) benchmark::DoNotOptimize(figure.session->seek(SessionLength));
}
BENCHMARK(BM_SeekTenMinuteSession)->Unit(benchmark::kMillisecond);

void BM_PlainReplayTenMinuteSession(benchmark::State& state) {
    FigureSession figure;
    for (auto _ : state) {
        auto instance = makeInstance(figure.model);
        Drawable* last = nullptr;
        forEachReplayStep(instance->kind(), figure.session->events(), SessionLength, [&](const ReplayStep& step) {
            if (step.event != nullptr)
                applyEvent(*instance, *step.event);
            else
                last = instance->update(step.dt);
        });
        benchmark::DoNotOptimize(last);
    }
}
BENCHMARK(BM_PlainReplayTenMinuteSession)->Unit(benchmark::kMillisecond);

}  // namespace
