#pragma once
// A skeletal mesh document: the model read from a ".qm1" file, or an A:M ".ply" export converted
// in memory (its mesh, then the motions loaded into it), and the records of those motions,
// which its tree shows.

#include <memory>
#include <string>
#include <vector>

#include "app/CBaseDoc.h"
#include "app/CSMotionDoc.h"
#include "skeletal/SkeletalModel.h"

namespace qx::app {

class CSModelDoc : public CBaseDoc {
public:
    // Reads the mesh with its textures uploaded in the shared GL context; none, with the
    // reader's reason, when the file cannot be read.
    static std::unique_ptr<CSModelDoc> load(const std::string& path, std::string* reason);
    // Frees the model's textures in the shared GL context.
    ~CSModelDoc() override;

    SkeletalModel& model() const { return *model_; }

    // Appends the motion to the model and makes its record.
    CSMotionDoc& addMotion(std::unique_ptr<SkeletalMotion> motion, const std::string& path);
    const std::vector<std::unique_ptr<CSMotionDoc>>& motionRecords() const { return records_; }

private:
    CSModelDoc(std::string path, std::unique_ptr<SkeletalModel> model);

    std::unique_ptr<SkeletalModel> model_;
    std::vector<std::unique_ptr<CSMotionDoc>> records_;
};

}  // namespace qx::app
