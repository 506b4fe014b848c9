#include "app/CSModelView.h"

#include "render/ModelScene.h"

namespace qx::app {

CSModelView::CSModelView(const SkeletalModel& model) : model_(model) {}

void CSModelView::InitModel() {
    instance_ = makeInstance(model_);
    measureModel(camera_, model_);
}

void CSModelView::RebuildInstance() {
    // Before its first set-up the view builds its instance from the model as it then stands.
    if (!initialised()) return;
    instance_ = makeInstance(model_);
    UpdateAnimation(0.0f);
    update();
}

}  // namespace qx::app
