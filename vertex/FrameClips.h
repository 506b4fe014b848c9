#pragma once
// The clips of a vertex model: runs of consecutive frames whose names are equal once their
// trailing digits are dropped ("stand01", "stand02" ... "run01" make "stand" and "run"), as MD2
// exporters name the frames of each animation. The frames carry no other grouping, so this is
// how `qxtool info`, the glTF export and the viewer's tree all tell the animations apart.

#include <cstdint>
#include <string>
#include <vector>

#include "vertex/VertexModel.h"

namespace qx {

struct FrameClip {
    std::string name;  // the shared stem; empty for frames named by digits alone
    std::int32_t first = 0;
    std::int32_t last = 0;  // frames first..last-1
};

// The clips, in frame order; none without frames.
std::vector<FrameClip> frameClips(const std::vector<std::string>& frameNames);
std::vector<FrameClip> frameClips(const VertexModel& model);

}  // namespace qx
