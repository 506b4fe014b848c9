// What the overlays cost: frames of the walking figure in an off-screen 640x480 context as the
// viewer draws them (the instance stepped at 60 a second, clear, camera, drawAll, glFinish),
// with no overlay, each overlay alone and every overlay on, the bone names drawn with the stroke
// font as in qxtool's pictures. The overlays' cost is the difference to the frame without them.

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <memory>
#include <string>

#include "animation/SkeletalInstance.h"
#include "render/BoneLabels.h"
#include "render/Camera.h"
#include "render/OffscreenContext.h"
#include "render/Renderer.h"
#include "scene/ModelScene.h"
#include "scene/OpenFile.h"

namespace {

constexpr int Width = 640;
constexpr int Height = 480;

void BM_RenderFigureWalking(benchmark::State& state) {
    // Declared first, the context goes last: the figure's texture is deleted in it.
    qx::OffscreenContext context;
    std::string reason;
    if (!context.create(Width, Height, &reason)) {
        state.SkipWithError(reason.c_str());
        return;
    }
    const std::string samples = std::string(QX_SOURCE_DIR) + "/samples/";
    qx::ModelToShow model = qx::readModelToShow(samples + "figure.qm1", &reason, qx::ImageLoading::Upload);
    auto walk = qx::readMotionToPlay(samples + "figure-walk.qm2", &reason);
    if (!model.skeletal || !walk) {
        state.SkipWithError(reason.c_str());
        return;
    }
    model.skeletal->addMotion(std::move(walk));
    qx::SkeletalInstance instance(*model.skeletal);
    qx::MotionSettings settings;
    settings.motionId = model.skeletal->motions().front()->nameHash;
    instance.start(settings);

    qx::Renderer renderer;
    qx::OverlayOptions overlays;
    // A bit per overlay, so that each can be timed alone as well as all together.
    const auto bits = state.range(0);
    overlays.skeleton = (bits & 1) != 0;
    overlays.boneNames = (bits & 2) != 0;
    overlays.normals = (bits & 4) != 0;
    overlays.bounds = (bits & 8) != 0;
    overlays.grid = (bits & 16) != 0;
    overlays.wireframe = (bits & 32) != 0 ? qx::Wireframe::Over : qx::Wireframe::Off;
    overlays.selectedBone = (bits & 1) != 0 ? 6 : -1;
    renderer.setOverlays(overlays);
    qx::Camera camera;
    camera.width = Width;
    camera.height = Height;
    qx::fitCameraTo(camera, *model.skeletal);
    qx::applyProjection(camera);

    const auto frame = [&] {
        renderer.submit(*instance.update(1.0f / 60.0f));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        qx::applyCameraTransform(camera);
        renderer.drawAll();
        qx::drawBoneLabels(renderer.boneLabels(), Width, Height);
        renderer.clear();
        glFinish();
    };
    frame();  // the first frame compiles llvmpipe's shaders
    for (auto _ : state) frame();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
// overlays: 0 none; 1 skeleton (forearm.L selected), 2 bone names, 4 normals, 8 bounds, 16 grid,
// 32 wireframe over the model; 63 all of them.
BENCHMARK(BM_RenderFigureWalking)
    ->ArgName("overlays")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Arg(16)
    ->Arg(32)
    ->Arg(63)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace
