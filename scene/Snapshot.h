#pragma once
// One frame of a model file as a window first shows it, drawn off-screen: the model read with
// its textures, the motions started as cycles, the animation advanced as the viewer's loop
// would, the viewer's initial camera fitted, the overlays asked for drawn over it. `qxtool
// render` writes it as it is; `qxtool thumbnail` keeps only the pixels drawn (the overlays
// count as drawn); the renderer's baseline tests compare it.

#include <cstdint>
#include <string>
#include <vector>

#include "render/Camera.h"
#include "render/Lighting.h"
#include "render/OverlayOptions.h"

namespace qx {

struct SnapshotRequest {
    std::string file;
    std::vector<std::string> motions;  // motion files (.qm2, .kfm), each started as a cycle (skeletal meshes)
    bool motionsAsCycles = true;       // false: each plays as its file says (a window's session replayed)
    double time = 0.0;                 // seconds the animation has advanced
    bool hasFrames = false;            // a vertex model's frame range and rate
    std::int32_t first = -1;
    std::int32_t last = -1;
    float fps = 15.0f;
    bool texturing = true;
    bool culling = false;
    LightingSettings lighting;
    OverlayOptions overlays;  // drawn by the renderer; the bone names with the stroke font
    CameraTurn turn;          // the fitted camera turned about the model's centre
    int width = 0;
    int height = 0;
};

struct Snapshot {
    std::vector<std::uint8_t> rgba;     // width x height x 4 bytes, top row first
    std::vector<std::uint8_t> covered;  // one byte a pixel: 1 where the model was drawn
};

// Why no snapshot was drawn: a file rejected (file names it), a request the model cannot take
// (a frame range outside it), or no off-screen OpenGL.
struct SnapshotProblem {
    enum Kind { Rejected, BadRequest } kind = Rejected;
    std::string file;
    std::string reason;
};

// Draws the request's model into out; false with the problem when it could not.
bool drawSnapshot(const SnapshotRequest& request, Snapshot& out, SnapshotProblem& problem);

}  // namespace qx
