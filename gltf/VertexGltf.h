#pragma once
// A vertex model as glTF: one mesh whose morph targets are the frames, and animations of the
// morph weights that play the frames as VertexInstance does.
//
// The mesh's own vertices are frame 0's; target i moves them to frame i (positions and unit
// normals). Playback blends the frame being left and the next one linearly by the fraction of
// a frame elapsed, which is exactly glTF's linear interpolation of one-hot weights keyed once a
// frame. A range of frames loops back from its last frame to its first, so every animation
// ends with one more key that shows its first frame again.
//
// Strips and fans become indexed triangles exactly as the renderer draws them: a command vertex
// whose index lies outside the vertices is skipped before the strip or fan is formed.

#include <cstdint>
#include <string>
#include <vector>

#include "gltf/GltfExportNotes.h"
#include "gltf/GltfWriter.h"
#include "vertex/VertexModel.h"

namespace qx {

// Frames a second of the exported animations, the rate playback starts with.
inline constexpr float GltfFramesPerSecond = 15.0f;

// Adds the model as writer's scene: the mesh with a target per frame, its skin as a texture
// (when its pixels are loaded), an animation "all frames" and one per clip (vertex/FrameClips.h)
// named after it.
// False, with a reason, for a model without frames or without a drawable triangle.
bool addVertexScene(GltfWriter& writer, const VertexModel& model, const std::string& name, float scale,
                    GltfExportNotes& notes, std::string* reason);

}  // namespace qx
