#include "app/CVModelView.h"

#include <algorithm>

#include "app/CVModelDoc.h"
#include "scene/ModelScene.h"

namespace qx::app {

CVModelView::CVModelView(const VertexModel& model, ViewHost& host)
    : CBaseView(host), model_(model), clips_(frameClips(model)) {
    InitModel();
    UpdateAnimation(0.0f);
}

void CVModelView::listenTo(const CVModelDoc& document) {
    connect(&document, &CVModelDoc::rangeChanged, this, [this, &document] {
        SessionEvent event;
        event.kind = SessionEvent::Kind::Range;
        event.first = document.first();
        event.last = document.last();
        session_->record(event);
    });
    connect(&document, &CVModelDoc::rateChanged, this, [this, &document] {
        SessionEvent event;
        event.kind = SessionEvent::Kind::Rate;
        event.fps = document.fps();
        session_->record(event);
    });
}

void CVModelView::InitModel() {
    session_ = std::make_unique<PlaySession>(
        [&model = model_] { return makeInstance(model, -1, -1, CVModelDoc::InitialFps); });
    measureModel(camera_, model_);
}

double CVModelView::timelineRate() const {
    // A held frame (rate 0) still steps by the rate a window starts with.
    const float fps = vertexInstance().fps();
    return fps > 0.0f ? fps : CVModelDoc::InitialFps;
}

double CVModelView::timelineSpan() const {
    const VertexInstance& instance = vertexInstance();
    const double range = std::max(0, instance.end() - instance.start()) / timelineRate();
    return std::max(session_->furthest(), range);
}

QString CVModelView::timelineClip() const {
    const int frame = timelineFrame();
    for (const FrameClip& clip : clips_)
        if (frame >= clip.first && frame < clip.last) return QString::fromLatin1(clip.name);
    return {};
}

}  // namespace qx::app
