// The overlays' geometry against the skinning itself: the figure is given two more positions
// per bone, at its rest start and end and attached to it, so that skinning moves them and the
// skeleton must land where they land.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "animation/SkeletalInstance.h"
#include "render/OverlayGeometry.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

float distance(const Vector3& a, const Vector3& b) { return std::sqrt(dot(a - b, a - b)); }

// The figure with each bone's start and end appended to the positions, bone b's at
// first + 2b and first + 2b + 1.
std::unique_ptr<SkeletalMesh> figureWithBonePoints(std::size_t& first) {
    auto mesh = readSkeletalMesh((test::sourceDir() / "samples" / "figure.qm1").string());
    if (!mesh) return nullptr;
    first = mesh->positions.size();
    for (MeshBone& bone : mesh->bones) {
        for (const Vector3& p : {bone.start, bone.end}) {
            bone.attachedPositions.push_back(static_cast<std::int32_t>(mesh->positions.size()));
            mesh->positions.push_back(p);
            mesh->positionNormals.emplace_back();
        }
    }
    return mesh;
}

TEST(OverlayGeometry, FollowsTheSkinnedFigureThroughItsWalk) {
    std::size_t first = 0;
    SkeletalModel model;
    model.addMesh(figureWithBonePoints(first));
    ASSERT_NE(model.meshes().front(), nullptr);
    model.addMotion(readSkeletalMotion((test::sourceDir() / "samples" / "figure-walk.qm2").string()));
    ASSERT_NE(model.motions().front(), nullptr);
    const SkeletalMesh& mesh = *model.meshes().front();

    OverlayOptions all;
    all.skeleton = all.normals = all.bounds = all.grid = true;
    OverlayGeometry g;
    // Fading in, mid-stride and into the second cycle (the walk lasts 1.2 s).
    for (const float seconds : {0.2f, 0.7f, 1.5f}) {
        SkeletalInstance instance(model);
        MotionSettings walk;
        walk.motionId = model.motions().front()->nameHash;
        ASSERT_TRUE(instance.start(walk));
        SkeletalDrawable* d = nullptr;
        for (int step = 0; step < static_cast<int>(seconds * 60.0f); ++step) d = instance.update(1.0f / 60.0f);
        ASSERT_NE(d, nullptr);
        computeOverlayGeometry(*d, all, g);
        const float tolerance = 1e-5f * g.size;
        SCOPED_TRACE(seconds);

        ASSERT_EQ(g.bones.size(), mesh.bones.size());
        for (std::size_t b = 0; b < g.bones.size(); ++b) {
            EXPECT_LE(distance(g.bones[b].start, d->positions[first + 2 * b]), tolerance) << mesh.bones[b].name;
            EXPECT_LE(distance(g.bones[b].end, d->positions[first + 2 * b + 1]), tolerance) << mesh.bones[b].name;
            EXPECT_EQ(g.bones[b].parent, mesh.bones[b].parent);
        }
        // A bone that moves leaves its rest place: the segments are posed, not the rest skeleton.
        EXPECT_GT(distance(g.bones[6].end, mesh.bones[6].end), 100.0f * tolerance);

        std::size_t line = 0;
        for (std::size_t p = 0; p < first; ++p) {
            for (const std::int32_t n : mesh.positionNormals[p]) {
                ASSERT_LT(line + 1, g.normalLines.size());
                EXPECT_EQ(g.normalLines[line], d->positions[p]);
                const Vector3 along = g.normalLines[line + 1] - g.normalLines[line];
                EXPECT_NEAR(std::sqrt(dot(along, along)), 0.02f * g.size, tolerance);
                EXPECT_GT(dot(along, d->normals[static_cast<std::size_t>(n)]), 0.0f);
                line += 2;
            }
        }
        EXPECT_EQ(line, g.normalLines.size());

        for (int axis = 0; axis < 3; ++axis) {
            const auto coordinate = [axis](const Vector3& v) { return (&v.x)[axis]; };
            const auto [low, high] =
                std::minmax_element(d->positions.begin(), d->positions.end(),
                                    [&](const Vector3& a, const Vector3& b) { return coordinate(a) < coordinate(b); });
            EXPECT_EQ((&g.bounds.low.x)[axis], coordinate(*low));
            EXPECT_EQ((&g.bounds.high.x)[axis], coordinate(*high));
        }

        // The ground under the lowest rest point, spaced a round number about a tenth of the size.
        const auto lowest = std::min_element(mesh.positions.begin(), mesh.positions.end(),
                                             [](const Vector3& a, const Vector3& b) { return a.y < b.y; });
        EXPECT_EQ(g.grid.height, lowest->y);
        const float mantissa = g.grid.spacing / std::pow(10.0f, std::floor(std::log10(g.grid.spacing) + 1e-4f));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-4f || std::abs(mantissa - 2) < 1e-4f || std::abs(mantissa - 5) < 1e-4f)
            << g.grid.spacing;
        EXPECT_GT(g.grid.spacing, g.size / 25.0f);
        EXPECT_LE(g.grid.spacing, g.size / 10.0f);
    }
}

}  // namespace
}  // namespace qx
