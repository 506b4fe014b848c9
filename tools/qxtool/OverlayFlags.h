#pragma once
// The overlay flags `render` and `thumbnail` share: the views into a model the viewer's View menu
// switches, drawn by the same renderer code.

#include <string>

#include <CLI/CLI.hpp>

#include "render/OverlayOptions.h"

namespace qx::tool {

struct OverlayFlags {
    bool skeleton = false;
    bool boneNames = false;
    bool wireframe = false;
    bool wireframeOnly = false;
    bool normals = false;
    bool bounds = false;
    bool grid = false;
};

// Adds --skeleton, --bone-names, --wireframe, --wireframe-only (the edges without the shaded
// model; it excludes --wireframe), --normals, --bounds and --grid.
void addOverlayFlags(CLI::App& sub, OverlayFlags& flags);

// The options the flags ask for; the usage error to report, or empty when they fit the model.
// A vertex model has no bones: the skeleton and its names are refused for it.
std::string overlayOptions(const OverlayFlags& flags, bool skeletal, OverlayOptions& out);

}  // namespace qx::tool
