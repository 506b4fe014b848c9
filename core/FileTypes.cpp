#include "core/FileTypes.h"

#include "core/FilePath.h"

namespace qx {

namespace {

const FileTypeRow Rows[] = {
    {"qm1", FileType::SkeletalMesh, FileRole::SkeletalMesh, nullptr, "application/x-qxmodelview-mesh"},
    {"qv1", FileType::VertexModel, FileRole::VertexModel, nullptr, "application/x-qxmodelview-vertex"},
    {"md2", FileType::Md2Model, FileRole::VertexModel, "qv1", "model/x-md2"},
    {"ply", FileType::AmModel, FileRole::SkeletalMesh, "qm1", "model/x-am-ply"},
    {"qm2", FileType::SkeletalMotion, FileRole::SkeletalMotion, nullptr, "application/x-qxmodelview-motion"},
    {"kfm", FileType::AmMotion, FileRole::SkeletalMotion, "qm2", "application/x-am-kfm"},
    {"bmp", FileType::BmpImage, FileRole::Image, nullptr, nullptr},
    {"tga", FileType::TgaImage, FileRole::Image, nullptr, nullptr},
    {"png", FileType::PngImage, FileRole::Image, nullptr, nullptr},
    {"jpg", FileType::JpgImage, FileRole::Image, nullptr, nullptr},
};

}  // namespace

std::span<const FileTypeRow> fileTypes() { return Rows; }

const FileTypeRow* fileTypeOfExtension(const std::string& extension) {
    for (const FileTypeRow& row : Rows)
        if (extension == row.extension) return &row;
    return nullptr;
}

const FileTypeRow* fileTypeOf(const std::string& path) { return fileTypeOfExtension(lowerExtension(path)); }

std::string extensionsOf(FileRole role, bool convertedOnly) {
    std::string list;
    for (const FileTypeRow& row : Rows)
        if (row.role == role && (!convertedOnly || row.convertsTo != nullptr))
            list += (list.empty() ? "." : ", .") + std::string(row.extension);
    return list;
}

}  // namespace qx
