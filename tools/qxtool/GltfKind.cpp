// The glTF kinds (.glb, .gltf): not a format of the program's own, so they are dumped and
// summarised as what they convert to, with what the conversion had to leave out.

#include <filesystem>
#include <iostream>
#include <string>

#include "import/GltfImport.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/MeshJson.h"
#include "tools/qxtool/MotionJson.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/VertexJson.h"

namespace qx::tool {

namespace {

std::unique_ptr<GltfImport> imported(const std::string& path, std::string* reason) {
    return importGltf(path, std::filesystem::path(path).stem().string(), {}, reason);
}

int dump(const std::string& path) {
    std::string reason;
    const auto gltf = imported(path, &reason);
    if (!gltf) return fail(path, reason);
    Json out;
    out["type"] = lowerExtension(path);
    out["convertsTo"] = gltf->modelExtension();
    if (gltf->mesh) out["mesh"] = meshJson(*gltf->mesh);
    Json motions = Json::array();
    for (const ImportedMotion& motion : gltf->motions)
        motions.push_back({{"file", motion.fileName},
                           {"duration", motion.motion->duration},
                           {"tracks", tracksJson(motion.motion->tracks)}});
    out["motions"] = std::move(motions);
    if (gltf->vertexModel) {
        Json frames = Json::array();
        for (const ModelFrame& frame : gltf->vertexModel->frames)
            frames.push_back(frameJson(frame.name, frame.vertices));
        out["frames"] = std::move(frames);
        out["commands"] = commandsJson(gltf->vertexModel->commands);
    }
    out["notes"] = gltf->notes;
    printJson(out);
    return ExitOk;
}

int info(const std::string& path) {
    std::string reason;
    const auto gltf = imported(path, &reason);
    if (!gltf) return fail(path, reason);
    if (gltf->mesh) {
        std::cout << path << ": glTF skinned mesh (converts to .qm1 and .qm2)\n"
                  << "  positions: " << gltf->mesh->positions.size() << "\n  faces: " << gltf->mesh->faces.size()
                  << "\n  bones: " << gltf->mesh->bones.size() << "\n  motions: " << gltf->motions.size() << "\n";
        for (const ImportedMotion& motion : gltf->motions)
            std::cout << "    " << motion.fileName << " (" << motion.motion->duration << " s)\n";
    } else {
        std::cout << path << ": glTF without a skin (converts to .qv1)\n"
                  << "  vertices: " << gltf->vertexModel->vertexCount
                  << "\n  frames: " << gltf->vertexModel->frames.size() << "\n";
    }
    std::cout << "  textures: " << gltf->images.size() << "\n";
    for (const std::string& note : gltf->notes) std::cout << "  note: " << note << "\n";
    return ExitOk;
}

}  // namespace

const FileKind GltfBinaryKind{FileType::GltfBinary, &dump, &info};
const FileKind GltfTextKind{FileType::GltfText, &dump, &info};

}  // namespace qx::tool
