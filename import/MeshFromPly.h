#pragma once
// Converting an A:M model to a skeletal mesh: each four-cornered patch becomes two triangles,
// the bone tree becomes the pre-order bone list with index links, and the faces are partitioned
// into render groups. No texture image is loaded: texture entries carry only their names.

#include <memory>
#include <vector>

#include "import/PlyModel.h"
#include "skeletal/SkeletalMesh.h"

namespace qx {

// A new mesh built from ply (only read). Patch i gives faces 2i (corners 0, 1, 2) and 2i + 1
// (corners 0, 2, 3); corner 3 of every face, and its fourth uv pair, is written as 0. The mesh's
// nameHash is left 0: it belongs to a path, and the mesh has none yet.
std::unique_ptr<SkeletalMesh> meshFromPly(const PlyModel& ply);

// The faces partitioned for drawing: grouped by the textureIndex of their first mapping (-1 for
// a face without mappings), groups in order of first appearance; within a group one batch per
// materialIndex in order of first appearance, each listing its faces in ascending order.
std::vector<TextureGroup> buildRenderGroups(const std::vector<MeshFace>& faces);

}  // namespace qx
