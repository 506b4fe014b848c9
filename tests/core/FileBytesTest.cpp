// Files are read whole, into heap blocks when small and into mappings of their own when big;
// both must give exactly the file's bytes, and giving back what was read must spare the rest.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/ByteReader.h"
#include "core/FileBytes.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7919) >> 3);
    return bytes;
}

TEST(FileBytes, ReadsEveryFileWholeWhateverItsSize) {
    test::TempDir dir;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{65536}, std::size_t{65537},
                                   (std::size_t{1} << 20) - 1, std::size_t{1} << 20, (std::size_t{5} << 20) + 3}) {
        const std::string path = dir.file("f" + std::to_string(size));
        test::writeBytes(path, pattern(size));
        FileBytes bytes;
        std::string reason;
        ASSERT_TRUE(readFileBytes(path, bytes, &reason)) << size << ": " << reason;
        ASSERT_EQ(bytes.size(), size);
        EXPECT_TRUE(size == 0 || std::vector<std::uint8_t>(bytes.data(), bytes.data() + size) == pattern(size)) << size;
    }
}

TEST(FileBytes, ReadsFilesThatDoNotKnowTheirSizeAndRefusesWhatIsNoFile) {
    FileBytes bytes;
    std::string reason;
    ASSERT_TRUE(readFileBytes("/proc/self/status", bytes, &reason)) << reason;  // stat says 0 bytes
    EXPECT_NE(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()).find("Name:"), std::string::npos);

    test::TempDir dir;
    EXPECT_FALSE(readFileBytes(dir.path().string(), bytes, &reason));
    EXPECT_EQ(reason, "is a directory");
    EXPECT_FALSE(readFileBytes(dir.file("missing"), bytes, &reason));
    EXPECT_EQ(reason, "cannot open: No such file or directory");
    EXPECT_EQ(bytes.size(), 0u);
}

TEST(FileBytes, GivingBackReadBytesKeepsTheUnreadOnes) {
    test::TempDir dir;
    const std::string path = dir.file("big");
    const std::vector<std::uint8_t> expected = pattern((std::size_t{7} << 20) + 11);
    test::writeBytes(path, expected);
    FileBytes bytes;
    ASSERT_TRUE(readFileBytes(path, bytes, nullptr));
    ByteReader in(bytes);
    ASSERT_TRUE(in.skip((std::size_t{5} << 20) + 5));
    in.releaseRead();
    const std::size_t from = in.position();
    EXPECT_TRUE(
        std::equal(bytes.data() + from, bytes.data() + bytes.size(), expected.begin() + static_cast<long>(from)));
    // Given back: the two whole large pages before the position read as zeros now.
    const std::size_t released = std::size_t{4} << 20;
    ASSERT_NE(std::count(expected.begin(), expected.begin() + released, 0), static_cast<long>(released));
    EXPECT_EQ(std::count(bytes.data(), bytes.data() + released, 0), static_cast<long>(released));
    // So nothing may go back to them; forward is still free.
    EXPECT_FALSE(in.seek(0));
    EXPECT_FALSE(in.seek(from - 1));
    EXPECT_EQ(in.position(), from);
    EXPECT_TRUE(in.seek(from + 3));
    EXPECT_TRUE(in.seek(from));
}

// A device or pipe has no size to hold it to: it is read up to 256 MiB and refused past that.
TEST(FileBytes, EndlessDevicesAreRefusedPastTheCap) {
    FileBytes bytes;
    std::string reason;
    EXPECT_FALSE(readFileBytes("/dev/zero", bytes, &reason));
    EXPECT_EQ(reason, "more than 256 MiB from a pipe or device");
    EXPECT_EQ(bytes.size(), 0u);
    EXPECT_TRUE(readFileBytes("/dev/null", bytes, &reason)) << reason;
    EXPECT_EQ(bytes.size(), 0u);
}

}  // namespace
}  // namespace qx
