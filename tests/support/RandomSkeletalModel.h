#pragma once
// Random skeletal models with a random motion, and how playback poses them: the ground of the
// tests that carry models and motions out to glTF and back.

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "skeletal/SkeletalMesh.h"
#include "skeletal/SkeletalModel.h"
#include "skeletal/SkeletalMotion.h"

namespace qx::test {

using Point = std::array<double, 3>;

// The id the random motions carry and playback starts them by.
inline constexpr std::int32_t MotionId = 7;

struct RandomModel {
    std::unique_ptr<SkeletalMesh> mesh = std::make_unique<SkeletalMesh>();
    std::unique_ptr<SkeletalMotion> motion;
    bool degenerateBone = false;
};

// A tree of up to five bones in pre-order (now and then one whose roll lies on its axis, so that
// it has no frame), two triangles on each, and an overlay whose channels are random in key count,
// order, ties and interpolation kind, their values tamed to finite ones that playback can show,
// and their handles mostly computed as a reader does.
RandomModel randomModel(std::mt19937& random);

// Random times over the motion, and every key time inside it with the floats on either side.
std::vector<float> timesToCheck(std::mt19937& random, const SkeletalMotion& motion);

// The positions playback shows with the motion (id MotionId, an overlay) alone at full weight,
// time t into it; empty when the overlay is over or playback has no finite answer.
std::vector<Point> played(const SkeletalModel& model, float t);

std::vector<Point> restOf(const SkeletalMesh& mesh);

}  // namespace qx::test
