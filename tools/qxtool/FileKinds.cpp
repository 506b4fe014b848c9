#include "tools/qxtool/FileKinds.h"

namespace qx::tool {

RenderAs FileKind::renderAs() const {
    for (const FileTypeRow& row : fileTypes()) {
        if (row.type != type) continue;
        if (row.role == FileRole::SkeletalMesh) return RenderAs::SkeletalMesh;
        if (row.role == FileRole::VertexModel) return RenderAs::VertexModel;
    }
    return RenderAs::Nothing;
}

namespace {

// No default: the compiler's switch warning names a type added without its kind.
const FileKind* fileKindOf(FileType type) {
    switch (type) {
        case FileType::SkeletalMesh:
            return &SkeletalMeshKind;
        case FileType::VertexModel:
            return &VertexModelKind;
        case FileType::Md2Model:
            return &Md2Kind;
        case FileType::AmModel:
            return &PlyKind;
        case FileType::SkeletalMotion:
            return &SkeletalMotionKind;
        case FileType::AmMotion:
            return &KfmKind;
        case FileType::BmpImage:
            return &BmpKind;
        case FileType::TgaImage:
            return &TgaKind;
        case FileType::PngImage:
            return &PngKind;
        case FileType::JpgImage:
            return &JpgKind;
    }
    return nullptr;
}

}  // namespace

const FileKind* findFileKind(const std::string& path) {
    const FileTypeRow* row = fileTypeOf(path);
    return row != nullptr ? fileKindOf(row->type) : nullptr;
}

std::string renderableExtensions() {
    std::string list;
    for (const FileTypeRow& row : fileTypes())
        if (row.role == FileRole::SkeletalMesh || row.role == FileRole::VertexModel)
            list += (list.empty() ? "." : ", .") + std::string(row.extension);
    return list;
}

}  // namespace qx::tool
