#include "gltf/GltfMaterials.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "render/PngWriter.h"

namespace qx {

using json = nlohmann::ordered_json;

namespace {

// The GL wrap modes glTF knows; the texture's GL_CLAMP, which glTF lacks, clamps to the edge.
int wrapMode(std::uint32_t gl) {
    constexpr std::uint32_t GlRepeat = 0x2901, GlMirroredRepeat = 0x8370;
    if (gl == GlRepeat) return 10497;
    if (gl == GlMirroredRepeat) return 33648;
    return 33071;
}

bool isFilter(std::uint32_t gl, bool minifying) {
    return gl == 9728 || gl == 9729 || (minifying && gl >= 9984 && gl <= 9987);
}

// GL clamps a colour into 0..1 as it is set; glTF asks for the same range.
float colourPart(float v) { return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : (v < 0.0f ? 0.0f : 1.0f); }

}  // namespace

int addTextureImage(GltfWriter& writer, const Texture& texture) {
    // Top row first, as the source image and glTF's v (which the geometry writes as 1 - t) have it.
    const std::vector<std::uint8_t> rgba = displayRgba(texture);
    if (rgba.empty()) return -1;
    std::vector<std::uint8_t> png;
    if (!encodePng(rgba.data(), texture.width, texture.height, png)) return -1;

    const int view = writer.addView(png.data(), png.size(), GltfNoTarget);
    json image = {{"bufferView", view}, {"mimeType", "image/png"}};
    // Named after its source, as the PNG it now is.
    if (!texture.name.empty())
        image["name"] = textOfBytes(std::filesystem::path(texture.name).stem().string()) + ".png";
    const int imageIndex = writer.append("images", std::move(image));
    json sampler = {{"wrapS", wrapMode(texture.wrapS)}, {"wrapT", wrapMode(texture.wrapT)}};
    if (isFilter(texture.magFilter, false)) sampler["magFilter"] = texture.magFilter;
    if (isFilter(texture.minFilter, true)) sampler["minFilter"] = texture.minFilter;
    const int samplerIndex = writer.append("samplers", std::move(sampler));
    return writer.append("textures", {{"sampler", samplerIndex}, {"source", imageIndex}});
}

int addMaterial(GltfWriter& writer, const std::string& name, const Vector3& colour, int texture) {
    // The renderer's fixed-function lighting has no metal: a rough dielectric is its nearest.
    json pbr = {{"baseColorFactor", {colourPart(colour.x), colourPart(colour.y), colourPart(colour.z), 1.0f}},
                {"metallicFactor", 0.0f},
                {"roughnessFactor", 1.0f}};
    if (texture >= 0) pbr["baseColorTexture"] = {{"index", texture}};
    return writer.append("materials",
                         {{"name", name}, {"pbrMetallicRoughness", std::move(pbr)}, {"doubleSided", true}});
}

}  // namespace qx
