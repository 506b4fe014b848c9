#pragma once
// How one motion is to be played: the settings a motion record of the document carries and
// hands to SkeletalInstance::start when the user switches the motion on.

#include <cstdint>

namespace qx {

struct MotionSettings {
    float attackLength = 0.0f;  // fade-in seconds; 0 takes the motion's own attackLength
    float decayLength = 0.0f;   // fade-out seconds; 0 takes the motion's own decayLength
    float delay = 0.0f;         // seconds to wait before the fade-in starts
    float stopTime = -1.0f;     // seconds after which a cycle stops by itself; -1 = never
    float weight = 1.0f;        // carried into the instance; the blend does not read it
    float timeFactor = 1.0f;    // playback speed: every elapsed time is multiplied by it
    std::int32_t motionId = 0;  // nameHash of the motion to play (the path it was read from)
};

// The settings as a record keeps them, whoever edited them: a negative stop time means never
// (-1), and a negative attack or decay takes the motion's whole duration.
inline MotionSettings settledSettings(MotionSettings settings, float motionDuration) {
    if (settings.stopTime < 0.0f) settings.stopTime = -1.0f;
    if (settings.attackLength < 0.0f) settings.attackLength = motionDuration;
    if (settings.decayLength < 0.0f) settings.decayLength = motionDuration;
    return settings;
}

}  // namespace qx
