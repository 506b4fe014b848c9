#include "animation/SkeletalInstance.h"

#include <cmath>
#include <unordered_map>

#include "animation/PoseBlending.h"
#include "animation/RigidSkinning.h"

namespace qx {

namespace {

// worldToBone x P x boneToWorld, with P the diagonal scale matrix times the rotation matrix and
// the translation as its last row: the pose acts in the bone's own frame (origin at its start,
// Z along it, Y towards its roll point). P is the full product, zero terms included, because
// they decide the sign of a zero and carry a NaN from one row of the rotation to the others.
Matrix boneLocal(const MeshBone& bone, const Pose& pose) {
#if QX_SIMD
    // Built in registers: written out and read back four wide, it would stall every bone.
    float r[3][3];
    writeRotation(r, pose.rotation);
    const __m128 last = _mm_set_ps(1.0f, 0.0f, 0.0f, 0.0f);
    MatrixRows rotation{{_mm_set_ps(0.0f, r[0][2], r[0][1], r[0][0]), _mm_set_ps(0.0f, r[1][2], r[1][1], r[1][0]),
                         _mm_set_ps(0.0f, r[2][2], r[2][1], r[2][0]), last}};
    const MatrixRows scale{{_mm_set_ps(0.0f, 0.0f, 0.0f, pose.scale.x), _mm_set_ps(0.0f, 0.0f, pose.scale.y, 0.0f),
                            _mm_set_ps(0.0f, pose.scale.z, 0.0f, 0.0f), last}};
    MatrixRows p = product(scale, rotation);
    p.row[3] = _mm_set_ps(1.0f, pose.translation.z, pose.translation.y, pose.translation.x);
    return matrixOf(product(product(rowsOf(bone.worldToBone), p), rowsOf(bone.boneToWorld)));
#else
    Matrix scale;
    scale.m[0][0] = pose.scale.x;
    scale.m[1][1] = pose.scale.y;
    scale.m[2][2] = pose.scale.z;
    Matrix p = product(scale, toMatrix(pose.rotation));
    p.setRow(3, pose.translation);
    return product(product(bone.worldToBone, p), bone.boneToWorld);
#endif
}

// The track of each bone in a motion: the first track carrying the bone's name hash. Hashed
// rather than scanned, so that large files cannot make building an instance quadratic.
std::vector<std::int32_t> tracksByBone(const SkeletalMesh& mesh, const MotionSampler& sampler) {
    std::unordered_map<std::int32_t, std::int32_t> firstTrack;
    for (std::size_t t = 0; t < sampler.tracks.size(); ++t)
        firstTrack.emplace(sampler.tracks[t].track->nameHash, static_cast<std::int32_t>(t));
    std::vector<std::int32_t> table(mesh.bones.size(), -1);
    for (std::size_t b = 0; b < mesh.bones.size(); ++b) {
        const auto found = firstTrack.find(mesh.bones[b].nameHash);
        if (found != firstTrack.end()) table[b] = found->second;
    }
    return table;
}

}  // namespace

SkeletalInstance::SkeletalInstance(const SkeletalModel& model) : model_(&model) {
    for (const auto& mesh : model.meshes()) drawables_.push_back(std::make_unique<SkeletalDrawable>(*mesh));
    for (const auto& motion : model.motions()) samplers_.push_back(std::make_unique<MotionSampler>(*motion));
    if (drawables_.empty()) return;
    const SkeletalMesh& mesh = *drawables_[currentMesh_]->mesh;
    walk_ = walkBones(mesh);
    skinMatrices_.resize(walk_.steps.size());
    for (const auto& sampler : samplers_) boneTracks_.push_back(tracksByBone(mesh, *sampler));
}

bool SkeletalInstance::start(const MotionSettings& settings) {
    for (const auto& sampler : samplers_) {
        if (sampler->motion->nameHash != settings.motionId) continue;
        switch (sampler->motion->animationType) {
            case CycleAnimation:
                cycles_.emplace_back(settings, *sampler);
                playingCycles_.reserve(cycles_.size());
                break;
            case OverlayAnimation:
                overlays_.emplace_back(settings, *sampler);
                playingOverlays_.reserve(overlays_.size());
                break;
            default:
                break;
        }
        return true;
    }
    return false;
}

void SkeletalInstance::stop(std::int32_t motionId) {
    for (OverlayInstance& overlay : overlays_) {
        if (overlay.motionId == motionId) {
            overlay.stop();
            return;
        }
    }
    for (CycleInstance& cycle : cycles_) {
        if (cycle.motionId == motionId) {
            cycle.stop();
            return;
        }
    }
}

void SkeletalInstance::updateMixer(float dt) {
    for (std::size_t i = 0; i < overlays_.size();) {
        overlays_[i].update(dt);
        if (overlays_[i].state == MotionState::Finished)
            overlays_.erase(overlays_.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }

    // The phase moves with the real elapsed time and wraps at the length of the previous
    // update's mix: all cycles share it, each sampled at the same fraction of its duration.
    if (cycleLength_ == 0.0f) {
        cyclePhase_ = dt;
    } else {
        cyclePhase_ = cyclePhase_ + dt;
        if (cyclePhase_ >= cycleLength_) cyclePhase_ = std::fmod(cyclePhase_, cycleLength_);
    }

    cycleLength_ = 0.0f;
    float sum = 0.0f;
    for (std::size_t i = 0; i < cycles_.size();) {
        CycleInstance& cycle = cycles_[i];
        cycle.update(dt);
        if (cycle.state == MotionState::Finished) {
            cycles_.erase(cycles_.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        const float w = cycle.envelope();
        sum = sum + w;
        cycleLength_ = cycleLength_ + cycle.duration() * (w / cycle.timeFactor);
        ++i;
    }
    if (sum > 0.0f) cycleLength_ = cycleLength_ / sum;
}

float SkeletalInstance::cycleSampleTime(const CycleInstance& cycle) const {
    if (cycleLength_ == 0.0f) return 0.0f;
    return cycle.duration() * (cyclePhase_ / cycleLength_);
}

const std::int32_t* SkeletalInstance::boneTracksOf(const MotionSampler* sampler) const {
    for (std::size_t i = 0; i < samplers_.size(); ++i)
        if (samplers_[i].get() == sampler) return boneTracks_[i].data();
    return nullptr;
}

void SkeletalInstance::gatherPlaying() {
    playingOverlays_.clear();
    for (OverlayInstance& overlay : overlays_)
        playingOverlays_.push_back({boneTracksOf(overlay.sampler), overlay.sampler, overlay.time, overlay.envelope()});
    playingCycles_.clear();
    for (CycleInstance& cycle : cycles_)
        playingCycles_.push_back(
            {boneTracksOf(cycle.sampler), cycle.sampler, cycleSampleTime(cycle), cycle.envelope()});
}

SkeletalDrawable* SkeletalInstance::pose() {
    if (drawables_.empty()) return nullptr;
    SkeletalDrawable& d = *drawables_[static_cast<std::size_t>(currentMesh_)];
    // Every walked bone is written below; the others keep the identity they were built with.
    gatherPlaying();

    const std::vector<MeshBone>& bones = d.mesh->bones;
    for (const BoneWalkStep& step : walk_.steps) {
        Pose acc;
        for (const Playing& overlay : playingOverlays_) {
            const std::int32_t track = overlay.boneTracks[step.bone];
            if (track >= 0) blendIn(acc, sampleTrack(overlay.sampler->tracks[track], overlay.time), overlay.envelope);
        }
        // Overlays that reached full weight on this bone hide the cycles from it.
        if (!saturate(acc)) {
            Pose cycles;
            for (const Playing& cycle : playingCycles_) {
                const std::int32_t track = cycle.boneTracks[step.bone];
                if (track >= 0) blendIn(cycles, sampleTrack(cycle.sampler->tracks[track], cycle.time), cycle.envelope);
            }
            blendIn(acc, cycles, cycles.weight);
        }
        fill(acc);
        d.bones[step.bone].local = boneLocal(bones[step.bone], acc);
    }
    return &d;
}

void SkeletalInstance::skin(SkeletalDrawable& d) {
    const SkeletalMesh& mesh = *d.mesh;
    // The lists keep their storage: after the first frame nothing is allocated here.
    d.positions.resize(mesh.positions.size());
    d.normals.resize(mesh.normals.size());
    Vector3* positions = d.positions.data();
    Vector3* normals = d.normals.data();

    const Matrix identity;
    BoneState* bones = d.bones.data();
    const BoneWalkStep* steps = walk_.steps.data();
    for (std::size_t s = 0; s < walk_.steps.size(); ++s) {
        const BoneWalkStep& step = steps[s];
        const Matrix& parent =
            step.parentStep < 0 ? identity : bones[steps[static_cast<std::size_t>(step.parentStep)].bone].world;
        BoneState& bone = bones[step.bone];
        bone.world = product(bone.local, parent);
        skinMatrices_[s] = toSkinMatrix(bone.world);
    }

    // Every first move reads the rest mesh, so one sweep in index order does them all, at a
    // cost that does not depend on the order in which a file lists each bone's positions.
    sweepRigid(skinMatrices_.data(), {mesh.positions.data(), positions, walk_.positionSteps.data(), d.positions.size()},
               {mesh.normals.data(), normals, walk_.normalSteps.data(), d.normals.size()});
    // Further moves read the moved values, in walk order.
    for (std::size_t s = 0; s < walk_.steps.size(); ++s) {
        const BoneWalkStep& step = walk_.steps[s];
        const Matrix& world = bones[step.bone].world;
        movePoints(world, positions, positions, walk_.repeatPositions.data(), step.repeatPositions);
        moveNormals(world, normals, normals, walk_.repeatNormals.data(), step.repeatNormals);
    }
}

SkeletalDrawable* SkeletalInstance::update(float dt) {
    updateMixer(dt);
    SkeletalDrawable* d = pose();
    if (d != nullptr) skin(*d);
    return d;
}

}  // namespace qx
