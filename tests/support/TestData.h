#pragma once
// Where the tests find the shared real-world files (read in place, never copied) and the source
// tree. The qxtool binary is in tests/support/Qxtool.h.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace qx::test {

inline std::filesystem::path testDataDir() { return QX_TESTDATA_DIR; }
inline std::filesystem::path sourceDir() { return QX_SOURCE_DIR; }

}  // namespace qx::test

// Skips the current test with a clear message when the shared test files are absent.
#define QX_REQUIRE_TESTDATA(relative)                                                                              \
    do {                                                                                                           \
        if (!std::filesystem::exists(::qx::test::testDataDir() / (relative)))                                      \
            GTEST_SKIP() << "shared test data not found at " << (::qx::test::testDataDir() / (relative)).string(); \
    } while (0)
