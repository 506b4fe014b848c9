// The one number reader of qxtool's scripts and options: whole tokens in plain decimal only.

#include <gtest/gtest.h>

#include <cmath>

#include "tools/qxtool/ParseNumber.h"

namespace qx::tool {
namespace {

TEST(ParseNumber, FloatsAreWholeDecimalTokensWithinRange) {
    const struct {
        const char* text;
        bool read;
        float value;
    } cases[] = {
        {"-0.5", true, -0.5f}, {".5", true, 0.5f},    {"1e3", true, 1000.0f}, {"-inf", true, -INFINITY},
        {"", false, 7.0f},     {"+1", false, 7.0f},   {"0x10", false, 7.0f},  {" 1", false, 7.0f},
        {"1s", false, 7.0f},   {"1e39", false, 7.0f},
    };
    for (const auto& c : cases) {
        float value = 7.0f;  // left as it was when refused
        EXPECT_EQ(parseNumber(c.text, value), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(ParseNumber, IntegersRefuseWhatTheirTypeCannotHold) {
    std::int32_t i = 0;
    EXPECT_TRUE(parseNumber("-2147483648", i));
    EXPECT_EQ(i, INT32_MIN);
    EXPECT_FALSE(parseNumber("2147483648", i));
    EXPECT_FALSE(parseNumber("1.5", i));
    std::uint32_t u = 0;
    EXPECT_TRUE(parseNumber("4294967295", u));
    EXPECT_EQ(u, UINT32_MAX);
    EXPECT_FALSE(parseNumber("-0", u));
    EXPECT_FALSE(parseNumber("4294967296", u));
}

}  // namespace
}  // namespace qx::tool
