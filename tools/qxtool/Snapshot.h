#pragma once
// One frame of a model file as a window first shows it, drawn off-screen: the model read with
// its textures, the motions started as cycles, the animation advanced as the viewer's loop
// would, the viewer's initial camera fitted. `render` writes it as it is; `thumbnail` keeps only
// the pixels the model covers.

#include <cstdint>
#include <string>
#include <vector>

#include "render/Lighting.h"

namespace qx::tool {

struct SnapshotRequest {
    std::string file;
    std::vector<std::string> motions;  // .qm2 files, each started as a cycle (skeletal meshes)
    double time = 0.0;                 // seconds the animation has advanced
    bool hasFrames = false;            // a vertex model's frame range and rate
    std::int32_t first = -1;
    std::int32_t last = -1;
    float fps = 15.0f;
    bool texturing = true;
    bool culling = false;
    LightingSettings lighting;
    int width = 0;
    int height = 0;
};

struct Snapshot {
    std::vector<std::uint8_t> rgba;     // width x height x 4 bytes, top row first
    std::vector<std::uint8_t> covered;  // one byte a pixel: 1 where the model was drawn
};

// Draws the request's model; ExitOk, or the exit status after reporting the failure (a file
// rejected, a frame range outside the model, no off-screen OpenGL).
int drawSnapshot(const SnapshotRequest& request, Snapshot& out);

}  // namespace qx::tool
