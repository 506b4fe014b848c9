// A session's seek replays the record with the mixer alone before the last step; it must give
// the very pose of the plain replay that updates (poses and skins) at every step.

#include <gtest/gtest.h>

#include <cstring>

#include "animation/SkeletalDrawable.h"
#include "scene/ModelScene.h"
#include "tests/support/RandomSession.h"
#include "vertex/VertexDrawable.h"

namespace qx {
namespace {

std::vector<Vector3> positionsAndNormals(const Drawable* drawable) {
    std::vector<Vector3> out;
    if (drawable == nullptr) return out;
    const auto gather = [&out](const auto& d) {
        out = d.positions;
        out.insert(out.end(), d.normals.begin(), d.normals.end());
    };
    if (drawable->kind() == SkeletalKind)
        gather(*static_cast<const SkeletalDrawable*>(drawable));
    else
        gather(*static_cast<const VertexDrawable*>(drawable));
    return out;
}

bool sameBits(const std::vector<Vector3>& a, const std::vector<Vector3>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Vector3)) == 0;
}

TEST(PlaySession, SeekGivesThePoseOfThePlainReplay) {
    const auto figure = test::sampleFigure();
    std::vector<std::int32_t> ids;
    for (const auto& motion : figure->motions()) ids.push_back(motion->nameHash);
    const auto flag =
        readVertexModelToShow((test::sourceDir() / "samples/flag.qv1").string(), nullptr, ImageLoading::Skip);
    ASSERT_FALSE(ids.empty());
    ASSERT_NE(flag, nullptr);
    std::mt19937 random(30);
    for (int round = 0; round < 24; ++round) {
        const bool skeletal = round % 2 == 0;
        const PlaySession::Builder build = [&]() -> std::unique_ptr<ModelInstance> {
            if (skeletal) return makeInstance(*figure);
            return makeInstance(*flag);
        };
        // Some sessions outlast the minute after which a segment is played in one step.
        const double length = round % 6 == 0 ? 75.0 : 8.0;
        const auto events = test::randomSession(random, skeletal ? SkeletalKind : VertexKind, ids,
                                                static_cast<std::int32_t>(flag->frames.size()), length);
        PlaySession session(build);
        for (const SessionEvent& event : events) {
            session.advance(event.time - session.time());
            session.record(event);
        }
        session.advance(length - session.time());
        for (const double time : {std::uniform_real_distribution<double>(0.0, length * 1.2)(random), 0.0, length}) {
            const auto seen = positionsAndNormals(session.seek(time));
            auto plain = build();
            Drawable* last = nullptr;
            forEachReplayStep(plain->kind(), session.events(), time, [&](const ReplayStep& step) {
                if (step.event != nullptr)
                    applyEvent(*plain, *step.event);
                else
                    last = plain->update(step.dt);
            });
            EXPECT_TRUE(sameBits(seen, positionsAndNormals(last))) << "round " << round << " at " << time;
            EXPECT_EQ(session.time(), time);
        }
        EXPECT_GE(session.furthest(), length);
    }
}

}  // namespace
}  // namespace qx
