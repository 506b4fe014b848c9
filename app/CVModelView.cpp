#include "app/CVModelView.h"

#include "app/CVModelDoc.h"
#include "scene/ModelScene.h"

namespace qx::app {

CVModelView::CVModelView(const VertexModel& model, ViewHost& host) : CBaseView(host), model_(model) {
    InitModel();
    UpdateAnimation(0.0f);
}

void CVModelView::listenTo(const CVModelDoc& document) {
    connect(&document, &CVModelDoc::rangeChanged, this,
            [this, &document] { vertexInstance().setRange(document.first(), document.last(), -1); });
    connect(&document, &CVModelDoc::rateChanged, this, [this, &document] { vertexInstance().setFps(document.fps()); });
}

void CVModelView::InitModel() {
    instance_ = makeInstance(model_, -1, -1, CVModelDoc::InitialFps);
    measureModel(camera_, model_);
}

}  // namespace qx::app
