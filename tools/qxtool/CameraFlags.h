#pragma once
// The camera flags `render`, `thumbnail` and `record` share: the fitted camera turned about the
// model's centre (render/Camera.h CameraTurn).

#include <string>

#include <CLI/CLI.hpp>

#include "render/Camera.h"

namespace qx::tool {

struct CameraFlags {
    std::string yaw = "0";  // numbers as text, read as script numbers are
    std::string pitch = "0";
    std::string distance = "1";
};

// Adds --yaw DEG, --pitch DEG and --distance FACTOR.
void addCameraFlags(CLI::App& sub, CameraFlags& flags);

// The turn the flags ask for; the usage error to report, or empty.
std::string cameraTurn(const CameraFlags& flags, CameraTurn& out);

}  // namespace qx::tool
