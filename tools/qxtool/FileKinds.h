#pragma once
// The file kinds qxtool knows, one row each, chosen by extension (case-insensitive). A row holds
// what every command does with its kind; a kind lives in a file of its own (SkeletalMeshKind.cpp,
// Md2Kind.cpp, ...) that defines its row and the functions the row points to, and the table in
// FileKinds.cpp lists the rows. A new kind is one more file and one more line in that table; a
// new command that works per kind is one more column, filled in by each kind's file.
//
// Each function returns the exit status and reports its own errors.

#include <string>

#include "core/FilePath.h"

namespace qx::tool {

// What `render` draws a file as: read by readMeshToShow or by readVertexModelToShow.
enum class RenderAs { Nothing, SkeletalMesh, VertexModel };

struct FileKind {
    const char* extension;  // lower case, without the dot
    RenderAs renderAs;      // Nothing when render cannot draw the kind
    int (*dump)(const std::string& path);  // none when the kind has no dump
    int (*info)(const std::string& path);
};

// The kind of path, or none.
const FileKind* findFileKind(const std::string& path);
// ".qm1, .qv1, .md2, .ply": the extensions render draws, for messages.
std::string renderableExtensions();

// The rows, each defined in the file named after it.
extern const FileKind SkeletalMeshKind;    // .qm1
extern const FileKind VertexModelKind;     // .qv1
extern const FileKind Md2Kind;             // .md2
extern const FileKind PlyKind;             // .ply, an A:M model export
extern const FileKind SkeletalMotionKind;  // .qm2
extern const FileKind KfmKind;             // .kfm, an A:M motion export
extern const FileKind BmpKind;             // the images, in ImageKind.cpp
extern const FileKind TgaKind;
extern const FileKind PngKind;
extern const FileKind JpgKind;

}  // namespace qx::tool
