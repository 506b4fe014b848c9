// .qm1 meshes: parse (no images), write and read back, then play a cycle and an overlay on the
// mesh for a few frames, so that indices the reader takes as read are exercised by posing and
// skinning.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "animation/SkeletalInstance.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalModel.h"

namespace {

// A motion that turns and moves every bone of the mesh by name.
std::unique_ptr<qx::SkeletalMotion> motionFor(const qx::SkeletalMesh& mesh, std::int32_t id, std::int32_t type) {
    auto motion = std::make_unique<qx::SkeletalMotion>();
    motion->duration = 1.0f;
    motion->animationType = type;
    motion->nameHash = id;
    for (const auto& bone : mesh.bones) {
        qx::MotionTrack track;
        track.name = bone.name;
        track.nameHash = bone.nameHash;
        for (int c = 0; c < qx::ChannelCount; ++c) {
            qx::MotionKey a, b;
            a.time = 0.0f;
            b.time = 1.0f;
            a.value = c == qx::RotationW ? 1.0f : 0.0f;
            b.value = c == qx::RotationZ ? 0.5f : (c >= qx::ScaleX && c <= qx::ScaleZ ? 1.0f : 0.25f);
            a.flags = b.flags = 2 | qx::KeyHandlesOmitted;
            track.channels[c].keys = {a, b};
        }
        motion->tracks.push_back(std::move(track));
    }
    return motion;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto mesh = qx::parseSkeletalMesh(data, size);
    if (!mesh) return 0;
    const auto bytes = qx::encodeSkeletalMesh(*mesh);
    auto again = qx::parseSkeletalMesh(bytes.data(), bytes.size());
    if (!again || again->bones.size() != mesh->bones.size() || again->faces.size() != mesh->faces.size())
        __builtin_trap();

    qx::SkeletalModel model;
    auto cycle = motionFor(*mesh, 1, qx::CycleAnimation);
    auto overlay = motionFor(*mesh, 2, qx::OverlayAnimation);
    model.addMesh(std::move(mesh));
    model.addMotion(std::move(cycle));
    model.addMotion(std::move(overlay));
    qx::SkeletalInstance instance(model);
    qx::MotionSettings settings;
    settings.motionId = 1;
    instance.start(settings);
    settings.motionId = 2;
    settings.attackLength = 0.1f;
    instance.start(settings);
    for (int frame = 0; frame < 4; ++frame) (void)instance.update(0.3f);
    return 0;
}
