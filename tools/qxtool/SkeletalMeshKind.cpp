// The ".qm1" skeletal mesh kind: dumped whole, summarised with where its images are found, and
// drawn by render as a skeletal mesh.

#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

#include "scene/OpenFile.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/MeshJson.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/TextSummary.h"

namespace qx::tool {

namespace {

std::unique_ptr<SkeletalMesh> readForInspection(const std::string& path, std::string& reason) {
    // Inspection never decodes images: it must work without them and without any GL.
    return readStored<SkeletalMesh>(path, &reason);
}

int dump(const std::string& path) {
    std::string reason;
    const auto mesh = readForInspection(path, reason);
    if (!mesh) return fail(path, reason);
    printJson(meshJson(*mesh));
    return ExitOk;
}

int info(const std::string& path) {
    std::string reason;
    const auto mesh = readForInspection(path, reason);
    if (!mesh) return fail(path, reason);
    std::size_t mappings = 0;
    for (const MeshFace& face : mesh->faces) mappings += face.mappings.size();
    std::cout << path << ": skeletal mesh\n"
              << "  positions: " << mesh->positions.size() << '\n'
              << "  normals: " << mesh->normals.size() << '\n'
              << "  faces: " << mesh->faces.size() << " (" << mappings << " texture mappings)\n"
              << "  materials: " << mesh->materials.size() << '\n'
              << "  bones: " << mesh->bones.size() << '\n'
              << "  render groups: " << mesh->renderGroups.size() << '\n';
    if (mesh->positions.empty()) {
        std::cout << "  bounding box: none\n";
    } else {
        std::cout << "  bounding box: " << boxAround(mesh->positions) << '\n';
    }
    std::cout << "  textures: " << mesh->textures.size() << '\n';
    // Where the viewer would look for each image, so that a missing one shows up here.
    for (std::size_t t = 0; t < mesh->textures.size(); ++t) {
        const std::string& name = mesh->textures[t].name;
        const std::string found = resolveImagePath(name, path);
        std::error_code error;
        const bool exists = std::filesystem::is_regular_file(found, error);
        std::cout << "    " << t << ": " << name << (exists ? " (found at " + found + ")" : " (missing)") << '\n';
    }
    return ExitOk;
}

}  // namespace

const FileKind SkeletalMeshKind{FileType::SkeletalMesh, &dump, &info};

}  // namespace qx::tool
