#pragma once
// What it takes to show a model as a window first shows it, once read (scene/OpenFile.h): the
// animated instance built on it, the camera fitted to it, the animation stepped as the idle
// loop steps it. The viewer's GL view and the off-screen snapshots both go through these
// functions, so that a snapshot and a window agree.

#include <cstdint>
#include <memory>

#include "core/ModelInstance.h"
#include "render/Camera.h"
#include "skeletal/SkeletalModel.h"
#include "vertex/VertexModel.h"

namespace qx {

class Drawable;

// The instance a window plays a model with: no motion playing on a skeletal model; the whole
// frame range at 15 frames per second on a vertex model.
std::unique_ptr<ModelInstance> makeInstance(const SkeletalModel& model);
std::unique_ptr<ModelInstance> makeInstance(const VertexModel& model, std::int32_t first = -1, std::int32_t last = -1,
                                            float fps = 15.0f);

// Measures the model and fits the camera to it for a window of camera.width x camera.height.
void fitCameraTo(Camera& camera, const SkeletalModel& model);
void fitCameraTo(Camera& camera, const VertexModel& model);

// Advances the instance by the given seconds as the viewer's idle loop would, and returns the
// drawable of the last step. A skeletal instance is stepped at 60 steps a second for the first
// minute (fades and the mixed cycle length change step by step), the rest in one step, which
// the instance carries over exactly once every fade has settled; a vertex instance in one step.
Drawable* advanceLikeViewer(ModelInstance& instance, double seconds);

// The updates advanceLikeViewer makes of an instance of the given kind (core/ModelKind.h) for
// the given seconds: count updates of step seconds, then one of rest.
struct ViewerSteps {
    int count = 0;
    float step = 0.0f;
    float rest = 0.0f;
};
ViewerSteps viewerSteps(int kind, double seconds);

}  // namespace qx
