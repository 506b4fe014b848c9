#pragma once
// Export to glTF 2.0, for `qxtool export` and the viewer's Export glTF command alike: a model
// already read (with its texture images decoded) and the motions to go with it become one .glb,
// or one .gltf with a .bin beside it.

#include <memory>
#include <string>
#include <vector>

#include "gltf/GltfExportNotes.h"
#include "gltf/SkeletalGltf.h"
#include "skeletal/SkeletalMesh.h"
#include "skeletal/SkeletalMotion.h"
#include "vertex/VertexModel.h"

namespace qx {

// The name an export gives what came from path: its file name without folder and extension.
std::string gltfNameOf(const std::string& path);

// How an export is written. glTF readers take a unit as a metre; the models' own units are
// whatever their makers chose, so a scale (a factor on every position) sizes them.
struct GltfExportOptions {
    float scale = 1.0f;
};

// Whether text is a scale an export takes: a finite number above 0.
bool isGltfScale(float scale);

// Writes the mesh with one animation per motion to outPath (".glb" or ".gltf"). False, with a
// reason, when nothing could be written; an existing file is then left as it was.
bool exportSkeletalGltf(const SkeletalMesh& mesh, const std::string& name, const std::vector<GltfMotion>& motions,
                        const std::string& outPath, const GltfExportOptions& options, GltfExportNotes* notes,
                        std::string* reason);

// Writes the vertex model, its frames as morph targets and their animations, to outPath.
bool exportVertexGltf(const VertexModel& model, const std::string& name, const std::string& outPath,
                      const GltfExportOptions& options, GltfExportNotes* notes, std::string* reason);

}  // namespace qx
