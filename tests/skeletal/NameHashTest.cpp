#include <gtest/gtest.h>

#include "skeletal/NameHash.h"

namespace qx {
namespace {

TEST(NameHash, WorkedValueAndEmptyText) {
    EXPECT_EQ(nameHash(""), 0);
    EXPECT_EQ(nameHash("a"), 0x61);
    EXPECT_EQ(nameHash("ab"), 0x1822);
    EXPECT_EQ(nameHash("abc"), 0x608E3);
}

TEST(NameHash, HighBytesAreSignExtended) {
    // 0xE9 mixes in as 0xFFFFFFE9, not 0xE9.
    EXPECT_EQ(static_cast<std::uint32_t>(nameHash("\xE9")), 0xFFFFFFE9u);
    EXPECT_NE(nameHash("a\xE9"), nameHash("a\x69"));
}

TEST(NameHash, LongNamesKeepTheirTopBitsThroughTheMask) {
    // Values from an independent implementation of the same arithmetic.
    EXPECT_EQ(static_cast<std::uint32_t>(nameHash("Bip01 L UpperArm")), 0xCF5C0CEDu);
    EXPECT_EQ(nameHash("/tmp/x.qm2"), 0x3DFF0B72);
}

}  // namespace
}  // namespace qx
