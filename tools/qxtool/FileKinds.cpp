#include "tools/qxtool/FileKinds.h"

namespace qx::tool {

namespace {

// One for every type of the table.
const FileKind* const Kinds[] = {
    &SkeletalMeshKind, &VertexModelKind, &Md2Kind, &PlyKind, &SkeletalMotionKind,
    &KfmKind,          &BmpKind,         &TgaKind, &PngKind, &JpgKind,
};

}  // namespace

const FileKind* findFileKind(const std::string& path) {
    const FileTypeRow* row = fileTypeOf(path);
    for (const FileKind* kind : Kinds)
        if (row != nullptr && kind->type == row->type) return kind;
    return nullptr;
}

}  // namespace qx::tool
