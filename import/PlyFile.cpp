#include "import/PlyFile.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "core/ByteReader.h"
#include "core/FileBytes.h"
#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMeshFile.h"

namespace qx {

namespace {

constexpr std::int32_t SupportedVersion = 2;
constexpr std::size_t SurfaceBytes = 42;
// An empty name's 0 byte and the two 16-bit words.
constexpr std::size_t MinImageBytes = 1 + 2 + 2;
constexpr std::size_t VectorBytes = 12;
// Surface index, four position and four normal indices, and the mapping count.
constexpr std::size_t MinPatchBytes = 4 + 16 + 16 + 4;
constexpr std::size_t MappingBytes = 50;
// The two flags, an empty name's 0 byte, start, end and roll, and the attached count.
constexpr std::size_t MinBoneBytes = 2 + 1 + 36 + 4;

struct Section {
    int number;
    const char* name;
    const char* element;
};

constexpr Section Surfaces{2, "surfaces", "surface"};
constexpr Section Images{3, "images", "image"};
constexpr Section Positions{4, "positions", "position"};
constexpr Section Normals{5, "normals", "normal"};
constexpr Section Patches{6, "patches", "patch"};
constexpr Section Bones{7, "bones", "bone"};

std::string truncatedIn(const Section& section) {
    return "truncated in section " + std::to_string(section.number) + " (" + section.name + ")";
}

// A section's element count: present, at least minimum, and small enough for the remaining bytes
// to hold that many of the smallest element, so nothing is reserved for elements not there.
bool readCount(ByteReader& in, const Section& section, std::int32_t minimum, std::size_t minElementBytes,
               std::int32_t& count, std::string& problem) {
    if (!in.i32(count)) {
        problem = truncatedIn(section);
        return false;
    }
    if (count < minimum) {
        problem = std::string(section.element) + " count " + std::to_string(count) + " is below " +
                  std::to_string(minimum);
        return false;
    }
    if (!in.fits(static_cast<std::size_t>(count), minElementBytes)) {
        problem = truncatedIn(section) + ": " + std::to_string(count) + " announced";
        return false;
    }
    return true;
}

Vector3 colorFromBytes(const std::uint8_t* rgb) {
    return {rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f};
}

bool readSurface(ByteReader& in, PlySurface& s) {
    std::uint8_t rgb[3], rgb2[3];
    // The count was checked against the remaining bytes, so these reads cannot fail; they are
    // still checked so that the function stands on its own.
    const bool ok = in.bytes(rgb, 3) && in.i32(s.value1) && in.bytes(rgb2, 3) && in.i32(s.value2) &&
                    in.i32(s.value3) && in.i32(s.value4) && in.i32(s.value5) && in.i32(s.value6) &&
                    in.i32(s.value7) && in.i32(s.value8) && in.i32(s.value9);
    if (!ok) return false;
    s.color = colorFromBytes(rgb);
    s.color2 = colorFromBytes(rgb2);
    return true;
}

bool readMapping(ByteReader& in, PlyMapping& m) {
    if (!(in.i32(m.imageIndex) && in.i32(m.value1) && in.i32(m.value2) && in.i32(m.value3) && in.u8(m.byte1) &&
          in.u8(m.byte2)))
        return false;
    for (auto& corner : m.uv) {
        if (!in.f32(corner[0]) || !in.f32(corner[1])) return false;
        corner[1] = 1.0f - corner[1];
    }
    return true;
}

// Builds positionNormals: each position's distinct normals in order of first use. A position
// holds a handful of normals in a real model, and a scan of its short list is the fastest check;
// a hostile file could pile thousands on one position and make the scans quadratic, so a list
// that grows long is indexed by a hash set from then on.
class NormalLists {
public:
    explicit NormalLists(std::vector<std::vector<std::int32_t>>& lists) : lists_(lists) {}

    void add(std::int32_t position, std::int32_t normal) {
        std::vector<std::int32_t>& list = lists_[static_cast<std::size_t>(position)];
        const bool listed = list.size() < ScanLimit ? std::find(list.begin(), list.end(), normal) != list.end()
                                                    : indexed_.contains(pair(position, normal));
        if (listed) return;
        list.push_back(normal);
        if (list.size() == ScanLimit) {
            for (const std::int32_t n : list) indexed_.insert(pair(position, n));
        } else if (list.size() > ScanLimit) {
            indexed_.insert(pair(position, normal));
        }
    }

private:
    static constexpr std::size_t ScanLimit = 16;

    static std::uint64_t pair(std::int32_t position, std::int32_t normal) {
        return (static_cast<std::uint64_t>(position) << 32) | static_cast<std::uint32_t>(normal);
    }

    std::vector<std::vector<std::int32_t>>& lists_;
    std::unordered_set<std::uint64_t> indexed_;
};

class PlyParser {
public:
    PlyParser(const std::uint8_t* data, std::size_t size) : in_(data, size) {}

    std::unique_ptr<PlyModel> parse(std::string& problem) {
        auto model = std::make_unique<PlyModel>();
        if (!header(*model, problem) || !surfaces(*model, problem) || !images(*model, problem) ||
            !vectors(Positions, model->positions, problem) || !vectors(Normals, model->normals, problem) ||
            !patches(*model, problem) || !bones(*model, problem))
            return nullptr;
        return model;
    }

private:
    bool header(PlyModel& model, std::string& problem) {
        if (!in_.bytes(model.header.magic, 3) || std::memcmp(model.header.magic, "PLY", 3) != 0) {
            problem = "not an A:M PLY file (bad header)";
            return false;
        }
        if (!in_.i32(model.header.version)) {
            problem = "truncated in section 1 (header)";
            return false;
        }
        if (model.header.version != SupportedVersion) {
            problem = "PLY version " + std::to_string(model.header.version) + " is not supported (only 2)";
            return false;
        }
        return true;
    }

    bool surfaces(PlyModel& model, std::string& problem) {
        std::int32_t count = 0;
        if (!readCount(in_, Surfaces, 1, SurfaceBytes, count, problem)) return false;
        model.surfaces.resize(static_cast<std::size_t>(count));
        for (PlySurface& surface : model.surfaces) {
            if (!readSurface(in_, surface)) {
                problem = truncatedIn(Surfaces);
                return false;
            }
        }
        return true;
    }

    bool images(PlyModel& model, std::string& problem) {
        std::int32_t count = 0;
        if (!readCount(in_, Images, 0, MinImageBytes, count, problem)) return false;
        // Each image becomes a texture of the converted mesh, over a kilobyte in memory for five
        // bytes of file; past the mesh file's own limit the result could not be read back anyway.
        if (count > MaxMeshTextures) {
            problem = "image count " + std::to_string(count) + " is above the " + std::to_string(MaxMeshTextures) +
                      " a skeletal mesh holds";
            return false;
        }
        model.images.resize(static_cast<std::size_t>(count));
        for (PlyImage& image : model.images) {
            if (!in_.cString(image.name) || !in_.i16(image.word1) || !in_.i16(image.word2)) {
                problem = truncatedIn(Images);
                return false;
            }
        }
        return true;
    }

    bool vectors(const Section& section, std::vector<Vector3>& out, std::string& problem) {
        std::int32_t count = 0;
        if (!readCount(in_, section, 1, VectorBytes, count, problem)) return false;
        out.resize(static_cast<std::size_t>(count));
        for (Vector3& v : out) in_.vector3(v);  // fits: checked with the count
        return true;
    }

    bool patches(PlyModel& model, std::string& problem) {
        std::int32_t count = 0;
        if (!readCount(in_, Patches, 1, MinPatchBytes, count, problem)) return false;
        model.patches.resize(static_cast<std::size_t>(count));
        model.positionNormals.resize(model.positions.size());
        NormalLists lists(model.positionNormals);
        for (std::int32_t p = 0; p < count; ++p) {
            PlyPatch& patch = model.patches[static_cast<std::size_t>(p)];
            if (!patchRecord(patch, problem)) {
                problem = "patch " + std::to_string(p) + ": " + problem;
                return false;
            }
            for (int k = 0; k < 4; ++k) {
                const std::int32_t position = patch.positionIndex[k];
                if (position < 0 || static_cast<std::size_t>(position) >= model.positions.size()) {
                    problem = "patch " + std::to_string(p) + ": position index " + std::to_string(position) +
                              " outside the " + std::to_string(model.positions.size()) + " positions";
                    return false;
                }
                lists.add(position, patch.normalIndex[k]);
            }
        }
        return true;
    }

    bool patchRecord(PlyPatch& patch, std::string& problem) {
        bool ok = in_.i32(patch.surfaceIndex);
        for (auto& index : patch.positionIndex) ok = ok && in_.i32(index);
        for (auto& index : patch.normalIndex) ok = ok && in_.i32(index);
        std::int32_t mappingCount = 0;
        if (!ok || !in_.i32(mappingCount)) {
            problem = truncatedIn(Patches);
            return false;
        }
        if (mappingCount < 0 || !in_.fits(static_cast<std::size_t>(mappingCount), MappingBytes)) {
            problem = truncatedIn(Patches) + ": " + std::to_string(mappingCount) + " mappings announced";
            return false;
        }
        patch.mappings.resize(static_cast<std::size_t>(mappingCount));
        for (PlyMapping& mapping : patch.mappings) readMapping(in_, mapping);  // fits: checked above
        return true;
    }

    // The file nests the tree (a bone, its first child's subtree, then its next sibling), which
    // a recursive reader follows naturally; a hostile file could then nest deep enough to exhaust
    // the stack. The bones whose next sibling is still to come wait on an explicit stack instead,
    // innermost last, so the file is read in the same order with no recursion.
    bool bones(PlyModel& model, std::string& problem) {
        std::unique_ptr<PlyBone>* slot = &model.rootBone;
        PlyBone* parent = nullptr;
        std::vector<PlyBone*> siblingPending;
        for (;;) {
            if (!in_.fits(1, MinBoneBytes)) {
                problem = truncatedIn(Bones) + " at bone " + std::to_string(model.boneCount);
                return false;
            }
            auto owned = std::make_unique<PlyBone>();
            PlyBone* bone = owned.get();
            bone->parent = parent;
            *slot = std::move(owned);
            bool hasChild = false, hasSibling = false;
            if (!boneRecord(model, *bone, hasChild, hasSibling, problem)) {
                problem = truncatedIn(Bones) + " at bone " + std::to_string(bone->index) + problem;
                return false;
            }
            if (hasSibling) siblingPending.push_back(bone);
            if (hasChild) {
                slot = &bone->firstChild;
                parent = bone;
                continue;
            }
            if (siblingPending.empty()) return true;
            PlyBone* elder = siblingPending.back();
            siblingPending.pop_back();
            slot = &elder->nextSibling;
            parent = elder->parent;
        }
    }

    bool boneRecord(PlyModel& model, PlyBone& bone, bool& hasChild, bool& hasSibling, std::string& problem) {
        std::uint8_t childFlag = 0, siblingFlag = 0;
        if (!in_.u8(childFlag) || !in_.u8(siblingFlag)) return false;
        hasChild = childFlag != 0;
        hasSibling = siblingFlag != 0;
        bone.index = model.boneCount++;
        if (!in_.cString(bone.name)) return false;
        bone.nameHash = nameHash(bone.name);
        model.boneNames[bone.nameHash] = bone.name;
        if (!in_.vector3(bone.start) || !in_.vector3(bone.end) || !in_.vector3(bone.roll)) return false;
        bone.worldToBone = Matrix::fromBonePoints(bone.start, bone.end, bone.roll);
        bone.boneToWorld = Matrix::rigidInverse(bone.worldToBone);
        std::int32_t attached = 0;
        if (!in_.count(attached, 4)) {
            problem = ": attached position count is negative or more than the file holds";
            return false;
        }
        bone.attachedPositions.resize(static_cast<std::size_t>(attached));
        for (std::int32_t& index : bone.attachedPositions) in_.i32(index);  // fits: checked by count
        return true;
    }

    ByteReader in_;
};

}  // namespace

std::unique_ptr<PlyModel> parsePly(const std::uint8_t* data, std::size_t size, std::string* reason) {
    std::string problem;
    auto model = PlyParser(data, size).parse(problem);
    if (!model) setReason(reason, problem);
    return model;
}

std::unique_ptr<PlyModel> readPly(const std::string& path, std::string* reason) {
    FileBytes bytes;
    if (!readFileBytes(path, bytes, reason)) return nullptr;
    return parsePly(bytes.data(), bytes.size(), reason);
}

}  // namespace qx
