#include "scene/Snapshot.h"

#include <GL/gl.h>

#include <memory>

#include "animation/SkeletalInstance.h"
#include "render/BoneLabels.h"
#include "render/Camera.h"
#include "render/OffscreenContext.h"
#include "render/Renderer.h"
#include "scene/ModelScene.h"
#include "scene/OpenFile.h"
#include "vertex/VertexInstance.h"

namespace qx {

namespace {

bool reject(SnapshotProblem& problem, const std::string& file, const std::string& reason) {
    problem = {SnapshotProblem::Rejected, file, reason};
    return false;
}

// Reads the motions into the skeletal model, every motion made a cycle, and starts them all
// with default settings.
bool startMotions(const SnapshotRequest& r, SkeletalModel& model, std::unique_ptr<ModelInstance>& played,
                  SnapshotProblem& problem) {
    std::string reason;
    for (const std::string& path : r.motions) {
        std::unique_ptr<SkeletalMotion> motion = readMotionToPlay(path, &reason);
        if (!motion) return reject(problem, path, reason);
        motion->animationType = CycleAnimation;
        model.addMotion(std::move(motion));
    }
    auto instance = std::make_unique<SkeletalInstance>(model);
    for (const auto& motion : model.motions()) {
        MotionSettings settings;
        settings.motionId = motion->nameHash;
        instance->start(settings);
    }
    played = std::move(instance);
    return true;
}

bool playFrames(const SnapshotRequest& r, const VertexModel& model, std::unique_ptr<ModelInstance>& played,
                SnapshotProblem& problem) {
    auto instance = std::make_unique<VertexInstance>(model, -1, -1, r.fps);
    if (r.hasFrames && instance->setRange(r.first, r.last, -1) == 0) {
        problem = {SnapshotProblem::BadRequest, r.file,
                   "--frames " + std::to_string(r.first) + ":" + std::to_string(r.last) + " is outside the model's " +
                       std::to_string(model.frames.size()) + " frames"};
        return false;
    }
    played = std::move(instance);
    return true;
}

}  // namespace

bool drawSnapshot(const SnapshotRequest& r, Snapshot& out, SnapshotProblem& problem) {
    std::string reason;
    if (!isModelFile(r.file, &reason)) return reject(problem, r.file, reason);

    // The context outlives the models: their textures are deleted in it.
    OffscreenContext context;
    if (!context.create(r.width, r.height, &reason)) return reject(problem, r.file, "no off-screen OpenGL: " + reason);

    // As a window opens: the model is read with the context current, then the renderer is
    // ensured, the lighting applied, the instance built and the camera fitted.
    ModelToShow model = readModelToShow(r.file, &reason, ImageLoading::Upload);
    if (!model) return reject(problem, r.file, reason);
    std::unique_ptr<ModelInstance> instance;
    const bool played = model.skeletal ? startMotions(r, *model.skeletal, instance, problem)
                                       : playFrames(r, *model.vertex, instance, problem);
    if (!played) return false;

    Renderer renderer;
    renderer.setState(Renderer::Texturing, r.texturing);
    renderer.setState(Renderer::Culling, r.culling);
    renderer.setOverlays(r.overlays);
    applyLighting(r.lighting);

    Camera camera;
    camera.width = static_cast<float>(r.width);
    camera.height = static_cast<float>(r.height);
    if (model.skeletal)
        fitCameraTo(camera, *model.skeletal);
    else
        fitCameraTo(camera, *model.vertex);
    applyProjection(camera);

    if (Drawable* drawable = advanceLikeViewer(*instance, r.time)) renderer.submit(*drawable);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyCameraTransform(camera);
    renderer.drawAll();
    // The viewer paints the names with its toolkit; without one they are drawn in GL.
    drawBoneLabels(renderer.boneLabels(), r.width, r.height);
    renderer.clear();
    glFinish();

    if (!context.readPixels(out.rgba) || !context.readCoverage(out.covered))
        return reject(problem, r.file, "cannot read the rendered pixels back");
    return true;
}

}  // namespace qx
