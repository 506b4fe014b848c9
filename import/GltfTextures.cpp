#include "import/GltfTextures.h"

#include <algorithm>
#include <cctype>

#include "import/GltfImages.h"
#include "import/GltfNames.h"

namespace qx {

namespace {

std::uint32_t glWrap(int gltf) {
    if (gltf == 33071) return 0x812F;  // GL_CLAMP_TO_EDGE
    if (gltf == 33648) return 0x8370;  // GL_MIRRORED_REPEAT
    return 0x2901;                     // GL_REPEAT, glTF's default
}

}  // namespace

int baseColourImage(const tinygltf::Model& model, int material, int* wrapS, int* wrapT) {
    if (material < 0 || static_cast<std::size_t>(material) >= model.materials.size()) return -1;
    const tinygltf::TextureInfo& info =
        model.materials[static_cast<std::size_t>(material)].pbrMetallicRoughness.baseColorTexture;
    if (info.index < 0 || static_cast<std::size_t>(info.index) >= model.textures.size() || info.texCoord != 0)
        return -1;
    const tinygltf::Texture& texture = model.textures[static_cast<std::size_t>(info.index)];
    if (texture.source < 0 || static_cast<std::size_t>(texture.source) >= model.images.size()) return -1;
    if (texture.sampler >= 0 && static_cast<std::size_t>(texture.sampler) < model.samplers.size()) {
        if (wrapS != nullptr) *wrapS = model.samplers[static_cast<std::size_t>(texture.sampler)].wrapS;
        if (wrapT != nullptr) *wrapT = model.samplers[static_cast<std::size_t>(texture.sampler)].wrapT;
    }
    return texture.source;
}

int GltfTextures::image(int gltfImage, const char* extension) {
    const auto known = images_.find(gltfImage);
    if (known != images_.end()) return known->second;
    const tinygltf::Image& source = document_.model.images[static_cast<std::size_t>(gltfImage)];
    ImportedImage imported;
    std::string why;
    int& index = images_[gltfImage];
    index = -1;
    if (!decodeGltfImage(document_.imageBytes[static_cast<std::size_t>(gltfImage)], imported.picture, &why)) {
        result_.notes.push_back("image " + std::to_string(gltfImage) + " is left out: " + why);
        return -1;
    }
    std::size_t replaced = 0;
    std::string name = source.name;
    if (name.empty() && !source.uri.empty() && source.uri.rfind("data:", 0) != 0)
        name = source.uri.substr(source.uri.find_last_of('/') + 1);
    // Images are often named as the files they came from ("shirt.png"); the picture written is
    // named after it with its own extension, not a second one.
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) {
        std::string ending = name.substr(dot + 1);
        for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ending == "png" || ending == "jpg" || ending == "jpeg" || ending == "bmp" || ending == "tga" ||
            ending == "webp" || ending == "ktx2")
            name.resize(dot);
    }
    const std::string fallback = stem_ + "-" + std::to_string(result_.images.size() + 1);
    name = safeFileName(bytesOfText(name, replaced), fallback);
    imported.fileName = uniqueName(name, usedNames_, "-") + "." + extension;
    index = static_cast<int>(result_.images.size());
    result_.images.push_back(std::move(imported));
    return index;
}

std::int32_t GltfTextures::material(int gltfMaterial) {
    const auto known = materials_.find(gltfMaterial);
    if (known != materials_.end()) return known->second;
    MeshMaterial material;
    material.color = {1.0f, 1.0f, 1.0f};
    if (gltfMaterial >= 0) {
        const auto& factor =
            document_.model.materials[static_cast<std::size_t>(gltfMaterial)].pbrMetallicRoughness.baseColorFactor;
        if (factor.size() >= 3)
            material.color = {static_cast<float>(std::clamp(factor[0], 0.0, 1.0)),
                              static_cast<float>(std::clamp(factor[1], 0.0, 1.0)),
                              static_cast<float>(std::clamp(factor[2], 0.0, 1.0))};
    }
    const auto index = static_cast<std::int32_t>(mesh_.materials.size());
    mesh_.materials.push_back(material);
    materials_[gltfMaterial] = index;
    return index;
}

std::int32_t GltfTextures::texture(int gltfMaterial) {
    const auto known = textures_.find(gltfMaterial);
    if (known != textures_.end()) return known->second;
    int wrapS = 10497, wrapT = 10497;
    const int source = baseColourImage(document_.model, gltfMaterial, &wrapS, &wrapT);
    std::int32_t& index = textures_[gltfMaterial];
    index = -1;
    const int picture = source < 0 ? -1 : image(source, "png");
    if (picture < 0) return -1;
    const std::string& fileName = result_.images[static_cast<std::size_t>(picture)].fileName;
    for (std::size_t t = 0; t < mesh_.textures.size(); ++t)
        if (mesh_.textures[t].name == fileName && mesh_.textures[t].wrapS == glWrap(wrapS) &&
            mesh_.textures[t].wrapT == glWrap(wrapT))
            return index = static_cast<std::int32_t>(t);
    Texture texture;
    texture.name = fileName;
    texture.wrapS = glWrap(wrapS);
    texture.wrapT = glWrap(wrapT);
    index = static_cast<std::int32_t>(mesh_.textures.size());
    mesh_.textures.push_back(std::move(texture));
    return index;
}

}  // namespace qx
