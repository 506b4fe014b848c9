#include "tests/support/RandomSkeletalModel.h"

#include <cmath>

#include "animation/SkeletalInstance.h"
#include "skeletal/ComputeHandles.h"
#include "tests/support/RandomMotion.h"
#include "tests/support/SkeletonBuilder.h"

namespace qx::test {

// A tree of up to five bones in pre-order (now and then one whose roll lies on its axis, so that
// it has no frame), two triangles on each, and an overlay whose channels are random in key count,
// order, ties and interpolation kind, their values tamed to finite ones that playback can show,
// and their handles mostly computed as a reader does (a curve whose stored handles its time
// cannot be solved for plays as millisecond steps).
RandomModel randomModel(std::mt19937& random) {
    const auto uniform = [&](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const auto point = [&] { return Vector3{uniform(-3, 3), uniform(-3, 3), uniform(-3, 3)}; };
    RandomModel model;
    SkeletalMesh& mesh = *model.mesh;
    const int bones = 1 + below(5);
    for (int b = 0; b < bones; ++b) {
        // Pre-order, one root: the parent is the bone before or one of its ancestors.
        std::int32_t parent = b - 1;
        while (parent > 0 && below(3) == 0) parent = mesh.bones[static_cast<std::size_t>(parent)].parent;
        const Vector3 start = point(), end = point();
        const bool flat = below(10) == 0;
        model.degenerateBone = model.degenerateBone || flat;
        mesh.bones.push_back(
            meshBone("bone" + std::to_string(b), start, end, flat ? end + (end - start) : point(), parent));
    }
    linkBones(mesh.bones);
    mesh.materials.push_back({{0.8f, 0.6f, 0.4f}, {}, 0, 0});
    TextureGroup group;
    group.batches.push_back({0, {}});
    for (int b = 0; b < bones; ++b)
        for (int f = 0; f < 2; ++f) {
            MeshFace face;
            for (int k = 0; k < 3; ++k)
                face.positionIndex[k] = face.normalIndex[k] = addVertex(mesh, b, point(), point());
            group.batches[0].faceIndices.push_back(static_cast<std::int32_t>(mesh.faces.size()));
            mesh.faces.push_back(face);
        }
    mesh.renderGroups.push_back(group);

    // Now and then a motion keeps the handles the generator stored, as a file may.
    const bool computedHandles = below(8) != 0;
    std::vector<MotionTrack> tracks;
    for (int b = 0; b < bones; ++b) {
        if (below(4) == 0) continue;  // a bone the motion does not move
        MotionTrack t;
        t.name = "bone" + std::to_string(b);
        t.nameHash = mesh.bones[static_cast<std::size_t>(b)].nameHash;
        for (int c = 0; c < ChannelCount; ++c) {
            MotionChannel& channel = t.channels[static_cast<std::size_t>(c)];
            channel = randomChannel(random, static_cast<KeyOrder>(below(3)));
            // Scales of a character's bones: shrinking and growing, not folding inside out, so
            // that the pose stays within a few sizes of the model, where float playback itself
            // is finer than the tolerance.
            for (MotionKey& key : channel.keys)
                if (!std::isfinite(key.value) || std::fabs(key.value) > 100.0f || (c >= ScaleX && c <= ScaleZ))
                    key.value = c >= ScaleX && c <= ScaleZ ? uniform(0.5f, 1.5f) : uniform(-2.0f, 2.0f);
            if (computedHandles) computeHandles(channel);
        }
        tracks.push_back(std::move(t));
    }
    model.motion = makeMotion(MotionId, OverlayAnimation, uniform(0.2f, 2.5f), std::move(tracks));
    return model;
}

// Random times over the motion, and every key time inside it with the floats on either side.
std::vector<float> timesToCheck(std::mt19937& random, const SkeletalMotion& motion) {
    std::vector<float> times;
    for (int i = 0; i < 30; ++i) times.push_back(std::uniform_real_distribution<float>(0.0f, motion.duration)(random));
    for (const MotionTrack& track : motion.tracks)
        for (const MotionChannel& channel : track.channels)
            for (const MotionKey& key : channel.keys)
                if (key.time > 1e-3f && key.time < motion.duration)
                    times.insert(times.end(),
                                 {std::nextafter(key.time, 0.0f), key.time, std::nextafter(key.time, 9.0f)});
    return times;
}

// The positions playback shows with the motion alone at full weight, time t into it; empty
// when the overlay is over or playback has no finite answer.
std::vector<Point> played(const SkeletalModel& model, float t) {
    SkeletalInstance instance(model);
    MotionSettings settings;
    settings.attackLength = settings.decayLength = 1e-6f;
    settings.motionId = MotionId;
    instance.start(settings);
    const auto* drawable = static_cast<const SkeletalDrawable*>(instance.update(t));
    if (instance.overlays().empty() || instance.overlays()[0].time != t || instance.overlays()[0].envelope() != 1.0f)
        return {};
    std::vector<Point> points;
    for (const Vector3& p : drawable->positions) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return {};
        points.push_back({p.x, p.y, p.z});
    }
    return points;
}

std::vector<Point> restOf(const SkeletalMesh& mesh) {
    std::vector<Point> rest;
    for (const Vector3& p : mesh.positions) rest.push_back({p.x, p.y, p.z});
    return rest;
}

}  // namespace qx::test
