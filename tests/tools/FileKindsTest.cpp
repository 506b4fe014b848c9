// Every type of the table has its qxtool kind (dump's "type" of each kind is checked by that
// kind's own dump test).

#include <gtest/gtest.h>

#include "tools/qxtool/FileKinds.h"

namespace qx {
namespace {

TEST(FileKinds, EveryTypeHasItsKind) {
    for (const FileTypeRow& row : fileTypes()) {
        SCOPED_TRACE(row.extension);
        const tool::FileKind* kind = tool::findFileKind(std::string("Sample.") + row.extension);
        ASSERT_TRUE(kind != nullptr && kind->type == row.type);
        EXPECT_NE(kind->info, nullptr);
        EXPECT_EQ(kind->dump != nullptr, row.role != FileRole::Image);  // `image` prints an image's pixels
    }
}

}  // namespace
}  // namespace qx
