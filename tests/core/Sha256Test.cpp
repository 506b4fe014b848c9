#include <gtest/gtest.h>

#include <string_view>

#include "core/Sha256.h"

namespace qx {
namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string hex(const std::array<std::uint8_t, 32>& digest) {
    std::string text;
    char pair[3];
    for (const std::uint8_t b : digest) {
        std::snprintf(pair, sizeof pair, "%02x", b);
        text += pair;
    }
    return text;
}

// The published test vectors of the standard.
TEST(Sha256, KnownVectors) {
    EXPECT_EQ(sha256Hex(bytesOf("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex(bytesOf("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex(bytesOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    const std::string million(1000000, 'a');
    EXPECT_EQ(sha256Hex(bytesOf(million)), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// Pieces of every size around the 64-byte block and the 56-byte padding limit give the digest of
// the whole.
TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += static_cast<char>('a' + i % 26);
    for (const std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 300u}) {
        const std::string_view whole(text.data(), length);
        for (const std::size_t piece : {1u, 7u, 63u, 64u}) {
            Sha256 hash;
            for (std::size_t at = 0; at < length; at += piece) hash.update(bytesOf(whole.substr(at, piece)));
            EXPECT_EQ(hex(hash.finish()), sha256Hex(bytesOf(whole))) << length << " in pieces of " << piece;
        }
    }
}

}  // namespace
}  // namespace qx
