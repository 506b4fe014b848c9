#pragma once
// Pieces of the human-readable summaries of `info` that several file kinds print alike.

#include <cstddef>
#include <ostream>
#include <vector>

#include "math/Vector3.h"
#include "skeletal/MotionTrack.h"

namespace qx::tool {

struct Box {
    Vector3 low;
    Vector3 high;
};

// The smallest box around the points, which must not be empty.
Box boxAround(const std::vector<Vector3>& points);
// "(x, y, z) to (x, y, z)", the numbers as the stream prints floats.
std::ostream& operator<<(std::ostream& out, const Box& box);

// The keys of every channel of every track.
std::size_t keyCount(const std::vector<MotionTrack>& tracks);

}  // namespace qx::tool
