#pragma once
// What qxtool does with each file type of the program's table (core/FileTypes.h), one row a
// type: the commands that are qxtool's own (dump's JSON, info's summary). A kind lives in a file
// of its own (SkeletalMeshKind.cpp, Md2Kind.cpp, ...) that defines its row and the functions the
// row points to, reading the file as stored through the opening module (scene/OpenFile.h), and
// FileKinds.cpp finds a type's kind. A new command that works per kind is one more column,
// filled in by each kind's file.
//
// Each function returns the exit status and reports its own errors.

#include <string>

#include "core/FilePath.h"
#include "core/FileTypes.h"

namespace qx::tool {

struct FileKind {
    FileType type;
    int (*dump)(const std::string& path);  // none when the kind has no dump
    int (*info)(const std::string& path);
};

// The kind of path, or none.
const FileKind* findFileKind(const std::string& path);

// The rows, each defined in the file named after it.
extern const FileKind SkeletalMeshKind;    // .qm1
extern const FileKind VertexModelKind;     // .qv1
extern const FileKind Md2Kind;             // .md2
extern const FileKind PlyKind;             // .ply, an A:M model export
extern const FileKind SkeletalMotionKind;  // .qm2
extern const FileKind KfmKind;             // .kfm, an A:M motion export
extern const FileKind GltfBinaryKind;      // .glb and .gltf, in GltfKind.cpp
extern const FileKind GltfTextKind;
extern const FileKind BmpKind;  // the images, in ImageKind.cpp
extern const FileKind TgaKind;
extern const FileKind PngKind;
extern const FileKind JpgKind;

}  // namespace qx::tool
