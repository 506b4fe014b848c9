#pragma once
// A character mesh moved rigidly by a tree of bones: a position follows the bone whose
// attachedPositions list it, and every normal follows the position it sits on.
//
// Indices (faces, mappings, batches, positionNormals, attachedPositions) are kept exactly as
// read, so that a damaged file can still be inspected; every user of an index skips one that
// lies outside its list. Bone links are validated by the reader.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "math/Matrix.h"
#include "math/Vector3.h"
#include "render/Texture.h"

namespace qx {

struct FaceMapping {
    std::int32_t textureIndex = 0;
    std::int32_t auxValue1 = 0;
    std::int32_t auxValue2 = 0;
    std::int32_t auxValue3 = 0;
    std::uint8_t auxByte1 = 0;
    std::uint8_t auxByte2 = 0;
    float uv[4][2] = {};  // (u, v) of corners 0-3; corners 0-2 are drawn
    bool operator==(const FaceMapping&) const = default;
};

struct MeshFace {
    std::int32_t materialIndex = 0;
    std::int32_t positionIndex[4] = {};  // corners 0-2 form the triangle; 3 is carried
    std::int32_t normalIndex[4] = {};
    std::vector<FaceMapping> mappings;  // only the first is drawn
    bool operator==(const MeshFace&) const = default;
};

struct MeshMaterial {
    Vector3 color;      // red, green, blue in 0..1
    Vector3 auxVector;  // carried from the import
    std::int32_t auxValue1 = 0;
    std::int32_t auxValue2 = 0;
    bool operator==(const MeshMaterial&) const = default;
};

struct MeshBone {
    std::int32_t parent = -1;
    std::int32_t firstChild = -1;
    std::int32_t nextSibling = -1;
    Vector3 start;       // pivot in model space
    Vector3 end;         // tip: the bone's +Z points from start to end
    Vector3 roll;        // the bone's +Y points toward it
    Matrix worldToBone;  // computed on read from start, end, roll
    Matrix boneToWorld;  // its inverse
    std::vector<std::int32_t> attachedPositions;
    std::int32_t nameHash = 0;  // as stored; tracks are matched by it
    std::string name;
    std::int32_t index = 0;  // as stored
    bool operator==(const MeshBone&) const = default;
};

struct MaterialBatch {
    std::int32_t materialIndex = 0;
    std::vector<std::int32_t> faceIndices;
    bool operator==(const MaterialBatch&) const = default;
};

struct TextureGroup {
    std::int32_t textureIndex = -1;  // -1: drawn untextured
    std::vector<MaterialBatch> batches;
    bool operator==(const TextureGroup&) const = default;
};

struct SkeletalMesh {
    std::vector<Vector3> positions;
    std::vector<Vector3> normals;
    std::vector<MeshFace> faces;
    std::vector<MeshMaterial> materials;
    std::vector<Texture> textures;
    std::vector<MeshBone> bones;                             // pre-order; bone 0 is the root
    std::vector<std::vector<std::int32_t>> positionNormals;  // per position, its normals
    std::map<std::int32_t, std::string> importMap;           // bone-name hash to name; import only
    std::vector<TextureGroup> renderGroups;
    std::int32_t nameHash = 0;  // of the path it was read from
};

// Computes worldToBone and boneToWorld of a bone from its start, end and roll points.
void computeBoneFrame(MeshBone& bone);

}  // namespace qx
