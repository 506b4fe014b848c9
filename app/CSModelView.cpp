#include "app/CSModelView.h"

#include "app/CSModelDoc.h"
#include "scene/ModelScene.h"

namespace qx::app {

CSModelView::CSModelView(const SkeletalModel& model, ViewHost& host) : CBaseView(host), model_(model) {
    InitModel();
    UpdateAnimation(0.0f);
}

void CSModelView::listenTo(const CSModelDoc& document) {
    connect(&document, &CSModelDoc::motionAdded, this, &CSModelView::RebuildInstance);
    connect(&document, &CSModelDoc::motionStarted, this,
            [this](const CSMotionDoc* record) { skeletalInstance().start(record->settings()); });
    connect(&document, &CSModelDoc::motionStopped, this,
            [this](const CSMotionDoc* record) { skeletalInstance().stop(record->settings().motionId); });
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
