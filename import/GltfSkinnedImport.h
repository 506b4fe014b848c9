#pragma once
// A skinned glTF asset as a skeletal mesh and its motions (see GltfImport.h for the whole).
//
// Bones: one per joint of the skin, each under its nearest joint ancestor (a synthetic root when
// the joints form more than one tree), its start, end and roll giving exactly the joint's rest
// frame (origin and axes; a uniform scale of the rest pose is carried by the poses), the axes
// renamed so that the bone points along the one nearest its first child (Blender's joints point
// along Y, the program's bones along Z), its length reaching that child. Positions are stored where the glTF shows them at rest, each on the
// joint of its largest weight; meshes hung under a joint follow that joint.
//
// Motions: with B the bone's frame, playback's local transform B x P x B^-1 equals glTF's
// G x T x L^-1 x G^-1 (G the rest world of the joint's parent, T the animated and L the rest
// transform of the joint) when P = C^-1 (s (L^-1 x T) / s) C, s the rest pose's scale and C the
// renaming of the joint's axes. Each property maps
// linearly, so STEP keys become hold keys and LINEAR keys linear ones exactly, but for rotations,
// which playback interpolates component-wise where glTF turns along an arc: keys are added until
// the two part by no more than the tolerance. CUBICSPLINE curves become curve keys where the
// program's own tangents follow them within the tolerance, else linear keys placed the same way.

#include <string>
#include <vector>

#include "import/GltfAnimation.h"
#include "import/GltfDocument.h"
#include "import/GltfImport.h"
#include "import/GltfNodeTree.h"

namespace qx {

// How far playback may stray from the glTF, as a part of the model's size.
inline constexpr double GltfImportTolerance = 1e-4;

bool importSkinned(const GltfDocument& document, const GltfNodeTree& tree, const std::vector<GltfAnimation>& animations,
                   int skin, const std::string& stem, GltfImport& result, std::string* reason);

}  // namespace qx
