#pragma once

#include "skeletal/SkeletalMesh.h"
#include "tools/qxtool/Json.h"

namespace qx::tool {

// {name, nameHash, index, parent, firstChild, nextSibling, start, end, roll, worldToBone,
//  boneToWorld, attachedPositions}
Json boneJson(const MeshBone& bone);

// The whole mesh under the keys of `dump` for .qm1, "type" and "nameHash" first.
Json meshJson(const SkeletalMesh& mesh);

}  // namespace qx::tool
