#include "skeletal/SkeletalMeshFile.h"

#include <cstring>
#include <limits>
#include <type_traits>

#include "core/ByteReader.h"
#include "core/ByteSink.h"
#include "core/ReadProblem.h"
#include "core/ReadWith.h"
#include "skeletal/NameHash.h"

namespace qx {

namespace {

constexpr char Magic[4] = {'Q', 'X', 'M', '1'};

// Fixed parts of the records, and the least bytes a record can take in the file: every count
// is checked against the latter before anything is reserved.
constexpr std::size_t VectorBytes = 12;
constexpr std::size_t IndexBytes = 4;
constexpr std::size_t FaceFixedBytes = 4 + 8 * 4;  // materialIndex, then position and normal per corner
constexpr std::size_t MinFaceBytes = FaceFixedBytes + 4;
constexpr std::size_t MappingBytes = 4 * 4 + 2 + 8 * 4;
constexpr std::size_t MaterialBytes = 2 * VectorBytes + 2 * 4;
constexpr std::size_t MinTextureBytes = 1 + 2 + 2;
constexpr std::size_t BoneFixedBytes = 5 * 4 + 3 * VectorBytes;
constexpr std::size_t MinBoneBytes = 1 + BoneFixedBytes + 4;
constexpr std::size_t MinGroupBytes = 4 + 4;
constexpr std::size_t MinBatchBytes = 4 + 4;

static_assert(MappingBytes == 50);
static_assert(MaterialBytes == 32);
static_assert(sizeof(Vector3) == VectorBytes && std::is_trivially_copyable_v<Vector3>,
              "vector lists are copied straight from the file bytes");

// A list count: at least 0, and no more elements of minBytes each than the bytes left hold.
// what names the list inside the current element ("mapping"); none for a section's own count.
bool readCount(ByteReader& in, std::int32_t& n, std::size_t minBytes, const char* what, ReadProblem& problem) {
    if (in.count(n, minBytes)) return true;
    FixedRecord rejected;
    if (!in.record(4, rejected)) return problem.truncated();
    const std::int32_t value = rejected.i32();
    const std::string list =
        (what == nullptr ? std::string() : std::string(what) + " ") + "count " + std::to_string(value);
    return value < 0 ? problem.failHere(list + " is negative")
                     : problem.truncatedHere(list + " is more than the file can hold");
}

// A counted list of int32 inside the current element ("normal" for a position's normals).
bool readIndexList(ByteReader& in, std::vector<std::int32_t>& list, const char* what, ReadProblem& problem) {
    std::int32_t n = 0;
    return readCount(in, n, IndexBytes, what, problem) && in.list(list, static_cast<std::size_t>(n));
}

bool readVectors(ByteReader& in, std::vector<Vector3>& list, ReadProblem& problem) {
    std::int32_t n = 0;
    if (!readCount(in, n, VectorBytes, nullptr, problem)) return false;
    return in.list(list, static_cast<std::size_t>(n)) || problem.truncated();
}

// A section's counted list, each element read by readElement and named element in a problem
// ("face 12"). At most maxCount elements, where a small record stands for a large element.
// Filled as it is read rather than resized first: each element is then written once, while its
// memory is at hand, and a file that ends early has not had its elements made for nothing.
template <typename T>
bool readList(ByteReader& in, std::vector<T>& list, std::size_t minBytes, const char* element, ReadProblem& problem,
              bool (*readElement)(ByteReader&, T&, ReadProblem&),
              std::int32_t maxCount = std::numeric_limits<std::int32_t>::max()) {
    std::int32_t n = 0;
    if (!readCount(in, n, minBytes, nullptr, problem)) return false;
    if (n > maxCount)
        return problem.failHere("count " + std::to_string(n) + " is more than the " + std::to_string(maxCount) +
                                " a mesh may have");
    list.reserve(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        problem.at(element, i);
        if (!readElement(in, list.emplace_back(), problem)) return false;
    }
    return true;
}

bool readPositionNormals(ByteReader& in, std::vector<std::int32_t>& normals, ReadProblem& problem) {
    return readIndexList(in, normals, "normal", problem);
}

// The bulk of a real file: each face is one fixed record, then its mappings as one more.
bool readFace(ByteReader& in, MeshFace& face, ReadProblem& problem) {
    FixedRecord fixed, mappings;
    std::int32_t m = 0;
    if (!in.record(FaceFixedBytes, fixed)) return problem.truncated();
    if (!readCount(in, m, MappingBytes, "mapping", problem)) return false;
    in.record(static_cast<std::size_t>(m) * MappingBytes, mappings);  // the count vouches for the bytes
    face.materialIndex = fixed.i32();
    for (int c = 0; c < 4; ++c) {
        face.positionIndex[c] = fixed.i32();
        face.normalIndex[c] = fixed.i32();
    }
    face.mappings.resize(static_cast<std::size_t>(m));
    for (FaceMapping& mapping : face.mappings) {
        mapping.textureIndex = mappings.i32();
        mapping.auxValue1 = mappings.i32();
        mapping.auxValue2 = mappings.i32();
        mapping.auxValue3 = mappings.i32();
        mapping.auxByte1 = mappings.u8();
        mapping.auxByte2 = mappings.u8();
        mappings.bytes(mapping.uv, sizeof mapping.uv);
    }
    return true;
}

bool readMaterial(ByteReader& in, MeshMaterial& material, ReadProblem& problem) {
    FixedRecord record;
    if (!in.record(MaterialBytes, record)) return problem.truncated();
    material.color = record.vector3();
    material.auxVector = record.vector3();
    material.auxValue1 = record.i32();
    material.auxValue2 = record.i32();
    return true;
}

bool readTexture(ByteReader& in, Texture& texture, ReadProblem& problem) {
    if (!in.cString(texture.name) || !in.u16(texture.auxWord1) || !in.u16(texture.auxWord2)) return problem.truncated();
    return true;
}

bool readBone(ByteReader& in, MeshBone& bone, ReadProblem& problem) {
    FixedRecord record;
    if (!in.cString(bone.name) || !in.record(BoneFixedBytes, record)) return problem.truncated();
    // File order differs from the record's member order.
    bone.nameHash = record.i32();
    bone.index = record.i32();
    bone.parent = record.i32();
    bone.nextSibling = record.i32();
    bone.firstChild = record.i32();
    bone.start = record.vector3();
    bone.end = record.vector3();
    bone.roll = record.vector3();
    computeBoneFrame(bone);
    return readIndexList(in, bone.attachedPositions, "attached position", problem);
}

bool readGroup(ByteReader& in, TextureGroup& group, ReadProblem& problem) {
    std::int32_t batchCount = 0;
    if (!in.i32(group.textureIndex)) return problem.truncated();
    if (!readCount(in, batchCount, MinBatchBytes, "batch", problem)) return false;
    group.batches.resize(static_cast<std::size_t>(batchCount));
    for (std::int32_t b = 0; b < batchCount; ++b) {
        problem.atPart("batch", b);
        MaterialBatch& batch = group.batches[static_cast<std::size_t>(b)];
        if (!in.i32(batch.materialIndex)) return problem.truncated();
        if (!readIndexList(in, batch.faceIndices, "face index", problem)) return false;
    }
    return true;
}

// Bone walks (posing, skinning, the viewer's tree) follow these links, so a file whose links
// leave the list, loop, or reach a bone twice (which makes a walk revisit whole subtrees,
// exponentially often in the worst case) is refused.
bool checkBoneLinks(const std::vector<MeshBone>& list, ReadProblem& problem) {
    // The links belong to the whole list: a problem names the bone alone.
    problem.enter("");
    const auto boneProblem = [&problem](std::int32_t bone, const std::string& text) {
        problem.at("bone", bone);
        return problem.failHere(text);
    };
    const auto n = static_cast<std::int32_t>(list.size());
    const auto inList = [n](std::int32_t link) { return link >= -1 && link < n; };
    for (std::int32_t b = 0; b < n; ++b) {
        const MeshBone& bone = list[static_cast<std::size_t>(b)];
        struct Link {
            const char* name;
            std::int32_t value;
        };
        for (const Link& link :
             {Link{"parent", bone.parent}, Link{"firstChild", bone.firstChild}, Link{"nextSibling", bone.nextSibling}})
            if (!inList(link.value))
                return boneProblem(
                    b, std::string(link.name) + " " + std::to_string(link.value) + " outside the bone list");
    }

    // Parent chains: 0 not yet walked, 1 on the chain being walked, 2 known to reach -1.
    std::vector<std::uint8_t> state(list.size(), 0);
    for (std::int32_t b = 0; b < n; ++b) {
        std::int32_t j = b;
        while (j != -1 && state[static_cast<std::size_t>(j)] == 0) {
            state[static_cast<std::size_t>(j)] = 1;
            j = list[static_cast<std::size_t>(j)].parent;
        }
        if (j != -1 && state[static_cast<std::size_t>(j)] == 1)
            return boneProblem(j, "its parent chain comes back to it");
        for (j = b; j != -1 && state[static_cast<std::size_t>(j)] == 1;) {
            state[static_cast<std::size_t>(j)] = 2;
            j = list[static_cast<std::size_t>(j)].parent;
        }
    }

    // Child and sibling links: once no bone is reached twice, they form trees and plain cycles;
    // walking from every bone that nothing reaches covers the trees, and whatever is left lies
    // on a cycle or hangs below one.
    std::vector<std::uint8_t> reached(list.size(), 0);
    for (std::int32_t b = 0; b < n; ++b) {
        const MeshBone& bone = list[static_cast<std::size_t>(b)];
        for (const std::int32_t link : {bone.firstChild, bone.nextSibling}) {
            if (link == -1) continue;
            if (reached[static_cast<std::size_t>(link)] != 0)
                return boneProblem(link, "reached twice through child and sibling links");
            reached[static_cast<std::size_t>(link)] = 1;
        }
    }
    std::vector<std::uint8_t> walked(list.size(), 0);
    std::vector<std::int32_t> pending;
    for (std::int32_t b = 0; b < n; ++b) {
        if (reached[static_cast<std::size_t>(b)] != 0) continue;
        pending.push_back(b);
        while (!pending.empty()) {
            const std::int32_t j = pending.back();
            pending.pop_back();
            walked[static_cast<std::size_t>(j)] = 1;
            const MeshBone& bone = list[static_cast<std::size_t>(j)];
            if (bone.firstChild != -1) pending.push_back(bone.firstChild);
            if (bone.nextSibling != -1) pending.push_back(bone.nextSibling);
        }
    }
    for (std::int32_t b = 0; b < n; ++b)
        if (walked[static_cast<std::size_t>(b)] == 0) return boneProblem(b, "child and sibling links form a cycle");
    return true;
}

// Reads the sections in file order, saying where it stands so that a failure can say where the
// file went wrong. Every list is reserved or sized only after its count passed readCount.
bool readMesh(ByteReader& in, SkeletalMesh& mesh, ReadProblem& problem) {
    char magic[4] = {};
    if (!in.bytes(magic, 4) || std::memcmp(magic, Magic, 4) != 0)
        return problem.fail("not a skeletal mesh file (bad magic)");

    problem.enter("positions");
    if (!readVectors(in, mesh.positions, problem)) return false;
    problem.enter("normals");
    if (!readVectors(in, mesh.normals, problem)) return false;
    problem.enter("positionNormals");
    if (!readList(in, mesh.positionNormals, IndexBytes, "position", problem, readPositionNormals)) return false;
    problem.enter("faces");
    if (!readList(in, mesh.faces, MinFaceBytes, "face", problem, readFace)) return false;
    problem.enter("materials");
    if (!readList(in, mesh.materials, MaterialBytes, "material", problem, readMaterial)) return false;
    problem.enter("textures");
    if (!readList(in, mesh.textures, MinTextureBytes, "texture", problem, readTexture, MaxMeshTextures)) return false;
    problem.enter("bones");
    if (!readList(in, mesh.bones, MinBoneBytes, "bone", problem, readBone)) return false;
    problem.enter("renderGroups");
    if (!readList(in, mesh.renderGroups, MinGroupBytes, "group", problem, readGroup)) return false;
    return checkBoneLinks(mesh.bones, problem);
}

}  // namespace

std::unique_ptr<SkeletalMesh> parseSkeletalMesh(const std::uint8_t* data, std::size_t size, std::string* reason) {
    return readWith(ByteReader(data, size), readMesh, reason);
}

std::unique_ptr<SkeletalMesh> readSkeletalMesh(const std::string& path, std::string* reason, ImageLoading mode) {
    auto mesh = readFileWith(path, readMesh, reason);
    if (!mesh) return nullptr;
    mesh->nameHash = nameHash(path);
    loadMeshTextures(*mesh, path, mode);
    return mesh;
}

void loadMeshTextures(SkeletalMesh& mesh, const std::string& meshPath, ImageLoading mode) {
    if (mode == ImageLoading::Skip) return;
    for (Texture& texture : mesh.textures) loadTextureImage(texture, resolveImagePath(texture.name, meshPath), mode);
}

std::vector<std::uint8_t> encodeSkeletalMesh(const SkeletalMesh& mesh) {
    ByteSink out;
    out.bytes(Magic, 4);
    out.count(mesh.positions.size());
    out.bytes(mesh.positions.data(), mesh.positions.size() * VectorBytes);
    out.count(mesh.normals.size());
    out.bytes(mesh.normals.data(), mesh.normals.size() * VectorBytes);
    out.count(mesh.positionNormals.size());
    for (const auto& normals : mesh.positionNormals) {
        out.count(normals.size());
        out.bytes(normals.data(), normals.size() * IndexBytes);
    }
    out.count(mesh.faces.size());
    for (const MeshFace& face : mesh.faces) {
        out.i32(face.materialIndex);
        for (int c = 0; c < 4; ++c) {
            out.i32(face.positionIndex[c]);
            out.i32(face.normalIndex[c]);
        }
        out.count(face.mappings.size());
        for (const FaceMapping& mapping : face.mappings) {
            out.i32(mapping.textureIndex);
            out.i32(mapping.auxValue1);
            out.i32(mapping.auxValue2);
            out.i32(mapping.auxValue3);
            out.u8(mapping.auxByte1);
            out.u8(mapping.auxByte2);
            for (const auto& uv : mapping.uv) {
                out.f32(uv[0]);
                out.f32(uv[1]);
            }
        }
    }
    out.count(mesh.materials.size());
    for (const MeshMaterial& material : mesh.materials) {
        out.vector3(material.color);
        out.vector3(material.auxVector);
        out.i32(material.auxValue1);
        out.i32(material.auxValue2);
    }
    out.count(mesh.textures.size());
    for (const Texture& texture : mesh.textures) {
        out.cString(texture.name);
        out.u16(texture.auxWord1);
        out.u16(texture.auxWord2);
    }
    out.count(mesh.bones.size());
    for (const MeshBone& bone : mesh.bones) {
        out.cString(bone.name);
        out.i32(bone.nameHash);
        out.i32(bone.index);
        out.i32(bone.parent);
        out.i32(bone.nextSibling);
        out.i32(bone.firstChild);
        out.vector3(bone.start);
        out.vector3(bone.end);
        out.vector3(bone.roll);
        out.count(bone.attachedPositions.size());
        out.bytes(bone.attachedPositions.data(), bone.attachedPositions.size() * IndexBytes);
    }
    out.count(mesh.renderGroups.size());
    for (const TextureGroup& group : mesh.renderGroups) {
        out.i32(group.textureIndex);
        out.count(group.batches.size());
        for (const MaterialBatch& batch : group.batches) {
            out.i32(batch.materialIndex);
            out.count(batch.faceIndices.size());
            out.bytes(batch.faceIndices.data(), batch.faceIndices.size() * IndexBytes);
        }
    }
    return out.take();
}

bool writeSkeletalMesh(const std::string& path, const SkeletalMesh& mesh, std::string* reason) {
    return writeFileAtomically(path, encodeSkeletalMesh(mesh), reason);
}

}  // namespace qx
