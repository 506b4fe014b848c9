#pragma once
// Evaluation of one motion channel at a time, with a cursor that remembers where the previous
// evaluation ended, so that playing forward in small steps costs a step or two per channel.

#include <cstdint>

#include "skeletal/MotionTrack.h"

namespace qx {

struct ChannelCursor {
    std::int32_t keyIndex = 0;  // key at or before the last evaluated time
    float value = 0.0f;         // value of the last evaluation
    float time = -1.0f;         // time of the last evaluation
    // Whether value and time hold an evaluation yet. Without it a first evaluation at exactly
    // -1 s (possible with keys at negative times) would return the initial 0.
    bool evaluated = false;
};

// The channel's value at time t. Clamps to the first and last keys; an exact key time gives
// that key's value. An empty channel gives 0 (callers substitute their slot's identity).
float evaluateChannel(ChannelCursor& cursor, const MotionChannel& channel, float t);

// The segment from key i to key i + 1 at time t, by the interpolation kind of key i.
float interpolateSegment(const MotionKey& a, const MotionKey& b, float t);

}  // namespace qx
