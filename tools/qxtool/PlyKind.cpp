// The A:M ".ply" model export kind: dumped as the reader builds it, the bone tree in pre-order
// with its links as pre-order indices; drawn by render as the skeletal mesh it converts to.

#include <iostream>

#include "scene/OpenFile.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Json.h"
#include "tools/qxtool/MeshJson.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/TextSummary.h"

namespace qx::tool {

namespace {

Json uvJson(const float (&uv)[4][2]) {
    Json out = Json::array();
    for (const auto& corner : uv) out.push_back(Json::array({jsonFloat(corner[0]), jsonFloat(corner[1])}));
    return out;
}

Json cornersJson(const std::int32_t (&indices)[4]) {
    return Json::array({indices[0], indices[1], indices[2], indices[3]});
}

Json surfaceJson(const PlySurface& s) {
    Json out;
    out["color"] = jsonVector(s.color);
    out["value1"] = s.value1;
    out["color2"] = jsonVector(s.color2);
    out["value2"] = s.value2;
    out["value3"] = s.value3;
    out["value4"] = s.value4;
    out["value5"] = s.value5;
    out["value6"] = s.value6;
    out["value7"] = s.value7;
    out["value8"] = s.value8;
    out["value9"] = s.value9;
    return out;
}

Json patchJson(const PlyPatch& patch) {
    Json mappings = Json::array();
    for (const PlyMapping& m : patch.mappings) {
        Json mapping;
        mapping["imageIndex"] = m.imageIndex;
        mapping["value1"] = m.value1;
        mapping["value2"] = m.value2;
        mapping["value3"] = m.value3;
        mapping["byte1"] = static_cast<unsigned>(m.byte1);
        mapping["byte2"] = static_cast<unsigned>(m.byte2);
        mapping["uv"] = uvJson(m.uv);
        mappings.push_back(std::move(mapping));
    }
    Json out;
    out["surfaceIndex"] = patch.surfaceIndex;
    out["positionIndex"] = cornersJson(patch.positionIndex);
    out["normalIndex"] = cornersJson(patch.normalIndex);
    out["mappings"] = std::move(mappings);
    return out;
}

int dump(const std::string& path) {
    std::string reason;
    const auto model = readStored<PlyModel>(path, &reason);
    if (!model) return fail(path, reason);
    Json out;
    out["type"] = extensionOf(PlyKind.type);
    out["version"] = model->header.version;
    Json surfaces = Json::array();
    for (const PlySurface& s : model->surfaces) surfaces.push_back(surfaceJson(s));
    out["surfaces"] = std::move(surfaces);
    Json images = Json::array();
    for (const PlyImage& image : model->images) {
        Json entry;
        entry["name"] = jsonBytes(image.name);
        entry["word1"] = image.word1;
        entry["word2"] = image.word2;
        images.push_back(std::move(entry));
    }
    out["images"] = std::move(images);
    out["positions"] = jsonVectors(model->positions);
    out["normals"] = jsonVectors(model->normals);
    Json patches = Json::array();
    for (const PlyPatch& patch : model->patches) patches.push_back(patchJson(patch));
    out["patches"] = std::move(patches);
    Json positionNormals = Json::array();
    for (const auto& list : model->positionNormals) positionNormals.push_back(jsonInts(list));
    out["positionNormals"] = std::move(positionNormals);
    out["boneCount"] = model->boneCount;
    Json bones = Json::array();
    for (const PreOrderBone& entry : bonesInPreOrder(*model))
        bones.push_back(boneJson(*entry.bone, entry.parent, entry.firstChild, entry.nextSibling));
    out["bones"] = std::move(bones);
    // The map is ordered by its int32 keys: ascending nameHash, negative hashes first.
    Json boneNames = Json::array();
    for (const auto& [hash, name] : model->boneNames) {
        Json entry;
        entry["nameHash"] = hash;
        entry["name"] = jsonBytes(name);
        boneNames.push_back(std::move(entry));
    }
    out["boneNames"] = std::move(boneNames);
    printJson(out);
    return ExitOk;
}

int info(const std::string& path) {
    std::string reason;
    const auto model = readStored<PlyModel>(path, &reason);
    if (!model) return fail(path, reason);
    std::size_t mappings = 0;
    for (const PlyPatch& patch : model->patches) mappings += patch.mappings.size();
    std::cout << path << ": A:M PLY model (version " << model->header.version << ")\n"
              << "  positions: " << model->positions.size() << ", normals: " << model->normals.size() << '\n'
              << "  patches: " << model->patches.size() << " (" << 2 * model->patches.size()
              << " faces once converted), mappings: " << mappings << '\n'
              << "  surfaces: " << model->surfaces.size() << ", images: " << model->images.size() << '\n'
              << "  bones: " << model->boneCount << '\n'
              << "  bounds: " << boxAround(model->positions) << '\n';
    return ExitOk;
}

}  // namespace

const FileKind PlyKind{FileType::AmModel, &dump, &info};

}  // namespace qx::tool
