#include "vertex/VertexInstance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/VertexModelBuilder.h"

namespace qx {
namespace {

using test::builtPosition;

VertexModel makeModel(int frames, int vertices) {
    VertexModel model;
    test::fillVertexModel(model, frames, vertices);
    return model;
}

// Frame k puts every vertex at x = k, so x of any vertex shows which frames were blended.
float shownX(const VertexDrawable* drawable, std::size_t vertex = 0) { return drawable->positions[vertex].x; }

TEST(VertexInstance, WholeRangeAtFifteenFramesPerSecond) {
    const VertexModel model = makeModel(10, 3);
    VertexInstance instance(model);
    EXPECT_EQ(instance.kind(), 0);
    EXPECT_EQ(instance.start(), 0);
    EXPECT_EQ(instance.end(), 10);
    EXPECT_EQ(instance.current(), 0);
    EXPECT_EQ(instance.next(), 1);
    EXPECT_EQ(instance.fps(), 15.0f);
    EXPECT_EQ(instance.frameDuration(), 1.0f / 15.0f);
    EXPECT_EQ(instance.fraction(), 0.0f);
    EXPECT_EQ(instance.drawable().kind(), 0);
    EXPECT_EQ(&instance.drawable().model(), &model);
    EXPECT_EQ(instance.drawable().positions.size(), 4000u);
}

TEST(VertexInstance, BlendsPositionsAndNormalsBetweenCurrentAndNext) {
    const VertexModel model = makeModel(10, 3);
    VertexInstance instance(model, -1, -1, 10.0f);
    instance.setRange(0, 10, 4);
    const VertexDrawable* d = instance.update(0.025f);  // a quarter of a frame
    EXPECT_EQ(instance.current(), 4);
    EXPECT_EQ(instance.next(), 5);
    EXPECT_NEAR(instance.fraction(), 0.25f, 1e-6f);
    // x: 4 + 0.25 * (5 - 4); y of vertex 2 is 20 in every frame; normal y follows the frame.
    EXPECT_NEAR(shownX(d, 2), 4.25f, 1e-5f);
    EXPECT_NEAR(d->positions[2].y, 20.0f, 1e-5f);
    EXPECT_NEAR(d->positions[2].z, -4.25f, 1e-5f);
    EXPECT_NEAR(d->normals[2].y, 4.25f, 1e-5f);
    EXPECT_NEAR(d->normals[2].z, 1.0f, 1e-6f);
}

TEST(VertexInstance, QuarterSecondAtTenFpsFromFrameNineWrapsToFrameOne) {
    const VertexModel model = makeModel(10, 1);
    VertexInstance instance(model, 0, 10, 10.0f);
    ASSERT_EQ(instance.setRange(0, 10, 9), 1);
    const VertexDrawable* d = instance.update(0.25f);
    // Two steps from 9: 11 wraps to 1; half a frame of elapsed time is left over.
    EXPECT_EQ(instance.current(), 1);
    EXPECT_EQ(instance.next(), 2);
    EXPECT_NEAR(instance.fraction(), 0.5f, 1e-5f);
    EXPECT_NEAR(instance.elapsed(), 0.05f, 1e-6f);
    EXPECT_NEAR(shownX(d), 1.5f, 1e-4f);
}

TEST(VertexInstance, LastFrameBlendsBackIntoTheFirstOfTheRange) {
    const VertexModel model = makeModel(10, 1);
    VertexInstance instance(model, -1, -1, 10.0f);
    ASSERT_EQ(instance.setRange(2, 5, 4), 1);
    EXPECT_EQ(instance.next(), 2);
    const VertexDrawable* d = instance.update(0.05f);
    EXPECT_NEAR(shownX(d), 3.0f, 1e-5f);  // halfway from frame 4 to frame 2
    // Four frames from 4 in 2..4: 8 -> 2 + (8 - 5) mod 3 = 2.
    instance.update(0.4f);
    EXPECT_EQ(instance.current(), 2);
    EXPECT_EQ(instance.next(), 3);
}

TEST(VertexInstance, ARateOfZeroHoldsTheFrame) {
    const VertexModel model = makeModel(10, 1);
    VertexInstance instance(model, 0, 10, 0.0f);
    EXPECT_TRUE(std::isinf(instance.frameDuration()));
    instance.setRange(0, 10, 6);
    const VertexDrawable* d = instance.update(1000.0f);
    EXPECT_EQ(instance.current(), 6);
    EXPECT_EQ(instance.fraction(), 0.0f);
    EXPECT_EQ(shownX(d), 6.0f);
}

TEST(VertexInstance, NegativeRatePlaysForwardAtItsSize) {
    const VertexModel model = makeModel(10, 1);
    VertexInstance instance(model, 0, 10, -10.0f);
    EXPECT_EQ(instance.fps(), 10.0f);
    instance.update(0.35f);
    EXPECT_EQ(instance.current(), 3);
    instance.setFps(-5.0f);
    EXPECT_EQ(instance.fps(), 5.0f);
    EXPECT_EQ(instance.frameDuration(), 0.2f);
    EXPECT_EQ(instance.current(), 3);  // nothing else changes until the next update
    instance.update(0.2f);
    EXPECT_EQ(instance.current(), 4);
}

TEST(VertexInstance, SetRangeRefusesAndKeepsEverything) {
    const VertexModel model = makeModel(10, 1);
    VertexInstance instance(model, -1, -1, 10.0f);
    instance.update(0.33f);
    const std::int32_t current = instance.current();
    const float elapsed = instance.elapsed();
    EXPECT_EQ(instance.setRange(2, 5, 7), 0);  // current frame outside the range
    EXPECT_EQ(instance.setRange(2, 5, 5), 0);  // end is exclusive
    EXPECT_EQ(instance.setRange(2, 5, 1), 0);
    EXPECT_EQ(instance.setRange(-1, 5, -1), 0);  // first below 0
    EXPECT_EQ(instance.setRange(0, 11, -1), 0);  // beyond the 10 frames
    EXPECT_EQ(instance.setRange(0, -1, -1), 0);  // -1 compares as 4294967295
    EXPECT_EQ(instance.start(), 0);
    EXPECT_EQ(instance.end(), 10);
    EXPECT_EQ(instance.current(), current);
    EXPECT_EQ(instance.elapsed(), elapsed);
}

TEST(VertexInstance, SetRangeAcceptsAndRestarts) {
    const VertexModel model = makeModel(10, 1);
    VertexInstance instance(model, -1, -1, 10.0f);
    instance.update(0.33f);
    EXPECT_EQ(instance.setRange(2, 5, -1), 1);
    EXPECT_EQ(instance.start(), 2);
    EXPECT_EQ(instance.end(), 5);
    EXPECT_EQ(instance.current(), 2);
    EXPECT_EQ(instance.next(), 3);
    EXPECT_EQ(instance.elapsed(), 0.0f);
    EXPECT_EQ(instance.fraction(), 0.0f);
    EXPECT_EQ(instance.setRange(2, 5, 4), 1);
    EXPECT_EQ(instance.current(), 4);
    EXPECT_EQ(instance.setRange(0, 10, -1), 1);  // last equal to the frame count
    EXPECT_EQ(instance.setRange(9, 10, -1), 1);  // a one-frame range stands still
    EXPECT_EQ(instance.next(), 9);
    const VertexDrawable* d = instance.update(0.55f);
    EXPECT_EQ(instance.current(), 9);
    EXPECT_FLOAT_EQ(shownX(d), 9.0f);
}

TEST(VertexInstance, EmptyOrReversedRangeHoldsAFrameInsideTheModel) {
    const VertexModel model = makeModel(10, 2);
    VertexInstance instance(model, -1, -1, 10.0f);
    ASSERT_EQ(instance.setRange(3, 3, -1), 1);  // Frame Start typed equal to Frame End
    VertexDrawable* d = instance.update(0.77f);
    EXPECT_EQ(instance.current(), 3);
    EXPECT_EQ(instance.next(), 3);
    EXPECT_EQ(instance.fraction(), 0.0f);
    EXPECT_EQ(shownX(d, 1), 3.0f);

    ASSERT_EQ(instance.setRange(7, 2, -1), 1);
    d = instance.update(5.0f);
    EXPECT_EQ(shownX(d), 7.0f);

    // first may lie past the frames as long as last does not: the last frame is held.
    ASSERT_EQ(instance.setRange(10, 10, -1), 1);
    d = instance.update(1.0f);
    EXPECT_EQ(instance.current(), 9);
    EXPECT_EQ(shownX(d), 9.0f);
    ASSERT_EQ(instance.setRange(40, 5, -1), 1);
    d = instance.update(1.0f);
    EXPECT_EQ(instance.current(), 9);

    // And a playable range plays again afterwards.
    ASSERT_EQ(instance.setRange(0, 10, -1), 1);
    instance.update(0.25f);
    EXPECT_EQ(instance.current(), 2);
}

TEST(VertexInstance, ConstructionClampsTheRangeIntoTheModel) {
    const VertexModel model = makeModel(10, 1);
    VertexInstance wide(model, 5, 50, 10.0f);
    EXPECT_EQ(wide.start(), 5);
    EXPECT_EQ(wide.end(), 10);
    wide.update(0.65f);
    EXPECT_EQ(wide.current(), 6);  // 5 + 6 = 11 wraps into 5..9
    VertexInstance low(model, -4, 3, 10.0f);
    EXPECT_EQ(low.start(), 0);
    EXPECT_EQ(low.end(), 3);
    VertexInstance reversed(model, 8, 2, 10.0f);
    const VertexDrawable* d = reversed.update(3.0f);
    EXPECT_EQ(shownX(d), 8.0f);
}

TEST(VertexInstance, ModelWithoutFramesPlaysNothingAndHoldsNothing) {
    VertexModel model;
    model.vertexCount = 3;
    VertexInstance instance(model);
    EXPECT_EQ(instance.end(), 0);
    const VertexDrawable* d = instance.update(1.0f);
    EXPECT_EQ(instance.current(), 0);
    // The count is only declared: no list is sized by it, and the drawable draws nothing.
    EXPECT_TRUE(d->positions.empty());
    EXPECT_TRUE(d->normals.empty());
    EXPECT_EQ(instance.setRange(0, 0, -1), 1);
    EXPECT_EQ(instance.setRange(0, 1, -1), 0);
    d = instance.update(1.0f);
    EXPECT_TRUE(d->positions.empty());
}

TEST(VertexInstance, BrokenTimeStepsAdvanceNothing) {
    const VertexModel model = makeModel(10, 1);
    VertexInstance instance(model, -1, -1, 10.0f);
    instance.update(0.15f);
    for (const float dt : {-1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        instance.update(dt);
        EXPECT_EQ(instance.current(), 1) << dt;
        EXPECT_NEAR(instance.elapsed(), 0.05f, 1e-6f) << dt;
    }
    // A huge finite step wraps like any other, staying in the range.
    instance.update(1e30f);
    EXPECT_GE(instance.current(), 0);
    EXPECT_LT(instance.current(), 10);
    EXPECT_GE(instance.next(), 0);
    EXPECT_LT(instance.next(), 10);
    EXPECT_TRUE(std::isfinite(instance.fraction()));
}

TEST(VertexInstance, InfiniteOrNaNRateHoldsTheFrame) {
    const VertexModel model = makeModel(10, 1);
    VertexInstance instance(model, -1, -1, 10.0f);
    instance.setRange(0, 10, 4);
    instance.setFps(std::numeric_limits<float>::infinity());
    const VertexDrawable* d = instance.update(0.5f);
    EXPECT_EQ(instance.current(), 4);
    EXPECT_EQ(shownX(d), 4.0f);
    instance.setFps(std::numeric_limits<float>::quiet_NaN());
    d = instance.update(0.5f);
    EXPECT_EQ(instance.current(), 4);
    EXPECT_EQ(shownX(d), 4.0f);
}

TEST(VertexInstance, ListsExchangeWithoutAllocatingAndFitLargeModels) {
    const VertexModel model = makeModel(3, 5000);  // more than the drawable's 4000 to start with
    VertexInstance instance(model, -1, -1, 10.0f);
    EXPECT_GE(instance.drawable().positions.size(), 5000u);
    const VertexDrawable* d = instance.update(0.0f);
    const Vector3* first = d->positions.data();
    EXPECT_EQ(d->positions[4999], builtPosition(0, 4999));
    d = instance.update(0.1f);
    const Vector3* second = d->positions.data();
    EXPECT_NE(first, second);
    EXPECT_EQ(d->positions[4999], builtPosition(1, 4999));
    EXPECT_EQ(d->normals[4999], test::builtNormal(1));
    d = instance.update(0.1f);
    EXPECT_EQ(d->positions.data(), first);  // the same two lists take turns
    EXPECT_EQ(d->positions[4999], builtPosition(2, 4999));
    EXPECT_GE(d->positions.size(), 5000u);
}

TEST(VertexInstance, ShortFramesOfAHandBuiltModelAreNotOverrun) {
    VertexModel model = makeModel(2, 4);
    model.frames[1].vertices.resize(2);
    VertexInstance instance(model, -1, -1, 10.0f);
    const VertexDrawable* d = instance.update(0.05f);
    EXPECT_NEAR(shownX(d, 1), 0.5f, 1e-6f);
}

}  // namespace
}  // namespace qx
