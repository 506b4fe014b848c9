#pragma once
// The file kinds qxtool knows, chosen by extension (case-insensitive): how to dump each as JSON
// and how to summarise it for people. Each returns the exit status and reports its own errors.

#include <string>

#include "core/FilePath.h"

namespace qx::tool {

struct FileKind {
    const char* extension;  // lower case, without the dot
    int (*dump)(const std::string& path);  // none when the kind has no dump
    int (*info)(const std::string& path);
};

// The kind of path, or none.
const FileKind* findFileKind(const std::string& path);

int dumpMotion(const std::string& path);
int infoMotion(const std::string& path);
int dumpMesh(const std::string& path);
int infoMesh(const std::string& path);
int dumpPly(const std::string& path);
int infoPly(const std::string& path);
int dumpKfm(const std::string& path);
int infoKfm(const std::string& path);
int dumpVertexModel(const std::string& path);
int infoVertexModel(const std::string& path);
int dumpMd2(const std::string& path);
int infoMd2(const std::string& path);
int infoImage(const std::string& path);

}  // namespace qx::tool
