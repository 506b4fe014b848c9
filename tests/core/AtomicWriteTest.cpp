// Replacing a file goes through a temporary beside it; what the user had set up around the old
// file (its permissions, a link pointing at it) must survive the replacement.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "core/ByteSink.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

const std::vector<std::uint8_t> NewBytes = {'n', 'e', 'w'};

TEST(AtomicWrite, ReplacedFileKeepsItsPermissions) {
    test::TempDir dir;
    const std::string path = dir.file("shared.qm2");
    test::writeBytes(path, {'o', 'l', 'd'});
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::group_write | fs::perms::others_read);
    const auto before = fs::status(path).permissions();

    std::string reason;
    ASSERT_TRUE(writeFileAtomically(path, NewBytes, &reason)) << reason;
    EXPECT_EQ(test::readBytes(path), NewBytes);
    EXPECT_EQ(fs::status(path).permissions(), before);
}

TEST(AtomicWrite, NewFileGetsTheUsualModeNotAPrivateOne) {
    test::TempDir dir;
    const std::string path = dir.file("fresh.qm2");
    const mode_t mask = ::umask(022);
    std::string reason;
    const bool ok = writeFileAtomically(path, NewBytes, &reason);
    ::umask(mask);
    ASSERT_TRUE(ok) << reason;
    EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0644));
}

TEST(AtomicWrite, WritingThroughALinkReplacesTheFileItNames) {
    test::TempDir dir;
    fs::create_directory(dir.path() / "store");
    const std::string target = dir.file("store/walk.qm2");
    const std::string link = dir.file("walk.qm2");
    test::writeBytes(target, {'o', 'l', 'd'});
    fs::create_symlink("store/walk.qm2", link);

    std::string reason;
    ASSERT_TRUE(writeFileAtomically(link, NewBytes, &reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::readBytes(target), NewBytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "store"), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace qx
