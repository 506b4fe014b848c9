// The byte reader stands between every file and the readers: a read that fits in the bytes left
// consumes them, one that does not is refused with nothing consumed and nothing written, a count
// is held to the bytes left before anything is reserved for it, and a reader over a file never
// goes back to bytes it gave back.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/ByteReader.h"
#include "core/FileBytes.h"
#include "tests/support/TempDir.h"

namespace qx {
namespace {

constexpr std::size_t Huge = std::numeric_limits<std::size_t>::max();
constexpr std::uint8_t Poison = 0xde;

// Bytes 1, 2, 3 ... (never 0), with room to spare behind them: a reader is told only the first
// size bytes, so that a read past its end finds bytes of ours instead of faulting.
std::vector<std::uint8_t> counting(std::size_t size) {
    std::vector<std::uint8_t> bytes(size + 64);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i % 255 + 1);
    return bytes;
}

// Each read kind reads into out, which comes filled with Poison and as long as the read.
using Read = bool (*)(ByteReader& in, std::vector<std::uint8_t>& out);

template <typename T, bool (ByteReader::*Scalar)(T&)>
bool scalar(ByteReader& in, std::vector<std::uint8_t>& out) {
    T value;
    std::memcpy(&value, out.data(), sizeof value);
    const bool ok = (in.*Scalar)(value);
    std::memcpy(out.data(), &value, sizeof value);
    return ok;
}

bool threeU16(ByteReader& in, std::vector<std::uint8_t>& out) {
    std::vector<std::uint16_t> list(3);
    std::memcpy(list.data(), out.data(), 6);
    const bool ok = in.list(list, 3);
    out.assign(reinterpret_cast<const std::uint8_t*>(list.data()),
               reinterpret_cast<const std::uint8_t*>(list.data() + list.size()));
    return ok;
}

struct ReadKind {
    const char* name;
    std::size_t bytes;
    Read read;
    bool writes = true;
};

const ReadKind ReadKinds[] = {
    {"u8", 1, scalar<std::uint8_t, &ByteReader::u8>},
    {"u16", 2, scalar<std::uint16_t, &ByteReader::u16>},
    {"i16", 2, scalar<std::int16_t, &ByteReader::i16>},
    {"u32", 4, scalar<std::uint32_t, &ByteReader::u32>},
    {"i32", 4, scalar<std::int32_t, &ByteReader::i32>},
    {"f32", 4, scalar<float, &ByteReader::f32>},
    {"vector3", 12, scalar<Vector3, &ByteReader::vector3>},
    {"list of three u16", 6, threeU16},
    {"bytes", 5, [](ByteReader& in, std::vector<std::uint8_t>& out) { return in.bytes(out.data(), out.size()); }},
    {"no bytes", 0, [](ByteReader& in, std::vector<std::uint8_t>& out) { return in.bytes(out.data(), 0); }},
    {"record", 9,
     [](ByteReader& in, std::vector<std::uint8_t>& out) {
         FixedRecord record;
         if (!in.record(out.size(), record)) return false;
         record.bytes(out.data(), out.size());
         return true;
     }},
    {"skip", 7, [](ByteReader& in, std::vector<std::uint8_t>& out) { return in.skip(out.size()); }, false},
};

// Every read that ends exactly at the end succeeds; one byte short of its bytes it is refused,
// leaving the cursor and the destination as they were.
TEST(ByteReader, ReadsAtTheEndExactlyAndOneBytePastIt) {
    for (const ReadKind& kind : ReadKinds) {
        for (const std::size_t at : {std::size_t{0}, std::size_t{3}}) {
            SCOPED_TRACE(std::string(kind.name) + " from " + std::to_string(at));
            const std::vector<std::uint8_t> data = counting(at + kind.bytes);
            const std::vector<std::uint8_t> poisoned(kind.bytes, Poison);

            ByteReader exact(data.data(), at + kind.bytes);
            ASSERT_TRUE(exact.skip(at));
            std::vector<std::uint8_t> out = poisoned;
            EXPECT_TRUE(kind.read(exact, out));
            EXPECT_EQ(exact.position(), at + kind.bytes);
            EXPECT_EQ(exact.remaining(), 0u);
            EXPECT_TRUE(exact.atEnd());
            if (kind.writes) {
                EXPECT_EQ(out, std::vector<std::uint8_t>(data.begin() + at, data.begin() + at + kind.bytes));
            }

            if (kind.bytes == 0) continue;
            ByteReader shortOne(data.data(), at + kind.bytes - 1);
            ASSERT_TRUE(shortOne.skip(at));
            out = poisoned;
            EXPECT_FALSE(kind.read(shortOne, out));
            EXPECT_EQ(shortOne.position(), at);
            EXPECT_EQ(shortOne.current(), data.data() + at);
            EXPECT_EQ(out, poisoned);
        }
    }
}

struct CountCase {
    const char* name;
    std::int32_t value;
    std::size_t minElementBytes;
    std::size_t following;  // bytes after the count
    bool accepted;
};

const CountCase CountCases[] = {
    {"none", 0, 16, 0, true},
    {"elements filling what is left", 3, 4, 12, true},
    {"elements one byte longer than what is left", 3, 4, 11, false},
    {"negative, of elements of no size", -1, 0, 64, false},
    {"the most negative", std::numeric_limits<std::int32_t>::min(), 1, 64, false},
    {"the largest", std::numeric_limits<std::int32_t>::max(), 1, 64, false},
    {"the largest, of big records", std::numeric_limits<std::int32_t>::max(), std::size_t{1} << 20, 64, false},
};

TEST(ByteReader, CountsAreHeldToTheBytesLeft) {
    constexpr std::int32_t Untouched = 0x5eadbeef;
    for (const CountCase& c : CountCases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> data = counting(4 + c.following);
        std::memcpy(data.data(), &c.value, 4);
        ByteReader in(data.data(), 4 + c.following);
        std::int32_t out = Untouched;
        EXPECT_EQ(in.count(out, c.minElementBytes), c.accepted);
        EXPECT_EQ(out, c.accepted ? c.value : Untouched);
        EXPECT_EQ(in.position(), c.accepted ? 4u : 0u);
    }
    const std::vector<std::uint8_t> zeros(8, 0);
    ByteReader cut(zeros.data(), 3);
    std::int32_t out = Untouched;
    EXPECT_FALSE(cut.count(out, 0));
    EXPECT_EQ(out, Untouched);
    EXPECT_EQ(cut.position(), 0u);
}

// Requests of n elements (bytes, or 32-bit words for a list) from a reader with 12 bytes left
// after 4 read, each refused before anything is reserved or written.
using Request = bool (*)(ByteReader& in, std::size_t n);

struct RequestKind {
    const char* name;
    Request request;
};

const RequestKind RequestKinds[] = {
    {"list",
     [](ByteReader& in, std::size_t n) {
         std::vector<std::uint32_t> list{7, 8};
         const bool ok = in.list(list, n);
         // Refused, the list keeps its elements and its storage.
         return ok || list != std::vector<std::uint32_t>{7, 8} || list.capacity() != 2;
     }},
    {"record",
     [](ByteReader& in, std::size_t n) {
         FixedRecord record;
         return in.record(n, record);
     }},
    {"bytes",
     [](ByteReader& in, std::size_t n) {
         std::uint8_t out[16];
         std::memset(out, Poison, sizeof out);
         return in.bytes(out, n) || out[0] != Poison;
     }},
    {"skip", [](ByteReader& in, std::size_t n) { return in.skip(n); }},
};

TEST(ByteReader, OversizedRequestsAreRefused) {
    for (const RequestKind& kind : RequestKinds) {
        for (const std::size_t n : {std::size_t{13}, std::size_t{1} << 38, Huge / 4 + 1, Huge}) {
            SCOPED_TRACE(std::string(kind.name) + " of " + std::to_string(n));
            const std::vector<std::uint8_t> data = counting(16);
            ByteReader in(data.data(), 16);
            ASSERT_TRUE(in.skip(4));
            EXPECT_FALSE(kind.request(in, n));
            EXPECT_EQ(in.position(), 4u);
        }
    }
    // The words a list does take are the file's, little-endian.
    const std::vector<std::uint8_t> data = counting(16);
    ByteReader in(data.data(), 16);
    std::vector<std::uint32_t> list;
    ASSERT_TRUE(in.skip(4) && in.list(list, 3));
    EXPECT_EQ(list, (std::vector<std::uint32_t>{0x08070605, 0x0c0b0a09, 0x100f0e0d}));
}

struct CStringCase {
    const char* name;
    std::string bytes;  // what the reader sees; a 0 byte always follows beyond it
    bool found;
    std::string text;
};

const CStringCase CStringCases[] = {
    {"text and its end", std::string("ab\0cd", 5), true, "ab"},
    {"an empty text", std::string("\0x", 2), true, ""},
    {"an end as the last byte", std::string("abc\0", 4), true, "abc"},
    {"no end before the reader's end", "abc", false, ""},
    {"nothing left", "", false, ""},
};

TEST(ByteReader, CStringsEndAtAZeroByteInsideTheBytes) {
    for (const CStringCase& c : CStringCases) {
        SCOPED_TRACE(c.name);
        const std::string backing = c.bytes + '\0';
        ByteReader in(reinterpret_cast<const std::uint8_t*>(backing.data()), c.bytes.size());
        std::string out = "untouched";
        EXPECT_EQ(in.cString(out), c.found);
        EXPECT_EQ(out, c.found ? c.text : "untouched");
        EXPECT_EQ(in.position(), c.found ? c.text.size() + 1 : 0u);
    }
}

struct SeekCase {
    const char* name;
    bool overFile;
    std::vector<std::size_t> releasesAt;  // in order, before the cursor moves to 50
    std::size_t target;
    bool accepted;
};

const SeekCase SeekCases[] = {
    {"back to the start", true, {}, 0, true},
    {"to the end", true, {}, 64, true},
    {"one byte past the end", true, {}, 65, false},
    {"the largest offset", true, {}, Huge, false},
    {"back to the start after a release", true, {20}, 0, false},
    {"one byte before the release", true, {20}, 19, false},
    {"back to the release", true, {20}, 20, true},
    {"before the last of two releases", true, {20, 40}, 39, false},
    {"back to the last of two releases", true, {20, 40}, 40, true},
    {"back to the start of memory that is no file's", false, {20}, 0, true},
};

TEST(ByteReader, SeeksStayInsideTheBytesNotYetGivenBack) {
    test::TempDir dir;
    const std::string path = dir.file("bytes");
    std::vector<std::uint8_t> bytes = counting(64);
    bytes.resize(64);
    test::writeBytes(path, bytes);
    for (const SeekCase& c : SeekCases) {
        SCOPED_TRACE(c.name);
        FileBytes file;
        ASSERT_TRUE(readFileBytes(path, file, nullptr));
        ByteReader in = c.overFile ? ByteReader(file) : ByteReader(bytes);
        for (const std::size_t at : c.releasesAt) {
            ASSERT_TRUE(in.seek(at));
            in.releaseRead();
        }
        ASSERT_TRUE(in.seek(50));
        EXPECT_EQ(in.seek(c.target), c.accepted);
        EXPECT_EQ(in.position(), c.accepted ? c.target : 50u);
    }
}

}  // namespace
}  // namespace qx
