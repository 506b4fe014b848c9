#pragma once
// The skeleton the skeletal benchmarks share: a root bone with chains of chainLength bones
// hanging from it, named prefix0, prefix1, ... The benchmarks place the bones themselves.

#include <string>
#include <vector>

#include "skeletal/SkeletalMesh.h"

namespace qx::bench {

// Names, hashes, indices and links every bone of the list; bone 0 is the root, and bones
// 1 + k * chainLength start the chains.
void linkBoneChains(std::vector<MeshBone>& bones, const std::string& prefix, int chainLength);

// The chain of bone i (i > 0) and its place along it, from 0.
inline int chainOf(int i, int chainLength) { return (i - 1) / chainLength; }
inline int linkOf(int i, int chainLength) { return (i - 1) % chainLength; }

}  // namespace qx::bench
