#pragma once
// The times a motion is written at. glTF readers interpolate linearly between samples, while
// playback follows curves and jumps at hold keys; the samples are placed so that the two differ
// by no more than a tolerance at any time, not only at the samples:
//   - at 0, the duration, every key time and the floats on either side of it (a jump then
//     happens between two neighbouring floats, as in playback);
//   - every 1/30 s, then halving every interval where the interpolation strays at any of seven
//     points inside it;
//   - then dropping every sample the interpolation of its neighbours stands in for.
// How far a pose strays is measured where it matters, on the positions the bones move: each
// bone's box of positions (in its own frame) carried through the whole chain of bones.

#include <array>
#include <vector>

#include "animation/MotionSampler.h"
#include "gltf/GltfTrs.h"

namespace qx {

struct SampledBone {
    int parent = -1;                             // an earlier bone of the list; -1 under the skeleton's unmoving root
    ColumnMatrix fixed;                          // the bone's fixed part, between its parent's joint and its own
    int track = -1;                              // the sampler track it plays; -1 rests
    std::vector<std::array<double, 3>> corners;  // of the box of the positions it moves, in its frame
};

struct AdaptiveSamples {
    std::vector<float> times;
    // Per bone, the pose at each time (as written: finite, unit rotation); empty for resting bones.
    std::vector<std::vector<GltfTrs>> poses;
    // False when some interval still strays, for one of two causes, each said by its flag:
    bool withinTolerance = true;
    // Playback changes faster than halving can follow: curves whose time the player cannot solve
    // play as steps a millisecond apart, and an interval reached neighbouring floats.
    bool steps = false;
    // The samples ran out of budget before every interval was within the tolerance.
    bool outOfBudget = false;
};

// The interval sampling starts from, and how often it halves at most (down to neighbouring
// floats, where a jump inside a curve then falls).
inline constexpr float GltfSamplesPerSecond = 30.0f;
inline constexpr int GltfMostHalvings = 48;

// How many samples a motion may take while they are placed: 1024 for every 1/30 s and four a key
// time (a curve that plays as millisecond steps needs a few hundred), and no more poses than
// about 160 MB hold. Only the bones the motion moves keep a pose a sample (movingBones), so a
// big skeleton whose motion moves a few of its bones samples as finely as a small one.
std::size_t gltfSampleBudget(float duration, std::size_t keyTimes, std::size_t movingBones);

// Samples over [0, duration] (duration finite, at least 0). keyTimes: the motion's key times.
// Beyond budget samples, intervals are left as they are and the result says so.
AdaptiveSamples sampleAdaptively(MotionSampler& sampler, const std::vector<SampledBone>& bones,
                                 const std::vector<float>& keyTimes, float duration, double tolerance,
                                 std::size_t budget);

}  // namespace qx
