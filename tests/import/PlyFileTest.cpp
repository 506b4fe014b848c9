#include "import/PlyFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMeshFile.h"
#include "tests/support/AmExportBuilder.h"

namespace qx {
namespace {

using test::PlyBytes;
using test::squarePly;

std::unique_ptr<PlyModel> parse(const PlyBytes& ply, std::string* reason = nullptr) {
    const auto bytes = ply.bytes();
    return parsePly(bytes.data(), bytes.size(), reason);
}

std::string rejection(const PlyBytes& ply) {
    std::string reason;
    EXPECT_EQ(parse(ply, &reason), nullptr);
    return reason;
}

PlyBytes::Bone bone(const std::string& name, bool hasChild, bool hasSibling) {
    PlyBytes::Bone b;
    b.name = name;
    b.hasChild = hasChild;
    b.hasSibling = hasSibling;
    return b;
}

TEST(PlyHeader, AcceptsVersion2Only) {
    const auto model = parse(squarePly());
    ASSERT_NE(model, nullptr);
    EXPECT_STREQ(model->header.magic, "PLY");
    EXPECT_EQ(model->header.version, 2);

    PlyBytes v1 = squarePly();
    v1.version = 1;
    EXPECT_NE(rejection(v1).find("version 1"), std::string::npos);
    PlyBytes v3 = squarePly();
    v3.version = 3;
    EXPECT_NE(rejection(v3).find("version 3"), std::string::npos);
}

TEST(PlyHeader, RejectsOtherMagicAndStanfordText) {
    PlyBytes other = squarePly();
    other.magic = "PLX";
    EXPECT_NE(rejection(other).find("bad header"), std::string::npos);
    // A Stanford polygon file starts "ply\n": lower case, so it is not mistaken for an export.
    other.magic = "ply";
    EXPECT_NE(rejection(other).find("bad header"), std::string::npos);
}

TEST(PlyCounts, ZeroImagesAcceptedZeroSurfacesRefused) {
    const auto model = parse(squarePly());
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(model->images.empty());

    PlyBytes noSurfaces = squarePly();
    noSurfaces.surfaces.clear();
    EXPECT_EQ(rejection(noSurfaces), "surface count 0 is below 1");
}

TEST(PlyCounts, ZeroPositionsNormalsOrPatchesRefused) {
    PlyBytes ply = squarePly();
    ply.positions.clear();
    EXPECT_EQ(rejection(ply), "position count 0 is below 1");
    ply = squarePly();
    ply.normals.clear();
    EXPECT_EQ(rejection(ply), "normal count 0 is below 1");
    ply = squarePly();
    ply.patches.clear();
    EXPECT_EQ(rejection(ply), "patch count 0 is below 1");
}

TEST(PlyCounts, NoMoreImagesThanAMeshHoldsTextures) {
    PlyBytes ply = squarePly();
    ply.images.assign(MaxMeshTextures, PlyBytes::Image{"a.png", 0, 0});
    const auto model = parse(ply);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->images.size(), static_cast<std::size_t>(MaxMeshTextures));
    ply.images.push_back({"one-too-many.png", 0, 0});
    EXPECT_EQ(rejection(ply), "image count 4097 is above the 4096 a skeletal mesh holds");
}

TEST(PlyCounts, CountBeyondTheFileRefusedBeforeReserving) {
    auto bytes = squarePly().bytes();
    // The position count sits after the header (7 bytes), one surface (4 + 42) and the image
    // count (4): a count of two thousand million must be refused, not reserved.
    const std::size_t positionCountAt = 7 + 4 + 42 + 4;
    const std::int32_t huge = 2000000000;
    std::memcpy(bytes.data() + positionCountAt, &huge, 4);
    std::string reason;
    EXPECT_EQ(parsePly(bytes.data(), bytes.size(), &reason), nullptr);
    EXPECT_EQ(reason, "truncated in section 4 (positions): 2000000000 announced");
}

TEST(PlyTruncation, EveryShortenedFileIsRefusedWithItsSection) {
    PlyBytes ply = squarePly();
    ply.images = {{"skin.png", 1, 2}};
    PlyBytes::Mapping mapping;
    ply.patches[0].mappings = {mapping};
    ply.bones = {bone("root", true, false), bone("child", false, false)};
    const auto bytes = ply.bytes();
    ASSERT_NE(parsePly(bytes.data(), bytes.size()), nullptr);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string reason;
        EXPECT_EQ(parsePly(bytes.data(), size, &reason), nullptr) << size;
        EXPECT_FALSE(reason.empty()) << size;
    }
    // Cut inside the last bone's record.
    std::string reason;
    EXPECT_EQ(parsePly(bytes.data(), bytes.size() - 5, &reason), nullptr);
    EXPECT_EQ(reason.rfind("truncated in section 7 (bones) at bone 1", 0), 0u) << reason;
}

// squarePly() lays out the header (7 bytes), the surface count and its surface (46), the image
// count (4), the positions (4 + 48), the normals (4 + 12), the patch count, each patch (40, and
// 50 a mapping), then the bones. Each damage: the file kept to a size or given an image count of
// -1, and the reason word for word.
TEST(PlyTruncation, EachDamageNamesItsPlace) {
    constexpr std::size_t All = SIZE_MAX, ImageCountAt = 53, ImagesAt = 57, PatchesAt = 129, BonesAt = 169;
    const PlyBytes square = squarePly();
    PlyBytes named = squarePly();
    named.images = {{"skin.png", 0, 0}};
    PlyBytes twoPatches = squarePly();
    twoPatches.patches[0].mappings.resize(1);
    twoPatches.patches.push_back(twoPatches.patches[0]);
    PlyBytes fiveMappings = squarePly();
    fiveMappings.patches[0].mappings.resize(5);
    const struct {
        const PlyBytes& ply;
        std::size_t keep;
        std::size_t negativeAt;
        const char* reason;
    } cases[] = {
        {square, 2, 0, "not an A:M PLY file (bad header)"},
        {square, 5, 0, "truncated in section 1 (header)"},
        {square, 9, 0, "truncated in section 2 (surfaces)"},
        {square, All, ImageCountAt, "image count -1 is below 0"},
        {named, ImagesAt + 6, 0, "truncated in section 3 (images)"},
        {twoPatches, PatchesAt + 90 + 10, 0, "patch 1: truncated in section 6 (patches)"},
        {fiveMappings, PatchesAt + 40 + 100, 0, "patch 0: truncated in section 6 (patches): 5 mappings announced"},
        // The root bone takes 63 bytes, the last 20 of them its count of four positions and those.
        {square, BonesAt + 62, 0,
         "truncated in section 7 (bones) at bone 0: attached position count is negative or more than the file holds"},
    };
    for (const auto& c : cases) {
        auto bytes = c.ply.bytes();
        bytes.resize(std::min(c.keep, bytes.size()));
        const std::int32_t minusOne = -1;
        if (c.negativeAt != 0) std::memcpy(bytes.data() + c.negativeAt, &minusOne, 4);
        std::string reason;
        EXPECT_EQ(parsePly(bytes.data(), bytes.size(), &reason), nullptr) << c.reason;
        EXPECT_EQ(reason, c.reason);
    }
}

TEST(PlySurfaces, ColoursDividedBy255OtherValuesAsRead) {
    PlyBytes ply = squarePly();
    PlyBytes::Surface s;
    s.color = {255, 0, 51};
    s.color2 = {0, 255, 102};
    s.value1 = -7;
    s.value2 = 0x3FC00000;  // the bytes of the float 1.5, kept as they are
    s.value4 = 44;
    s.value7 = 77;
    s.value8 = -8;
    s.value9 = 99;
    ply.surfaces = {ply.surfaces[0], s};
    const auto model = parse(ply);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->surfaces.size(), 2u);
    const PlySurface& read = model->surfaces[1];
    EXPECT_EQ(read.color, Vector3(1.0f, 0.0f, 51 / 255.0f));
    EXPECT_FLOAT_EQ(read.color.z, 0.2f);
    EXPECT_EQ(read.color2, Vector3(0.0f, 1.0f, 102 / 255.0f));
    EXPECT_EQ(read.value1, -7);
    EXPECT_EQ(read.value2, 0x3FC00000);
    EXPECT_EQ(read.value4, 44);
    EXPECT_EQ(read.value7, 77);
    EXPECT_EQ(read.value8, -8);
    EXPECT_EQ(read.value9, 99);
}

TEST(PlyImages, NamesAndWordsAsRead) {
    PlyBytes ply = squarePly();
    ply.images = {{"skin.png", 3, -2}, {"", 0, 0}, {"maps/face.tga", 0x7FFF, -0x8000}};
    const auto model = parse(ply);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->images.size(), 3u);
    EXPECT_EQ(model->images[0].name, "skin.png");
    EXPECT_EQ(model->images[0].word1, 3);
    EXPECT_EQ(model->images[0].word2, -2);
    EXPECT_EQ(model->images[1].name, "");
    EXPECT_EQ(model->images[2].name, "maps/face.tga");
    EXPECT_EQ(model->images[2].word2, -0x8000);
}

TEST(PlyPatches, MappingsFlipVAndKeepTheRest) {
    PlyBytes ply = squarePly();
    PlyBytes::Mapping m;
    m.imageIndex = 4;
    m.value1 = 1;
    m.value2 = 2;
    m.value3 = 3;
    m.byte1 = 0xAB;
    m.byte2 = 0xCD;
    const float uv[4][2] = {{0.0f, 0.0f}, {1.0f, 0.25f}, {0.5f, 1.0f}, {0.125f, 0.75f}};
    std::memcpy(m.uv, uv, sizeof uv);
    ply.patches[0].surfaceIndex = 9;  // kept as read; its users check it
    ply.patches[0].mappings = {m, PlyBytes::Mapping{}};
    const auto model = parse(ply);
    ASSERT_NE(model, nullptr);
    const PlyPatch& patch = model->patches[0];
    EXPECT_EQ(patch.surfaceIndex, 9);
    ASSERT_EQ(patch.mappings.size(), 2u);
    const PlyMapping& read = patch.mappings[0];
    EXPECT_EQ(read.imageIndex, 4);
    EXPECT_EQ(read.value1, 1);
    EXPECT_EQ(read.value2, 2);
    EXPECT_EQ(read.value3, 3);
    EXPECT_EQ(read.byte1, 0xAB);
    EXPECT_EQ(read.byte2, 0xCD);
    const float flipped[4][2] = {{0.0f, 1.0f}, {1.0f, 0.75f}, {0.5f, 0.0f}, {0.125f, 0.25f}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(read.uv[k][0], flipped[k][0]) << k;
        EXPECT_EQ(read.uv[k][1], flipped[k][1]) << k;
    }
    EXPECT_EQ(patch.mappings[1].uv[0][1], 1.0f);
}

TEST(PlyPatches, PositionNormalsListEachNormalOnceInOrderOfFirstUse) {
    PlyBytes ply = squarePly();
    ply.positions.push_back({2, 0, 0});
    ply.positions.push_back({2, 1, 0});
    ply.normals = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
    PlyBytes::Patch a;
    a.positionIndex = {0, 1, 2, 3};
    a.normalIndex = {2, 0, 0, 2};
    PlyBytes::Patch b;  // shares the edge 1-2 with a; position 1 gets normal 0 again and then 1
    b.positionIndex = {1, 4, 5, 2};
    b.normalIndex = {0, 1, 1, 1};
    ply.patches = {a, b};
    const auto model = parse(ply);
    ASSERT_NE(model, nullptr);
    const std::vector<std::vector<std::int32_t>> expected = {{2}, {0}, {0, 1}, {2}, {1}, {1}};
    EXPECT_EQ(model->positionNormals, expected);

    PlyBytes twice = squarePly();
    twice.patches.push_back(twice.patches[0]);
    const auto again = parse(twice);
    ASSERT_NE(again, nullptr);
    for (const auto& list : again->positionNormals) EXPECT_EQ(list, std::vector<std::int32_t>{0});
}

TEST(PlyPatches, PositionWithManyNormalsListsEachOnce) {
    // Patch i puts all four corners on position 0 with normals 2i, 2i + 1, 2i and 0: the list
    // grows to 0, 1, ..., 39, far past what a real position holds; a last patch repeats four of
    // them and adds nothing.
    PlyBytes ply = squarePly();
    ply.patches.clear();
    for (std::int32_t i = 0; i < 20; ++i) {
        PlyBytes::Patch patch;
        patch.normalIndex = {2 * i, 2 * i + 1, 2 * i, 0};
        ply.patches.push_back(patch);
    }
    PlyBytes::Patch repeat;
    repeat.normalIndex = {5, 39, 17, 38};
    ply.patches.push_back(repeat);
    const auto model = parse(ply);
    ASSERT_NE(model, nullptr);
    std::vector<std::int32_t> expected(40);
    for (std::int32_t n = 0; n < 40; ++n) expected[static_cast<std::size_t>(n)] = n;
    EXPECT_EQ(model->positionNormals[0], expected);
    EXPECT_TRUE(model->positionNormals[1].empty());
}

TEST(PlyPatches, PositionOutsideThePositionsRefused) {
    PlyBytes ply = squarePly();
    ply.patches.push_back(ply.patches[0]);
    ply.patches[1].positionIndex[2] = 4;
    EXPECT_EQ(rejection(ply), "patch 1: position index 4 outside the 4 positions");
    ply.patches[1].positionIndex[2] = -1;
    EXPECT_EQ(rejection(ply), "patch 1: position index -1 outside the 4 positions");
}

TEST(PlyPatches, OtherIndicesCarriedAsRead) {
    PlyBytes ply = squarePly();
    ply.patches[0].normalIndex = {0, 7, -3, 0};
    ply.patches[0].surfaceIndex = -1;
    ply.bones[0].attachedPositions = {0, 100, -5};
    const auto model = parse(ply);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->positionNormals[1], std::vector<std::int32_t>{7});
    EXPECT_EQ(model->positionNormals[2], std::vector<std::int32_t>{-3});
    EXPECT_EQ(model->rootBone->attachedPositions, (std::vector<std::int32_t>{0, 100, -5}));
}

TEST(PlyBones, SingleBoneModel) {
    const auto model = parse(squarePly());
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->boneCount, 1);
    const PlyBone& root = *model->rootBone;
    EXPECT_EQ(root.name, "root");
    EXPECT_EQ(root.nameHash, nameHash("root"));
    EXPECT_EQ(root.index, 0);
    EXPECT_EQ(root.parent, nullptr);
    EXPECT_EQ(root.firstChild, nullptr);
    EXPECT_EQ(root.nextSibling, nullptr);
    EXPECT_EQ(root.attachedPositions, (std::vector<std::int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(model->boneNames, (std::map<std::int32_t, std::string>{{nameHash("root"), "root"}}));
}

// root
// ├── arm (hasChild, hasSibling)
// │   └── hand
// ├── leg (hasSibling)
// └── head (hasChild)
//     └── jaw
// File order is pre-order: root, arm, hand, leg, head, jaw.
PlyBytes treePly() {
    PlyBytes ply = squarePly();
    ply.bones = {bone("root", true, false), bone("arm", true, true),   bone("hand", false, false),
                 bone("leg", false, true),  bone("head", true, false), bone("jaw", false, false)};
    return ply;
}

TEST(PlyBones, TreeReadDepthFirstChildrenBeforeSiblings) {
    const auto model = parse(treePly());
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->boneCount, 6);
    const PlyBone* root = model->rootBone.get();
    ASSERT_NE(root->firstChild, nullptr);
    const PlyBone* arm = root->firstChild.get();
    EXPECT_EQ(root->nextSibling, nullptr);
    EXPECT_EQ(arm->name, "arm");
    EXPECT_EQ(arm->parent, root);
    ASSERT_NE(arm->firstChild, nullptr);
    EXPECT_EQ(arm->firstChild->name, "hand");
    EXPECT_EQ(arm->firstChild->parent, arm);
    EXPECT_EQ(arm->firstChild->nextSibling, nullptr);
    ASSERT_NE(arm->nextSibling, nullptr);
    const PlyBone* leg = arm->nextSibling.get();
    EXPECT_EQ(leg->name, "leg");
    EXPECT_EQ(leg->parent, root);
    EXPECT_EQ(leg->firstChild, nullptr);
    ASSERT_NE(leg->nextSibling, nullptr);
    const PlyBone* head = leg->nextSibling.get();
    EXPECT_EQ(head->name, "head");
    EXPECT_EQ(head->parent, root);
    EXPECT_EQ(head->nextSibling, nullptr);
    ASSERT_NE(head->firstChild, nullptr);
    EXPECT_EQ(head->firstChild->name, "jaw");
    EXPECT_EQ(head->firstChild->parent, head);

    const char* names[] = {"root", "arm", "hand", "leg", "head", "jaw"};
    const auto order = bonesInPreOrder(*model);
    ASSERT_EQ(order.size(), 6u);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(order[k].bone->name, names[k]);
        EXPECT_EQ(order[k].bone->index, k);
    }
    // Links as pre-order numbers.
    EXPECT_EQ(order[0].firstChild, 1);
    EXPECT_EQ(order[1].nextSibling, 3);
    EXPECT_EQ(order[1].firstChild, 2);
    EXPECT_EQ(order[2].parent, 1);
    EXPECT_EQ(order[3].nextSibling, 4);
    EXPECT_EQ(order[4].firstChild, 5);
    EXPECT_EQ(order[5].parent, 4);
    EXPECT_EQ(order[5].nextSibling, -1);
    EXPECT_EQ(order[0].parent, -1);
}

TEST(PlyBones, LaterBoneWithTheSameHashReplacesTheName) {
    // "AB" hashes to (0x41 << 6) ^ 0x42 = 0x1002, and "@\x02" to (0x40 << 6) ^ 0x02 = 0x1002.
    ASSERT_EQ(nameHash("AB"), 0x1002);
    ASSERT_EQ(nameHash("@\x02"), 0x1002);
    PlyBytes ply = squarePly();
    ply.bones = {bone("AB", true, false), bone("x", false, true), bone("@\x02", false, false)};
    const auto model = parse(ply);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->boneNames, (std::map<std::int32_t, std::string>{{0x1002, "@\x02"}, {nameHash("x"), "x"}}));
}

TEST(PlyBones, FramesComputedFromStartEndRoll) {
    PlyBytes ply = squarePly();
    PlyBytes::Bone alongZ = bone("alongZ", true, false);
    alongZ.start = {1, 2, 3};
    alongZ.end = {1, 2, 4};
    alongZ.roll = {1, 3, 3};
    // Along +X with the roll point on +Y: a quarter turn about -Y takes +X onto +Z.
    PlyBytes::Bone alongX = bone("alongX", false, false);
    alongX.start = {0, 0, 0};
    alongX.end = {2, 0, 0};
    alongX.roll = {0, 5, 0};
    ply.bones = {alongZ, alongX};
    const auto model = parse(ply);
    ASSERT_NE(model, nullptr);

    Matrix translation;
    translation.setRow(3, {-1, -2, -3});
    EXPECT_EQ(model->rootBone->worldToBone, translation);
    Matrix back;
    back.setRow(3, {1, 2, 3});
    EXPECT_EQ(model->rootBone->boneToWorld, back);

    const PlyBone& x = *model->rootBone->firstChild;
    const Vector3 end = transformPoint(x.end, x.worldToBone);
    EXPECT_NEAR(end.x, 0.0f, 1e-6f);
    EXPECT_NEAR(end.y, 0.0f, 1e-6f);
    EXPECT_NEAR(end.z, 2.0f, 1e-6f);
    const Vector3 roll = transformPoint(x.roll, x.worldToBone);
    EXPECT_NEAR(roll.x, 0.0f, 1e-6f);
    EXPECT_NEAR(roll.y, 5.0f, 1e-6f);
    EXPECT_NEAR(roll.z, 0.0f, 1e-6f);
    const Vector3 endAgain = transformPoint(end, x.boneToWorld);
    EXPECT_NEAR(endAgain.x, 2.0f, 1e-6f);
    EXPECT_NEAR(endAgain.y, 0.0f, 1e-6f);
    EXPECT_NEAR(endAgain.z, 0.0f, 1e-6f);
}

TEST(PlyBones, BoneRecordsMustBeThere) {
    PlyBytes ply = squarePly();
    ply.bones.clear();
    EXPECT_EQ(rejection(ply), "truncated in section 7 (bones) at bone 0");
    // A bone announcing a sibling the file does not hold.
    ply = squarePly();
    ply.bones[0].hasSibling = true;
    EXPECT_EQ(rejection(ply), "truncated in section 7 (bones) at bone 1");
}

// A hostile file can chain bones as deep as its size allows; reading and destroying the model
// must not take stack in proportion.
TEST(PlyBones, DeepChainsReadWithoutRecursion) {
    constexpr int Depth = 200000;
    for (const bool children : {true, false}) {
        PlyBytes ply = squarePly();
        ply.bones.assign(Depth, bone("b", children, !children));
        ply.bones.back() = bone("last", false, false);
        auto model = parse(ply);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->boneCount, Depth);
        const auto order = bonesInPreOrder(*model);
        ASSERT_EQ(order.size(), static_cast<std::size_t>(Depth));
        EXPECT_EQ(order.back().bone->name, "last");
        EXPECT_EQ(order.back().parent, children ? Depth - 2 : -1);
        model.reset();
    }
}

}  // namespace
}  // namespace qx
