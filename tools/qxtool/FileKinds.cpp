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

std::string lowerExtension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

const FileKind* findFileKind(const std::string& path) {
    const std::string ext = lowerExtension(path);
    for (const FileKind& kind : Kinds)
        if (ext == kind.extension) return &kind;
    return nullptr;
}

}  // namespace qx::tool
