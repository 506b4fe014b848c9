#include "scene/ModelScene.h"

#include <algorithm>

#include "animation/SkeletalInstance.h"
#include "core/ModelKind.h"
#include "vertex/VertexInstance.h"

namespace qx {

namespace {

constexpr double ReplayStep = 1.0 / 60.0;
constexpr int ReplaySteps = 3600;

}  // namespace

std::unique_ptr<ModelInstance> makeInstance(const SkeletalModel& model) {
    return std::make_unique<SkeletalInstance>(model);
}

std::unique_ptr<ModelInstance> makeInstance(const VertexModel& model, std::int32_t first, std::int32_t last,
                                            float fps) {
    return std::make_unique<VertexInstance>(model, first, last, fps);
}

void fitCameraTo(Camera& camera, const SkeletalModel& model) {
    measureModel(camera, model);
    fitCamera(camera);
}

void fitCameraTo(Camera& camera, const VertexModel& model) {
    measureModel(camera, model);
    fitCamera(camera);
}

ViewerSteps viewerSteps(int kind, double seconds) {
    if (kind == VertexKind) return {0, 0.0f, static_cast<float>(seconds)};
    // Clamped while still a double: a time past what an int holds (or NaN) never reaches the
    // conversion, which it would not survive.
    const double wanted = seconds / ReplayStep;
    const int count = wanted >= ReplaySteps ? ReplaySteps : wanted > 0.0 ? static_cast<int>(wanted) : 0;
    return {count, static_cast<float>(ReplayStep), static_cast<float>(seconds - count * ReplayStep)};
}

Drawable* advanceLikeViewer(ModelInstance& instance, double seconds) {
    const ViewerSteps steps = viewerSteps(instance.kind(), seconds);
    for (int i = 0; i < steps.count; ++i) instance.update(steps.step);
    return instance.update(steps.rest);
}

}  // namespace qx
