#pragma once
// Small builders for motions in tests.

#include <initializer_list>
#include <string>

#include "skeletal/SkeletalMotion.h"

namespace qx::test {

// A key with the given interpolation kind (0 hold, 1 linear, 2 curve) and handles not stored.
MotionKey key(float time, float value, int kind = LinearKind, bool handlesOmitted = true);

MotionChannel channel(std::initializer_list<MotionKey> keys);

// A track named name with every channel empty.
MotionTrack track(const std::string& name);

}  // namespace qx::test
