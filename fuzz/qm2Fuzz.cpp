// .qm2 motions: parse, sample every track forward and backward, write and read back, then play
// the motion as a cycle and as an overlay on a chain of bones named after its tracks.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "animation/MotionSampler.h"
#include "animation/SkeletalInstance.h"
#include "skeletal/SkeletalMotionFile.h"

namespace {

std::unique_ptr<qx::SkeletalMesh> chainFor(const qx::SkeletalMotion& motion) {
    auto mesh = std::make_unique<qx::SkeletalMesh>();
    const std::size_t bones = motion.tracks.size() < 64 ? motion.tracks.size() : 64;
    for (std::size_t i = 0; i < bones; ++i) {
        qx::MeshBone bone;
        bone.name = motion.tracks[i].name;
        bone.nameHash = motion.tracks[i].nameHash;
        bone.index = static_cast<std::int32_t>(i);
        bone.parent = static_cast<std::int32_t>(i) - 1;
        bone.firstChild = i + 1 < bones ? static_cast<std::int32_t>(i + 1) : -1;
        bone.start = {0.0f, 0.0f, static_cast<float>(i)};
        bone.end = {0.0f, 0.0f, static_cast<float>(i + 1)};
        bone.roll = {0.0f, 1.0f, static_cast<float>(i)};
        qx::computeBoneFrame(bone);
        bone.attachedPositions = {static_cast<std::int32_t>(i)};
        mesh->bones.push_back(bone);
        mesh->positions.push_back(bone.end);
        mesh->normals.push_back({0.0f, 1.0f, 0.0f});
        mesh->positionNormals.push_back({static_cast<std::int32_t>(i)});
    }
    return mesh;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto motion = qx::parseSkeletalMotion(data, size);
    if (!motion) return 0;
    {
        qx::MotionSampler sampler(*motion);
        for (float t : {0.0f, 0.1f, 0.5f, 1.0f, 0.2f, -1.0f, 1e9f}) {
            for (auto& track : sampler.tracks) (void)qx::sampleTrack(track, t);
        }
    }
    const auto bytes = qx::encodeSkeletalMotion(*motion);
    auto again = qx::parseSkeletalMotion(bytes.data(), bytes.size());
    if (!again || again->tracks.size() != motion->tracks.size()) __builtin_trap();

    qx::SkeletalModel model;
    model.addMesh(chainFor(*motion));
    motion->nameHash = 1;
    const std::int32_t type = motion->animationType;
    model.addMotion(std::move(motion));
    qx::SkeletalInstance instance(model);
    qx::MotionSettings settings;
    settings.motionId = 1;
    settings.stopTime = 0.5f;
    instance.start(settings);
    for (int frame = 0; frame < 4; ++frame) (void)instance.update(type == qx::OverlayAnimation ? 0.2f : 0.3f);
    return 0;
}
