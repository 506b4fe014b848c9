#pragma once
// The view of a skeletal mesh document: plays the model's motions on its first mesh and frames
// the rest positions of that mesh.

#include "animation/SkeletalInstance.h"
#include "app/CBaseView.h"
#include "skeletal/SkeletalModel.h"

namespace qx::app {

class CSModelView : public CBaseView {
    Q_OBJECT
public:
    // The model must outlive the view.
    explicit CSModelView(const SkeletalModel& model);

    // Replaces the instance by a new one on the model as it stands (after a motion was added);
    // no motion plays afterwards.
    void RebuildInstance();

    SkeletalInstance& skeletalInstance() const { return static_cast<SkeletalInstance&>(*instance_); }

protected:
    void InitModel() override;

private:
    const SkeletalModel& model_;
};

}  // namespace qx::app
