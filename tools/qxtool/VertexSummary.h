#pragma once
// The summary `info` prints of a vertex-animated model, shared by the ".qv1" and ".md2" kinds:
// everything after the first line that names the kind.

#include <cstdint>
#include <string>
#include <vector>

#include "vertex/VertexModel.h"

namespace qx::tool {

struct VertexSummary {
    std::int32_t vertexCount = 0;
    std::vector<std::string> frameNames;  // in frame order
    const std::vector<DrawCommand>* commands = nullptr;
    const std::vector<FrameVertex>* firstFrame = nullptr;  // none without frames
    std::string skinPath;                                  // where the skin is looked for
};

// Vertices, frames (and their seconds at 15 frames per second), the animations the frame names
// form, the command counts, the bounding box of frame 0 and whether the skin exists.
void printVertexSummary(const VertexSummary& summary);

}  // namespace qx::tool
