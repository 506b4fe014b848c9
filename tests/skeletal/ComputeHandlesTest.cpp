#include <gtest/gtest.h>

#include "skeletal/ComputeHandles.h"
#include "tests/support/MotionBuilder.h"

namespace qx {
namespace {

using test::channel;
using test::key;

TEST(ComputeHandles, EndKeysPointHalfwayToTheirNeighbour) {
    MotionChannel c = channel({key(0.0f, 1.0f), key(2.0f, 5.0f)});
    computeHandles(c);
    EXPECT_EQ(c.keys[0].outHandle, (TimeValue{-1.0f, -2.0f}));
    EXPECT_EQ(c.keys[0].inHandle, c.keys[0].outHandle);
    // Both handles of a key point toward earlier time.
    EXPECT_EQ(c.keys[1].inHandle, (TimeValue{-1.0f, -2.0f}));
    EXPECT_EQ(c.keys[1].outHandle, c.keys[1].inHandle);
}

TEST(ComputeHandles, InteriorKeyScalesTheNeighbourSlopeToEachSegment) {
    // Neighbours at t 0 and 4, values 0 and 8: direction (-1, -2) per unit of |dt| = 4;
    // the next segment is 3 long, the previous 1.
    MotionChannel c = channel({key(0.0f, 0.0f), key(1.0f, 3.0f), key(4.0f, 8.0f)});
    computeHandles(c);
    EXPECT_EQ(c.keys[1].outHandle, (TimeValue{-3.0f, -6.0f}));
    EXPECT_EQ(c.keys[1].inHandle, (TimeValue{-1.0f, -2.0f}));
}

TEST(ComputeHandles, SingleKeyCopiesItsOutHandleAndEmptyChannelIsUntouched) {
    MotionKey only = key(1.0f, 2.0f);
    only.outHandle = {0.25f, 0.5f};
    only.inHandle = {9.0f, 9.0f};
    MotionChannel c = channel({only});
    computeHandles(c);
    EXPECT_EQ(c.keys[0].inHandle, (TimeValue{0.25f, 0.5f}));

    MotionChannel empty;
    computeHandles(empty);
    EXPECT_TRUE(empty.keys.empty());
}

TEST(ComputeHandles, NeighboursAtOneTimeZeroTheKeyAndStopThePass) {
    MotionKey later = key(1.0f, 7.0f);
    later.outHandle = {4.0f, 4.0f};
    later.inHandle = {5.0f, 5.0f};
    MotionKey last = key(2.0f, 1.0f);
    last.inHandle = {6.0f, 6.0f};
    MotionChannel c = channel({key(1.0f, 0.0f), key(1.0f, 3.0f), later, last});
    computeHandles(c);
    EXPECT_EQ(c.keys[1].outHandle, (TimeValue{0.0f, 0.0f}));
    EXPECT_EQ(c.keys[1].inHandle, (TimeValue{0.0f, 0.0f}));
    EXPECT_EQ(c.keys[2].outHandle, (TimeValue{4.0f, 4.0f}));
    EXPECT_EQ(c.keys[2].inHandle, (TimeValue{5.0f, 5.0f}));
    EXPECT_EQ(c.keys[3].inHandle, (TimeValue{6.0f, 6.0f}));
}

}  // namespace
}  // namespace qx
