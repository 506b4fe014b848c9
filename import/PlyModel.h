#pragma once
// A character model as the A:M animation package exports it in its binary ".ply" format (its
// own format, unrelated to the Stanford polygon files): surfaces, images, positions, normals,
// four-cornered patches and a bone tree. Held in memory only between reading and conversion to a
// SkeletalMesh; values the program has no use for are kept as read so that they can be carried.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "math/Matrix.h"
#include "math/Vector3.h"

namespace qx {

struct PlyHeader {
    char magic[4] = {};  // "PLY" and a 0 byte
    std::int32_t version = 0;
};

struct PlySurface {
    Vector3 color;  // red, green, blue: the file's bytes / 255
    std::int32_t value1 = 0;
    Vector3 color2;           // likewise
    std::int32_t value2 = 0;  // the 4 bytes as read
    std::int32_t value3 = 0;
    std::int32_t value4 = 0;
    std::int32_t value5 = 0;
    std::int32_t value6 = 0;
    std::int32_t value7 = 0;
    std::int32_t value8 = 0;  // the 4 bytes as read
    std::int32_t value9 = 0;  // the 4 bytes as read
};

struct PlyImage {
    std::string name;  // an image file name
    std::int16_t word1 = 0;
    std::int16_t word2 = 0;
};

struct PlyMapping {
    std::int32_t imageIndex = 0;
    std::int32_t value1 = 0;
    std::int32_t value2 = 0;
    std::int32_t value3 = 0;
    std::uint8_t byte1 = 0;
    std::uint8_t byte2 = 0;
    // (u, v) of corners 0-3. v is flipped (1 - v) on reading: the exporter counts it from the
    // top of the image, the renderer from the bottom.
    float uv[4][2] = {};
};

struct PlyPatch {
    std::int32_t surfaceIndex = 0;
    std::int32_t positionIndex[4] = {};  // checked against the positions on reading
    std::int32_t normalIndex[4] = {};    // as read
    std::vector<PlyMapping> mappings;
};

// A node of the bone tree. A bone owns its first child and its next sibling; the destructor
// takes the tree apart without recursion, so that a hostile file's chain of a hundred thousand
// bones cannot exhaust the stack when the model is destroyed.
struct PlyBone {
    PlyBone() = default;
    PlyBone(const PlyBone&) = delete;
    PlyBone& operator=(const PlyBone&) = delete;
    ~PlyBone();

    PlyBone* parent = nullptr;  // none for the root
    std::unique_ptr<PlyBone> firstChild;
    std::unique_ptr<PlyBone> nextSibling;
    Vector3 start;
    Vector3 end;
    Vector3 roll;
    Matrix worldToBone;                           // computed on reading from start, end and roll
    Matrix boneToWorld;                           // its inverse
    std::vector<std::int32_t> attachedPositions;  // as read
    std::int32_t nameHash = 0;                    // nameHash(name)
    std::string name;
    std::int32_t index = 0;  // order of reading from 0, which is pre-order
};

class PlyModel {
public:
    PlyHeader header;
    std::vector<PlySurface> surfaces;
    std::vector<PlyImage> images;
    std::vector<Vector3> positions;
    std::vector<Vector3> normals;
    std::vector<PlyPatch> patches;
    // Per position, the distinct normal indices the patches use with it, in order of first use.
    std::vector<std::vector<std::int32_t>> positionNormals;
    std::unique_ptr<PlyBone> rootBone;
    std::int32_t boneCount = 0;
    // Bone name hash to bone name; a later bone with the same hash replaces the name.
    std::map<std::int32_t, std::string> boneNames;
};

// A bone of the tree with its links as pre-order numbers: those of its parent,
// first child and next sibling, -1 where there is none.
struct PreOrderBone {
    const PlyBone* bone = nullptr;
    std::int32_t parent = -1;
    std::int32_t firstChild = -1;
    std::int32_t nextSibling = -1;
};

// The bones of the tree in pre-order (a bone, its first child's subtree, then its next
// sibling's), numbered from 0 with the root. That is reading order, so for a model the reader
// built element k is the bone whose index is k. Walks the tree with an explicit stack, never by
// recursion.
std::vector<PreOrderBone> bonesInPreOrder(const PlyModel& model);

}  // namespace qx
