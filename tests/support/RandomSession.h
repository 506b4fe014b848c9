#pragma once
// Seeded random sessions for the replay tests: what a window could record of the sample figure
// (three motions) or flag (26 frames), odd moments included: a motion started twice or stopped
// while not playing, zero and negative settings, a range that holds one frame, a rate of 0.

#include <algorithm>
#include <random>
#include <vector>

#include "core/FilePath.h"
#include "core/ModelKind.h"
#include "scene/OpenFile.h"
#include "scene/PlaySession.h"
#include "tests/support/TestData.h"

namespace qx::test {

// The figure with its idle, walk and wave motions (in that order), read as the viewer reads them.
inline std::unique_ptr<SkeletalModel> sampleFigure() {
    auto model = std::make_unique<SkeletalModel>();
    model->addMesh(readMeshToShow((sourceDir() / "samples/figure.qm1").string(), nullptr, ImageLoading::Skip));
    for (const char* name : {"figure-idle.qm2", "figure-walk.qm2", "figure-wave.qm2"})
        model->addMotion(readMotionToPlay((sourceDir() / "samples" / name).string()));
    return model;
}

inline std::vector<SessionEvent> randomSession(std::mt19937& random, int kind,
                                               const std::vector<std::int32_t>& motionIds, std::int32_t frameCount,
                                               double length) {
    std::uniform_real_distribution<double> when(0.0, length);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<SessionEvent> events(std::uniform_int_distribution<int>(0, 8)(random));
    for (SessionEvent& event : events) {
        // A third of the events happen at 0, as the motions ticked before a window first plays.
        event.time = unit(random) < 0.33f ? 0.0 : when(random);
        if (kind == SkeletalKind) {
            event.kind = unit(random) < 0.7f ? SessionEvent::Kind::Start : SessionEvent::Kind::Stop;
            event.motion =
                std::uniform_int_distribution<std::int32_t>(0, static_cast<std::int32_t>(motionIds.size()) - 1)(random);
            MotionSettings& s = event.settings;
            s.motionId = motionIds[static_cast<std::size_t>(event.motion)];
            s.attackLength = unit(random) * 1.5f - 0.2f;
            s.decayLength = unit(random) * 1.5f - 0.2f;
            s.delay = unit(random) < 0.5f ? 0.0f : unit(random);
            s.stopTime = unit(random) < 0.6f ? -1.0f : unit(random) * 6.0f;
            s.weight = unit(random);
            s.timeFactor = unit(random) < 0.1f ? 0.0f : 0.1f + unit(random) * 3.0f;
        } else {
            event.kind = unit(random) < 0.6f ? SessionEvent::Kind::Range : SessionEvent::Kind::Rate;
            std::uniform_int_distribution<std::int32_t> frame(0, frameCount);
            event.first = frame(random);
            event.last = std::max(event.first, frame(random));
            event.fps = unit(random) < 0.1f ? 0.0f : unit(random) * 40.0f;
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const SessionEvent& a, const SessionEvent& b) { return a.time < b.time; });
    return events;
}

}  // namespace qx::test
