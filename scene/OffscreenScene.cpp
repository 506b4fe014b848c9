#include "scene/OffscreenScene.h"

#include <GL/gl.h>

#include "animation/SkeletalInstance.h"
#include "render/BoneLabels.h"
#include "render/Lighting.h"
#include "scene/ModelScene.h"
#include "vertex/VertexInstance.h"

namespace qx {

namespace {

bool reject(SnapshotProblem& problem, const std::string& file, const std::string& reason) {
    problem = {SnapshotProblem::Rejected, file, reason};
    return false;
}

}  // namespace

bool OffscreenScene::open(const SnapshotRequest& r, SnapshotProblem& problem) {
    request_ = r;
    std::string reason;
    if (!isModelFile(r.file, &reason)) return reject(problem, r.file, reason);
    if (!context_.create(r.width, r.height, &reason)) return reject(problem, r.file, "no off-screen OpenGL: " + reason);

    // As a window opens: the model is read with the context current, then the renderer is
    // ensured, the lighting applied, the instance built and the camera fitted.
    model_ = readModelToShow(r.file, &reason, ImageLoading::Upload);
    if (!model_) return reject(problem, r.file, reason);
    if (model_.skeletal) {
        for (const std::string& path : r.motions) {
            std::unique_ptr<SkeletalMotion> motion = readMotionToPlay(path, &reason);
            if (!motion) return reject(problem, path, reason);
            if (r.motionsAsCycles) motion->animationType = CycleAnimation;
            model_.skeletal->addMotion(std::move(motion));
        }
    } else if (r.hasFrames && !VertexInstance::acceptsRange(static_cast<std::int32_t>(model_.vertex->frames.size()),
                                                            r.first, r.last)) {
        problem = {SnapshotProblem::BadRequest, r.file,
                   "--frames " + std::to_string(r.first) + ":" + std::to_string(r.last) + " is outside the model's " +
                       std::to_string(model_.vertex->frames.size()) + " frames"};
        return false;
    }

    renderer_ = std::make_unique<Renderer>();
    renderer_->setState(Renderer::Texturing, r.texturing);
    renderer_->setState(Renderer::Culling, r.culling);
    renderer_->setOverlays(r.overlays);
    applyLighting(r.lighting);

    camera_.width = static_cast<float>(r.width);
    camera_.height = static_cast<float>(r.height);
    if (model_.skeletal)
        fitCameraTo(camera_, *model_.skeletal);
    else
        fitCameraTo(camera_, *model_.vertex);
    applyProjection(camera_);
    return true;
}

std::unique_ptr<ModelInstance> OffscreenScene::makeInstance(bool startMotions) const {
    if (model_.vertex) {
        auto instance = std::make_unique<VertexInstance>(*model_.vertex, -1, -1, request_.fps);
        if (request_.hasFrames) instance->setRange(request_.first, request_.last, -1);
        return instance;
    }
    auto instance = std::make_unique<SkeletalInstance>(*model_.skeletal);
    if (startMotions) {
        for (const auto& motion : model_.skeletal->motions()) {
            MotionSettings settings;
            settings.motionId = motion->nameHash;
            instance->start(settings);
        }
    }
    return instance;
}

bool OffscreenScene::draw(Drawable* drawable, const CameraTurn& turn, Snapshot& out, bool coverage,
                          SnapshotProblem& problem) {
    if (drawable != nullptr) renderer_->submit(*drawable);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyCameraTransform(camera_, turn);
    renderer_->drawAll();
    // The viewer paints the names with its toolkit; without one they are drawn in GL.
    drawBoneLabels(renderer_->boneLabels(), request_.width, request_.height);
    renderer_->clear();
    glFinish();

    if (!context_.readPixels(out.rgba) || (coverage && !context_.readCoverage(out.covered)))
        return reject(problem, request_.file, "cannot read the rendered pixels back");
    return true;
}

}  // namespace qx
