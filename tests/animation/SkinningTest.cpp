#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "animation/SkeletalInstance.h"
#include "tests/support/SkeletonBuilder.h"

namespace qx {
namespace {

MotionSettings play(std::int32_t id) {
    MotionSettings s;
    s.motionId = id;
    return s;
}

// Builds the model from a mesh and motions, starts every motion as given, runs one update.
struct Skinned {
    Skinned(std::unique_ptr<SkeletalMesh> mesh, std::vector<MotionTrack> cycleTracks) {
        model.addMesh(std::move(mesh));
        model.addMotion(test::makeMotion(1, CycleAnimation, 1.0f, std::move(cycleTracks)));
        instance = std::make_unique<SkeletalInstance>(model);
        instance->start(play(1));
        drawable = instance->update(0.25f);
    }

    SkeletalModel model;
    std::unique_ptr<SkeletalInstance> instance;
    SkeletalDrawable* drawable = nullptr;
};

// Skinning as plainly as it can be written: copy the rest mesh, then bone by bone down the
// tree, move each attached position and each normal on it from wherever it is now.
void referenceSkin(const SkeletalDrawable& d, std::int32_t index, const Matrix& parent, std::vector<Vector3>& positions,
                   std::vector<Vector3>& normals) {
    for (; index != -1; index = d.mesh->bones[index].nextSibling) {
        const MeshBone& bone = d.mesh->bones[index];
        const Matrix w = product(d.bones[index].local, parent);
        for (const std::int32_t v : bone.attachedPositions) {
            const Vector3 p = positions[v];
            positions[v] = {p.x * w.m[0][0] + p.y * w.m[1][0] + p.z * w.m[2][0] + w.m[3][0],
                            p.x * w.m[0][1] + p.y * w.m[1][1] + p.z * w.m[2][1] + w.m[3][1],
                            p.x * w.m[0][2] + p.y * w.m[1][2] + p.z * w.m[2][2] + w.m[3][2]};
            for (const std::int32_t n : d.mesh->positionNormals[v]) {
                const Vector3 q = normals[n];
                normals[n] = {q.x * w.m[0][0] + q.y * w.m[1][0] + q.z * w.m[2][0],
                              q.x * w.m[0][1] + q.y * w.m[1][1] + q.z * w.m[2][1],
                              q.x * w.m[0][2] + q.y * w.m[1][2] + q.z * w.m[2][2]};
            }
        }
        referenceSkin(d, bone.firstChild, w, positions, normals);
    }
}

std::vector<std::uint32_t> bits(const std::vector<Vector3>& list) {
    std::vector<std::uint32_t> out;
    for (const Vector3& v : list)
        for (const float f : {v.x, v.y, v.z}) out.push_back(std::bit_cast<std::uint32_t>(f));
    return out;
}

TEST(Skinning, RestPoseWithoutMotionGivesTheRestMesh) {
    // Bones with tilted frames: their locals are worldToBone x boneToWorld, identity up to rounding.
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::meshBone("hip", {0.0f, 0.0f, 1.0f}, {0.3f, 0.2f, 2.0f}, {0.0f, 1.0f, 1.0f}));
    mesh->bones.push_back(test::meshBone("leg", {0.5f, 0.0f, 1.0f}, {0.6f, 0.1f, 0.0f}, {1.0f, 1.0f, 0.5f}, 0));
    test::linkBones(mesh->bones);
    test::addVertex(*mesh, 0, {0.5f, 0.25f, 1.5f}, {0.0f, 0.6f, 0.8f});
    test::addVertex(*mesh, 1, {0.6f, -0.1f, 0.5f}, {1.0f, 0.0f, 0.0f});
    SkeletalModel model;
    model.addMesh(std::move(mesh));
    SkeletalInstance instance(model);
    const SkeletalDrawable* d = instance.update(0.1f);
    ASSERT_NE(d, nullptr);
    const SkeletalMesh& rest = *model.meshes()[0];
    ASSERT_EQ(d->positions.size(), 2u);
    ASSERT_EQ(d->normals.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        test::expectNear(rest.positions[i], d->positions[i]);
        test::expectNear(rest.normals[i], d->normals[i]);
        test::expectNear(Matrix::identity(), d->bones[i].local);
    }
}

TEST(Skinning, ABoneTurnsItsPositionsAndNormals) {
    // An upright bone at (1, 0, 0), a quarter turn about its axis and a lift of 2.
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::uprightBone("arm", {1.0f, 0.0f, 0.0f}));
    test::linkBones(mesh->bones);
    test::addVertex(*mesh, 0, {2.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    test::addVertex(*mesh, 0, {1.0f, 3.0f, 1.0f}, {0.0f, 0.0f, 1.0f});
    Skinned s(std::move(mesh), {test::poseTrack("arm", {0.0f, 0.0f, 2.0f}, test::aboutZ(90.0f))});
    test::expectNear({1.0f, 1.0f, 2.0f}, s.drawable->positions[0]);
    test::expectNear({-2.0f, 0.0f, 3.0f}, s.drawable->positions[1]);
    // Normals turn with the bone but are not moved by its translation.
    test::expectNear({0.0f, 1.0f, 0.0f}, s.drawable->normals[0]);
    test::expectNear({0.0f, 0.0f, 1.0f}, s.drawable->normals[1]);
}

TEST(Skinning, NormalsFollowScaleWithoutRenormalising) {
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::uprightBone("arm", ZeroVector));
    test::linkBones(mesh->bones);
    test::addVertex(*mesh, 0, {1.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    Skinned s(std::move(mesh), {test::poseTrack("arm", ZeroVector, {}, {3.0f, 1.0f, 1.0f})});
    test::expectNear({3.0f, 1.0f, 0.0f}, s.drawable->positions[0]);
    test::expectNear({3.0f, 0.0f, 0.0f}, s.drawable->normals[0]);
}

TEST(Skinning, ChildrenInheritTheirParentsTransformAndSiblingsShareIt) {
    // The root turns a quarter about the world's Z through the origin; the first child, at
    // (2, 0, 0), turns a quarter of its own; the second child has no track of its own.
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::uprightBone("root", ZeroVector));
    mesh->bones.push_back(test::uprightBone("first", {2.0f, 0.0f, 0.0f}, 0));
    mesh->bones.push_back(test::uprightBone("second", {0.0f, 4.0f, 0.0f}, 0));
    test::linkBones(mesh->bones);
    ASSERT_EQ(mesh->bones[1].nextSibling, 2);
    test::addVertex(*mesh, 0, {1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    test::addVertex(*mesh, 1, {3.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    test::addVertex(*mesh, 2, {0.0f, 5.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    Skinned s(std::move(mesh), {test::poseTrack("root", ZeroVector, test::aboutZ(90.0f)),
                                test::poseTrack("first", ZeroVector, test::aboutZ(90.0f))});
    const SkeletalDrawable& d = *s.drawable;
    test::expectNear({0.0f, 1.0f, 0.0f}, d.positions[0]);
    // Its own turn about (2, 0, 0) first gives (2, 1, 0), then the root's turn gives (-1, 2, 0).
    test::expectNear({-1.0f, 2.0f, 0.0f}, d.positions[1]);
    test::expectNear({-1.0f, 0.0f, 0.0f}, d.normals[1]);
    test::expectNear({-5.0f, 0.0f, 0.0f}, d.positions[2]);
    test::expectNear({-1.0f, 0.0f, 0.0f}, d.normals[2]);
}

TEST(Skinning, AttachmentCountsDecideHowOftenAVertexMoves) {
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::uprightBone("a", ZeroVector));
    mesh->bones.push_back(test::uprightBone("b", ZeroVector, 0));
    test::linkBones(mesh->bones);
    mesh->positions = {{1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 2.0f, 0.0f}};
    mesh->normals = {{1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}};
    // Position 0 on no bone; position 1 on both; normal 1 sits on positions 2 and 3.
    mesh->positionNormals = {{0}, {}, {1}, {1}};
    mesh->bones[0].attachedPositions = {1, 2, 3};
    mesh->bones[1].attachedPositions = {1};
    Skinned s(std::move(mesh), {test::poseTrack("a", {0.0f, 0.0f, 1.0f}), test::poseTrack("b", {0.0f, 0.0f, 1.0f})});
    const SkeletalDrawable& d = *s.drawable;
    test::expectNear({1.0f, 0.0f, 0.0f}, d.positions[0]);
    test::expectNear({1.0f, 0.0f, 0.0f}, d.normals[0]);
    // Bone b inherits a's lift and adds its own, on top of a's: three lifts in all.
    test::expectNear({1.0f, 0.0f, 3.0f}, d.positions[1]);
    test::expectNear({0.0f, 1.0f, 1.0f}, d.positions[2]);
    test::expectNear({0.0f, 2.0f, 1.0f}, d.positions[3]);
}

TEST(Skinning, ANormalOnTwoPositionsTurnsOncePerPosition) {
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::uprightBone("a", ZeroVector));
    test::linkBones(mesh->bones);
    mesh->positions = {{1.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f}};
    mesh->normals = {{1.0f, 0.0f, 0.0f}};
    mesh->positionNormals = {{0}, {0}};
    mesh->bones[0].attachedPositions = {0, 1};
    Skinned s(std::move(mesh), {test::poseTrack("a", ZeroVector, test::aboutZ(90.0f))});
    test::expectNear({-1.0f, 0.0f, 0.0f}, s.drawable->normals[0]);
}

TEST(Skinning, IndicesOutsideTheirListsAreSkipped) {
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::uprightBone("a", ZeroVector));
    test::linkBones(mesh->bones);
    mesh->positions = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    mesh->normals = {{1.0f, 0.0f, 0.0f}};
    mesh->positionNormals = {{0, 7, -1}};  // shorter than the positions, and two bad normals
    mesh->bones[0].attachedPositions = {-1, 0, 3, 1, 1000000};
    Skinned s(std::move(mesh), {test::poseTrack("a", {0.0f, 0.0f, 1.0f}, test::aboutZ(90.0f))});
    const SkeletalDrawable& d = *s.drawable;
    test::expectNear({0.0f, 1.0f, 1.0f}, d.positions[0]);
    test::expectNear({-1.0f, 0.0f, 1.0f}, d.positions[1]);
    test::expectNear({0.0f, 0.0f, 1.0f}, d.positions[2]);
    test::expectNear({0.0f, 1.0f, 0.0f}, d.normals[0]);
}

TEST(Skinning, BoneLinksThatLoopOrLeaveTheListEndTheWalk) {
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::uprightBone("a", ZeroVector));
    mesh->bones.push_back(test::uprightBone("b", ZeroVector, 0));
    mesh->bones.push_back(test::uprightBone("c", ZeroVector, 1));
    mesh->bones[0].firstChild = 1;
    mesh->bones[1].firstChild = 2;
    mesh->bones[1].nextSibling = 0;   // back to the root
    mesh->bones[2].firstChild = 1;    // back to its parent
    mesh->bones[2].nextSibling = 42;  // outside the list
    test::addVertex(*mesh, 2, {1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    Skinned s(std::move(mesh), {test::poseTrack("a", {0.0f, 0.0f, 1.0f}), test::poseTrack("b", {0.0f, 0.0f, 1.0f}),
                                test::poseTrack("c", {0.0f, 0.0f, 1.0f})});
    // Each bone reached once, down the chain a -> b -> c.
    test::expectNear({1.0f, 0.0f, 3.0f}, s.drawable->positions[0]);
}

TEST(Skinning, OnlyTheCurrentMeshIsAnimated) {
    SkeletalModel model;
    for (int i = 0; i < 2; ++i) {
        auto mesh = std::make_unique<SkeletalMesh>();
        mesh->bones.push_back(test::uprightBone("a", ZeroVector));
        test::linkBones(mesh->bones);
        test::addVertex(*mesh, 0, {1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
        model.addMesh(std::move(mesh));
    }
    SkeletalInstance instance(model);
    ASSERT_EQ(instance.drawables().size(), 2u);
    EXPECT_EQ(instance.update(0.1f), instance.drawables()[0].get());
    EXPECT_EQ(instance.drawables()[0]->positions.size(), 1u);
    EXPECT_TRUE(instance.drawables()[1]->positions.empty());
    EXPECT_EQ(instance.drawables()[1]->bones.size(), 1u);
}

TEST(Skinning, AModelWithoutAMeshHasNothingToDraw) {
    SkeletalModel model;
    model.addMotion(test::makeMotion(1, CycleAnimation, 1.0f));
    SkeletalInstance instance(model);
    EXPECT_TRUE(instance.start(play(1)));
    EXPECT_EQ(instance.update(0.5f), nullptr);
    EXPECT_EQ(instance.cycleLength(), 1.0f);  // the mixer still runs
}

TEST(Skinning, LaterUpdatesReuseTheDrawablesStorage) {
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.push_back(test::uprightBone("a", ZeroVector));
    test::linkBones(mesh->bones);
    for (int i = 0; i < 100; ++i) test::addVertex(*mesh, 0, {1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    Skinned s(std::move(mesh), {test::poseTrack("a", ZeroVector, test::aboutZ(90.0f))});
    const Vector3* positions = s.drawable->positions.data();
    const Vector3* normals = s.drawable->normals.data();
    // Every frame starts again from the rest mesh: nothing accumulates.
    for (int i = 0; i < 3; ++i) s.instance->update(0.25f);
    EXPECT_EQ(s.drawable->positions.data(), positions);
    EXPECT_EQ(s.drawable->normals.data(), normals);
    test::expectNear({0.0f, 1.0f, 0.0f}, s.drawable->positions[99]);
}

TEST(Skinning, GivesTheBitsOfBoneByBoneSkinningWhateverTheLayout) {
    // Array lengths around the sweep's edges (one element, more normals than positions and the
    // reverse); each bone's positions scattered, some on two bones or twice on one, some on
    // none; normals shared by positions of different bones, and normals on no position.
    const struct {
        int positions;
        int normals;
    } cases[] = {{1, 1}, {2, 5}, {7, 3}, {0, 2}, {41, 29}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.positions << " positions, " << c.normals << " normals");
        auto mesh = std::make_unique<SkeletalMesh>();
        mesh->bones.push_back(test::uprightBone("r", ZeroVector));
        mesh->bones.push_back(test::uprightBone("a", {1.0f, 0.0f, 0.0f}, 0));
        mesh->bones.push_back(test::uprightBone("b", {0.0f, 2.0f, 0.0f}, 1));
        mesh->bones.push_back(test::uprightBone("c", {0.0f, 0.0f, 3.0f}, 0));
        test::linkBones(mesh->bones);
        for (int n = 0; n < c.normals; ++n) mesh->normals.push_back({0.3f * n - 1.0f, -0.0f, 0.7f / (n + 1)});
        for (int p = 0; p < c.positions; ++p) {
            mesh->positions.push_back({0.37f * p - 2.0f, p % 2 ? -0.0f : 1.0f / (p + 3), 0.11f * p});
            mesh->positionNormals.push_back({});
            if (c.normals > 0) mesh->positionNormals[p] = {p % c.normals, (p * 3 + 1) % c.normals};
            if (p % 11 == 4) continue;  // on no bone
            const int bone = (p * 7 + 3) % 4;
            mesh->bones[bone].attachedPositions.push_back(p);
            if (p % 5 == 0) mesh->bones[(bone + 1) % 4].attachedPositions.push_back(p);
            if (p % 13 == 6) mesh->bones[bone].attachedPositions.push_back(p);
        }
        const auto turn = [](float x, float y, float z, float degrees) {
            return Quaternion::fromAxisDegrees({x, y, z}, degrees, true);
        };
        Skinned s(std::move(mesh), {test::poseTrack("r", {0.5f, -0.25f, 1.0f}, turn(1, 2, 3, 30), {1.5f, 1.0f, 0.75f}),
                                    test::poseTrack("a", {0.0f, 0.1f, 0.0f}, turn(-1, 0, 1, 70)),
                                    test::poseTrack("b", ZeroVector, turn(0, 1, 0, 45), {0.9f, 1.1f, 1.3f}),
                                    test::poseTrack("c", {0.3f, 0.0f, -0.2f}, turn(2, -1, 1, 100))});
        const SkeletalMesh& rest = *s.model.meshes()[0];
        std::vector<Vector3> positions = rest.positions, normals = rest.normals;
        referenceSkin(*s.drawable, 0, Matrix::identity(), positions, normals);
        EXPECT_EQ(bits(positions), bits(s.drawable->positions));
        EXPECT_EQ(bits(normals), bits(s.drawable->normals));
    }
}

}  // namespace
}  // namespace qx
