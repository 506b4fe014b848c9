#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "gltf/GltfExport.h"
#include "render/ModelScene.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

namespace {

struct ExportOptions {
    std::string model;
    std::vector<std::string> motions;
    std::string output;
};

int exportSkeletal(const ExportOptions& o) {
    std::string reason;
    const std::unique_ptr<SkeletalMesh> mesh = readMeshToShow(o.model, &reason, ImageLoading::Decode);
    if (!mesh) return fail(o.model, reason);
    std::vector<std::unique_ptr<SkeletalMotion>> read;
    std::vector<GltfMotion> motions;
    for (const std::string& path : o.motions) {
        read.push_back(readMotionToExport(path, &reason));
        if (!read.back()) return fail(path, reason);
        motions.push_back({gltfNameOf(path), read.back().get()});
    }
    GltfExportNotes notes;
    if (!exportSkeletalGltf(*mesh, gltfNameOf(o.model), motions, o.output, &notes, &reason))
        return fail(o.output, reason);
    for (const std::string& line : describe(notes)) std::cerr << "qxtool: " << o.output << ": " << line << '\n';
    return ExitOk;
}

int exportVertex(const ExportOptions& o) {
    std::string reason;
    const std::unique_ptr<VertexModel> model = readVertexModelToShow(o.model, &reason, ImageLoading::Decode);
    if (!model) return fail(o.model, reason);
    if (!exportVertexGltf(*model, gltfNameOf(o.model), o.output, &reason)) return fail(o.output, reason);
    return ExitOk;
}

}  // namespace

CommandRun defineExport(CLI::App& sub) {
    auto options = std::make_shared<ExportOptions>();
    sub.add_option("MODEL", options->model, "A .qm1 or .ply skeletal mesh, or a .qv1 or .md2 vertex model")->required();
    sub.add_option("MOTION", options->motions, "Motions (.qm2, .kfm) for a skeletal mesh, one animation each");
    sub.add_option("-o", options->output, "The glTF file to write: .glb, or .gltf with a .bin beside it")->required();
    return [options] {
        const SceneFileKind kind = sceneFileKind(options->model);
        if (isSkeletalKind(kind)) return exportSkeletal(*options);
        if (kind == SceneFileKind::Unknown) return fail(options->model, "not a model (known: .qm1, .ply, .qv1, .md2)");
        if (!options->motions.empty()) return usageError("motions go with a skeletal mesh only");
        return exportVertex(*options);
    };
}

}  // namespace qx::tool
