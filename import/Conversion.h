#pragma once
// The three conversions into the program's own formats: an A:M ".ply" model becomes a skeletal
// mesh (".qm1"), an A:M ".kfm" action a skeletal motion (".qm2"), an MD2 model a vertex model
// (".qv1"). The viewer's Convert command and `qxtool convert` both run them from here: read and
// convert the source, then write the result where the user chose.
//
// No image is opened and no GL is needed: texture entries keep their image names, and a
// converted vertex model finds its skin beside itself by its new name.

#include <memory>
#include <optional>
#include <string>

#include "import/GltfImport.h"
#include "skeletal/SkeletalMesh.h"
#include "skeletal/SkeletalMotion.h"
#include "vertex/VertexModel.h"

namespace qx {

struct Conversion {
    const char* from;  // source extension, lower case, without the dot
    const char* to;    // destination extension
};

// The conversion of the source's extension (case ignored); none for any other file.
std::optional<Conversion> findConversion(const std::string& sourcePath);
// ".md2, .ply, .kfm", for messages.
std::string convertibleExtensions();

// A converted file waiting to be written: exactly one of the four is set. A glTF brings a model
// with motions and pictures that go beside it.
struct ConvertedFile {
    std::unique_ptr<SkeletalMesh> mesh;
    std::unique_ptr<SkeletalMotion> motion;
    std::unique_ptr<VertexModel> vertexModel;
    std::unique_ptr<GltfImport> gltf;

    // The extension of what is written: "qm1", "qm2" or "qv1".
    const char* extension() const;

    // Writes it atomically (each file, for a glTF's several); false with a reason when it could
    // not be written whole, in which case an existing file at path is left as it was.
    bool write(const std::string& path, std::string* reason = nullptr) const;
};

// The destination the convert commands propose: the source's name less its extension (from its
// last dot), plus the extension of what it became.
std::string convertedPath(const std::string& sourcePath, const char* extension);

// Reads the source and converts it; none, with a reason, when the file is of no known kind or
// its reader rejects it. A motion gets no fade of its own and plays as a cycle. A glTF's motions
// and pictures are named after destinationStem (the destination's file name less its extension;
// the source's when empty).
std::unique_ptr<ConvertedFile> convertFile(const std::string& sourcePath, std::string* reason = nullptr,
                                           const GltfImportOptions& options = {},
                                           const std::string& destinationStem = {});

}  // namespace qx
