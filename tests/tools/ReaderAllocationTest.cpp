// Every reader treats its bytes as hostile: whatever a count field says, it allocates at most a
// small multiple of the file's size plus a fixed amount, and rejects or reads the file quickly.
// Each valid file below is damaged by writing a huge count at every offset of its head.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>

#include "import/KfmFile.h"
#include "import/PlyFile.h"
#include "render/ImageDecoders.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/AmExportBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "vertex/Md2Model.h"
#include "vertex/VertexInstance.h"
#include "vertex/VertexModelFile.h"

namespace qx {
namespace {

using Parse = std::function<bool(const std::vector<std::uint8_t>&)>;

constexpr std::size_t FixedAllowance = 8u << 20;
constexpr std::size_t SizeMultiple = 32;

std::size_t bytesRequestedBy(const Parse& parse, const std::vector<std::uint8_t>& bytes) {
    test::startCountingAllocations();
    parse(bytes);
    return test::stopCountingAllocations().bytes;
}

void expectBoundedOnDamagedCopies(const char* what, const std::vector<std::uint8_t>& file, const Parse& parse) {
    ASSERT_FALSE(file.empty()) << what;
    ASSERT_TRUE(parse(file)) << what << ": the undamaged file should read";
    const std::size_t limit = SizeMultiple * file.size() + FixedAllowance;
    const auto start = std::chrono::steady_clock::now();
    const std::size_t head = std::min<std::size_t>(file.size() - 3, 1500);
    for (const std::uint32_t value : {0x7FFFFFFFu, 0x40000000u, 0xFFFFFFF0u}) {
        for (std::size_t offset = 0; offset < head; ++offset) {
            auto damaged = file;
            std::memcpy(damaged.data() + offset, &value, 4);
            const std::size_t used = bytesRequestedBy(parse, damaged);
            ASSERT_LE(used, limit) << what << ": value " << value << " at offset " << offset;
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60)) << what;
}

std::vector<std::uint8_t> sample(const std::string& name) {
    return test::readBytes((test::sourceDir() / "samples" / name).string());
}

TEST(ReaderAllocation, ModelAndMotionFilesStayWithinBounds) {
    expectBoundedOnDamagedCopies("qm2", sample("figure-walk.qm2"),
                                 [](const auto& b) { return parseSkeletalMotion(b.data(), b.size()) != nullptr; });
    expectBoundedOnDamagedCopies("qm1", sample("figure.qm1"),
                                 [](const auto& b) { return parseSkeletalMesh(b.data(), b.size()) != nullptr; });
    expectBoundedOnDamagedCopies("qv1", sample("flag.qv1"),
                                 [](const auto& b) { return parseVertexModel(b.data(), b.size()) != nullptr; });
    // Without frames nothing in the file backs the vertex count: playing such a model must not
    // size anything by it.
    VertexModel frameless;
    frameless.vertexCount = 20;
    frameless.commands.push_back({TriangleStrip, {{0.0f, 0.0f, 0}, {1.0f, 1.0f, 19}}});
    expectBoundedOnDamagedCopies("qv1 without frames, played", encodeVertexModel(frameless), [](const auto& b) {
        const auto model = parseVertexModel(b.data(), b.size());
        if (model) VertexInstance(*model).update(0.1f);
        return model != nullptr;
    });
}

TEST(ReaderAllocation, ImportedFilesStayWithinBounds) {
    expectBoundedOnDamagedCopies("ply", test::squarePly().bytes(),
                                 [](const auto& b) { return parsePly(b.data(), b.size()) != nullptr; });
    test::KfmBytes kfm;
    kfm.duration = 1.0f;
    kfm.tracks.resize(2);
    kfm.tracks[0].name = "root";
    kfm.tracks[1].name = "arm";
    for (auto& track : kfm.tracks)
        track.channels[0] = {MotionKey{0.0f, 1.0f, 2, {}, {}}, MotionKey{1.0f, 2.0f, 2, {}, {}}};
    expectBoundedOnDamagedCopies("kfm", kfm.bytes(),
                                 [](const auto& b) { return parseKfm(b.data(), b.size()) != nullptr; });
}

TEST(ReaderAllocation, Md2FilesStayWithinBounds) {
    QX_REQUIRE_TESTDATA("md2/flag.md2");
    expectBoundedOnDamagedCopies("md2", test::readBytes((test::testDataDir() / "md2/flag.md2").string()),
                                 [](const auto& b) { return parseMd2(b.data(), b.size()) != nullptr; });
}

TEST(ReaderAllocation, ImagesStayWithinBounds) {
    expectBoundedOnDamagedCopies("bmp", sample("flag.bmp"), [](const auto& b) {
        Texture t;
        return decodeBmp(b.data(), b.size(), t);
    });
    QX_REQUIRE_TESTDATA("tga/200x32_rgba_tl_raw.tga");
    expectBoundedOnDamagedCopies("tga", test::readBytes((test::testDataDir() / "tga/200x32_rgba_tl_raw.tga").string()),
                                 [](const auto& b) {
                                     Texture t;
                                     return decodeTga(b.data(), b.size(), t);
                                 });
    expectBoundedOnDamagedCopies("png", test::readBytes((test::testDataDir() / "png/pngsuite/basn2c08.png").string()),
                                 [](const auto& b) {
                                     Texture t;
                                     return decodePng(b.data(), b.size(), t);
                                 });
}

}  // namespace
}  // namespace qx
