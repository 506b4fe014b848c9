// Drawing speed of the Renderer in an off-screen 640x480 context: frames per second for a large
// skeletal mesh (50,000 lit, textured triangles) and a large vertex model (10,000 vertices in
// triangle strips). A frame is what the viewer's paint does: clear, camera, drawAll, clear, and
// glFinish so that the count includes the rasterising, not just the queueing of commands.

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cmath>
#include <memory>
#include <string>

#include "animation/SkeletalDrawable.h"
#include "bench/SheetModels.h"
#include "render/Camera.h"
#include "render/OffscreenContext.h"
#include "render/Renderer.h"
#include "skeletal/SkeletalMesh.h"
#include "vertex/VertexInstance.h"

namespace {

constexpr int Width = 640;
constexpr int Height = 480;

// A 100 x 100 sheet of vertices drawn as 99 strips of 200 command vertices (19,602 triangles).
qx::VertexModel makeVertexSheet() {
    qx::VertexModel model;
    model.vertexCount = 100 * 100;
    for (int f = 0; f < 2; ++f) {
        qx::ModelFrame frame;
        frame.name = "sheet" + std::to_string(f);
        for (int i = 0; i < model.vertexCount; ++i) {
            const float x = static_cast<float>(i % 100), y = static_cast<float>(i / 100);
            frame.vertices.push_back({{x, y, static_cast<float>(f) * std::sin(x * 0.3f)}, {0.0f, 0.0f, 1.0f}});
        }
        model.frames.push_back(std::move(frame));
    }
    for (int y = 0; y + 1 < 100; ++y) {
        qx::DrawCommand strip;
        strip.type = qx::TriangleStrip;
        for (int x = 0; x < 100; ++x) {
            strip.vertices.push_back(
                {static_cast<float>(x) / 99.0f, static_cast<float>(y + 1) / 99.0f, (y + 1) * 100 + x});
            strip.vertices.push_back({static_cast<float>(x) / 99.0f, static_cast<float>(y) / 99.0f, y * 100 + x});
        }
        model.commands.push_back(std::move(strip));
    }
    return model;
}

// The context, the renderer and a camera fitted to the given positions, as a window has them.
struct Scene {
    qx::OffscreenContext context;
    std::unique_ptr<qx::Renderer> renderer;
    qx::Camera camera;

    bool open(const std::vector<qx::Vector3>& positions, benchmark::State& state) {
        std::string reason;
        if (!context.create(Width, Height, &reason)) {
            state.SkipWithError(reason.c_str());
            return false;
        }
        renderer = std::make_unique<qx::Renderer>();
        camera.width = Width;
        camera.height = Height;
        qx::measureBox(camera, positions);
        qx::fitCamera(camera);
        qx::applyProjection(camera);
        return true;
    }

    void frame(const qx::Drawable& drawable) {
        renderer->submit(drawable);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        qx::applyCameraTransform(camera);
        renderer->drawAll();
        renderer->clear();
        glFinish();
    }
};

void BM_RenderSkeletalMesh50kTriangles(benchmark::State& state) {
    qx::SkeletalMesh mesh = qx::bench::makeSheet(250, 100);  // 50,000 triangles
    Scene scene;
    if (!scene.open(mesh.positions, state)) return;
    mesh.textures.emplace_back();
    qx::bench::makeChequer(mesh.textures.back());
    qx::SkeletalDrawable drawable(mesh);
    drawable.positions = mesh.positions;
    drawable.normals = mesh.normals;
    scene.frame(drawable);  // the first frame compiles llvmpipe's shaders
    for (auto _ : state) scene.frame(drawable);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = static_cast<double>(mesh.faces.size());
    mesh.textures.clear();  // while the context lives
}
BENCHMARK(BM_RenderSkeletalMesh50kTriangles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderVertexModel10kVertices(benchmark::State& state) {
    qx::VertexModel model = makeVertexSheet();
    std::vector<qx::Vector3> positions;
    for (const qx::FrameVertex& v : model.frames[0].vertices) positions.push_back(v.position);
    Scene scene;
    if (!scene.open(positions, state)) return;
    qx::bench::makeChequer(model.skin);
    qx::VertexInstance instance(model, -1, -1, 15.0f);
    scene.frame(*instance.update(0.0f));
    // Each frame also plays the model on, as the viewer's tick does before its paint.
    for (auto _ : state) scene.frame(*instance.update(1.0f / 60.0f));
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["vertices"] = static_cast<double>(model.vertexCount);
    model.skin = qx::Texture();  // while the context lives
}
BENCHMARK(BM_RenderVertexModel10kVertices)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
