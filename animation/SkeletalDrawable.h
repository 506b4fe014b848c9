#pragma once
// What a SkeletalInstance hands to the renderer each frame: the mesh's geometry and bones, with
// the positions and normals deformed by the current pose. The source mesh is never changed.

#include <vector>

#include "animation/BoneState.h"
#include "core/Drawable.h"
#include "core/ModelKind.h"
#include "math/Vector3.h"
#include "skeletal/SkeletalMesh.h"

namespace qx {

class SkeletalDrawable : public Drawable {
public:
    // One BoneState per bone of the mesh, identity locals; no positions or normals until the
    // first update fills them. The mesh is not owned and must outlive the drawable.
    explicit SkeletalDrawable(const SkeletalMesh& source);

    int kind() const override { return SkeletalKind; }

    const SkeletalMesh* mesh = nullptr;  // faces, materials, textures and render groups come from it
    std::vector<Vector3> positions;      // deformed, indexed like the mesh's positions
    std::vector<Vector3> normals;        // deformed, indexed like the mesh's normals
    std::vector<BoneState> bones;        // one per mesh bone, same order
};

}  // namespace qx
