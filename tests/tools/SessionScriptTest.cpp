// A window's session saved as a script: run through qxtool on the same files it prints the pose
// the window shows paused at that time, the one PlaySession::seek gives.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "animation/SkeletalDrawable.h"
#include "scene/ModelScene.h"
#include "scene/SessionScript.h"
#include "tests/support/Qxtool.h"
#include "tests/support/RandomSession.h"
#include "vertex/VertexDrawable.h"

namespace qx {
namespace {

const std::vector<Vector3>& positionsOf(const Drawable* drawable) {
    if (drawable->kind() == SkeletalKind) return static_cast<const SkeletalDrawable*>(drawable)->positions;
    return static_cast<const VertexDrawable*>(drawable)->positions;
}

TEST(SessionScript, ReplaysThePoseTheWindowShows) {
    const std::string samples = (test::sourceDir() / "samples").string();
    const SessionFiles figureFiles{
        samples + "/figure.qm1",
        {samples + "/figure-idle.qm2", samples + "/figure-walk.qm2", samples + "/figure-wave.qm2"}};
    const SessionFiles flagFiles{samples + "/flag.qv1", {}};
    const auto figure = test::sampleFigure();
    std::vector<std::int32_t> ids;
    for (const auto& motion : figure->motions()) ids.push_back(motion->nameHash);
    const auto flag = readVertexModelToShow(flagFiles.model, nullptr, ImageLoading::Skip);
    ASSERT_NE(flag, nullptr);
    test::TempDir dir;
    std::mt19937 random(32);
    for (int round = 0; round < 4; ++round) {
        const bool skeletal = round % 2 == 0;
        PlaySession session([&]() -> std::unique_ptr<ModelInstance> {
            if (skeletal) return makeInstance(*figure);
            return makeInstance(*flag);
        });
        const int kind = skeletal ? SkeletalKind : VertexKind;
        for (const SessionEvent& event :
             test::randomSession(random, kind, ids, static_cast<std::int32_t>(flag->frames.size()), 5.0)) {
            session.advance(event.time - session.time());
            session.record(event);
        }
        const double time = std::uniform_real_distribution<double>(0.0, 6.0)(random);
        const std::vector<Vector3> shown = positionsOf(session.seek(time));

        const std::string script = dir.file("session " + std::to_string(round) + ".sh");
        std::ofstream(script) << sessionScript(kind, skeletal ? figureFiles : flagFiles, session.events(), time);
        const auto run = test::runCommand("QXTOOL=" + test::quoted(test::qxtoolPath()) + " sh " + test::quoted(script));
        ASSERT_EQ(run.status, 0) << run.err;
        // The pose is the last line; `range` lines print what setRange answered before it.
        std::string line, last;
        for (std::istringstream lines(run.out); std::getline(lines, line);) last = line;
        const auto positions = nlohmann::json::parse(last).at("positions");
        ASSERT_EQ(positions.size(), shown.size()) << "round " << round;
        for (std::size_t i = 0; i < shown.size(); ++i)
            ASSERT_EQ(positions[i].get<std::vector<float>>(), (std::vector<float>{shown[i].x, shown[i].y, shown[i].z}))
                << "round " << round << " vertex " << i;
    }
}

}  // namespace
}  // namespace qx
