#pragma once
// The view of a skeletal mesh document: plays the model's motions on its first mesh and frames
// the rest positions of that mesh. Its timeline runs at 30 frames a second.

#include "animation/SkeletalInstance.h"
#include "app/CBaseView.h"
#include "skeletal/SkeletalModel.h"

namespace qx::app {

class CSModelDoc;

class CSModelView : public CBaseView {
    Q_OBJECT
public:
    static constexpr double TimelineRate = 30.0;

    // The model must outlive the view.
    CSModelView(const SkeletalModel& model, ViewHost& host);

    // Plays what the document announces: a motion added rebuilds the instance and starts the
    // session again (no motion plays afterwards); a motion switched on or off starts or stops
    // it, in the session's record.
    void listenTo(const CSModelDoc& document);

    // Replaces the instance by a new one on the model as it stands (after a motion was added);
    // no motion plays afterwards and the session starts again.
    void RebuildInstance();

    SkeletalInstance& skeletalInstance() const { return static_cast<SkeletalInstance&>(session_->instance()); }

    double timelineRate() const override { return TimelineRate; }
    double timelineSpan() const override;

protected:
    void InitModel() override;

private:
    const SkeletalModel& model_;
};

}  // namespace qx::app
