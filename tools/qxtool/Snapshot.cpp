#include "tools/qxtool/Snapshot.h"

#include <GL/gl.h>

#include <memory>

#include "animation/SkeletalInstance.h"
#include "render/Camera.h"
#include "render/ModelScene.h"
#include "render/OffscreenContext.h"
#include "render/Renderer.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Report.h"
#include "vertex/VertexInstance.h"

namespace qx::tool {

namespace {

// What the view of a document holds: the model and the instance playing it.
struct Scene {
    std::unique_ptr<SkeletalModel> skeletal;
    std::unique_ptr<VertexModel> vertex;
    std::unique_ptr<ModelInstance> instance;
};

// Reads the skeletal mesh (textures uploaded) and the motions, every motion made a cycle, and
// starts them all with default settings. A failure reports itself and returns its status.
int loadSkeletal(const SnapshotRequest& r, Scene& scene) {
    std::string reason;
    std::unique_ptr<SkeletalMesh> mesh = readMeshToShow(r.file, &reason, ImageLoading::Upload);
    if (!mesh) return fail(r.file, reason);
    scene.skeletal = std::make_unique<SkeletalModel>();
    scene.skeletal->addMesh(std::move(mesh));
    for (const std::string& path : r.motions) {
        std::unique_ptr<SkeletalMotion> motion = readSkeletalMotion(path, &reason);
        if (!motion) return fail(path, reason);
        motion->animationType = CycleAnimation;
        scene.skeletal->addMotion(std::move(motion));
    }
    auto instance = std::make_unique<SkeletalInstance>(*scene.skeletal);
    for (const auto& motion : scene.skeletal->motions()) {
        MotionSettings settings;
        settings.motionId = motion->nameHash;
        instance->start(settings);
    }
    scene.instance = std::move(instance);
    return ExitOk;
}

int loadVertex(const SnapshotRequest& r, Scene& scene) {
    std::string reason;
    scene.vertex = readVertexModelToShow(r.file, &reason, ImageLoading::Upload);
    if (!scene.vertex) return fail(r.file, reason);
    auto instance = std::make_unique<VertexInstance>(*scene.vertex, -1, -1, r.fps);
    if (r.hasFrames && instance->setRange(r.first, r.last, -1) == 0)
        return usageError("--frames " + std::to_string(r.first) + ":" + std::to_string(r.last) +
                          " is outside the model's " + std::to_string(scene.vertex->frames.size()) + " frames");
    scene.instance = std::move(instance);
    return ExitOk;
}

}  // namespace

int drawSnapshot(const SnapshotRequest& r, Snapshot& out) {
    const FileKind* kind = findFileKind(r.file);
    if (kind == nullptr || kind->renderAs() == RenderAs::Nothing)
        return fail(r.file, "cannot render this file type (known: " + renderableExtensions() + ")");
    const bool skeletal = kind->renderAs() == RenderAs::SkeletalMesh;

    // The context outlives the models: their textures are deleted in it.
    OffscreenContext context;
    std::string reason;
    if (!context.create(r.width, r.height, &reason)) return fail(r.file, "no off-screen OpenGL: " + reason);

    // As a window opens: the model is read with the context current, then the renderer is
    // ensured, the lighting applied, the instance built and the camera fitted.
    Scene scene;
    const int loaded = skeletal ? loadSkeletal(r, scene) : loadVertex(r, scene);
    if (loaded != ExitOk) return loaded;

    Renderer renderer;
    renderer.setState(Renderer::Texturing, r.texturing);
    renderer.setState(Renderer::Culling, r.culling);
    applyLighting(r.lighting);

    Camera camera;
    camera.width = static_cast<float>(r.width);
    camera.height = static_cast<float>(r.height);
    if (skeletal)
        fitCameraTo(camera, *scene.skeletal);
    else
        fitCameraTo(camera, *scene.vertex);
    applyProjection(camera);

    if (Drawable* drawable = advanceLikeViewer(*scene.instance, r.time)) renderer.submit(*drawable);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyCameraTransform(camera);
    renderer.drawAll();
    renderer.clear();
    glFinish();

    if (!context.readPixels(out.rgba) || !context.readCoverage(out.covered))
        return fail(r.file, "cannot read the rendered pixels back");
    return ExitOk;
}

}  // namespace qx::tool
