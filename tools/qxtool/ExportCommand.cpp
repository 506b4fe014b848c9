#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "gltf/GltfExport.h"
#include "scene/OpenFile.h"
#include "tools/qxtool/Command.h"
#include "tools/qxtool/ParseNumber.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

namespace {

struct ExportOptions {
    std::string model;
    std::vector<std::string> motions;
    std::string output;
    std::string scale = "1";
    GltfExportOptions gltf;
};

int exportSkeletal(const ExportOptions& o, GltfExportNotes& notes) {
    std::string reason;
    const std::unique_ptr<SkeletalMesh> mesh = readMeshToShow(o.model, &reason, ImageLoading::Decode);
    if (!mesh) return fail(o.model, reason);
    std::vector<std::unique_ptr<SkeletalMotion>> read;
    std::vector<GltfMotion> motions;
    for (const std::string& path : o.motions) {
        read.push_back(readMotionToPlay(path, &reason));
        if (!read.back()) return fail(path, reason);
        motions.push_back({gltfNameOf(path), read.back().get()});
    }
    if (!exportSkeletalGltf(*mesh, gltfNameOf(o.model), motions, o.output, o.gltf, &notes, &reason))
        return fail(o.output, reason);
    return ExitOk;
}

int exportVertex(const ExportOptions& o, GltfExportNotes& notes) {
    std::string reason;
    const std::unique_ptr<VertexModel> model = readVertexModelToShow(o.model, &reason, ImageLoading::Decode);
    if (!model) return fail(o.model, reason);
    if (!exportVertexGltf(*model, gltfNameOf(o.model), o.output, o.gltf, &notes, &reason))
        return fail(o.output, reason);
    return ExitOk;
}

}  // namespace

CommandRun defineExport(CLI::App& sub) {
    auto options = std::make_shared<ExportOptions>();
    sub.add_option("MODEL", options->model, "A .qm1 or .ply skeletal mesh, or a .qv1 or .md2 vertex model")->required();
    sub.add_option("MOTION", options->motions, "Motions (.qm2, .kfm) for a skeletal mesh, one animation each");
    sub.add_option("-o", options->output, "The glTF file to write: .glb, or .gltf with a .bin beside it")->required();
    sub.add_option("--scale", options->scale,
                   "A factor on every position (glTF readers take a unit as a metre); default 1");
    return [options] {
        // The models export takes are the ones render draws.
        std::string reason;
        if (!isModelFile(options->model, &reason)) return fail(options->model, reason);
        const bool skeletal = openAsOf(options->model) == OpenAs::SkeletalMesh;
        if (!skeletal && !options->motions.empty()) return usageError("motions go with a skeletal mesh only");
        if (!parseNumber(options->scale, options->gltf.scale) || !isGltfScale(options->gltf.scale))
            return usageError("--scale expects a number above 0, not '" + options->scale + "'");
        GltfExportNotes notes;
        const int status = skeletal ? exportSkeletal(*options, notes) : exportVertex(*options, notes);
        if (status == ExitOk && skeletal)
            std::cout << options->output << ": " << notes.motions << " animations, " << notes.samples
                      << " sample times (within " << GltfMotionTolerance << " of the model's size of playback)\n";
        // What glTF could not keep is said, not hidden; the file is written all the same.
        for (const std::string& line : describe(notes))
            std::cerr << "qxtool: " << options->output << ": " << line << '\n';
        return status;
    };
}

}  // namespace qx::tool
