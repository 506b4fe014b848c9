#pragma once
// The view of a vertex model document: plays all of the model's frames at 15 frames a second
// and frames the positions of its first frame. Its timeline runs at the playing rate and names
// the clip of the frame shown.

#include <vector>

#include "app/CBaseView.h"
#include "vertex/FrameClips.h"
#include "vertex/VertexInstance.h"
#include "vertex/VertexModel.h"

namespace qx::app {

class CVModelDoc;

class CVModelView : public CBaseView {
    Q_OBJECT
public:
    // The model must outlive the view.
    CVModelView(const VertexModel& model, ViewHost& host);

    // Plays the frame range and rate the document announces, in the session's record.
    void listenTo(const CVModelDoc& document);

    VertexInstance& vertexInstance() const { return static_cast<VertexInstance&>(session_->instance()); }

    double timelineRate() const override;
    double timelineSpan() const override;
    int timelineFrame() const override { return vertexInstance().current(); }
    QString timelineClip() const override;

protected:
    void InitModel() override;

private:
    const VertexModel& model_;
    std::vector<FrameClip> clips_;
};

}  // namespace qx::app
