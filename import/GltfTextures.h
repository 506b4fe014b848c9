#pragma once
// The materials of an imported skeletal mesh: each glTF material its colour (base colour factor)
// and, when it has a base-colour texture on the first texture coordinates whose picture decodes,
// a texture named after its image (the image's name, or "<stem>-<n>") as a PNG beside the model.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "import/GltfDocument.h"
#include "import/GltfImport.h"
#include "skeletal/SkeletalMesh.h"

namespace qx {

class GltfTextures {
public:
    GltfTextures(const GltfDocument& document, const std::string& stem, SkeletalMesh& mesh, GltfImport& result)
        : document_(document), stem_(stem), mesh_(mesh), result_(result) {}

    // The mesh material of a glTF material (-1 the default white one), added on first use.
    std::int32_t material(int gltfMaterial);
    // The mesh texture a glTF material draws with; -1 for none.
    std::int32_t texture(int gltfMaterial);

    // The decoded picture of glTF image index as a file beside the model; -1 when it does not
    // decode (said in the notes). Shared with the vertex model's skin.
    int image(int gltfImage, const char* extension);

private:
    const GltfDocument& document_;
    const std::string& stem_;
    SkeletalMesh& mesh_;
    GltfImport& result_;
    std::map<int, std::int32_t> materials_, textures_;
    std::map<int, int> images_;
    std::set<std::string> usedNames_;
};

// The base-colour image of a glTF material; -1 for none.
int baseColourImage(const tinygltf::Model& model, int material, int* wrapS = nullptr, int* wrapT = nullptr);

}  // namespace qx
