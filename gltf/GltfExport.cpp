#include "gltf/GltfExport.h"

#include <cmath>
#include <filesystem>

#include "gltf/GltfWriter.h"
#include "gltf/VertexGltf.h"

namespace qx {

std::string gltfNameOf(const std::string& path) { return std::filesystem::path(path).stem().string(); }

bool isGltfScale(float scale) { return std::isfinite(scale) && scale > 0.0f; }

namespace {

bool refuseScale(const GltfExportOptions& options, std::string* reason) {
    if (isGltfScale(options.scale)) return false;
    if (reason != nullptr) *reason = "the scale must be a number above 0";
    return true;
}

}  // namespace

bool exportSkeletalGltf(const SkeletalMesh& mesh, const std::string& name, const std::vector<GltfMotion>& motions,
                        const std::string& outPath, const GltfExportOptions& options, GltfExportNotes* notes,
                        std::string* reason) {
    if (refuseScale(options, reason)) return false;
    GltfWriter writer;
    GltfExportNotes counted;
    if (!addSkeletalScene(writer, mesh, name, motions, options.scale, counted, reason)) return false;
    if (notes != nullptr) *notes = counted;
    return writer.write(outPath, reason);
}

bool exportVertexGltf(const VertexModel& model, const std::string& name, const std::string& outPath,
                      const GltfExportOptions& options, GltfExportNotes* notes, std::string* reason) {
    if (refuseScale(options, reason)) return false;
    GltfWriter writer;
    GltfExportNotes counted;
    if (!addVertexScene(writer, model, name, options.scale, counted, reason)) return false;
    if (notes != nullptr) *notes = counted;
    return writer.write(outPath, reason);
}

}  // namespace qx
