#pragma once
// The record of one motion loaded into a skeletal mesh document: the motion (which belongs to
// the document's model), the file it came from, and the settings it is started with when its
// check box is ticked. The motion form edits the settings; a playing motion keeps the ones it
// was started with.

#include "animation/MotionSettings.h"
#include "app/CBaseDoc.h"
#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMotion.h"

namespace qx::app {

class CSMotionDoc : public CBaseDoc {
public:
    // Default settings: no attack, decay or delay of its own, no stop time, weight 1, normal
    // speed, and the motion's id (the hash of its full path).
    CSMotionDoc(SkeletalMotion& motion, const std::string& path) : CBaseDoc(SkeletalMotionKind, path), motion_(motion) {
        settings.motionId = nameHash(path);
    }

    SkeletalMotion& motion() const { return motion_; }

    MotionSettings settings;

private:
    SkeletalMotion& motion_;
};

}  // namespace qx::app
