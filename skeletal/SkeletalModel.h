#pragma once
// What a skeletal mesh document holds: its mesh and the motions loaded into it, in load order.
// The model owns them, so that a closed document frees its mesh and its motions.

#include <cstdint>
#include <memory>
#include <vector>

#include "core/Model.h"
#include "core/ModelKind.h"
#include "skeletal/SkeletalMesh.h"
#include "skeletal/SkeletalMotion.h"

namespace qx {

class SkeletalModel : public Model {
public:
    int kind() const override { return SkeletalKind; }

    void addMesh(std::unique_ptr<SkeletalMesh> mesh) { meshes_.push_back(std::move(mesh)); }
    void addMotion(std::unique_ptr<SkeletalMotion> motion) { motions_.push_back(std::move(motion)); }

    // The first motion whose nameHash equals id, or none.
    SkeletalMotion* findMotion(std::int32_t id) const;

    const std::vector<std::unique_ptr<SkeletalMesh>>& meshes() const { return meshes_; }
    const std::vector<std::unique_ptr<SkeletalMotion>>& motions() const { return motions_; }

private:
    std::vector<std::unique_ptr<SkeletalMesh>> meshes_;
    std::vector<std::unique_ptr<SkeletalMotion>> motions_;
};

}  // namespace qx
