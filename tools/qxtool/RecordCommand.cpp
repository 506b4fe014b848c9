// qxtool record: a model playing, drawn off-screen frame after frame in one process, into an
// MP4 video, a looping GIF or numbered PNG pictures. Frame k is the picture `qxtool render
// --time start+k/fps` gives (with the yaw the orbit has reached), pixel for pixel.

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "scene/OpenFile.h"
#include "scene/Recorder.h"
#include "tools/qxtool/CameraFlags.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/OverlayFlags.h"
#include "tools/qxtool/ParseNumber.h"
#include "tools/qxtool/PictureOptions.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/SnapshotReport.h"

namespace qx::tool {

namespace {

// A recording past this many frames is a mistake in its options (an hour at 30 frames a second
// is under 110,000 frames; PNG sequences of this length already strain a folder).
constexpr double MaxFrames = 100000.0;
// A model that does not move is recorded this long (a turntable of its rest pose).
constexpr double StillSeconds = 4.0;

struct RecordOptions {
    std::string file;
    std::string out;
    std::vector<std::string> motions;
    std::string fps = "30";  // numbers as text, read as script numbers are
    std::string duration;    // empty: the model's own length
    std::string start = "0";
    std::string frames;
    std::string size = "640x480";
    std::string background = "0,0,0";
    std::string orbit = "0";
    bool noTexture = false;
    bool cull = false;
    OverlayFlags overlays;
    CameraFlags camera;
};

std::string checkOptions(const RecordOptions& o, bool skeletal, RecordingRequest& r, double& duration) {
    SnapshotRequest& s = r.scene;
    for (const std::string& problem : {parseSize(o.size, s), parseBackground(o.background, s), parseFrames(o.frames, s),
                                       cameraTurn(o.camera, s.turn)})
        if (!problem.empty()) return problem;
    if (!parseNumber(o.fps, r.fps) || !(r.fps > 0.0 && r.fps <= 1000.0))
        return "--fps expects frames a second above 0 and at most 1000, not '" + o.fps + "'";
    if (!parseNumber(o.start, r.start) || !(r.start >= 0.0 && r.start <= 1e9))
        return "--start expects seconds from 0 to 1e9, not '" + o.start + "'";
    if (!o.duration.empty() && (!parseNumber(o.duration, duration) || !(duration > 0.0 && duration <= 1e9)))
        return "--duration expects seconds above 0, not '" + o.duration + "'";
    if (!parseNumber(o.orbit, r.orbit) || !(std::fabs(r.orbit) <= 1e6))
        return "--orbit expects degrees within +-1e6, not '" + o.orbit + "'";
    if (skeletal && !o.frames.empty()) return "--frames applies to vertex models only";
    if (!skeletal && !o.motions.empty()) return "--motion applies to skeletal meshes only";
    return overlayOptions(o.overlays, skeletal, s.overlays);
}

int record(const RecordOptions& o) {
    RecordingRequest r;
    double duration = 0.0;
    std::string reason;
    if (isModelFile(o.file, nullptr)) {
        const std::string problem = checkOptions(o, openAsOf(o.file) == OpenAs::SkeletalMesh, r, duration);
        if (!problem.empty()) return usageError(problem);
    }
    RecordingKind kind{};
    if (!recordingKindOf(o.out, kind, &reason)) return usageError(o.out + ": " + reason);
    r.scene.file = o.file;
    r.scene.motions = o.motions;
    r.scene.texturing = !o.noTexture;
    r.scene.culling = o.cull;

    Recorder recorder;
    SnapshotProblem problem;
    if (!recorder.open(r, problem)) return reportProblem(problem);
    if (o.duration.empty()) {
        duration = recorder.naturalDuration();
        if (!(duration > 0.0)) duration = StillSeconds;
    }
    const double frames = std::max(1.0, std::round(duration * r.fps));
    if (frames > MaxFrames)
        return usageError("--duration " + std::to_string(duration) + " s at --fps " + o.fps + " makes " +
                          std::to_string(static_cast<long long>(frames)) + " frames, more than 100000");
    const auto count = static_cast<std::int64_t>(frames);

    const std::unique_ptr<FrameWriter> writer =
        openFrameWriter(o.out, {r.scene.width, r.scene.height, r.fps, count}, &reason);
    if (!writer) return fail(o.out, reason);
    if (recorder.record(count, *writer, {}, &reason) != Recorder::Result::Done) return fail(o.out, reason);
    return ExitOk;
}

}  // namespace

CommandRun defineRecord(CLI::App& sub) {
    auto o = std::make_shared<RecordOptions>();
    sub.add_option("MODEL", o->file, "A .qm1 or .qv1 model, or a .md2 or .ply converted in memory")->required();
    sub.add_option("--out", o->out, "OUT.mp4, OUT.gif, or numbered PNGs by a pattern such as frames/walk-%04d.png")
        ->required();
    sub.add_option("--motion", o->motions,
                   "A .qm2 motion (or a .kfm converted in memory) started as a cycle (repeatable; skeletal meshes)");
    sub.add_option("--fps", o->fps, "Frames a second of the recording (default 30)");
    sub.add_option("--duration", o->duration,
                   "Seconds to record (default: one cycle of the longest motion, or a vertex model's frame range "
                   "at its rate; 4 s of a model that does not move)");
    sub.add_option("--start", o->start, "Seconds of animation before the first frame (default 0)");
    sub.add_option("--frames", o->frames, "Frame range A:B of a vertex model (frames A to B-1)");
    sub.add_option("--size", o->size, "Frame size WxH (default 640x480)");
    sub.add_option("--background", o->background, "Background colour R,G,B, each 0..255 (default 0,0,0)");
    sub.add_option("--orbit", o->orbit,
                   "Degrees the camera turns about the model's vertical axis over the recording (360: a turntable)");
    sub.add_flag("--no-texture", o->noTexture, "Draw without textures");
    sub.add_flag("--cull", o->cull, "Cull back faces of skeletal meshes");
    addOverlayFlags(sub, o->overlays);
    addCameraFlags(sub, o->camera);
    return [o] { return record(*o); };
}

}  // namespace qx::tool
