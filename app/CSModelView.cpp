#include "app/CSModelView.h"

#include <algorithm>

#include "app/CSModelDoc.h"
#include "scene/ModelScene.h"

namespace qx::app {

namespace {

// The record's place in the model's motions, which is the session's name for it.
std::int32_t motionIndex(const CSModelDoc& document, const CSMotionDoc* record) {
    const auto& records = document.motionRecords();
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].get() == record) return static_cast<std::int32_t>(i);
    return -1;
}

}  // namespace

CSModelView::CSModelView(const SkeletalModel& model, ViewHost& host) : CBaseView(host), model_(model) {
    InitModel();
    UpdateAnimation(0.0f);
}

void CSModelView::listenTo(const CSModelDoc& document) {
    connect(&document, &CSModelDoc::motionAdded, this, &CSModelView::RebuildInstance);
    const auto recordAs = [this, &document](SessionEvent::Kind kind) {
        return [this, &document, kind](const CSMotionDoc* record) {
            SessionEvent event;
            event.kind = kind;
            event.motion = motionIndex(document, record);
            event.settings = record->settings();
            session_->record(event);
        };
    };
    connect(&document, &CSModelDoc::motionStarted, this, recordAs(SessionEvent::Kind::Start));
    connect(&document, &CSModelDoc::motionStopped, this, recordAs(SessionEvent::Kind::Stop));
}

void CSModelView::InitModel() {
    session_ = std::make_unique<PlaySession>([&model = model_] { return makeInstance(model); });
    measureModel(camera_, model_);
}

void CSModelView::RebuildInstance() {
    session_->restart();
    UpdateAnimation(0.0f);
    update();
}

double CSModelView::timelineSpan() const {
    double span = session_->furthest();
    const auto& motions = model_.motions();
    for (const SessionEvent& event : session_->events()) {
        const auto index = static_cast<std::size_t>(event.motion);
        if (event.kind == SessionEvent::Kind::Start && index < motions.size())
            span = std::max(span, static_cast<double>(motions[index]->duration));
    }
    return span;
}

}  // namespace qx::app
