#include "tools/qxtool/FileKinds.h"

#include <cctype>

namespace qx::tool {

namespace {

const FileKind Kinds[] = {
    {"qm2", &dumpMotion, &infoMotion},
    {"qm1", &dumpMesh, &infoMesh},
    {"ply", &dumpPly, &infoPly},
    {"kfm", &dumpKfm, &infoKfm},
    {"qv1", &dumpVertexModel, &infoVertexModel},
    {"md2", &dumpMd2, &infoMd2},
    {"bmp", nullptr, &infoImage}, {"tga", nullptr, &infoImage}, {"png", nullptr, &infoImage}, {"jpg", nullptr, &infoImage},
};

}  // namespace

const FileKind* findFileKind(const std::string& path) {
    const std::string ext = lowerExtension(path);
    for (const FileKind& kind : Kinds)
        if (ext == kind.extension) return &kind;
    return nullptr;
}

}  // namespace qx::tool
