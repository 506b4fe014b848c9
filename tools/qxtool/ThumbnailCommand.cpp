// qxtool thumbnail: a square picture of a model as a window first shows it, on a transparent
// ground, for file managers (the thumbnailer entry runs it as "thumbnail %i %o --size %s").

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "render/PngWriter.h"
#include "scene/OpenFile.h"
#include "tools/qxtool/CameraFlags.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/OverlayFlags.h"
#include "tools/qxtool/ParseNumber.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/SnapshotReport.h"

namespace qx::tool {

namespace {

// File managers ask for 128, 256, 512 or 1024; beyond this a request is a mistake.
constexpr std::int32_t MaxThumbnailSide = 4096;

struct ThumbnailOptions {
    std::string input;
    std::string output;
    std::string size = "256";
    OverlayFlags overlays;
    CameraFlags camera;
};

int thumbnail(const ThumbnailOptions& o) {
    std::int32_t side = 0;
    if (!parseNumber(o.size, side) || side < 1 || side > MaxThumbnailSide)
        return usageError("--size expects a side of 1.." + std::to_string(MaxThumbnailSide) + " pixels, not '" +
                          o.size + "'");
    SnapshotRequest request;
    if (const std::string problem = cameraTurn(o.camera, request.turn); !problem.empty()) return usageError(problem);
    if (isModelFile(o.input, nullptr)) {
        const std::string problem =
            overlayOptions(o.overlays, openAsOf(o.input) == OpenAs::SkeletalMesh, request.overlays);
        if (!problem.empty()) return usageError(problem);
    }
    request.file = o.input;
    request.width = request.height = side;
    Snapshot picture;
    if (const int status = snapshotOrReport(request, picture); status != ExitOk) return status;
    // A blank square would hide the file manager's own icon for the file: better none.
    if (std::find(picture.covered.begin(), picture.covered.end(), 1) == picture.covered.end())
        return fail(o.input, "the model draws nothing to make a picture of");
    // The model's own pixels (and the overlays') opaque, the ground around it clear.
    for (std::size_t i = 0; i < picture.covered.size(); ++i) {
        std::uint8_t* pixel = picture.rgba.data() + i * 4;
        if (picture.covered[i] != 0)
            pixel[3] = 255;
        else
            pixel[0] = pixel[1] = pixel[2] = pixel[3] = 0;
    }
    std::string reason;
    if (!writePng(o.output, picture.rgba.data(), side, side, &reason)) return fail(o.output, reason);
    return ExitOk;
}

}  // namespace

CommandRun defineThumbnail(CLI::App& sub) {
    auto o = std::make_shared<ThumbnailOptions>();
    sub.add_option("INPUT", o->input, "A .qm1 or .qv1 model, or a .md2 or .ply converted in memory")->required();
    sub.add_option("OUTPUT", o->output, "The PNG file to write")->required();
    sub.add_option("--size", o->size, "Side of the square picture in pixels (default 256)");
    addOverlayFlags(sub, o->overlays);
    addCameraFlags(sub, o->camera);
    return [o] { return thumbnail(*o); };
}

}  // namespace qx::tool
