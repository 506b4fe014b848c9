#include "render/ModelScene.h"

#include <algorithm>

#include "animation/SkeletalInstance.h"
#include "core/FileTypes.h"
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

// The row of path's name; none where it is not of that role.
const FileTypeRow* rowOf(const std::string& path, FileRole role) {
    const FileTypeRow* row = fileTypeOf(path);
    return row != nullptr && row->role == role ? row : nullptr;
}

}  // namespace

std::unique_ptr<SkeletalMesh> readMeshToShow(const std::string& path, std::string* reason, ImageLoading images) {
    const FileTypeRow* row = rowOf(path, FileRole::SkeletalMesh);
    if (row != nullptr && row->type == FileType::SkeletalMesh) return readSkeletalMesh(path, reason, images);
    if (row != nullptr && row->type == FileType::AmModel) {
        const std::unique_ptr<PlyModel> ply = readPly(path, reason);
        if (!ply) return nullptr;
        std::unique_ptr<SkeletalMesh> mesh = meshFromPly(*ply);
        loadMeshTextures(*mesh, path, images);
        return mesh;
    }
    if (reason != nullptr) *reason = "not a skeletal mesh (known: " + extensionsOf(FileRole::SkeletalMesh) + ")";
    return nullptr;
}

std::unique_ptr<VertexModel> readVertexModelToShow(const std::string& path, std::string* reason, ImageLoading images) {
    const FileTypeRow* row = rowOf(path, FileRole::VertexModel);
    if (row != nullptr && row->type == FileType::VertexModel) return readVertexModel(path, reason, images);
    if (row != nullptr && row->type == FileType::Md2Model) {
        const std::unique_ptr<Md2Model> md2 = readMd2(path, reason);
        if (!md2) return nullptr;
        return vertexModelFromMd2(*md2, reason, images);
    }
    if (reason != nullptr) *reason = "not a vertex model (known: " + extensionsOf(FileRole::VertexModel) + ")";
    return nullptr;
}

std::unique_ptr<ModelInstance> makeInstance(const SkeletalModel& model) {
    return std::make_unique<SkeletalInstance>(model);
}

std::unique_ptr<ModelInstance> makeInstance(const VertexModel& model, std::int32_t first, std::int32_t last,
                                            float fps) {
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
