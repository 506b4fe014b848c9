#pragma once
// Random channels, motions and sequences of times for the differential tests of playback:
// every shape of key list a reader accepts (none, one key, ascending, equal times, out of
// order, negative and non-finite times, every flag byte) and the ways playback asks for times.

#include <cstdint>
#include <random>
#include <vector>

#include "skeletal/SkeletalMotion.h"

namespace qx::test {

enum class KeyOrder {
    Ascending,     // strictly ascending times, as every well-made file has
    WithTies,      // ascending, with runs of keys at one time (jumps in well-made files)
    Disordered,    // any order, times repeated, now and then NaN or infinite
};

// A channel of 0 to about 40 keys in the given order, with random values (now and then -0,
// huge or non-finite), random flag bytes and handles recomputed as a reader does (sometimes
// left as random stored ones instead).
MotionChannel randomChannel(std::mt19937& random, KeyOrder order);

// A motion of a few tracks whose channels are in the given order.
SkeletalMotion randomMotion(std::mt19937& random, KeyOrder order);

// Times as playback and scripts ask for them, around the key times of the channels given:
// forward in small steps, backward, jumps, cycles wrapping round, exact key times and the
// floats just beside them, and (when odd is set) NaN, infinities and signed zeros.
std::vector<float> randomTimes(std::mt19937& random, const std::vector<const MotionChannel*>& channels, bool odd);

// Whether t equals the time of any key of the channels (an exact key time, where a search over
// keys at equal times may answer with either key).
bool isKeyTime(float t, const std::vector<const MotionChannel*>& channels);

// The bits of a float, for comparing results exactly (a NaN's payload and a zero's sign too).
std::uint32_t floatBits(float f);

}  // namespace qx::test
