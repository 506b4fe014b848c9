#pragma once
// The view of a vertex model document: plays all of the model's frames at 15 frames a second
// and frames the positions of its first frame.

#include "app/CBaseView.h"
#include "vertex/VertexInstance.h"
#include "vertex/VertexModel.h"

namespace qx::app {

class CVModelDoc;

class CVModelView : public CBaseView {
    Q_OBJECT
public:
    // The model must outlive the view.
    CVModelView(const VertexModel& model, ViewHost& host);

    // Plays the frame range and rate the document announces.
    void listenTo(const CVModelDoc& document);

    VertexInstance& vertexInstance() const { return static_cast<VertexInstance&>(*instance_); }

protected:
    void InitModel() override;

private:
    const VertexModel& model_;
};

}  // namespace qx::app
