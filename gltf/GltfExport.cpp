#include "gltf/GltfExport.h"

#include <filesystem>

#include "core/FilePath.h"
#include "gltf/GltfWriter.h"
#include "gltf/VertexGltf.h"
#include "import/Conversion.h"
#include "skeletal/SkeletalMotionFile.h"

namespace qx {

std::string gltfNameOf(const std::string& path) { return std::filesystem::path(path).stem().string(); }

std::unique_ptr<SkeletalMotion> readMotionToExport(const std::string& path, std::string* reason) {
    const std::string extension = lowerExtension(path);
    if (extension == "qm2") return readSkeletalMotion(path, reason);
    if (extension == "kfm") {
        std::unique_ptr<ConvertedFile> converted = convertFile(path, reason);
        if (converted == nullptr) return nullptr;
        return std::move(converted->motion);
    }
    if (reason != nullptr) *reason = "not a motion (known: .qm2, .kfm)";
    return nullptr;
}

bool exportSkeletalGltf(const SkeletalMesh& mesh, const std::string& name, const std::vector<GltfMotion>& motions,
                        const std::string& outPath, GltfExportNotes* notes, std::string* reason) {
    GltfWriter writer;
    GltfExportNotes counted;
    if (!addSkeletalScene(writer, mesh, name, motions, counted, reason)) return false;
    if (notes != nullptr) *notes = counted;
    return writer.write(outPath, reason);
}

bool exportVertexGltf(const VertexModel& model, const std::string& name, const std::string& outPath,
                      GltfExportNotes* notes, std::string* reason) {
    GltfWriter writer;
    GltfExportNotes counted;
    if (!addVertexScene(writer, model, name, counted, reason)) return false;
    if (notes != nullptr) *notes = counted;
    return writer.write(outPath, reason);
}

}  // namespace qx
