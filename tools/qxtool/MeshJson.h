#pragma once
// The JSON form of a skeletal mesh under the keys of `dump` for .qm1.

#include <cstdint>

#include "skeletal/SkeletalMesh.h"
#include "tools/qxtool/Json.h"

namespace qx::tool {

// {name, nameHash, index, parent, firstChild, nextSibling, start, end, roll, worldToBone,
//  boneToWorld, attachedPositions}: a mesh's bone with its own links, or an A:M export's bone
// with the links of its place in the pre-order.
template <typename Bone>
Json boneJson(const Bone& bone, std::int32_t parent, std::int32_t firstChild, std::int32_t nextSibling) {
    Json out;
    out["name"] = jsonBytes(bone.name);
    out["nameHash"] = bone.nameHash;
    out["index"] = bone.index;
    out["parent"] = parent;
    out["firstChild"] = firstChild;
    out["nextSibling"] = nextSibling;
    out["start"] = jsonVector(bone.start);
    out["end"] = jsonVector(bone.end);
    out["roll"] = jsonVector(bone.roll);
    out["worldToBone"] = jsonMatrix(bone.worldToBone);
    out["boneToWorld"] = jsonMatrix(bone.boneToWorld);
    out["attachedPositions"] = jsonInts(bone.attachedPositions);
    return out;
}

// The whole mesh, "type" and "nameHash" first.
Json meshJson(const SkeletalMesh& mesh);

}  // namespace qx::tool
