// qxtool render: one frame of a model drawn off-screen through the viewer's Renderer, with the
// camera the viewer fits when a window opens, written as a PNG. No window and no display
// server: the frame is drawn into the framebuffer of an EGL context.

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/Lighting.h"
#include "render/PngWriter.h"
#include "scene/OpenFile.h"
#include "scene/Snapshot.h"
#include "tools/qxtool/CameraFlags.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/OverlayFlags.h"
#include "tools/qxtool/ParseNumber.h"
#include "tools/qxtool/PictureOptions.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/SnapshotReport.h"

namespace qx::tool {

namespace {

struct RenderOptions {
    std::string file;
    std::string out;
    std::string size = "640x480";
    std::vector<std::string> motions;
    std::string time = "0";  // numbers as text, read as script numbers are
    std::string frames;
    std::string fps;  // empty: not given

    bool noTexture = false;
    bool cull = false;
    std::string background = "0,0,0";
    OverlayFlags overlays;
    CameraFlags camera;
};

// Checks the options that do not depend on the file; an empty result means they are fine.
std::string checkOptions(const RenderOptions& o, bool skeletal, SnapshotRequest& s) {
    for (const std::string& problem : {parseSize(o.size, s), parseBackground(o.background, s), parseFrames(o.frames, s),
                                       cameraTurn(o.camera, s.turn)})
        if (!problem.empty()) return problem;
    if (!parseNumber(o.time, s.time) || !(s.time >= 0.0 && s.time <= 1e9))
        return "--time expects seconds from 0 to 1e9, not '" + o.time + "'";
    if (!o.fps.empty() && (!parseNumber(o.fps, s.fps) || !std::isfinite(s.fps)))
        return "--fps expects a finite number of frames per second, not '" + o.fps + "'";
    if (skeletal && (!o.frames.empty() || !o.fps.empty())) return "--frames and --fps apply to vertex models only";
    if (!skeletal && !o.motions.empty()) return "--motion applies to skeletal meshes only";
    return overlayOptions(o.overlays, skeletal, s.overlays);
}

int render(const RenderOptions& o) {
    const bool skeletal = openAsOf(o.file) == OpenAs::SkeletalMesh;
    SnapshotRequest s;
    if (isModelFile(o.file, nullptr)) {
        const std::string problem = checkOptions(o, skeletal, s);
        if (!problem.empty()) return usageError(problem);
    }
    s.file = o.file;
    s.motions = o.motions;
    s.texturing = !o.noTexture;
    s.culling = o.cull;
    Snapshot picture;
    if (const int status = snapshotOrReport(s, picture); status != ExitOk) return status;
    // A window shows colours only: half-transparent texels blended over the background leave
    // alpha below 1 in the framebuffer, which would turn into holes in the picture.
    for (std::size_t i = 3; i < picture.rgba.size(); i += 4) picture.rgba[i] = 255;
    std::string reason;
    if (!writePng(o.out, picture.rgba.data(), s.width, s.height, &reason)) return fail(o.out, reason);
    return ExitOk;
}

}  // namespace

CommandRun defineRender(CLI::App& sub) {
    auto o = std::make_shared<RenderOptions>();
    sub.add_option("FILE", o->file, "A .qm1 or .qv1 model, or a .md2 or .ply converted in memory")->required();
    sub.add_option("--out", o->out, "The PNG file to write")->required();
    sub.add_option("--size", o->size, "Picture size WxH (default 640x480)");
    sub.add_option("--motion", o->motions,
                   "A .qm2 motion (or a .kfm converted in memory) started as a cycle (repeatable; skeletal meshes)");
    sub.add_option("--time", o->time, "Seconds the animation has advanced (default 0)");
    sub.add_option("--frames", o->frames, "Frame range A:B of a vertex model (frames A to B-1)");
    sub.add_option("--fps", o->fps, "Frames per second of a vertex model (default 15)");
    sub.add_flag("--no-texture", o->noTexture, "Draw without textures");
    sub.add_flag("--cull", o->cull, "Cull back faces of skeletal meshes");
    sub.add_option("--background", o->background, "Background colour R,G,B, each 0..255 (default 0,0,0)");
    addOverlayFlags(sub, o->overlays);
    addCameraFlags(sub, o->camera);
    return [o] { return render(*o); };
}

}  // namespace qx::tool
