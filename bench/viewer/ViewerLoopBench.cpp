// What the viewer's shell costs over the renderer alone: frames per second of the idle loop
// animating a 640x480 view in the main window (clock tick, instance update, Qt's paint of the
// GL view and its composition into the window), beside the renderer drawing the same model
// with the same instance updates into an off-screen framebuffer, in one run. Run under an X
// server (xvfb-run -a build/bin/qxviewbench).

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <memory>
#include <string>

#include <QApplication>
#include <QMdiSubWindow>
#include <QTest>

#include "animation/SkeletalInstance.h"
#include "app/CMainFrame.h"
#include "app/CSModelView.h"
#include "app/CViewerApp.h"
#include "app/SharedGlContext.h"
#include "bench/SheetModels.h"
#include "render/OffscreenContext.h"
#include "render/Renderer.h"
#include "scene/ModelScene.h"
#include "scene/OpenFile.h"

namespace {

constexpr int Width = 640;
constexpr int Height = 480;
constexpr float Step = 1.0f / 60.0f;

// The figure sample walking, or the 50,000-triangle sheet; textures uploaded in the context
// current when it is made.
std::unique_ptr<qx::SkeletalModel> makeModel(bool figure, std::string& reason) {
    auto model = std::make_unique<qx::SkeletalModel>();
    if (!figure) {
        auto mesh = std::make_unique<qx::SkeletalMesh>(qx::bench::makeSheet(250, 100));
        mesh->textures.emplace_back();
        qx::bench::makeChequer(mesh->textures.back());
        model->addMesh(std::move(mesh));
        return model;
    }
    const std::string samples = QX_SOURCE_DIR "/samples/";
    auto mesh = qx::readMeshToShow(samples + "figure.qm1", &reason, qx::ImageLoading::Upload);
    auto walk = qx::readMotionToPlay(samples + "figure-walk.qm2", &reason);
    if (!mesh || !walk) return nullptr;
    model->addMesh(std::move(mesh));
    model->addMotion(std::move(walk));
    return model;
}

void startMotions(qx::ModelInstance& instance, const qx::SkeletalModel& model) {
    for (const auto& motion : model.motions()) {
        qx::MotionSettings settings;
        settings.motionId = motion->nameHash;
        static_cast<qx::SkeletalInstance&>(instance).start(settings);
    }
}

void BM_RendererAlone(benchmark::State& state) {
    qx::OffscreenContext context;
    std::string reason;
    if (!context.create(Width, Height, &reason)) return state.SkipWithError(reason.c_str());
    std::unique_ptr<qx::SkeletalModel> model = makeModel(state.range(0) == 1, reason);
    if (!model) return state.SkipWithError(reason.c_str());
    {
        qx::Renderer renderer;
        qx::Camera camera;
        camera.width = Width;
        camera.height = Height;
        qx::fitCameraTo(camera, *model);
        qx::applyProjection(camera);
        std::unique_ptr<qx::ModelInstance> instance = qx::makeInstance(*model);
        startMotions(*instance, *model);
        const auto frame = [&] {
            renderer.submit(*instance->update(Step));
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            qx::applyCameraTransform(camera);
            renderer.drawAll();
            renderer.clear();
            glFinish();
        };
        for (int i = 0; i < 10; ++i) frame();  // llvmpipe compiles its shaders on the first frames
        for (auto _ : state) frame();
        state.counters["fps"] =
            benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    model.reset();  // its textures go while their context lives
}

void BM_ViewerIdleLoop(benchmark::State& state) {
    auto clock = qx::app::AnimationClock::create();
    qx::app::CViewerApp viewer(std::move(clock));
    std::string reason;
    std::unique_ptr<qx::SkeletalModel> model;
    {
        const qx::app::SharedGlScope gl;
        model = makeModel(state.range(0) == 1, reason);
    }
    if (!model) return state.SkipWithError(reason.c_str());
    {
        viewer.mainFrame().show();
        auto* view = new qx::app::CSModelView(*model, viewer);
        view->container()->setFixedSize(Width, Height);
        QMdiSubWindow* child = viewer.mainFrame().addChildWindow(view->container(), QStringLiteral("bench"));
        child->show();
        child->adjustSize();
        viewer.mainFrame().mdiArea().setActiveSubWindow(child);
        if (!QTest::qWaitFor([view] { return view->initialised(); })) return state.SkipWithError("no GL view");
        // Every overlay, or none (whatever the View menu remembers from the last run).
        qx::OverlayOptions overlays;
        if (state.range(1) == 1) {
            overlays = {true, true, qx::Wireframe::Over, true, true, true, -1};
            view->setSelectedBone(3);
        }
        view->setOverlays(overlays);
        startMotions(*view->instance(), *model);
        viewer.startAnimation();
        // A displayed frame is a buffer swap of the view.
        int swaps = 0;
        QObject::connect(view, &QOpenGLWindow::frameSwapped, [&swaps] { ++swaps; });
        const auto frame = [&] {
            const int target = swaps + 1;
            while (swaps < target) QCoreApplication::processEvents();
        };
        for (int i = 0; i < 10; ++i) frame();
        for (auto _ : state) frame();
        state.counters["fps"] =
            benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
        state.counters["loopFps"] = viewer.idleLoop().frameRate();
        QObject::disconnect(view, &QOpenGLWindow::frameSwapped, nullptr, nullptr);
        viewer.mainFrame().mdiArea().closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const qx::app::SharedGlScope gl;
    model.reset();
}

// Argument: 1 the figure sample walking, 0 the 50,000-triangle sheet; the viewer's second: 1 with
// every overlay on (skeleton, names, wireframe, normals, bounds, grid, a bone selected).
BENCHMARK(BM_RendererAlone)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_ViewerIdleLoop)
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    qx::app::CViewerApp::prepareApplication(qx::app::CViewerApp::LoopPace::Unthrottled);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
