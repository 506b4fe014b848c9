#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "animation/EvaluateChannel.h"
#include "skeletal/ComputeHandles.h"
#include "tests/support/MotionBuilder.h"

namespace qx {
namespace {

using test::channel;
using test::key;

float evaluateFresh(const MotionChannel& c, float t) {
    ChannelCursor cursor;
    return evaluateChannel(cursor, c, t);
}

TEST(EvaluateChannel, SingleKeyHoldsEverywhere) {
    const MotionChannel c = channel({key(1.0f, 4.0f)});
    for (float t : {-5.0f, 0.0f, 1.0f, 2.0f, 100.0f}) EXPECT_EQ(evaluateFresh(c, t), 4.0f);
}

TEST(EvaluateChannel, ClampsBeforeFirstAndAfterLastKey) {
    const MotionChannel c = channel({key(1.0f, 10.0f), key(2.0f, 20.0f)});
    ChannelCursor cursor;
    EXPECT_EQ(evaluateChannel(cursor, c, 0.5f), 10.0f);
    EXPECT_EQ(evaluateChannel(cursor, c, 3.0f), 20.0f);
    // Clamped evaluations do not touch the cursor.
    EXPECT_EQ(cursor.keyIndex, 0);
    EXPECT_EQ(cursor.time, -1.0f);
}

TEST(EvaluateChannel, ExactKeyTimeGivesTheKeyValue) {
    // Curve keys whose neighbours would pull an interpolation away from 5.
    MotionChannel c = channel({key(0.0f, 0.0f, CurveKind), key(1.0f, 5.0f, CurveKind), key(2.0f, -3.0f, CurveKind),
                               key(3.0f, 1.0f, CurveKind)});
    computeHandles(c);
    ChannelCursor cursor;
    EXPECT_EQ(evaluateChannel(cursor, c, 1.0f), 5.0f);
    EXPECT_EQ(evaluateChannel(cursor, c, 2.0f), -3.0f);
    EXPECT_EQ(evaluateChannel(cursor, c, 1.0f), 5.0f);
}

TEST(EvaluateChannel, HoldKeepsTheValueUntilTheNextKeyTime) {
    const MotionChannel c = channel({key(0.0f, 1.0f, HoldKind), key(1.0f, 2.0f, HoldKind), key(2.0f, 3.0f)});
    EXPECT_EQ(evaluateFresh(c, 0.999f), 1.0f);
    EXPECT_EQ(evaluateFresh(c, 1.0f), 2.0f);
    EXPECT_EQ(evaluateFresh(c, 1.5f), 2.0f);
}

TEST(EvaluateChannel, LinearInterpolatesBetweenKeys) {
    const MotionChannel c = channel({key(0.0f, 0.0f), key(2.0f, 10.0f), key(4.0f, 6.0f)});
    EXPECT_FLOAT_EQ(evaluateFresh(c, 0.5f), 2.5f);
    EXPECT_FLOAT_EQ(evaluateFresh(c, 3.0f), 8.0f);
}

TEST(EvaluateChannel, CurveThroughEvenlySpacedCollinearKeysIsTheLine) {
    MotionChannel c = channel({key(0.0f, 0.0f, CurveKind), key(1.0f, 2.0f, CurveKind), key(2.0f, 4.0f, CurveKind),
                               key(3.0f, 6.0f, CurveKind)});
    computeHandles(c);
    // The inner segment's tangents are both (1, 2): time and value move linearly.
    EXPECT_NEAR(evaluateFresh(c, 1.25f), 2.5f, 1e-4f);
    EXPECT_NEAR(evaluateFresh(c, 1.5f), 3.0f, 1e-4f);
}

TEST(EvaluateChannel, CurveWithFlatTangentsIsSmoothstep) {
    // Zero handles: T(s) = 3s^2 - 2s^3 = V(s), so the value at t equals t for this unit segment.
    MotionKey a = key(0.0f, 0.0f, CurveKind), b = key(1.0f, 1.0f, CurveKind);
    EXPECT_NEAR(interpolateSegment(a, b, 0.5f), 0.5f, 1e-6f);
    EXPECT_NEAR(interpolateSegment(a, b, 0.3f), 0.3f, 2e-4f);
    // Value handles shape the value while time stays smoothstep: V(s) = s^3 + ... at s = 0.5.
    b.value = 2.0f;
    EXPECT_NEAR(interpolateSegment(a, b, 0.5f), 1.0f, 1e-6f);
}

TEST(EvaluateChannel, DivergingNewtonFallsBackToMarching) {
    // Smoothstep time: near s = 0 the slope vanishes, so Newton from s = 0.003 overshoots to
    // about 0.168, where the error grows. The march in steps of 1/1000 stops at the first s
    // with |0.003 - T(s)| <= 0.001: s = 0.027 (T = 0.0021476), and V(s) = T(s) here.
    const MotionKey a = key(0.0f, 0.0f, CurveKind), b = key(1.0f, 1.0f, CurveKind);
    const float s = 0.027f;
    EXPECT_NEAR(interpolateSegment(a, b, 0.003f), 3 * s * s - 2 * s * s * s, 2e-5f);
}

TEST(EvaluateChannel, HostileHandlesNeitherHangNorCrash) {
    MotionKey a = key(0.0f, 0.0f, CurveKind), b = key(1.0f, 1.0f, CurveKind);
    a.outHandle = {std::numeric_limits<float>::infinity(), 0.0f};
    b.inHandle = {std::numeric_limits<float>::quiet_NaN(), 0.0f};
    (void)interpolateSegment(a, b, 0.5f);
    b.time = 3.0e9f;  // a march of three trillion steps is capped
    a.outHandle = {-1.0e9f, 0.0f};
    b.inHandle = {1.0e9f, 0.0f};
    EXPECT_TRUE(std::isfinite(interpolateSegment(a, b, 10.0f)));
}

TEST(EvaluateChannel, SameTimeTwiceReturnsTheCachedValue) {
    MotionChannel c = channel({key(0.0f, 0.0f), key(1.0f, 10.0f)});
    ChannelCursor cursor;
    EXPECT_FLOAT_EQ(evaluateChannel(cursor, c, 0.5f), 5.0f);
    c.keys[1].value = 100.0f;  // a search would now give 50
    EXPECT_FLOAT_EQ(evaluateChannel(cursor, c, 0.5f), 5.0f);
    EXPECT_FLOAT_EQ(evaluateChannel(cursor, c, 0.25f), 25.0f);
}

TEST(EvaluateChannel, FirstEvaluationAtMinusOneSecondIsNotTakenFromTheEmptyCache) {
    const MotionChannel c = channel({key(-2.0f, 4.0f), key(0.0f, 8.0f)});
    EXPECT_FLOAT_EQ(evaluateFresh(c, -1.0f), 6.0f);
}

TEST(EvaluateChannel, WalkingBackwardGivesTheSameValuesAsAFreshCursor) {
    MotionChannel c;
    for (int i = 0; i < 40; ++i)
        c.keys.push_back(key(static_cast<float>(i) * 0.25f, std::sin(static_cast<float>(i)), i % 3));
    computeHandles(c);
    ChannelCursor cursor;
    // Play forward to near the end, wrap around, play again.
    for (float t = 0.0f; t < 9.5f; t += 0.1f) EXPECT_EQ(evaluateChannel(cursor, c, t), evaluateFresh(c, t)) << t;
    EXPECT_GT(cursor.keyIndex, 30);
    for (float t = 0.05f; t < 9.5f; t += 0.35f) EXPECT_EQ(evaluateChannel(cursor, c, t), evaluateFresh(c, t)) << t;
    for (float t = 9.0f; t > 0.0f; t -= 0.7f) EXPECT_EQ(evaluateChannel(cursor, c, t), evaluateFresh(c, t)) << t;
}

TEST(EvaluateChannel, EmptyChannelGivesZero) { EXPECT_EQ(evaluateFresh(MotionChannel{}, 1.0f), 0.0f); }

}  // namespace
}  // namespace qx
