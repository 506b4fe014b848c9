#include "tools/qxtool/MeshJson.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "skeletal/SkeletalMeshFile.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/Report.h"

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

std::unique_ptr<SkeletalMesh> readForInspection(const std::string& path, std::string& reason) {
    // Inspection never decodes images: it must work without them and without any GL.
    return readSkeletalMesh(path, &reason, ImageLoading::Skip);
}

}  // namespace

Json boneJson(const MeshBone& bone) {
    Json out;
    out["name"] = jsonBytes(bone.name);
    out["nameHash"] = bone.nameHash;
    out["index"] = bone.index;
    out["parent"] = bone.parent;
    out["firstChild"] = bone.firstChild;
    out["nextSibling"] = bone.nextSibling;
    out["start"] = jsonVector(bone.start);
    out["end"] = jsonVector(bone.end);
    out["roll"] = jsonVector(bone.roll);
    out["worldToBone"] = jsonMatrix(bone.worldToBone);
    out["boneToWorld"] = jsonMatrix(bone.boneToWorld);
    out["attachedPositions"] = jsonInts(bone.attachedPositions);
    return out;
}

Json meshJson(const SkeletalMesh& mesh) {
    Json out;
    out["type"] = "qm1";
    out["nameHash"] = mesh.nameHash;
    out["positions"] = jsonVectors(mesh.positions);
    out["normals"] = jsonVectors(mesh.normals);
    out["positionNormals"] = listJson(mesh.positionNormals, jsonInts);
    out["faces"] = listJson(mesh.faces, faceJson);
    out["materials"] = listJson(mesh.materials, materialJson);
    out["textures"] = listJson(mesh.textures, textureJson);
    out["bones"] = listJson(mesh.bones, boneJson);
    out["renderGroups"] = listJson(mesh.renderGroups, groupJson);
    return out;
}

int dumpMesh(const std::string& path) {
    std::string reason;
    const auto mesh = readForInspection(path, reason);
    if (!mesh) return fail(path, reason);
    printJson(meshJson(*mesh));
    return ExitOk;
}

int infoMesh(const std::string& path) {
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
        Vector3 low = mesh->positions.front(), high = low;
        for (const Vector3& p : mesh->positions) {
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        }
        std::cout << "  bounding box: (" << low.x << ", " << low.y << ", " << low.z << ") to (" << high.x << ", "
                  << high.y << ", " << high.z << ")\n";
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

}  // namespace qx::tool
