#pragma once
// A skeletal mesh and its motions as glTF: a skinned mesh, a node tree for the bones and one
// animation per motion.
//
// Playback poses a bone with local = worldToBone x P x boneToWorld and inherits as
// W = local x parent (row vectors), where P is the sampled pose (scale, rotation, translation).
// glTF moves a vertex by joint world x inverse bind (column vectors). The two agree exactly,
// without decomposing a matrix, when
//   - a bone's inverse bind matrix is its worldToBone,
//   - its joint is a node animated with P's translation, rotation and scale,
//   - that joint sits under a fixed node holding boneToWorld of the bone x worldToBone of its
//     parent (for a root bone, its boneToWorld), under the parent's joint.
// A row-vector matrix written row by row is the same matrix in column form written column by
// column, which is how glTF stores matrices, so no matrix is transposed either.
//
// Joint 0 is the skeleton's root node, which never moves: positions no bone lists follow it.

#include <string>
#include <vector>

#include "gltf/GltfExportNotes.h"
#include "gltf/GltfWriter.h"
#include "skeletal/SkeletalMesh.h"
#include "skeletal/SkeletalMotion.h"

namespace qx {

struct GltfMotion {
    std::string name;                       // the animation's name
    const SkeletalMotion* motion = nullptr;  // not owned
};

// Motions are sampled at this rate, and also at every key time.
inline constexpr float GltfSamplesPerSecond = 30.0f;
// A longer motion (ten minutes) is refused rather than sampled into an unbounded list.
inline constexpr float GltfLongestMotion = 600.0f;

// Adds the mesh (faces as indexed triangles, materials, textures whose pixels are loaded), its
// skeleton and one animation per motion to writer as its scene. False, with a reason, when a
// motion cannot be sampled.
bool addSkeletalScene(GltfWriter& writer, const SkeletalMesh& mesh, const std::string& name,
                      const std::vector<GltfMotion>& motions, GltfExportNotes& notes, std::string* reason);

// The times a motion is sampled at: every 1/30 s from 0 to its duration, the duration itself and
// every key time between, ascending and each once. Empty, with a reason, for a motion longer
// than GltfLongestMotion.
std::vector<float> gltfSampleTimes(const SkeletalMotion& motion, std::string* reason);

}  // namespace qx
