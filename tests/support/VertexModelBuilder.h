#pragma once
// Small vertex models whose numbers a reader can check by hand: in frame k, vertex i sits at
// (k, 10 * i, -k) with normal (0, k, 1), so a blend of frames j and k by f puts vertex i at
// x = j + f * (k - j).

#include <cstdint>
#include <string>
#include <vector>

#include "vertex/VertexModel.h"

namespace qx::test {

inline Vector3 builtPosition(int frame, int vertex) {
    return {static_cast<float>(frame), 10.0f * static_cast<float>(vertex), -static_cast<float>(frame)};
}
inline Vector3 builtNormal(int frame) { return {0.0f, static_cast<float>(frame), 1.0f}; }

// frameCount frames named "wave1", "wave2", ... and one strip over the first three vertices.
inline void fillVertexModel(VertexModel& model, int frameCount, int vertexCount) {
    model.vertexCount = vertexCount;
    model.frames.clear();
    for (int k = 0; k < frameCount; ++k) {
        ModelFrame frame;
        frame.name = "wave" + std::to_string(k + 1);
        for (int i = 0; i < vertexCount; ++i) frame.vertices.push_back({builtPosition(k, i), builtNormal(k)});
        model.frames.push_back(std::move(frame));
    }
    model.commands.clear();
    DrawCommand strip;
    strip.type = TriangleStrip;
    for (int i = 0; i < 3 && i < vertexCount; ++i) strip.vertices.push_back({0.5f * static_cast<float>(i), 0.25f, i});
    model.commands.push_back(std::move(strip));
}

}  // namespace qx::test
