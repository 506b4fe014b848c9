#pragma once
// The animated state of one skeletal model as one view shows it. It owns the motion mixer (two
// lists of playing motions sharing one cycle phase), poses the current mesh's bones from the
// playing motions and skins the mesh into a SkeletalDrawable, once per displayed frame.
//
// After the first update, an update allocates nothing: the drawable's lists keep their size,
// and everything that never changes (the bone walk, the track of each bone in each motion) is
// worked out at construction. Only start, which adds an instance to a list, may allocate.

#include <cstdint>
#include <memory>
#include <vector>

#include "animation/BoneWalk.h"
#include "animation/CycleInstance.h"
#include "animation/MotionSampler.h"
#include "animation/MotionSettings.h"
#include "animation/OverlayInstance.h"
#include "animation/RigidSkinning.h"
#include "animation/SkeletalDrawable.h"
#include "core/ModelInstance.h"
#include "core/ModelKind.h"
#include "skeletal/SkeletalModel.h"

namespace qx {

class SkeletalInstance : public ModelInstance {
public:
    // One drawable per mesh of the model and one sampler per motion, in the model's order; no
    // motion playing. The model must outlive the instance and keep its meshes and motions; a
    // motion added to the model later plays only in an instance built after it.
    explicit SkeletalInstance(const SkeletalModel& model);
    SkeletalInstance(const SkeletalInstance&) = delete;
    SkeletalInstance& operator=(const SkeletalInstance&) = delete;

    int kind() const override { return SkeletalKind; }

    // Advances the mixer by dt seconds, poses the current mesh and skins it. Returns its
    // drawable, valid until the next update or the instance's end; none when the model has no
    // mesh (the mixer still advances).
    SkeletalDrawable* update(float dt) override;

    // Plays the first motion whose nameHash is settings.motionId: appended as a cycle (type 0)
    // or an overlay (type 1). False, with nothing changed, when no motion has that id. A motion
    // of any other type adds nothing and still gives true. Starting a playing motion again adds
    // a second instance.
    bool start(const MotionSettings& settings);
    // Stops the first instance playing motionId among the overlays, or failing that among the
    // cycles. Nothing happens when none plays it.
    void stop(std::int32_t motionId);

    // The mixer's step: overlays advance and the finished ones leave; the shared phase moves on
    // with the previous cycle length; cycles advance, the finished ones leave, and the cycle
    // length becomes the envelope-weighted mean of the playing cycles' durations, each counted
    // at its playback speed (duration / timeFactor).
    void updateMixer(float dt);

    // The two halves of update after the mixer, apart so that they can be measured apart:
    // posing sets every bone's local matrix of the current mesh from the playing motions and
    // returns its drawable (none without a mesh); skinning sets every walked bone's world matrix
    // and deforms the drawable's positions and normals from the rest mesh through them.
    SkeletalDrawable* pose();
    void skin(SkeletalDrawable& drawable);

    // The time at which cycles are sampled: the shared phase as a fraction of the cycle length,
    // times the cycle's duration; 0 while the cycle length is 0.
    float cycleSampleTime(const CycleInstance& cycle) const;

    float cycleLength() const { return cycleLength_; }
    float cyclePhase() const { return cyclePhase_; }
    const SkeletalModel& model() const { return *model_; }
    const std::vector<std::unique_ptr<SkeletalDrawable>>& drawables() const { return drawables_; }
    const std::vector<std::unique_ptr<MotionSampler>>& samplers() const { return samplers_; }
    std::int32_t currentMesh() const { return currentMesh_; }
    const std::vector<CycleInstance>& cycles() const { return cycles_; }
    const std::vector<OverlayInstance>& overlays() const { return overlays_; }

private:
    // What posing needs of one playing instance, gathered once a frame.
    struct Playing {
        const std::int32_t* boneTracks;  // track index per bone of the current mesh, -1 = none
        MotionSampler* sampler;
        float time;  // sampling time
        float envelope;
    };

    const std::int32_t* boneTracksOf(const MotionSampler* sampler) const;
    void gatherPlaying();

    float cycleLength_ = 0.0f;
    float cyclePhase_ = 0.0f;
    const SkeletalModel* model_;
    std::vector<std::unique_ptr<SkeletalDrawable>> drawables_;
    std::vector<std::unique_ptr<MotionSampler>> samplers_;
    std::int32_t currentMesh_ = 0;
    std::vector<CycleInstance> cycles_;
    std::vector<OverlayInstance> overlays_;

    // Worked out at construction for the current mesh.
    BoneWalk walk_;
    std::vector<std::vector<std::int32_t>> boneTracks_;  // per sampler: track index per bone

    // Filled every frame, sized when the lists grow.
    std::vector<Playing> playingOverlays_;
    std::vector<Playing> playingCycles_;
    std::vector<SkinMatrix> skinMatrices_;  // per walk step: the bone's world, as the skinning sweep reads it
};

}  // namespace qx
