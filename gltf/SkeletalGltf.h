#pragma once
// A skeletal mesh and its motions as glTF: a skinned mesh, a node tree for the bones and one
// animation per motion.
//
// Playback poses a bone with local = worldToBone x P x boneToWorld and inherits as
// W = local x parent (row vectors), where P is the sampled pose (scale, rotation, translation).
// glTF moves a vertex by joint world x inverse bind (column vectors). The two agree when
//   - a bone's inverse bind matrix is its worldToBone,
//   - its joint's transform is F x P, F the bone's fixed part: boneToWorld of the bone x
//     worldToBone of its parent (for a root bone, its boneToWorld).
// In every well-made file F is rigid, and F x P is again a translation, rotation and scale,
// which the joint carries alone: one node per bone. A bone whose F scales or shears keeps F in a
// fixed node of its own above a joint animated with P.
// A row-vector matrix written row by row is the same matrix in column form written column by
// column, which is how glTF stores matrices, so no matrix is transposed.
//
// Joint 0 is the skeleton's root node, which never moves: positions no bone lists follow it. It
// carries the export's scale.

#include <string>
#include <vector>

#include "gltf/GltfExportNotes.h"
#include "gltf/GltfWriter.h"
#include "skeletal/SkeletalMesh.h"
#include "skeletal/SkeletalMotion.h"

namespace qx {

struct GltfMotion {
    std::string name;                        // the animation's name
    const SkeletalMotion* motion = nullptr;  // not owned
};

// A longer motion (ten minutes) is refused rather than sampled into an unbounded list.
inline constexpr float GltfLongestMotion = 600.0f;

// How far an export's animation may stray from playback at any time, as a part of the model's
// size (the diagonal of the box around its positions).
inline constexpr double GltfMotionTolerance = 1e-4;

// Adds the mesh (faces as indexed triangles, materials, textures whose pixels are loaded), its
// skeleton and one animation per motion to writer as its scene, scaled by scale. False, with a
// reason, when the mesh draws nothing or a motion cannot be sampled.
bool addSkeletalScene(GltfWriter& writer, const SkeletalMesh& mesh, const std::string& name,
                      const std::vector<GltfMotion>& motions, float scale, GltfExportNotes& notes, std::string* reason);

}  // namespace qx
