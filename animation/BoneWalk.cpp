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

// Sorts the moves of one element kind into first and repeated moves.
class MoveLists {
public:
    MoveLists(std::size_t count, std::vector<std::int32_t>& first, std::vector<std::int32_t>& repeat)
        : moved_(count, false), first_(first), repeat_(repeat) {}

    void add(std::int32_t index) {
        if (moved_[index]) {
            repeat_.push_back(index);
        } else {
            moved_[index] = true;
            first_.push_back(index);
        }
    }

    void collectUnmoved(std::vector<std::int32_t>& rest) const {
        for (std::size_t i = 0; i < moved_.size(); ++i)
            if (!moved_[i]) rest.push_back(static_cast<std::int32_t>(i));
    }

    IndexRange firstRange(std::int32_t begin) const { return {begin, size(first_)}; }
    IndexRange repeatRange(std::int32_t begin) const { return {begin, size(repeat_)}; }
    std::int32_t firstCount() const { return size(first_); }
    std::int32_t repeatCount() const { return size(repeat_); }

private:
    static std::int32_t size(const std::vector<std::int32_t>& list) { return static_cast<std::int32_t>(list.size()); }

    std::vector<bool> moved_;
    std::vector<std::int32_t>& first_;
    std::vector<std::int32_t>& repeat_;
};

}  // namespace

BoneWalk walkBones(const SkeletalMesh& mesh) {
    BoneWalk walk;
    const std::size_t boneCount = mesh.bones.size();
    const std::size_t positionCount = mesh.positions.size();
    const std::size_t normalCount = mesh.normals.size();
    MoveLists positions(positionCount, walk.firstPositions, walk.repeatPositions);
    MoveLists normals(normalCount, walk.firstNormals, walk.repeatNormals);

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
            const std::int32_t firstPositions = positions.firstCount(), repeatPositions = positions.repeatCount();
            const std::int32_t firstNormals = normals.firstCount(), repeatNormals = normals.repeatCount();
            for (const std::int32_t p : bone.attachedPositions) {
                if (!inRange(p, positionCount)) continue;
                positions.add(p);
                if (static_cast<std::size_t>(p) >= mesh.positionNormals.size()) continue;
                for (const std::int32_t n : mesh.positionNormals[p])
                    if (inRange(n, normalCount)) normals.add(n);
            }
            step.firstPositions = positions.firstRange(firstPositions);
            step.repeatPositions = positions.repeatRange(repeatPositions);
            step.firstNormals = normals.firstRange(firstNormals);
            step.repeatNormals = normals.repeatRange(repeatNormals);
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
    positions.collectUnmoved(walk.restPositions);
    normals.collectUnmoved(walk.restNormals);
    return walk;
}

}  // namespace qx
