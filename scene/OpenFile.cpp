#include "scene/OpenFile.h"

#include <filesystem>

#include "core/FileTypes.h"
#include "import/Conversion.h"
#include "import/GltfImport.h"
#include "import/KfmFile.h"
#include "import/MeshFromPly.h"
#include "import/PlyFile.h"
#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "vertex/VertexModelFile.h"
#include "vertex/VertexModelFromMd2.h"

namespace qx {

namespace {

const FileTypeRow* rowOf(const std::string& path, FileRole role) {
    const FileTypeRow* row = fileTypeOf(path);
    return row != nullptr && row->role == role ? row : nullptr;
}

bool isGltf(const std::string& path) {
    const FileTypeRow* row = fileTypeOf(path);
    return row != nullptr && (row->type == FileType::GltfBinary || row->type == FileType::GltfText);
}

// A picture the importer decoded, as the texture's own, loaded as images asks.
void takePicture(Texture& texture, const Texture& picture, ImageLoading images) {
    if (images == ImageLoading::Skip || picture.pixels.empty()) return;
    texture.width = picture.width;
    texture.height = picture.height;
    texture.bits = picture.bits;
    texture.rgbaOrder = picture.rgbaOrder;
    texture.pixels = picture.pixels;
    if (images == ImageLoading::Upload) texture.upload();
}

// A glTF converted in memory, its pictures loaded as images asks.
std::unique_ptr<GltfImport> importToShow(const std::string& path, std::string* reason, ImageLoading images) {
    std::unique_ptr<GltfImport> imported = importGltf(path, std::filesystem::path(path).stem().string(), {}, reason);
    if (!imported) return nullptr;
    if (imported->vertexModel) {
        if (!imported->images.empty())
            takePicture(imported->vertexModel->skin, imported->images.front().picture, images);
        imported->vertexModel->nameHash = nameHash(path);
        return imported;
    }
    for (Texture& texture : imported->mesh->textures)
        for (const ImportedImage& image : imported->images)
            if (image.fileName == texture.name) takePicture(texture, image.picture, images);
    imported->mesh->nameHash = nameHash(path);
    return imported;
}

// The same as a model to show, its motions named as their files would be beside it.
ModelToShow readGltfToShow(const std::string& path, std::string* reason, ImageLoading images) {
    ModelToShow model;
    std::unique_ptr<GltfImport> imported = importToShow(path, reason, images);
    if (!imported) return model;
    model.notes = std::move(imported->notes);
    if (imported->vertexModel) {
        model.vertex = std::move(imported->vertexModel);
        return model;
    }
    model.skeletal = std::make_unique<SkeletalModel>();
    model.skeletal->addMesh(std::move(imported->mesh));
    for (ImportedMotion& motion : imported->motions) {
        const std::string motionPath = (std::filesystem::path(path).parent_path() / motion.fileName).string();
        motion.motion->nameHash = nameHash(motionPath);
        model.motions.push_back({motionPath, std::move(motion.motion)});
    }
    return model;
}

}  // namespace

OpenAs openAsOf(const std::string& path) {
    const FileTypeRow* row = fileTypeOf(path);
    if (row == nullptr) return OpenAs::Nothing;
    switch (row->role) {
        case FileRole::SkeletalMesh:
            return OpenAs::SkeletalMesh;
        case FileRole::VertexModel:
            return OpenAs::VertexModel;
        case FileRole::SkeletalMotion:
            return OpenAs::SkeletalMotion;
        case FileRole::Image:
            break;
    }
    return OpenAs::Nothing;
}

bool isModelFile(const std::string& path, std::string* reason) {
    const OpenAs as = openAsOf(path);
    if (as == OpenAs::SkeletalMesh || as == OpenAs::VertexModel) return true;
    if (reason != nullptr) *reason = "not a model (known: " + openableModelExtensions() + ")";
    return false;
}

std::unique_ptr<SkeletalMesh> readMeshToShow(const std::string& path, std::string* reason, ImageLoading images) {
    if (isGltf(path)) {
        std::unique_ptr<GltfImport> imported = importToShow(path, reason, images);
        if (imported && !imported->mesh && reason != nullptr) *reason = "holds no skin: it is a vertex model";
        return imported ? std::move(imported->mesh) : nullptr;
    }
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
    if (isGltf(path)) {
        std::unique_ptr<GltfImport> imported = importToShow(path, reason, images);
        if (imported && !imported->vertexModel && reason != nullptr) *reason = "holds a skin: it is a skeletal mesh";
        return imported ? std::move(imported->vertexModel) : nullptr;
    }
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

ModelToShow readModelToShow(const std::string& path, std::string* reason, ImageLoading images) {
    ModelToShow model;
    if (!isModelFile(path, reason)) return model;
    if (isGltf(path)) return readGltfToShow(path, reason, images);
    if (openAsOf(path) == OpenAs::VertexModel) {
        model.vertex = readVertexModelToShow(path, reason, images);
    } else if (std::unique_ptr<SkeletalMesh> mesh = readMeshToShow(path, reason, images)) {
        model.skeletal = std::make_unique<SkeletalModel>();
        model.skeletal->addMesh(std::move(mesh));
    }
    return model;
}

std::unique_ptr<SkeletalMotion> readMotionToPlay(const std::string& path, std::string* reason) {
    const FileTypeRow* row = rowOf(path, FileRole::SkeletalMotion);
    if (row == nullptr) {
        if (reason != nullptr) *reason = "not a motion (known: " + extensionsOf(FileRole::SkeletalMotion) + ")";
        return nullptr;
    }
    if (row->convertsTo == nullptr) return readSkeletalMotion(path, reason);
    std::unique_ptr<ConvertedFile> converted = convertFile(path, reason);
    if (!converted || !converted->motion) return nullptr;
    converted->motion->nameHash = nameHash(path);
    return std::move(converted->motion);
}

StoredFile readStoredFile(const std::string& path, std::string* reason) {
    const FileTypeRow* row = fileTypeOf(path);
    const auto stored = [](auto read) -> StoredFile {
        if (auto file = read()) return file;
        return {};
    };
    switch (row != nullptr ? row->type : FileType::BmpImage) {
        case FileType::SkeletalMesh:
            return stored([&] { return readSkeletalMesh(path, reason, ImageLoading::Skip); });
        case FileType::VertexModel:
            return stored([&] { return readVertexModel(path, reason, ImageLoading::Skip); });
        case FileType::Md2Model:
            return stored([&] { return readMd2(path, reason); });
        case FileType::AmModel:
            return stored([&] { return readPly(path, reason); });
        case FileType::SkeletalMotion:
            return stored([&] { return readSkeletalMotion(path, reason); });
        case FileType::AmMotion:
            return stored([&] { return readKfm(path, reason); });
        default:
            break;
    }
    if (reason != nullptr) *reason = "not a model or motion file";
    return {};
}

}  // namespace qx
