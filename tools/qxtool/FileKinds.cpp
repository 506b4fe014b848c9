#include "tools/qxtool/FileKinds.h"

namespace qx::tool {

namespace {

// In the order messages list them.
const FileKind* const Kinds[] = {
    &SkeletalMeshKind, &VertexModelKind, &Md2Kind, &PlyKind, &SkeletalMotionKind, &KfmKind,
    &BmpKind,          &TgaKind,         &PngKind, &JpgKind,
};

}  // namespace

const FileKind* findFileKind(const std::string& path) {
    const std::string ext = lowerExtension(path);
    for (const FileKind* kind : Kinds)
        if (ext == kind->extension) return kind;
    return nullptr;
}

std::string renderableExtensions() {
    std::string list;
    for (const FileKind* kind : Kinds)
        if (kind->renderAs != RenderAs::Nothing) list += (list.empty() ? "." : ", .") + std::string(kind->extension);
    return list;
}

}  // namespace qx::tool
