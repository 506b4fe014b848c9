#pragma once
// Random channels and times for the differential tests of playback: every shape of key list a
// reader accepts and the ways playback asks for times.

#include <cstdint>
#include <random>
#include <vector>

#include "skeletal/SkeletalMotion.h"

namespace qx::test {

// Ascending: strictly, as well-made files; WithTies: runs of keys at one time; Disordered: any
// order, now and then a NaN or infinite time.
enum class KeyOrder { Ascending, WithTies, Disordered };

// 0 to about 40 keys (negative times sometimes), random values (now and then -0, huge or not
// finite) and flag bytes, handles recomputed as a reader does or left as stored.
MotionChannel randomChannel(std::mt19937& random, KeyOrder order);

// Forward in small steps, backward, jumps, cycles starting over, the same time again, exact key
// times and the floats beside them, and now and then NaN, infinities and -0.
std::vector<float> randomTimes(std::mt19937& random, const std::vector<const MotionChannel*>& channels);

bool isKeyTime(float t, const std::vector<const MotionChannel*>& channels);
std::uint32_t floatBits(float f);

}  // namespace qx::test
