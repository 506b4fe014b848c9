#include "render/ModelScene.h"

#include <algorithm>

#include "animation/SkeletalInstance.h"
#include "core/FilePath.h"
#include "core/ModelKind.h"
#include "import/MeshFromPly.h"
#include "import/PlyFile.h"
#include "skeletal/SkeletalMeshFile.h"
#include "vertex/Md2Model.h"
#include "vertex/VertexInstance.h"
#include "vertex/VertexModelFile.h"
#include "vertex/VertexModelFromMd2.h"

namespace qx {

namespace {

constexpr double ReplayStep = 1.0 / 60.0;
constexpr int ReplaySteps = 3600;

// The kinds of file a view can show, told by the file's extension (case ignored).
enum class SceneFileKind { Unknown, SkeletalMesh, AmModel, VertexModel, Md2Model };

SceneFileKind sceneFileKind(const std::string& path) {
    const std::string extension = lowerExtension(path);
    if (extension == "qm1") return SceneFileKind::SkeletalMesh;
    if (extension == "ply") return SceneFileKind::AmModel;
    if (extension == "qv1") return SceneFileKind::VertexModel;
    if (extension == "md2") return SceneFileKind::Md2Model;
    return SceneFileKind::Unknown;
}

}  // namespace

std::unique_ptr<SkeletalMesh> readMeshToShow(const std::string& path, std::string* reason, ImageLoading images) {
    switch (sceneFileKind(path)) {
        case SceneFileKind::SkeletalMesh:
            return readSkeletalMesh(path, reason, images);
        case SceneFileKind::AmModel: {
            const std::unique_ptr<PlyModel> ply = readPly(path, reason);
            if (!ply) return nullptr;
            std::unique_ptr<SkeletalMesh> mesh = meshFromPly(*ply);
            loadMeshTextures(*mesh, path, images);
            return mesh;
        }
        default:
            if (reason != nullptr) *reason = "not a skeletal mesh (known: .qm1, .ply)";
            return nullptr;
    }
}

std::unique_ptr<VertexModel> readVertexModelToShow(const std::string& path, std::string* reason, ImageLoading images) {
    switch (sceneFileKind(path)) {
        case SceneFileKind::VertexModel:
            return readVertexModel(path, reason, images);
        case SceneFileKind::Md2Model: {
            const std::unique_ptr<Md2Model> md2 = readMd2(path, reason);
            if (!md2) return nullptr;
            return vertexModelFromMd2(*md2, reason, images);
        }
        default:
            if (reason != nullptr) *reason = "not a vertex model (known: .qv1, .md2)";
            return nullptr;
    }
}

std::unique_ptr<ModelInstance> makeInstance(const SkeletalModel& model) {
    return std::make_unique<SkeletalInstance>(model);
}

std::unique_ptr<ModelInstance> makeInstance(const VertexModel& model, std::int32_t first, std::int32_t last, float fps) {
    return std::make_unique<VertexInstance>(model, first, last, fps);
}

void fitCameraTo(Camera& camera, const SkeletalModel& model) {
    measureModel(camera, model);
    fitCamera(camera);
}

void fitCameraTo(Camera& camera, const VertexModel& model) {
    measureModel(camera, model);
    fitCamera(camera);
}

Drawable* advanceLikeViewer(ModelInstance& instance, double seconds) {
    if (instance.kind() == VertexKind) return instance.update(static_cast<float>(seconds));
    // Clamped while still a double: a time past what an int holds (or NaN) never reaches the
    // conversion, which it would not survive.
    const double wanted = seconds / ReplayStep;
    const int steps = wanted >= ReplaySteps ? ReplaySteps : wanted > 0.0 ? static_cast<int>(wanted) : 0;
    for (int i = 0; i < steps; ++i) instance.update(static_cast<float>(ReplayStep));
    return instance.update(static_cast<float>(seconds - steps * ReplayStep));
}

}  // namespace qx
