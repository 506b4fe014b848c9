#include "tools/qxtool/CameraFlags.h"

#include <cmath>

#include "tools/qxtool/ParseNumber.h"

namespace qx::tool {

namespace {

// Far past any useful angle; keeps the degrees exact enough to turn by.
constexpr double MaxDegrees = 1e6;
// A model a thousand times nearer or farther than fitted is a dot or fills nothing.
constexpr double MaxDistance = 1000.0;

}  // namespace

void addCameraFlags(CLI::App& sub, CameraFlags& flags) {
    sub.add_option("--yaw", flags.yaw, "Turn the camera DEG degrees about the model's vertical axis (default 0)");
    sub.add_option("--pitch", flags.pitch, "Raise the camera DEG degrees over the model (default 0)");
    sub.add_option("--distance", flags.distance,
                   "Place the camera FACTOR times as far from the model's centre as fitted (default 1)");
}

std::string cameraTurn(const CameraFlags& f, CameraTurn& out) {
    if (!parseNumber(f.yaw, out.yaw) || !(std::fabs(out.yaw) <= MaxDegrees))
        return "--yaw expects degrees within +-1e6, not '" + f.yaw + "'";
    if (!parseNumber(f.pitch, out.pitch) || !(std::fabs(out.pitch) <= MaxDegrees))
        return "--pitch expects degrees within +-1e6, not '" + f.pitch + "'";
    if (!parseNumber(f.distance, out.distance) || !(out.distance > 0.0 && out.distance <= MaxDistance))
        return "--distance expects a factor above 0 and at most 1000, not '" + f.distance + "'";
    return {};
}

}  // namespace qx::tool
