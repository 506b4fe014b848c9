// qxtool reserves heap address space up front where it may; where it may not (a low ulimit -v
// here, strict overcommit elsewhere) it runs on the ordinary heap and answers as it does without
// the limit.

#include <gtest/gtest.h>

#include "tests/support/Qxtool.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

// KiB: well below the 512 MiB the heap reserves, far above the 10 MiB or so qxtool needs.
constexpr int AddressLimit = 256 << 10;

struct LimitedRun {
    const char* name;
    const char* arguments;  // the files relative to the source folder
};

const LimitedRun Runs[] = {
    {"info of every kind", "info samples/figure.qm1 samples/figure-walk.qm2 samples/flag.qv1 samples/flag.bmp"},
    {"dump of a mesh", "dump samples/figure.qm1"},
    {"a rejected file", "info samples/figure.qm1 CMakeLists.txt"},
};

TEST(AddressLimit, CommandsAnswerAsWithoutTheLimit) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' own allocator needs far more address space than the limit";
#endif
    const std::string inSource = "cd " + test::quoted(test::sourceDir().string()) + " && ";
    for (const auto& run : Runs) {
        SCOPED_TRACE(run.name);
        const std::string command = test::quoted(test::qxtoolPath()) + " " + run.arguments;
        const auto free = test::runCommand(inSource + command);
        const auto limited =
            test::runCommand(inSource + "ulimit -v " + std::to_string(AddressLimit) + " && " + command);
        EXPECT_EQ(limited.status, free.status);
        EXPECT_EQ(limited.out, free.out);
        EXPECT_EQ(limited.err, free.err);
        EXPECT_FALSE(free.out.empty());
    }
}

}  // namespace
}  // namespace qx
