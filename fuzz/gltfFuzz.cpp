// glTF import: parse (no file beside it is read), convert, then write what it became and read
// that back, so that a file the importer accepts always makes files the program reads.

#include <cstddef>
#include <cstdint>

#include "import/GltfDocument.h"
#include "import/GltfImport.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "vertex/VertexModelFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto document = qx::parseGltfDocument(data, size, "", nullptr);
    if (!document) return 0;
    qx::GltfImportOptions options;
    options.framesPerSecond = 5.0f;
    const auto imported = qx::importGltfDocument(*document, "fuzz", options, nullptr);
    if (!imported) return 0;
    if (imported->mesh) {
        const auto bytes = qx::encodeSkeletalMesh(*imported->mesh);
        if (!qx::parseSkeletalMesh(bytes.data(), bytes.size())) __builtin_trap();
    }
    for (const auto& motion : imported->motions) {
        const auto bytes = qx::encodeSkeletalMotion(*motion.motion);
        if (!qx::parseSkeletalMotion(bytes.data(), bytes.size())) __builtin_trap();
    }
    if (imported->vertexModel) {
        const auto bytes = qx::encodeVertexModel(*imported->vertexModel);
        if (!qx::parseVertexModel(bytes.data(), bytes.size())) __builtin_trap();
    }
    return 0;
}
