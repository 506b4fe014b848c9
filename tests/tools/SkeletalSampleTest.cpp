// The committed skeletal sample: that it is what the generator writes, that the figure is a
// sound mesh for the viewer, and that its motions move it.

#include <gtest/gtest.h>

#include <set>

#include "animation/MotionSampler.h"
#include "animation/SkeletalInstance.h"
#include "scene/OpenFile.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

std::string samplePath(const std::string& name) { return (test::sourceDir() / "samples" / name).string(); }

const char* const MotionFiles[] = {"figure-walk.qm2", "figure-wave.qm2", "figure-idle.qm2"};

TEST(SkeletalSample, CommittedFilesAreTheGeneratorsOutput) {
    test::TempDir dir;
    const std::string samplegen = (std::filesystem::path(test::qxtoolPath()).parent_path() / "samplegen").string();
    const auto run = test::runCommand("'" + samplegen + "' '" + dir.path().string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* name :
         {"figure.qm1", "figure-shirt.bmp", "figure-walk.qm2", "figure-wave.qm2", "figure-idle.qm2"}) {
        EXPECT_EQ(test::readBytes(dir.file(name)), test::readBytes(samplePath(name)))
            << name << " differs from a fresh run of samplegen: regenerate samples/";
    }
}

TEST(SkeletalSample, FigureIsASoundJointedMesh) {
    std::string reason;
    const auto mesh = readMeshToShow(samplePath("figure.qm1"), &reason, ImageLoading::Decode);
    ASSERT_TRUE(mesh) << reason;
    EXPECT_GE(mesh->bones.size(), 10u);
    EXPECT_GE(mesh->faces.size(), 200u);
    EXPECT_LE(mesh->faces.size(), 1000u);
    ASSERT_EQ(mesh->materials.size(), 2u);
    ASSERT_EQ(mesh->textures.size(), 1u);
    EXPECT_EQ(mesh->textures[0].width, 64);  // the image beside the mesh decodes

    // Every position belongs to exactly one bone, and every normal sits on some position.
    std::vector<int> owners(mesh->positions.size(), 0);
    for (const MeshBone& bone : mesh->bones)
        for (const std::int32_t p : bone.attachedPositions) ++owners.at(static_cast<std::size_t>(p));
    for (const int count : owners) EXPECT_EQ(count, 1);
    std::set<std::int32_t> seated;
    for (const auto& normals : mesh->positionNormals) seated.insert(normals.begin(), normals.end());
    EXPECT_EQ(seated.size(), mesh->normals.size());

    // Both materials are used, some faces are textured, and the render groups hold each face once.
    std::set<std::int32_t> materials;
    std::size_t textured = 0;
    for (const MeshFace& face : mesh->faces) {
        materials.insert(face.materialIndex);
        textured += face.mappings.size();
        for (int c = 0; c < 3; ++c) {
            EXPECT_LT(static_cast<std::size_t>(face.positionIndex[c]), mesh->positions.size());
            EXPECT_LT(static_cast<std::size_t>(face.normalIndex[c]), mesh->normals.size());
        }
    }
    EXPECT_EQ(materials, (std::set<std::int32_t>{0, 1}));
    EXPECT_GT(textured, 0u);
    std::vector<int> drawn(mesh->faces.size(), 0);
    for (const TextureGroup& group : mesh->renderGroups)
        for (const MaterialBatch& batch : group.batches)
            for (const std::int32_t f : batch.faceIndices) ++drawn.at(static_cast<std::size_t>(f));
    for (const int count : drawn) EXPECT_EQ(count, 1);
}

TEST(SkeletalSample, MotionsAnimateTheFiguresBonesAndTheCyclesLoop) {
    std::string reason;
    auto mesh = readMeshToShow(samplePath("figure.qm1"), &reason, ImageLoading::Skip);
    ASSERT_TRUE(mesh) << reason;
    std::set<std::int32_t> bones;
    for (const MeshBone& bone : mesh->bones) bones.insert(bone.nameHash);

    SkeletalModel model;
    model.addMesh(std::move(mesh));
    const std::int32_t types[] = {CycleAnimation, OverlayAnimation, CycleAnimation};
    for (int i = 0; i < 3; ++i) {
        auto motion = readMotionToPlay(samplePath(MotionFiles[i]), &reason);
        ASSERT_TRUE(motion) << MotionFiles[i] << ": " << reason;
        EXPECT_EQ(motion->animationType, types[i]) << MotionFiles[i];
        EXPECT_GT(motion->duration, 0.0f);
        for (const MotionTrack& track : motion->tracks) EXPECT_TRUE(bones.count(track.nameHash)) << track.name;
        if (motion->animationType == CycleAnimation) {
            // A loop ends where it starts.
            MotionSampler sampler(*motion);
            for (TrackSampler& track : sampler.tracks) {
                const Pose start = sampleTrack(track, 0.0f), end = sampleTrack(track, motion->duration);
                EXPECT_NEAR(start.rotation.w, end.rotation.w, 1e-5f) << MotionFiles[i] << " " << track.track->name;
                EXPECT_NEAR(start.translation.z, end.translation.z, 1e-5f)
                    << MotionFiles[i] << " " << track.track->name;
            }
        }
        model.addMotion(std::move(motion));
    }

    SkeletalInstance instance(model);
    for (const auto& motion : model.motions()) {
        MotionSettings settings;
        settings.motionId = motion->nameHash;
        ASSERT_TRUE(instance.start(settings));
    }
    const SkeletalMesh& rest = *model.meshes()[0];
    const SkeletalDrawable* drawn = nullptr;
    for (int frame = 0; frame < 30; ++frame) drawn = instance.update(1.0f / 30.0f);
    ASSERT_NE(drawn, nullptr);
    std::size_t moved = 0;
    for (std::size_t p = 0; p < rest.positions.size(); ++p) {
        const Vector3 d = drawn->positions[p] - rest.positions[p];
        if (dot(d, d) > 0.01f) ++moved;
    }
    EXPECT_GT(moved, rest.positions.size() / 2);
}

}  // namespace
}  // namespace qx
