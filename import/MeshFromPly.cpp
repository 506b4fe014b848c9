#include "import/MeshFromPly.h"

#include <unordered_map>

namespace qx {

namespace {

// Face A takes the patch's corners 0, 1, 2 and face B its corners 0, 2, 3.
constexpr int FaceCorners[2][3] = {{0, 1, 2}, {0, 2, 3}};

MeshFace faceFromPatch(const PlyPatch& patch, const int (&corners)[3]) {
    MeshFace face;
    face.materialIndex = patch.surfaceIndex;
    for (int k = 0; k < 3; ++k) {
        face.positionIndex[k] = patch.positionIndex[corners[k]];
        face.normalIndex[k] = patch.normalIndex[corners[k]];
    }
    face.mappings.reserve(patch.mappings.size());
    for (const PlyMapping& source : patch.mappings) {
        FaceMapping mapping;
        mapping.textureIndex = source.imageIndex;
        mapping.auxValue1 = source.value1;
        mapping.auxValue2 = source.value2;
        mapping.auxValue3 = source.value3;
        mapping.auxByte1 = source.byte1;
        mapping.auxByte2 = source.byte2;
        for (int k = 0; k < 3; ++k) {
            mapping.uv[k][0] = source.uv[corners[k]][0];
            mapping.uv[k][1] = source.uv[corners[k]][1];
        }
        face.mappings.push_back(mapping);
    }
    return face;
}

MeshMaterial materialFromSurface(const PlySurface& surface) {
    MeshMaterial material;
    material.color = surface.color;
    material.auxVector = surface.color2;
    material.auxValue1 = surface.value4;
    material.auxValue2 = surface.value8;
    return material;
}

}  // namespace

std::vector<TextureGroup> buildRenderGroups(const std::vector<MeshFace>& faces) {
    std::vector<TextureGroup> groups;
    // Maps from a texture index to its group, and from (group, material) to its batch: a
    // damaged or hostile model may use as many different indices as it has faces.
    std::unordered_map<std::int32_t, std::size_t> groupOf;
    std::unordered_map<std::uint64_t, std::size_t> batchOf;
    for (std::size_t f = 0; f < faces.size(); ++f) {
        const MeshFace& face = faces[f];
        const std::int32_t texture = face.mappings.empty() ? -1 : face.mappings.front().textureIndex;
        const auto [groupAt, newGroup] = groupOf.try_emplace(texture, groups.size());
        if (newGroup) groups.push_back(TextureGroup{texture, {}});
        const std::size_t g = groupAt->second;
        TextureGroup& group = groups[g];
        const std::uint64_t key =
            (static_cast<std::uint64_t>(g) << 32) | static_cast<std::uint32_t>(face.materialIndex);
        const auto [batchAt, newBatch] = batchOf.try_emplace(key, group.batches.size());
        if (newBatch) group.batches.push_back(MaterialBatch{face.materialIndex, {}});
        group.batches[batchAt->second].faceIndices.push_back(static_cast<std::int32_t>(f));
    }
    return groups;
}

std::unique_ptr<SkeletalMesh> meshFromPly(const PlyModel& ply) {
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->positions = ply.positions;
    mesh->normals = ply.normals;
    mesh->importMap = ply.boneNames;
    mesh->positionNormals = ply.positionNormals;

    mesh->materials.reserve(ply.surfaces.size());
    for (const PlySurface& surface : ply.surfaces) mesh->materials.push_back(materialFromSurface(surface));

    mesh->textures.reserve(ply.images.size());
    for (const PlyImage& image : ply.images) {
        Texture texture;
        texture.name = image.name;
        texture.auxWord1 = static_cast<std::uint16_t>(image.word1);
        texture.auxWord2 = static_cast<std::uint16_t>(image.word2);
        mesh->textures.push_back(std::move(texture));
    }

    mesh->faces.reserve(ply.patches.size() * 2);
    for (const PlyPatch& patch : ply.patches)
        for (const auto& corners : FaceCorners) mesh->faces.push_back(faceFromPatch(patch, corners));

    const std::vector<PreOrderBone> order = bonesInPreOrder(ply);
    mesh->bones.resize(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const PlyBone& source = *order[k].bone;
        MeshBone& bone = mesh->bones[k];
        bone.parent = order[k].parent;
        bone.firstChild = order[k].firstChild;
        bone.nextSibling = order[k].nextSibling;
        bone.start = source.start;
        bone.end = source.end;
        bone.roll = source.roll;
        bone.worldToBone = source.worldToBone;
        bone.boneToWorld = source.boneToWorld;
        bone.attachedPositions = source.attachedPositions;
        bone.nameHash = source.nameHash;
        bone.name = source.name;
        bone.index = static_cast<std::int32_t>(k);
    }

    mesh->renderGroups = buildRenderGroups(mesh->faces);
    return mesh;
}

}  // namespace qx
