#pragma once
// A model file set up to be drawn off-screen, frame after frame: the off-screen context, the
// model read with its textures in it, its motions, the renderer with the request's switches and
// lighting, and the viewer's initial camera fitted. A snapshot draws one frame of it; a
// recording many, each of a pose replayed from the start.

#include <memory>

#include "core/ModelInstance.h"
#include "render/Camera.h"
#include "render/OffscreenContext.h"
#include "render/Renderer.h"
#include "scene/OpenFile.h"
#include "scene/Snapshot.h"

namespace qx {

class OffscreenScene {
public:
    // Reads the request's model and motions and sets up drawing at its size. False with the
    // problem when a file is rejected, the frame range does not fit the model, or there is no
    // off-screen OpenGL.
    bool open(const SnapshotRequest& request, SnapshotProblem& problem);

    // A fresh instance of the model as the request plays it: a skeletal one with every motion
    // started as a cycle unless startMotions is false (a replayed session starts them itself),
    // a vertex one over the request's frame range at its rate.
    std::unique_ptr<ModelInstance> makeInstance(bool startMotions = true) const;

    // Draws the drawable (none: nothing but the background and the grid) with the camera turned
    // so, into out; the coverage too when asked. False with the problem when the pixels cannot
    // be read back.
    bool draw(Drawable* drawable, const CameraTurn& turn, Snapshot& out, bool coverage, SnapshotProblem& problem);

    const SkeletalModel* skeletal() const { return model_.skeletal.get(); }
    const VertexModel* vertex() const { return model_.vertex.get(); }

private:
    SnapshotRequest request_;
    // The context outlives the models: their textures are deleted in it.
    OffscreenContext context_;
    ModelToShow model_;
    std::unique_ptr<Renderer> renderer_;
    Camera camera_;
};

}  // namespace qx
