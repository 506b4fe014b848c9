#include "tools/qxtool/FileKinds.h"

namespace qx::tool {

namespace {

// One for every type of the table.
const FileKind* const Kinds[] = {
    &SkeletalMeshKind, &VertexModelKind, &Md2Kind, &PlyKind, &SkeletalMotionKind,
    &KfmKind,          &BmpKind,         &TgaKind, &PngKind, &JpgKind,
};

}  // namespace

RenderAs FileKind::renderAs() const {
    for (const FileTypeRow& row : fileTypes()) {
        if (row.type != type) continue;
        if (row.role == FileRole::SkeletalMesh) return RenderAs::SkeletalMesh;
        if (row.role == FileRole::VertexModel) return RenderAs::VertexModel;
    }
    return RenderAs::Nothing;
}

const FileKind* findFileKind(const std::string& path) {
    const FileTypeRow* row = fileTypeOf(path);
    for (const FileKind* kind : Kinds)
        if (row != nullptr && kind->type == row->type) return kind;
    return nullptr;
}

std::string renderableExtensions() {
    std::string list;
    for (const FileTypeRow& row : fileTypes())
        if (row.role == FileRole::SkeletalMesh || row.role == FileRole::VertexModel)
            list += (list.empty() ? "." : ", .") + std::string(row.extension);
    return list;
}

}  // namespace qx::tool
