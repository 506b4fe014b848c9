#include "skeletal/SkeletalMeshFile.h"

#include <cstring>
#include <type_traits>

#include "core/ByteReader.h"
#include "core/ByteSink.h"
#include "core/FileBytes.h"
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

template <typename T>
T load(const std::uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

Vector3 loadVector(const std::uint8_t* p) { return {load<float>(p), load<float>(p + 4), load<float>(p + 8)}; }

// Walks the sections in file order. The position (section, element and sub-element being read)
// is kept so that a failure can say where the file went wrong.
class MeshParser {
public:
    MeshParser(const std::uint8_t* data, std::size_t size) : in_(data, size) {}

    std::unique_ptr<SkeletalMesh> parse(std::string* reason) {
        char magic[4] = {};
        if (!in_.bytes(magic, 4) || std::memcmp(magic, Magic, 4) != 0) {
            setReason(reason, "not a skeletal mesh file (bad magic)");
            return nullptr;
        }
        auto mesh = std::make_unique<SkeletalMesh>();
        if (!vectors("positions", mesh->positions) || !vectors("normals", mesh->normals) ||
            !positionNormals(mesh->positionNormals) || !faces(mesh->faces) || !materials(mesh->materials) ||
            !textures(mesh->textures) || !bones(mesh->bones) || !renderGroups(mesh->renderGroups) ||
            !checkBoneLinks(mesh->bones)) {
            setReason(reason, problem_);
            return nullptr;
        }
        return mesh;
    }

private:
    void enter(const char* section) {
        section_ = section;
        element_ = nullptr;
        subElement_ = nullptr;
    }
    void at(const char* element, std::int32_t index) {
        element_ = element;
        index_ = index;
        subElement_ = nullptr;
    }
    void atSub(const char* subElement, std::int32_t subIndex) {
        subElement_ = subElement;
        subIndex_ = subIndex;
    }

    // "faces", or "faces (face 12)", or "renderGroups (group 1 batch 0)".
    std::string place() const {
        std::string text = section_;
        if (element_ == nullptr) return text;
        text += std::string(" (") + element_ + " " + std::to_string(index_);
        if (subElement_ != nullptr) text += std::string(" ") + subElement_ + " " + std::to_string(subIndex_);
        return text + ")";
    }

    bool truncated() {
        problem_ = "truncated in " + place();
        return false;
    }

    // A list count: at least 0, and no more elements of minBytes each than the bytes left hold.
    // what names the list inside the current element ("mapping"); none for a section's own count.
    bool count(std::int32_t& n, std::size_t minBytes, const char* what = nullptr) {
        if (in_.remaining() < 4) return truncated();
        if (in_.count(n, minBytes)) return true;
        const auto value = load<std::int32_t>(in_.current());
        const std::string list = (what == nullptr ? std::string() : std::string(what) + " ") + "count " +
                                 std::to_string(value);
        problem_ = value < 0 ? place() + ": " + list + " is negative"
                             : "truncated in " + place() + ": " + list + " is more than the file can hold";
        return false;
    }

    // A counted list of int32 inside the current element. Most lists of a file are these short
    // ones (a position's normals), so the count is checked here in one step and the bytes copied
    // straight; only a bad count goes through count() for its reason.
    bool indexList(std::vector<std::int32_t>& list, const char* what) {
        if (in_.remaining() >= 4) {
            const auto k = load<std::int32_t>(in_.current());
            if (k >= 0 && static_cast<std::size_t>(k) * IndexBytes <= in_.remaining() - 4) {
                list.resize(static_cast<std::size_t>(k));
                if (k > 0) std::memcpy(list.data(), in_.current() + 4, list.size() * IndexBytes);
                return in_.skip(4 + list.size() * IndexBytes);
            }
        }
        std::int32_t rejected = 0;
        return count(rejected, IndexBytes, what);
    }

    bool vectors(const char* section, std::vector<Vector3>& list) {
        enter(section);
        std::int32_t n = 0;
        if (!count(n, VectorBytes)) return false;
        list.resize(static_cast<std::size_t>(n));
        return in_.bytes(list.data(), list.size() * VectorBytes) || truncated();
    }

    bool positionNormals(std::vector<std::vector<std::int32_t>>& lists) {
        enter("positionNormals");
        std::int32_t n = 0;
        if (!count(n, IndexBytes)) return false;
        lists.reserve(static_cast<std::size_t>(n));
        for (std::int32_t p = 0; p < n; ++p) {
            at("position", p);
            if (!indexList(lists.emplace_back(), "normal")) return false;
        }
        return true;
    }

    // The bulk of a real file: faces are read with one bounds check each, the mapping count
    // included; only a failure goes back through count() for its reason.
    bool faces(std::vector<MeshFace>& list) {
        enter("faces");
        std::int32_t n = 0;
        if (!count(n, MinFaceBytes)) return false;
        // Filled as it is read rather than resized first: each face is then written once, while
        // its memory is at hand.
        list.reserve(static_cast<std::size_t>(n));
        for (std::int32_t f = 0; f < n; ++f) {
            at("face", f);
            if (in_.remaining() < FaceFixedBytes) return truncated();
            const std::uint8_t* p = in_.current();
            const std::size_t left = in_.remaining() - FaceFixedBytes;
            const std::int32_t m = left >= 4 ? load<std::int32_t>(p + FaceFixedBytes) : -1;
            if (m < 0 || static_cast<std::size_t>(m) * MappingBytes > left - 4) {
                in_.skip(FaceFixedBytes);
                std::int32_t ignored = 0;
                return count(ignored, MappingBytes, "mapping");
            }
            MeshFace& face = list.emplace_back();
            face.materialIndex = load<std::int32_t>(p);
            for (int c = 0; c < 4; ++c) {
                face.positionIndex[c] = load<std::int32_t>(p + 4 + 8 * c);
                face.normalIndex[c] = load<std::int32_t>(p + 8 + 8 * c);
            }
            face.mappings.reserve(static_cast<std::size_t>(m));
            const std::uint8_t* q = p + FaceFixedBytes + 4;
            for (std::int32_t k = 0; k < m; ++k, q += MappingBytes) {
                FaceMapping& mapping = face.mappings.emplace_back();
                mapping.textureIndex = load<std::int32_t>(q);
                mapping.auxValue1 = load<std::int32_t>(q + 4);
                mapping.auxValue2 = load<std::int32_t>(q + 8);
                mapping.auxValue3 = load<std::int32_t>(q + 12);
                mapping.auxByte1 = q[16];
                mapping.auxByte2 = q[17];
                std::memcpy(mapping.uv, q + 18, sizeof mapping.uv);
            }
            in_.skip(FaceFixedBytes + 4 + face.mappings.size() * MappingBytes);
        }
        return true;
    }

    bool materials(std::vector<MeshMaterial>& list) {
        enter("materials");
        std::int32_t n = 0;
        if (!count(n, MaterialBytes)) return false;
        list.resize(static_cast<std::size_t>(n));
        const std::uint8_t* p = in_.current();
        for (MeshMaterial& material : list) {
            material.color = loadVector(p);
            material.auxVector = loadVector(p + 12);
            material.auxValue1 = load<std::int32_t>(p + 24);
            material.auxValue2 = load<std::int32_t>(p + 28);
            p += MaterialBytes;
        }
        in_.skip(list.size() * MaterialBytes);
        return true;
    }

    bool textures(std::vector<Texture>& list) {
        enter("textures");
        std::int32_t n = 0;
        if (!count(n, MinTextureBytes)) return false;
        if (n > MaxMeshTextures) {
            problem_ = "textures: count " + std::to_string(n) + " is more than the " +
                       std::to_string(MaxMeshTextures) + " a mesh may have";
            return false;
        }
        list.resize(static_cast<std::size_t>(n));
        for (std::int32_t t = 0; t < n; ++t) {
            at("texture", t);
            Texture& texture = list[static_cast<std::size_t>(t)];
            if (!in_.cString(texture.name) || !in_.u16(texture.auxWord1) || !in_.u16(texture.auxWord2))
                return truncated();
        }
        return true;
    }

    bool bones(std::vector<MeshBone>& list) {
        enter("bones");
        std::int32_t n = 0;
        if (!count(n, MinBoneBytes)) return false;
        list.resize(static_cast<std::size_t>(n));
        for (std::int32_t b = 0; b < n; ++b) {
            at("bone", b);
            MeshBone& bone = list[static_cast<std::size_t>(b)];
            if (!in_.cString(bone.name) || in_.remaining() < BoneFixedBytes) return truncated();
            // File order differs from the record's member order.
            const std::uint8_t* p = in_.current();
            bone.nameHash = load<std::int32_t>(p);
            bone.index = load<std::int32_t>(p + 4);
            bone.parent = load<std::int32_t>(p + 8);
            bone.nextSibling = load<std::int32_t>(p + 12);
            bone.firstChild = load<std::int32_t>(p + 16);
            bone.start = loadVector(p + 20);
            bone.end = loadVector(p + 32);
            bone.roll = loadVector(p + 44);
            in_.skip(BoneFixedBytes);
            computeBoneFrame(bone);
            if (!indexList(bone.attachedPositions, "attached position")) return false;
        }
        return true;
    }

    bool renderGroups(std::vector<TextureGroup>& list) {
        enter("renderGroups");
        std::int32_t n = 0;
        if (!count(n, MinGroupBytes)) return false;
        list.resize(static_cast<std::size_t>(n));
        for (std::int32_t g = 0; g < n; ++g) {
            at("group", g);
            TextureGroup& group = list[static_cast<std::size_t>(g)];
            std::int32_t batchCount = 0;
            if (!in_.i32(group.textureIndex)) return truncated();
            if (!count(batchCount, MinBatchBytes, "batch")) return false;
            group.batches.resize(static_cast<std::size_t>(batchCount));
            for (std::int32_t b = 0; b < batchCount; ++b) {
                atSub("batch", b);
                MaterialBatch& batch = group.batches[static_cast<std::size_t>(b)];
                if (!in_.i32(batch.materialIndex)) return truncated();
                if (!indexList(batch.faceIndices, "face index")) return false;
            }
        }
        return true;
    }

    // Bone walks (posing, skinning, the viewer's tree) follow these links, so a file whose
    // links leave the list, loop, or reach a bone twice (which makes a walk revisit whole
    // subtrees, exponentially often in the worst case) is refused.
    bool checkBoneLinks(const std::vector<MeshBone>& list) {
        const auto n = static_cast<std::int32_t>(list.size());
        const auto inList = [n](std::int32_t link) { return link >= -1 && link < n; };
        for (std::int32_t b = 0; b < n; ++b) {
            const MeshBone& bone = list[static_cast<std::size_t>(b)];
            struct Link {
                const char* name;
                std::int32_t value;
            };
            for (const Link& link : {Link{"parent", bone.parent}, Link{"firstChild", bone.firstChild},
                                     Link{"nextSibling", bone.nextSibling}})
                if (!inList(link.value))
                    return boneProblem(b, std::string(link.name) + " " + std::to_string(link.value) +
                                              " outside the bone list");
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

        // Child and sibling links: once no bone is reached twice, they form trees and plain
        // cycles; walking from every bone that nothing reaches covers the trees, and whatever
        // is left lies on a cycle or hangs below one.
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

    bool boneProblem(std::int32_t bone, const std::string& text) {
        problem_ = "bone " + std::to_string(bone) + ": " + text;
        return false;
    }

    ByteReader in_;
    const char* section_ = "";
    const char* element_ = nullptr;
    std::int32_t index_ = 0;
    const char* subElement_ = nullptr;
    std::int32_t subIndex_ = 0;
    std::string problem_;
};

}  // namespace

std::unique_ptr<SkeletalMesh> parseSkeletalMesh(const std::uint8_t* data, std::size_t size, std::string* reason) {
    return MeshParser(data, size).parse(reason);
}

std::unique_ptr<SkeletalMesh> readSkeletalMesh(const std::string& path, std::string* reason, ImageLoading mode) {
    FileBytes bytes;
    if (!readFileBytes(path, bytes, reason)) return nullptr;
    auto mesh = parseSkeletalMesh(bytes.data(), bytes.size(), reason);
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
