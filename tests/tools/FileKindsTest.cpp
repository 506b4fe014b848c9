// Every type of the table has its qxtool kind, and dump names a file's type by its row's extension.

#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/AmExportBuilder.h"
#include "tests/support/Md2Builder.h"
#include "tests/support/Qxtool.h"
#include "tools/qxtool/FileKinds.h"
#include "vertex/VertexModelFile.h"

namespace qx {
namespace {

// A small file of a type dump reads; false for a type without a sample here.
bool writeSample(FileType type, const std::string& path) {
    if (type == FileType::SkeletalMesh) return writeSkeletalMesh(path, SkeletalMesh{});
    if (type == FileType::VertexModel) return writeVertexModel(path, VertexModel{});
    if (type == FileType::SkeletalMotion) return writeSkeletalMotion(path, SkeletalMotion{});
    if (type == FileType::Md2Model) test::writeBytes(path, test::md2Bytes({}));
    if (type == FileType::AmModel) test::writeBytes(path, test::squarePly().bytes());
    if (type == FileType::AmMotion) test::writeBytes(path, test::KfmBytes{}.bytes());
    return std::filesystem::exists(path);
}

TEST(FileKinds, EveryTypeHasItsKindAndDumpNamesItsExtension) {
    test::TempDir dir;
    for (const FileTypeRow& row : fileTypes()) {
        SCOPED_TRACE(row.extension);
        const std::string path = dir.file(std::string("Sample.") + row.extension);
        const tool::FileKind* kind = tool::findFileKind(path);
        ASSERT_TRUE(kind != nullptr && kind->type == row.type);
        EXPECT_NE(kind->info, nullptr);
        EXPECT_EQ(kind->dump != nullptr, row.role != FileRole::Image);  // `image` prints an image's pixels
        if (kind->dump == nullptr) continue;
        ASSERT_TRUE(writeSample(row.type, path));
        const test::CommandResult run = test::runQxtool("dump " + test::quoted(path));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(nlohmann::json::parse(run.out)["type"], row.extension);
    }
}

}  // namespace
}  // namespace qx
