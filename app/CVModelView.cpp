#include "app/CVModelView.h"

#include "render/ModelScene.h"

namespace qx::app {

CVModelView::CVModelView(const VertexModel& model) : model_(model) {
    InitModel();
    UpdateAnimation(0.0f);
}

void CVModelView::InitModel() {
    instance_ = makeInstance(model_, -1, -1, 15.0f);
    measureModel(camera_, model_);
}

}  // namespace qx::app
