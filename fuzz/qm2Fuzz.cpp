// .qm2 motions: parse, sample every channel forward, backward, at its key times and at odd
// times through playback's shortcuts and through the plain search (which must agree to the bit),
// write and read back, then play the motion as a cycle and as an overlay on a chain of bones
// named after its tracks.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "animation/EvaluateChannel.h"
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

std::uint32_t bitsOf(float f) {
    std::uint32_t b = 0;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// Times for one channel: a few fixed ones, the odd ones, and its first key times with the
// floats just beside them.
std::vector<float> timesFor(const qx::MotionChannel& channel) {
    std::vector<float> times = {0.0f,
                                0.1f,
                                0.5f,
                                1.0f,
                                0.2f,
                                -1.0f,
                                1e9f,
                                -0.0f,
                                std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(),
                                0.3f};
    for (std::size_t i = 0; i < channel.keys.size() && i < 8; ++i) {
        const float t = channel.keys[i].time;
        times.insert(times.end(), {std::nextafter(t, -1e30f), t, std::nextafter(t, 1e30f)});
    }
    return times;
}

void checkPlayback(const qx::MotionChannel& channel) {
    qx::ChannelCursor played, plain;
    qx::ChannelSegment piece = qx::pieceFor(channel);
    for (const float t : timesFor(channel)) {
        const float fast = qx::playChannel(played, piece, channel, t, 0.0f);
        const float expected = channel.keys.empty() ? 0.0f : qx::evaluateChannel(plain, channel, t);
        if (bitsOf(fast) != bitsOf(expected)) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto motion = qx::parseSkeletalMotion(data, size);
    if (!motion) return 0;
    for (const auto& track : motion->tracks)
        for (const auto& channel : track.channels) checkPlayback(channel);
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
