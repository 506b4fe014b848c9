#include "import/GltfImport.h"

#include <filesystem>
#include <map>

#include "core/ByteSink.h"
#include "import/GltfDocument.h"
#include "import/GltfImages.h"
#include "import/GltfNodeTree.h"
#include "import/GltfSkinnedImport.h"
#include "import/GltfVertexImport.h"
#include "render/PngWriter.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "vertex/VertexModelFile.h"

namespace qx {

namespace {

// The skin whose meshes hold most vertices; -1 when no mesh is skinned.
int largestSkin(const tinygltf::Model& model, std::size_t& others) {
    std::map<int, std::size_t> vertices;
    for (const tinygltf::Node& node : model.nodes) {
        if (node.skin < 0 || node.mesh < 0 || static_cast<std::size_t>(node.mesh) >= model.meshes.size()) continue;
        std::size_t& count = vertices[node.skin];
        for (const tinygltf::Primitive& p : model.meshes[static_cast<std::size_t>(node.mesh)].primitives)
            if (const auto found = p.attributes.find("POSITION");
                found != p.attributes.end() && found->second >= 0 &&
                static_cast<std::size_t>(found->second) < model.accessors.size())
                count += model.accessors[static_cast<std::size_t>(found->second)].count;
    }
    int best = -1;
    for (const auto& [skin, count] : vertices)
        if (best < 0 || count > vertices[best]) best = skin;
    others = vertices.empty() ? 0 : vertices.size() - 1;
    return best;
}

// Extensions change what a file shows (a texture's placement, a material's look, lights), so
// those the conversion does not follow are named rather than dropped silently. Quantized meshes
// need nothing more: their integer attributes read as the numbers they stand for. The names are
// the file's own text, so they are shown as plain printable characters, a few at most.
void noteExtensionsLeftOut(const tinygltf::Model& model, std::vector<std::string>& notes) {
    std::string names;
    std::size_t count = 0;
    for (const std::string& name : model.extensionsUsed) {
        if (name == "KHR_mesh_quantization") continue;
        if (++count > 8) continue;
        if (!names.empty()) names += ", ";
        for (const char c : name.substr(0, 64)) names += c >= 0x20 && c < 0x7F ? c : '?';
    }
    if (count > 8) names += " and " + std::to_string(count - 8) + " more";
    if (count > 0) notes.push_back("extensions the conversion leaves out: " + names);
}

}  // namespace

std::unique_ptr<GltfImport> importGltfDocument(const GltfDocument& document, const std::string& stem,
                                               const GltfImportOptions& options, std::string* reason) {
    const tinygltf::Model& model = document.model;
    GltfNodeTree tree;
    if (!buildNodeTree(model, tree, reason)) return nullptr;
    std::vector<GltfAnimation> animations(model.animations.size());
    for (std::size_t a = 0; a < animations.size(); ++a)
        if (!readGltfAnimation(model, a, animations[a], reason)) return nullptr;
    auto result = std::make_unique<GltfImport>();
    std::size_t otherSkins = 0;
    const int skin = largestSkin(model, otherSkins);
    if (skin >= static_cast<int>(model.skins.size())) {
        if (reason != nullptr) *reason = "a node names a skin that does not exist";
        return nullptr;
    }
    const bool imported = skin >= 0 ? importSkinned(document, tree, animations, skin, stem, *result, reason)
                                    : importVertexModel(document, tree, animations, options, *result, reason);
    if (!imported) return nullptr;
    noteExtensionsLeftOut(model, result->notes);
    return result;
}

std::unique_ptr<GltfImport> importGltf(const std::string& path, const std::string& stem,
                                       const GltfImportOptions& options, std::string* reason) {
    const std::unique_ptr<GltfDocument> document = readGltfDocument(path, reason);
    if (!document) return nullptr;
    return importGltfDocument(*document, stem, options, reason);
}

bool GltfImport::write(const std::string& path, std::string* reason) const {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const auto beside = [&](const std::string& name) { return (folder / name).string(); };
    if (vertexModel) {
        if (!images.empty()) {
            const std::vector<std::uint8_t> bmp = encodeBmp(images.front().picture);
            if (!bmp.empty() && !writeFileAtomically(vertexSkinPath(path), bmp, reason)) return false;
        }
        return writeVertexModel(path, *vertexModel, reason);
    }
    if (!mesh) {
        if (reason != nullptr) *reason = "nothing to write";
        return false;
    }
    for (const ImportedImage& image : images) {
        const std::vector<std::uint8_t> rgba = displayRgba(image.picture);
        if (!rgba.empty() &&
            !writePng(beside(image.fileName), rgba.data(), image.picture.width, image.picture.height, reason))
            return false;
    }
    for (const ImportedMotion& motion : motions)
        if (!writeSkeletalMotion(beside(motion.fileName), *motion.motion, reason)) return false;
    return writeSkeletalMesh(path, *mesh, reason);
}

}  // namespace qx
