#include "bench/BoneChains.h"

#include "skeletal/NameHash.h"

namespace qx::bench {

void linkBoneChains(std::vector<MeshBone>& bones, const std::string& prefix, int chainLength) {
    const int count = static_cast<int>(bones.size());
    for (int i = 0; i < count; ++i) {
        MeshBone& b = bones[static_cast<std::size_t>(i)];
        b.name = prefix + std::to_string(i);
        b.nameHash = nameHash(b.name);
        b.index = i;
        const int link = linkOf(i, chainLength);
        b.parent = i == 0 ? -1 : (link == 0 ? 0 : i - 1);
        b.firstChild = i == 0 ? 1 : (link + 1 < chainLength && i + 1 < count ? i + 1 : -1);
        b.nextSibling = i != 0 && link == 0 && i + chainLength < count ? i + chainLength : -1;
    }
}

}  // namespace qx::bench
