#pragma once
// The keyframe data of a skeletal motion: one track per animated bone, ten scalar channels a
// track (translation x, y, z; scale x, y, z; rotation quaternion x, y, z, w).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "math/Vector3.h"

namespace qx {

struct TimeValue {
    float time = 0.0f;
    float value = 0.0f;
    bool operator==(const TimeValue&) const = default;
};

// Key flag bits: bit 0 set means the handles are not stored in the file; bits 1-2 give the
// interpolation of the segment that starts at the key.
enum : std::uint8_t { KeyHandlesOmitted = 1 };
enum InterpolationKind : int { HoldKind = 0, LinearKind = 1, CurveKind = 2 };

inline int interpolationKind(std::uint8_t flags) { return (flags >> 1) & 3; }

struct MotionKey {
    float time = 0.0f;
    float value = 0.0f;
    std::uint8_t flags = 0;
    // Stored negated: the Hermite tangents are -outHandle (segment start) and -inHandle of the
    // next key (segment end).
    TimeValue outHandle;
    TimeValue inHandle;
    bool operator==(const MotionKey&) const = default;
};

// Keys ascending by time, in file order; never sorted.
struct MotionChannel {
    std::vector<MotionKey> keys;
    bool operator==(const MotionChannel&) const = default;
};

inline constexpr int ChannelCount = 10;
enum ChannelIndex : int {
    TranslationX = 0,
    TranslationY,
    TranslationZ,
    ScaleX,
    ScaleY,
    ScaleZ,
    RotationX,
    RotationY,
    RotationZ,
    RotationW
};

struct MotionTrack {
    std::string name;
    std::int32_t nameHash = 0;  // of name, recomputed on read
    Vector3 basisX = UnitX;
    Vector3 basisY = UnitY;
    Vector3 basisZ = UnitZ;
    std::array<MotionChannel, ChannelCount> channels;
    bool operator==(const MotionTrack&) const = default;
};

}  // namespace qx
