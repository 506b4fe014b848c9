#pragma once
// The picture options `render` and `record` share, read from their text: --size WxH,
// --background R,G,B and a vertex model's --frames A:B. Each returns the usage error to report,
// or empty when the text is fine.

#include <string>

#include "scene/Snapshot.h"

namespace qx::tool {

// Far above any screen; keeps the framebuffer and the picture's buffers to a few hundred MB.
inline constexpr int MaxSide = 8192;

std::string parseSize(const std::string& text, SnapshotRequest& out);
std::string parseBackground(const std::string& text, SnapshotRequest& out);
std::string parseFrames(const std::string& text, SnapshotRequest& out);

}  // namespace qx::tool
