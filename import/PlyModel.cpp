#include "import/PlyModel.h"

#include <unordered_map>

namespace qx {

PlyBone::~PlyBone() {
    // Detach every descendant before it dies, so each destructor below sees no links and the
    // depth of the tree never becomes depth of the call stack.
    std::vector<std::unique_ptr<PlyBone>> pending;
    if (firstChild) pending.push_back(std::move(firstChild));
    if (nextSibling) pending.push_back(std::move(nextSibling));
    while (!pending.empty()) {
        std::unique_ptr<PlyBone> bone = std::move(pending.back());
        pending.pop_back();
        if (bone->firstChild) pending.push_back(std::move(bone->firstChild));
        if (bone->nextSibling) pending.push_back(std::move(bone->nextSibling));
    }
}

std::vector<PreOrderBone> bonesInPreOrder(const PlyModel& model) {
    std::vector<PreOrderBone> order;
    if (model.boneCount > 0) order.reserve(static_cast<std::size_t>(model.boneCount));
    std::unordered_map<const PlyBone*, std::int32_t> number;
    std::vector<const PlyBone*> stack;
    if (model.rootBone) stack.push_back(model.rootBone.get());
    while (!stack.empty()) {
        const PlyBone* bone = stack.back();
        stack.pop_back();
        number.emplace(bone, static_cast<std::int32_t>(order.size()));
        order.push_back(PreOrderBone{bone});
        // The sibling goes below the child on the stack: the child's whole subtree comes first.
        if (bone->nextSibling) stack.push_back(bone->nextSibling.get());
        if (bone->firstChild) stack.push_back(bone->firstChild.get());
    }
    const auto numberOf = [&number](const PlyBone* bone) {
        const auto found = bone != nullptr ? number.find(bone) : number.end();
        return found != number.end() ? found->second : -1;
    };
    for (PreOrderBone& entry : order) {
        entry.parent = numberOf(entry.bone->parent);
        entry.firstChild = numberOf(entry.bone->firstChild.get());
        entry.nextSibling = numberOf(entry.bone->nextSibling.get());
    }
    return order;
}

}  // namespace qx
