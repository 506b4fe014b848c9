#include "import/Conversion.h"

#include <filesystem>

#include "core/FileTypes.h"
#include "import/KfmFile.h"
#include "import/MeshFromPly.h"
#include "import/MotionFromKfm.h"
#include "import/PlyFile.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "vertex/Md2Model.h"
#include "vertex/VertexModelFile.h"
#include "vertex/VertexModelFromMd2.h"

namespace qx {

std::optional<Conversion> findConversion(const std::string& sourcePath) {
    const FileTypeRow* row = fileTypeOf(sourcePath);
    if (row == nullptr || row->convertsTo == nullptr) return std::nullopt;
    return Conversion{row->extension, row->convertsTo};
}

std::string convertibleExtensions() {
    std::string list;
    for (const FileRole role : {FileRole::VertexModel, FileRole::SkeletalMesh, FileRole::SkeletalMotion})
        if (const std::string some = extensionsOf(role, true); !some.empty()) list += (list.empty() ? "" : ", ") + some;
    return list;
}

std::string convertedPath(const std::string& sourcePath, const char* extension) {
    const std::filesystem::path path(sourcePath);
    return (path.parent_path() / path.stem()).string() + "." + extension;
}

const char* ConvertedFile::extension() const {
    if (gltf) return gltf->modelExtension();
    return mesh ? "qm1" : motion ? "qm2" : "qv1";
}

std::unique_ptr<ConvertedFile> convertFile(const std::string& sourcePath, std::string* reason,
                                           const GltfImportOptions& options, const std::string& destinationStem) {
    const FileTypeRow* row = fileTypeOf(sourcePath);
    if (row == nullptr || row->convertsTo == nullptr) {
        if (reason != nullptr) *reason = "cannot convert this file type (known: " + convertibleExtensions() + ")";
        return nullptr;
    }
    auto result = std::make_unique<ConvertedFile>();
    if (row->type == FileType::GltfBinary || row->type == FileType::GltfText) {
        const std::string stem =
            destinationStem.empty() ? std::filesystem::path(sourcePath).stem().string() : destinationStem;
        result->gltf = importGltf(sourcePath, stem, options, reason);
        if (!result->gltf) return nullptr;
    } else if (row->type == FileType::AmModel) {
        const auto ply = readPly(sourcePath, reason);
        if (!ply) return nullptr;
        result->mesh = meshFromPly(*ply);
    } else if (row->type == FileType::Md2Model) {
        const auto md2 = readMd2(sourcePath, reason);
        if (!md2) return nullptr;
        result->vertexModel = vertexModelFromMd2(*md2, reason, ImageLoading::Skip);
        if (!result->vertexModel) return nullptr;
    } else {
        const auto kfm = readKfm(sourcePath, reason);
        if (!kfm) return nullptr;
        result->motion = motionFromKfm(*kfm, 0.0f, 0.0f, CycleAnimation);
    }
    return result;
}

bool ConvertedFile::write(const std::string& path, std::string* reason) const {
    if (gltf) return gltf->write(path, reason);
    if (mesh) return writeSkeletalMesh(path, *mesh, reason);
    if (motion) return writeSkeletalMotion(path, *motion, reason);
    if (vertexModel) return writeVertexModel(path, *vertexModel, reason);
    if (reason != nullptr) *reason = "nothing to write";
    return false;
}

}  // namespace qx
