#pragma once
// The record of one motion loaded into a skeletal mesh document: the motion (which belongs to
// the document's model), the file it came from, the settings it is started with when it is
// switched on, and whether it is switched on. Its changes go through the document, which
// announces them (CSModelDoc); a playing motion keeps the settings it was started with.

#include "animation/MotionSettings.h"
#include "app/CBaseDoc.h"
#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMotion.h"

namespace qx::app {

class CSMotionDoc : public CBaseDoc {
    Q_OBJECT
public:
    // Default settings: no attack, decay or delay of its own, no stop time, weight 1, normal
    // speed, and the motion's id (the hash of its full path).
    CSMotionDoc(SkeletalMotion& motion, const std::string& path) : CBaseDoc(path), motion_(motion) {
        settings_.motionId = nameHash(path);
    }

    const SkeletalMotion& motion() const { return motion_; }
    const MotionSettings& settings() const { return settings_; }
    // Whether the user switched it on (its box is ticked).
    bool switchedOn() const { return switchedOn_; }

private:
    friend class CSModelDoc;

    SkeletalMotion& motion_;
    MotionSettings settings_;
    bool switchedOn_ = false;
};

}  // namespace qx::app
