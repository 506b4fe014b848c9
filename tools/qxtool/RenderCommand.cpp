// qxtool render: one frame of a model drawn off-screen through the viewer's Renderer, with the
// camera the viewer fits when a window opens, written as a PNG. No window and no display
// server: the frame is drawn into the framebuffer of an EGL context.

#include <GL/gl.h>

#include <cstdint>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "animation/SkeletalInstance.h"
#include "render/Camera.h"
#include "render/Lighting.h"
#include "render/ModelScene.h"
#include "render/OffscreenContext.h"
#include "render/PngWriter.h"
#include "render/Renderer.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/ParseNumber.h"
#include "tools/qxtool/Report.h"
#include "vertex/VertexInstance.h"

namespace qx::tool {

namespace {

// Far above any screen; keeps the framebuffer and the picture's buffers to a few hundred MB.
constexpr int MaxSide = 8192;

struct RenderOptions {
    std::string file;
    std::string out;
    std::string size = "640x480";
    std::vector<std::string> motions;
    std::string time = "0";  // numbers as text, read as script numbers are
    std::string frames;
    std::string fps;  // empty: not given

    bool noTexture = false;
    bool cull = false;
    std::string background = "0,0,0";
};

struct Settings {
    double time = 0.0;
    float fps = 15.0f;
    int width = 0;
    int height = 0;
    bool hasFrames = false;
    std::int32_t first = -1;
    std::int32_t last = -1;
    LightingSettings lighting;
};

bool parseInt(const std::string& text, std::int32_t low, std::int32_t high, std::int32_t& out) {
    std::int32_t value = 0;
    if (!parseNumber(text, value) || value < low || value > high) return false;
    out = value;
    return true;
}

// Splits "a<sep>b<sep>c" into exactly count pieces.
bool split(const std::string& text, char separator, std::size_t count, std::vector<std::string>& parts) {
    parts.clear();
    std::size_t begin = 0;
    for (;;) {
        const std::size_t at = text.find(separator, begin);
        parts.push_back(text.substr(begin, at == std::string::npos ? std::string::npos : at - begin));
        if (at == std::string::npos) break;
        begin = at + 1;
    }
    return parts.size() == count;
}

// Checks the options that do not depend on the file; an empty result means they are fine.
std::string checkOptions(const RenderOptions& o, bool skeletal, Settings& s) {
    std::vector<std::string> parts;
    const std::size_t x = o.size.find_first_of("xX");
    std::int32_t w = 0, h = 0;
    if (x == std::string::npos || !parseInt(o.size.substr(0, x), 1, MaxSide, w) ||
        !parseInt(o.size.substr(x + 1), 1, MaxSide, h))
        return "--size expects WxH with each side 1.." + std::to_string(MaxSide) + ", not '" + o.size + "'";
    s.width = w;
    s.height = h;
    std::int32_t rgb[3] = {};
    if (!split(o.background, ',', 3, parts) || !parseInt(parts[0], 0, 255, rgb[0]) ||
        !parseInt(parts[1], 0, 255, rgb[1]) || !parseInt(parts[2], 0, 255, rgb[2]))
        return "--background expects R,G,B with each 0..255, not '" + o.background + "'";
    s.lighting.red = rgb[0];
    s.lighting.green = rgb[1];
    s.lighting.blue = rgb[2];
    if (!parseNumber(o.time, s.time) || !(s.time >= 0.0 && s.time <= 1e9))
        return "--time expects seconds from 0 to 1e9, not '" + o.time + "'";
    if (!o.fps.empty() && (!parseNumber(o.fps, s.fps) || !std::isfinite(s.fps)))
        return "--fps expects a finite number of frames per second, not '" + o.fps + "'";
    if (!o.frames.empty()) {
        if (!split(o.frames, ':', 2, parts) || !parseInt(parts[0], 0, INT32_MAX, s.first) ||
            !parseInt(parts[1], 0, INT32_MAX, s.last))
            return "--frames expects A:B (frames A to B-1), not '" + o.frames + "'";
        s.hasFrames = true;
    }
    if (skeletal && (!o.frames.empty() || !o.fps.empty())) return "--frames and --fps apply to vertex models only";
    if (!skeletal && !o.motions.empty()) return "--motion applies to skeletal meshes only";
    return {};
}

// What the view of a document holds: the model and the instance playing it.
struct Scene {
    std::unique_ptr<SkeletalModel> skeletal;
    std::unique_ptr<VertexModel> vertex;
    std::unique_ptr<ModelInstance> instance;
};

// Reads the skeletal mesh (textures uploaded) and the motions, every motion made a cycle, and
// starts them all with default settings. A failure reports itself and returns its status.
int loadSkeletal(const RenderOptions& o, Scene& scene) {
    std::string reason;
    std::unique_ptr<SkeletalMesh> mesh = readMeshToShow(o.file, &reason, ImageLoading::Upload);
    if (!mesh) return fail(o.file, reason);
    scene.skeletal = std::make_unique<SkeletalModel>();
    scene.skeletal->addMesh(std::move(mesh));
    for (const std::string& path : o.motions) {
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

int loadVertex(const RenderOptions& o, const Settings& s, Scene& scene) {
    std::string reason;
    scene.vertex = readVertexModelToShow(o.file, &reason, ImageLoading::Upload);
    if (!scene.vertex) return fail(o.file, reason);
    auto instance = std::make_unique<VertexInstance>(*scene.vertex, -1, -1, s.fps);
    if (s.hasFrames && instance->setRange(s.first, s.last, -1) == 0)
        return usageError("--frames " + o.frames + " is outside the model's " +
                          std::to_string(scene.vertex->frames.size()) + " frames");
    scene.instance = std::move(instance);
    return ExitOk;
}

int render(const RenderOptions& o) {
    const FileKind* kind = findFileKind(o.file);
    if (kind == nullptr || kind->renderAs == RenderAs::Nothing)
        return fail(o.file, "cannot render this file type (known: " + renderableExtensions() + ")");
    const bool skeletal = kind->renderAs == RenderAs::SkeletalMesh;
    Settings s;
    const std::string problem = checkOptions(o, skeletal, s);
    if (!problem.empty()) return usageError(problem);

    // The context outlives the models: their textures are deleted in it.
    OffscreenContext context;
    std::string reason;
    if (!context.create(s.width, s.height, &reason)) return fail(o.out, "no off-screen OpenGL: " + reason);

    // As a window opens: the model is read with the context current, then the renderer is
    // ensured, the lighting applied, the instance built and the camera fitted.
    Scene scene;
    const int loaded = skeletal ? loadSkeletal(o, scene) : loadVertex(o, s, scene);
    if (loaded != ExitOk) return loaded;

    Renderer renderer;
    if (o.noTexture) renderer.setState(Renderer::Texturing, false);
    renderer.setState(Renderer::Culling, o.cull);
    applyLighting(s.lighting);

    Camera camera;
    camera.width = static_cast<float>(s.width);
    camera.height = static_cast<float>(s.height);
    if (skeletal)
        fitCameraTo(camera, *scene.skeletal);
    else
        fitCameraTo(camera, *scene.vertex);
    applyProjection(camera);

    if (Drawable* drawable = advanceLikeViewer(*scene.instance, s.time)) renderer.submit(*drawable);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyCameraTransform(camera);
    renderer.drawAll();
    renderer.clear();
    glFinish();

    std::vector<std::uint8_t> rgba;
    if (!context.readPixels(rgba)) return fail(o.out, "cannot read the rendered pixels back");
    // A window shows colours only: half-transparent texels blended over the background leave
    // alpha below 1 in the framebuffer, which would turn into holes in the picture.
    for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    if (!writePng(o.out, rgba.data(), s.width, s.height, &reason)) return fail(o.out, reason);
    return ExitOk;
}

}  // namespace

CommandRun defineRender(CLI::App& sub) {
    auto o = std::make_shared<RenderOptions>();
    sub.add_option("FILE", o->file, "A .qm1 or .qv1 model, or a .md2 or .ply converted in memory")->required();
    sub.add_option("--out", o->out, "The PNG file to write")->required();
    sub.add_option("--size", o->size, "Picture size WxH (default 640x480)");
    sub.add_option("--motion", o->motions, "A .qm2 motion started as a cycle (repeatable; skeletal meshes)");
    sub.add_option("--time", o->time, "Seconds the animation has advanced (default 0)");
    sub.add_option("--frames", o->frames, "Frame range A:B of a vertex model (frames A to B-1)");
    sub.add_option("--fps", o->fps, "Frames per second of a vertex model (default 15)");
    sub.add_flag("--no-texture", o->noTexture, "Draw without textures");
    sub.add_flag("--cull", o->cull, "Cull back faces of skeletal meshes");
    sub.add_option("--background", o->background, "Background colour R,G,B, each 0..255 (default 0,0,0)");
    return [o] { return render(*o); };
}

}  // namespace qx::tool
