#include "animation/BoneWalk.h"

namespace qx {

namespace {

bool inRange(std::int32_t index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

struct Pending {
    std::int32_t bone;
    std::int32_t parentStep;
};

}  // namespace

BoneWalk walkBones(const SkeletalMesh& mesh) {
    BoneWalk walk;
    const std::size_t boneCount = mesh.bones.size();
    const std::size_t positionCount = mesh.positions.size();
    const std::size_t normalCount = mesh.normals.size();

    std::vector<bool> reached(boneCount, false);
    auto usable = [&](std::int32_t bone) { return inRange(bone, boneCount) && !reached[bone]; };

    // Siblings still to visit after the subtree being walked; a loop, not recursion, so that a
    // deep chain of bones cannot exhaust the stack.
    std::vector<Pending> pending;
    if (boneCount > 0) pending.push_back({0, -1});
    while (!pending.empty()) {
        Pending at = pending.back();
        pending.pop_back();
        while (usable(at.bone)) {
            reached[at.bone] = true;
            const MeshBone& bone = mesh.bones[at.bone];
            BoneWalkStep step;
            step.bone = at.bone;
            step.parentStep = at.parentStep;
            step.firstAttached = static_cast<std::int32_t>(walk.attached.size());
            for (const std::int32_t p : bone.attachedPositions)
                if (inRange(p, positionCount)) walk.attached.push_back(p);
            step.endAttached = static_cast<std::int32_t>(walk.attached.size());
            const auto stepIndex = static_cast<std::int32_t>(walk.steps.size());
            walk.steps.push_back(step);

            if (usable(bone.firstChild)) {
                pending.push_back({bone.nextSibling, at.parentStep});
                at = {bone.firstChild, stepIndex};
            } else {
                at.bone = bone.nextSibling;
            }
        }
    }

    walk.normalStart.reserve(positionCount + 1);
    walk.normalStart.push_back(0);
    for (std::size_t p = 0; p < positionCount; ++p) {
        if (p < mesh.positionNormals.size())
            for (const std::int32_t n : mesh.positionNormals[p])
                if (inRange(n, normalCount)) walk.normals.push_back(n);
        walk.normalStart.push_back(static_cast<std::int32_t>(walk.normals.size()));
    }
    return walk;
}

}  // namespace qx
