#pragma once
// Import from glTF 2.0: a .glb or .gltf becomes the program's own formats. A skinned mesh
// becomes a skeletal mesh (.qm1) with one motion (.qm2) per animation; a file without a skin
// becomes a vertex model (.qv1) whose frames sample its animations. Their pictures come along
// as image files beside the model. What the formats cannot hold is reduced and said in notes,
// one sentence each; what cannot be reduced is refused with the reason, and nothing is written.
//
// The importer is the export's inverse (gltf/SkeletalGltf.h): a bone's frame is its joint's
// rest frame, so that a joint's animated transform T becomes the pose rest^-1 x T, a linear map
// of each property that keeps STEP, LINEAR and CUBICSPLINE keys what they are.

#include <memory>
#include <string>
#include <vector>

#include "render/Texture.h"
#include "skeletal/SkeletalMesh.h"
#include "skeletal/SkeletalMotion.h"
#include "vertex/VertexModel.h"

namespace qx {

struct GltfDocument;

struct ImportedMotion {
    std::string fileName;  // "<stem>-<animation>.qm2", made safe and unique
    std::unique_ptr<SkeletalMotion> motion;
};

struct ImportedImage {
    std::string fileName;  // as the model names it, beside the model
    Texture picture;       // decoded pixels
};

struct GltfImportOptions {
    float framesPerSecond = 15.0f;  // a vertex model's sampling rate, the playback rate
};

struct GltfImport {
    std::unique_ptr<SkeletalMesh> mesh;        // a skinned asset, or
    std::unique_ptr<VertexModel> vertexModel;  // one without a skin
    std::vector<ImportedMotion> motions;       // with the mesh
    std::vector<ImportedImage> images;         // the mesh's textures, or the vertex model's skin
    std::vector<std::string> notes;            // what was reduced, for people

    // The extension of the model file: "qm1" or "qv1".
    const char* modelExtension() const { return mesh ? "qm1" : "qv1"; }

    // Writes the model to path, and beside it the motions and pictures, each atomically. False,
    // with a reason, at the first file that cannot be written.
    bool write(const std::string& path, std::string* reason) const;
};

// The largest vertex model the importer writes (frames x vertices), about 1.5 GB of file.
inline constexpr std::size_t GltfLargestVertexFrames = std::size_t{1} << 26;

// Imports the file at path. stem names what goes beside the model: motions and pictures
// without a name of their own.
std::unique_ptr<GltfImport> importGltf(const std::string& path, const std::string& stem,
                                       const GltfImportOptions& options, std::string* reason);
std::unique_ptr<GltfImport> importGltfDocument(const GltfDocument& document, const std::string& stem,
                                               const GltfImportOptions& options, std::string* reason);

}  // namespace qx
