#include "import/PlyFile.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "core/ByteReader.h"
#include "core/ReadProblem.h"
#include "core/ReadWith.h"
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

// The file numbers its sections; a failure names the section by number and name.
struct Section {
    const char* place;
    const char* element;
};

constexpr Section Header{"section 1 (header)", "header"};
constexpr Section Surfaces{"section 2 (surfaces)", "surface"};
constexpr Section Images{"section 3 (images)", "image"};
constexpr Section Positions{"section 4 (positions)", "position"};
constexpr Section Normals{"section 5 (normals)", "normal"};
constexpr Section Patches{"section 6 (patches)", "patch"};
constexpr Section Bones{"section 7 (bones)", "bone"};

Vector3 colorFromBytes(const std::uint8_t* rgb) { return {rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f}; }

bool readSurface(ByteReader& in, PlySurface& s, ReadProblem& problem) {
    std::uint8_t rgb[3], rgb2[3];
    // The count was checked against the remaining bytes, so these reads cannot fail; they are
    // still checked so that the function stands on its own.
    const bool ok = in.bytes(rgb, 3) && in.i32(s.value1) && in.bytes(rgb2, 3) && in.i32(s.value2) && in.i32(s.value3) &&
                    in.i32(s.value4) && in.i32(s.value5) && in.i32(s.value6) && in.i32(s.value7) && in.i32(s.value8) &&
                    in.i32(s.value9);
    if (!ok) return problem.truncated();
    s.color = colorFromBytes(rgb);
    s.color2 = colorFromBytes(rgb2);
    return true;
}

bool readImage(ByteReader& in, PlyImage& image, ReadProblem& problem) {
    if (!in.cString(image.name) || !in.i16(image.word1) || !in.i16(image.word2)) return problem.truncated();
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

// A section's element count: present, at least minimum, and small enough for the remaining bytes
// to hold that many of the smallest element, so nothing is reserved for elements not there.
bool readCount(ByteReader& in, const Section& section, std::int32_t minimum, std::size_t minElementBytes,
               std::int32_t& n, ReadProblem& problem) {
    problem.enter(section.place);
    if (!in.i32(n)) return problem.truncated();
    if (n < minimum)
        return problem.fail(std::string(section.element) + " count " + std::to_string(n) + " is below " +
                            std::to_string(minimum));
    if (!in.fits(static_cast<std::size_t>(n), minElementBytes))
        return problem.truncatedHere(std::to_string(n) + " announced");
    return true;
}

bool readVectors(ByteReader& in, const Section& section, std::vector<Vector3>& out, ReadProblem& problem) {
    std::int32_t n = 0;
    if (!readCount(in, section, 1, VectorBytes, n, problem)) return false;
    return in.list(out, static_cast<std::size_t>(n)) || problem.truncated();
}

bool readPatch(ByteReader& in, PlyPatch& patch, ReadProblem& problem) {
    bool ok = in.i32(patch.surfaceIndex);
    for (auto& index : patch.positionIndex) ok = ok && in.i32(index);
    for (auto& index : patch.normalIndex) ok = ok && in.i32(index);
    std::int32_t mappingCount = 0;
    if (!ok || !in.i32(mappingCount)) return problem.truncated();
    if (mappingCount < 0 || !in.fits(static_cast<std::size_t>(mappingCount), MappingBytes))
        return problem.truncatedHere(std::to_string(mappingCount) + " mappings announced");
    patch.mappings.resize(static_cast<std::size_t>(mappingCount));
    for (PlyMapping& mapping : patch.mappings) readMapping(in, mapping);  // fits: checked above
    return true;
}

// The two flags say whether a child and a next sibling follow in the file.
bool readBone(ByteReader& in, PlyBone& bone, bool& hasChild, bool& hasSibling, ReadProblem& problem) {
    std::uint8_t childFlag = 0, siblingFlag = 0;
    if (!in.u8(childFlag) || !in.u8(siblingFlag) || !in.cString(bone.name)) return problem.truncated();
    hasChild = childFlag != 0;
    hasSibling = siblingFlag != 0;
    bone.nameHash = nameHash(bone.name);
    if (!in.vector3(bone.start) || !in.vector3(bone.end) || !in.vector3(bone.roll)) return problem.truncated();
    bone.worldToBone = Matrix::fromBonePoints(bone.start, bone.end, bone.roll);
    bone.boneToWorld = Matrix::rigidInverse(bone.worldToBone);
    std::int32_t attached = 0;
    if (!in.count(attached, 4))
        return problem.truncatedHere("attached position count is negative or more than the file holds");
    return in.list(bone.attachedPositions, static_cast<std::size_t>(attached)) || problem.truncated();
}

// The file nests the tree (a bone, its first child's subtree, then its next sibling), which a
// recursive reader follows naturally; a hostile file could then nest deep enough to exhaust the
// stack. The bones whose next sibling is still to come wait on an explicit stack instead,
// innermost last, so the file is read in the same order with no recursion.
bool readBones(ByteReader& in, PlyModel& model, ReadProblem& problem) {
    problem.enter(Bones.place);
    std::unique_ptr<PlyBone>* slot = &model.rootBone;
    PlyBone* parent = nullptr;
    std::vector<PlyBone*> siblingPending;
    for (;;) {
        problem.at(Bones.element, model.boneCount, ReadProblem::Naming::After);
        if (!in.fits(1, MinBoneBytes)) return problem.truncated();
        auto owned = std::make_unique<PlyBone>();
        PlyBone* bone = owned.get();
        bone->parent = parent;
        bone->index = model.boneCount++;
        *slot = std::move(owned);
        bool hasChild = false, hasSibling = false;
        if (!readBone(in, *bone, hasChild, hasSibling, problem)) return false;
        model.boneNames[bone->nameHash] = bone->name;
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

// Reads the sections in file order, saying where it stands so that a failure can say where the
// file went wrong.
bool readModel(ByteReader& in, PlyModel& model, ReadProblem& problem) {
    problem.enter(Header.place);
    if (!in.bytes(model.header.magic, 3) || std::memcmp(model.header.magic, "PLY", 3) != 0)
        return problem.fail("not an A:M PLY file (bad header)");
    if (!in.i32(model.header.version)) return problem.truncated();
    if (model.header.version != SupportedVersion)
        return problem.fail("PLY version " + std::to_string(model.header.version) + " is not supported (only 2)");
    std::int32_t n = 0;

    if (!readCount(in, Surfaces, 1, SurfaceBytes, n, problem)) return false;
    model.surfaces.resize(static_cast<std::size_t>(n));
    for (PlySurface& surface : model.surfaces)
        if (!readSurface(in, surface, problem)) return false;

    if (!readCount(in, Images, 0, MinImageBytes, n, problem)) return false;
    // Each image becomes a texture of the converted mesh, over a kilobyte in memory for five bytes
    // of file; past the mesh file's own limit the result could not be read back anyway.
    if (n > MaxMeshTextures)
        return problem.fail("image count " + std::to_string(n) + " is above the " + std::to_string(MaxMeshTextures) +
                            " a skeletal mesh holds");
    model.images.resize(static_cast<std::size_t>(n));
    for (PlyImage& image : model.images)
        if (!readImage(in, image, problem)) return false;

    if (!readVectors(in, Positions, model.positions, problem) || !readVectors(in, Normals, model.normals, problem))
        return false;

    if (!readCount(in, Patches, 1, MinPatchBytes, n, problem)) return false;
    model.patches.resize(static_cast<std::size_t>(n));
    model.positionNormals.resize(model.positions.size());
    NormalLists lists(model.positionNormals);
    for (std::int32_t p = 0; p < n; ++p) {
        problem.at(Patches.element, p, ReadProblem::Naming::Leading);
        PlyPatch& patch = model.patches[static_cast<std::size_t>(p)];
        if (!readPatch(in, patch, problem)) return false;
        for (int k = 0; k < 4; ++k) {
            const std::int32_t position = patch.positionIndex[k];
            if (position < 0 || static_cast<std::size_t>(position) >= model.positions.size())
                return problem.fail("position index " + std::to_string(position) + " outside the " +
                                    std::to_string(model.positions.size()) + " positions");
            lists.add(position, patch.normalIndex[k]);
        }
    }

    return readBones(in, model, problem);
}

}  // namespace

std::unique_ptr<PlyModel> parsePly(const std::uint8_t* data, std::size_t size, std::string* reason) {
    return readWith(ByteReader(data, size), readModel, reason);
}

std::unique_ptr<PlyModel> readPly(const std::string& path, std::string* reason) {
    return readFileWith(path, readModel, reason);
}

}  // namespace qx
