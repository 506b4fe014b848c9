#include "tools/qxtool/MeshJson.h"

#include "core/FileTypes.h"

namespace qx::tool {

namespace {

Json mappingJson(const FaceMapping& mapping) {
    Json uv = Json::array();
    for (const auto& pair : mapping.uv) uv.push_back(Json::array({jsonFloat(pair[0]), jsonFloat(pair[1])}));
    Json out;
    out["textureIndex"] = mapping.textureIndex;
    out["auxValue1"] = mapping.auxValue1;
    out["auxValue2"] = mapping.auxValue2;
    out["auxValue3"] = mapping.auxValue3;
    out["auxByte1"] = static_cast<unsigned>(mapping.auxByte1);
    out["auxByte2"] = static_cast<unsigned>(mapping.auxByte2);
    out["uv"] = std::move(uv);
    return out;
}

Json faceJson(const MeshFace& face) {
    Json mappings = Json::array();
    for (const FaceMapping& mapping : face.mappings) mappings.push_back(mappingJson(mapping));
    Json out;
    out["materialIndex"] = face.materialIndex;
    out["positionIndex"] = Json::array();
    out["normalIndex"] = Json::array();
    for (int c = 0; c < 4; ++c) {
        out["positionIndex"].push_back(face.positionIndex[c]);
        out["normalIndex"].push_back(face.normalIndex[c]);
    }
    out["mappings"] = std::move(mappings);
    return out;
}

Json materialJson(const MeshMaterial& material) {
    Json out;
    out["color"] = jsonVector(material.color);
    out["auxVector"] = jsonVector(material.auxVector);
    out["auxValue1"] = material.auxValue1;
    out["auxValue2"] = material.auxValue2;
    return out;
}

Json textureJson(const Texture& texture) {
    Json out;
    out["name"] = jsonBytes(texture.name);
    out["auxWord1"] = texture.auxWord1;
    out["auxWord2"] = texture.auxWord2;
    return out;
}

Json groupJson(const TextureGroup& group) {
    Json batches = Json::array();
    for (const MaterialBatch& batch : group.batches) {
        Json b;
        b["materialIndex"] = batch.materialIndex;
        b["faceIndices"] = jsonInts(batch.faceIndices);
        batches.push_back(std::move(b));
    }
    Json out;
    out["textureIndex"] = group.textureIndex;
    out["batches"] = std::move(batches);
    return out;
}

template <typename T, typename F>
Json listJson(const std::vector<T>& list, F toJson) {
    Json out = Json::array();
    for (const T& item : list) out.push_back(toJson(item));
    return out;
}

}  // namespace

Json meshJson(const SkeletalMesh& mesh) {
    Json out;
    out["type"] = extensionOf(FileType::SkeletalMesh);
    out["nameHash"] = mesh.nameHash;
    out["positions"] = jsonVectors(mesh.positions);
    out["normals"] = jsonVectors(mesh.normals);
    out["positionNormals"] = listJson(mesh.positionNormals, jsonInts);
    out["faces"] = listJson(mesh.faces, faceJson);
    out["materials"] = listJson(mesh.materials, materialJson);
    out["textures"] = listJson(mesh.textures, textureJson);
    out["bones"] = listJson(mesh.bones, [](const MeshBone& bone) {
        return boneJson(bone, bone.parent, bone.firstChild, bone.nextSibling);
    });
    out["renderGroups"] = listJson(mesh.renderGroups, groupJson);
    return out;
}

}  // namespace qx::tool
