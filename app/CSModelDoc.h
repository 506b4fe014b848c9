#pragma once
// A skeletal mesh document: the model read from a ".qm1" file, or an A:M ".ply" export converted
// in memory (its mesh, then the motions loaded into it), and the records of those motions.
//
// Every change to its motions is made here and announced: the tree hangs and ticks items, the
// motion form shows the settings, the view starts and stops the motions in its instance.

#include <memory>
#include <string>
#include <vector>

#include "app/CBaseDoc.h"
#include "app/CSMotionDoc.h"
#include "skeletal/SkeletalModel.h"

namespace qx::app {

class CSModelDoc : public CBaseDoc {
    Q_OBJECT
public:
    // Takes the model read for the file at path (its textures uploaded in the shared GL context).
    CSModelDoc(std::string path, std::unique_ptr<SkeletalModel> model);
    // Frees the model's textures in the shared GL context.
    ~CSModelDoc() override;

    SkeletalModel& model() const { return *model_; }
    const std::vector<std::unique_ptr<CSMotionDoc>>& motionRecords() const { return records_; }

    // Appends the motion to the model and makes its record, switched off (motionAdded).
    CSMotionDoc& addMotion(std::unique_ptr<SkeletalMotion> motion, const std::string& path);
    // Switches the motion on with its settings, or off (motionStarted, motionStopped).
    void startMotion(CSMotionDoc& record);
    void stopMotion(CSMotionDoc& record);
    // Starts again every motion switched on, in the order they were added: what an instance
    // rebuilt after a motion was added no longer plays.
    void restartSwitchedOn();
    // Stores settings in the record as settledSettings leaves them (motionSettingsChanged).
    void setSettings(CSMotionDoc& record, const MotionSettings& settings);
    // Sets the Animation Type of the record's motion, a property of the motion itself
    // (motionSettingsChanged).
    void setAnimationType(CSMotionDoc& record, std::int32_t type);

signals:
    void motionAdded(qx::app::CSMotionDoc* record);
    void motionStarted(qx::app::CSMotionDoc* record);
    void motionStopped(qx::app::CSMotionDoc* record);
    void motionSettingsChanged(qx::app::CSMotionDoc* record);

private:
    std::unique_ptr<SkeletalModel> model_;
    std::vector<std::unique_ptr<CSMotionDoc>> records_;
};

}  // namespace qx::app
