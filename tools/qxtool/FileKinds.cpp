#include "tools/qxtool/FileKinds.h"

namespace qx::tool {

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
        case FileType::GltfBinary:
            return &GltfBinaryKind;
        case FileType::GltfText:
            return &GltfTextKind;
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

}  // namespace qx::tool
