#include "app/CSModelView.h"

#include "render/ModelScene.h"

namespace qx::app {

CSModelView::CSModelView(const SkeletalModel& model) : model_(model) {
    InitModel();
    UpdateAnimation(0.0f);
}

void CSModelView::InitModel() {
    instance_ = makeInstance(model_);
    measureModel(camera_, model_);
}

void CSModelView::RebuildInstance() {
    instance_ = makeInstance(model_);
    UpdateAnimation(0.0f);
    update();
}

}  // namespace qx::app
