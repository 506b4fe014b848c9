#include "animation/BoneWalk.h"

namespace qx {

namespace {

bool inRange(std::int32_t index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

struct Pending {
    std::int32_t bone;
    std::int32_t parentStep;
};

// Records the moves of one element kind: the step of each element's first move, and every
// further move in a list of repeats.
class MoveTable {
public:
    MoveTable(std::size_t count, std::vector<std::int32_t>& steps, std::vector<std::int32_t>& repeat)
        : steps_(steps), repeat_(repeat) {
        steps_.assign(count, -1);
    }

    void add(std::int32_t index, std::int32_t step) {
        if (steps_[index] >= 0)
            repeat_.push_back(index);
        else
            steps_[index] = step;
    }

    std::int32_t repeatCount() const { return static_cast<std::int32_t>(repeat_.size()); }
    IndexRange repeatRange(std::int32_t begin) const { return {begin, repeatCount()}; }

private:
    std::vector<std::int32_t>& steps_;
    std::vector<std::int32_t>& repeat_;
};

}  // namespace

BoneWalk walkBones(const SkeletalMesh& mesh) {
    BoneWalk walk;
    const std::size_t boneCount = mesh.bones.size();
    const std::size_t positionCount = mesh.positions.size();
    const std::size_t normalCount = mesh.normals.size();
    MoveTable positions(positionCount, walk.positionSteps, walk.repeatPositions);
    MoveTable normals(normalCount, walk.normalSteps, walk.repeatNormals);

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
            const auto stepIndex = static_cast<std::int32_t>(walk.steps.size());
            BoneWalkStep step;
            step.bone = at.bone;
            step.parentStep = at.parentStep;
            const std::int32_t repeatPositions = positions.repeatCount();
            const std::int32_t repeatNormals = normals.repeatCount();
            for (const std::int32_t p : bone.attachedPositions) {
                if (!inRange(p, positionCount)) continue;
                positions.add(p, stepIndex);
                if (static_cast<std::size_t>(p) >= mesh.positionNormals.size()) continue;
                for (const std::int32_t n : mesh.positionNormals[p])
                    if (inRange(n, normalCount)) normals.add(n, stepIndex);
            }
            step.repeatPositions = positions.repeatRange(repeatPositions);
            step.repeatNormals = normals.repeatRange(repeatNormals);
            walk.steps.push_back(step);

            if (usable(bone.firstChild)) {
                pending.push_back({bone.nextSibling, at.parentStep});
                at = {bone.firstChild, stepIndex};
            } else {
                at.bone = bone.nextSibling;
            }
        }
    }
    return walk;
}

}  // namespace qx
