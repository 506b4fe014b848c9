#include "tools/qxtool/OverlayFlags.h"

namespace qx::tool {

void addOverlayFlags(CLI::App& sub, OverlayFlags& flags) {
    sub.add_flag("--skeleton", flags.skeleton, "Draw the bones over the model (skeletal meshes)");
    sub.add_flag("--bone-names", flags.boneNames, "Write each bone's name beside it (skeletal meshes)");
    CLI::Option* over = sub.add_flag("--wireframe", flags.wireframe, "Draw the triangles' edges over the model");
    CLI::Option* alone =
        sub.add_flag("--wireframe-only", flags.wireframeOnly, "Draw the triangles' edges instead of the model");
    over->excludes(alone);
    sub.add_flag("--normals", flags.normals, "Draw a short line along each vertex's normal");
    sub.add_flag("--bounds", flags.bounds, "Draw the box around the posed model");
    sub.add_flag("--grid", flags.grid, "Draw a ground grid under the model, with the X, Y and Z axes");
}

std::string overlayOptions(const OverlayFlags& f, bool skeletal, OverlayOptions& out) {
    if (!skeletal && (f.skeleton || f.boneNames)) return "--skeleton and --bone-names apply to skeletal meshes only";
    out.skeleton = f.skeleton;
    out.boneNames = f.boneNames;
    out.wireframe = f.wireframeOnly ? Wireframe::Alone : f.wireframe ? Wireframe::Over : Wireframe::Off;
    out.normals = f.normals;
    out.bounds = f.bounds;
    out.grid = f.grid;
    return {};
}

}  // namespace qx::tool
