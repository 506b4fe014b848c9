#include "tools/qxtool/TextSummary.h"

#include <algorithm>

namespace qx::tool {

Box boxAround(const std::vector<Vector3>& points) {
    Box box{points.front(), points.front()};
    for (const Vector3& p : points) {
        box.low = {std::min(box.low.x, p.x), std::min(box.low.y, p.y), std::min(box.low.z, p.z)};
        box.high = {std::max(box.high.x, p.x), std::max(box.high.y, p.y), std::max(box.high.z, p.z)};
    }
    return box;
}

std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << '(' << box.low.x << ", " << box.low.y << ", " << box.low.z << ") to (" << box.high.x << ", "
               << box.high.y << ", " << box.high.z << ')';
}

std::size_t keyCount(const std::vector<MotionTrack>& tracks) {
    std::size_t keys = 0;
    for (const MotionTrack& track : tracks)
        for (const MotionChannel& channel : track.channels) keys += channel.keys.size();
    return keys;
}

}  // namespace qx::tool
