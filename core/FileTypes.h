#pragma once
// The one table of the file types the program knows, chosen by extension (case ignored): what
// each holds, whether it is one of the program's own formats or converted in memory (and into
// which), and the names the desktop and the dialogs give it. Every layer reads its rows and
// keeps only what is its own: the readers and decoders it calls for a type, the commands' JSON.
// A new format is one row here and its reader where it belongs.
//
// The table is data only and sits at the bottom, because the image decoders, which the model
// readers use for textures, read it too. The dialogs' filters and the lists in messages are
// made from it here, so that a new row shows up in all of them.

#include <span>
#include <string>

namespace qx {

enum class FileType {
    SkeletalMesh,
    VertexModel,
    Md2Model,
    AmModel,
    GltfBinary,
    GltfText,  // models
    SkeletalMotion,
    AmMotion,  // motions
    BmpImage,
    TgaImage,
    PngImage,
    JpgImage,  // texture images
};

// What a file of the type becomes in the program.
enum class FileRole { SkeletalMesh, VertexModel, SkeletalMotion, Image };

struct FileTypeRow {
    const char* extension;  // lower case, without the dot
    FileType type;
    FileRole role;
    const char* convertsTo;  // the own format a conversion writes (extension); none for own formats and images
    const char* mimeType;    // as the desktop's shared MIME database knows it; none for images
};

// Every row, in the order messages list them.
std::span<const FileTypeRow> fileTypes();
// The row of path's extension, or none.
const FileTypeRow* fileTypeOf(const std::string& path);
// The row of an extension (lower case, without the dot), or none.
const FileTypeRow* fileTypeOfExtension(const std::string& extension);
// ".qm1, .ply": the extensions of the rows with that role, for messages; with convertedOnly, of
// the rows a conversion reads only.
std::string extensionsOf(FileRole role, bool convertedOnly = false);
// The extension of the type's row.
const char* extensionOf(FileType type);
// ".qm1, .qv1, .ply, .md2": the models the programs open, their own formats first, for messages.
std::string openableModelExtensions();

// What the open dialogs list together: models open a document, motions go into a skeletal
// mesh document.
enum class FileFamily { Models, Motions };

// The file dialogs' filters, in the bar form of app/FileDialogs.h ("Name (*.a; *.b)|*.a;*.b||").
// The program's own formats of the family: "Model Files (*.qv1; *.qm1)|*.qv1;*.qm1|", and for
// models glTF, which opens converted in memory with its animations.
std::string openFilter(FileFamily family);
// The formats a conversion reads, models then motions: "Import Model Files (...)|...|Import ...".
std::string convertSourceFilter();
// The save filter of an own format, named after what it holds; empty for any other extension.
std::string convertTargetFilter(const std::string& extension);

}  // namespace qx
