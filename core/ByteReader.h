#pragma once
// A bounds-checked little-endian cursor over bytes already in memory. Every reader of the
// program parses through it, so that no hostile file can make a reader step outside its bytes
// or reserve more elements than the remaining bytes could hold.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "math/Vector3.h"

namespace qx {

class FileBytes;

// The fields of a fixed-size record whose bytes ByteReader::record() checked once: read in file
// order with no further checks, so that a record reads as its layout is written down and not as
// offsets into it.
class FixedRecord {
public:
    FixedRecord() = default;
    explicit FixedRecord(const std::uint8_t* bytes) : p_(bytes) {}

    template <typename T>
    T next() {
        T value;
        std::memcpy(&value, p_, sizeof value);
        p_ += sizeof value;
        return value;
    }
    std::int32_t i32() { return next<std::int32_t>(); }
    float f32() { return next<float>(); }
    std::uint8_t u8() { return next<std::uint8_t>(); }
    Vector3 vector3() {
        const float x = f32(), y = f32();
        return {x, y, f32()};
    }
    void bytes(void* out, std::size_t count) {
        std::memcpy(out, p_, count);
        p_ += count;
    }

private:
    const std::uint8_t* p_ = nullptr;
};

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> bytes) : data_(bytes.data()), size_(bytes.size()) {}
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    // Over a file's bytes, whose memory releaseRead() may give back.
    explicit ByteReader(FileBytes& file);

    std::size_t size() const { return size_; }
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ == size_; }

    // Each read either consumes its bytes and returns true, or leaves the cursor and the
    // destination untouched and returns false.
    bool u8(std::uint8_t& out) { return scalar(out); }
    bool u16(std::uint16_t& out) { return scalar(out); }
    bool i16(std::int16_t& out) { return scalar(out); }
    bool u32(std::uint32_t& out) { return scalar(out); }
    bool i32(std::int32_t& out) { return scalar(out); }
    bool f32(float& out) { return scalar(out); }
    bool vector3(Vector3& out);
    bool bytes(void* out, std::size_t count);
    bool skip(std::size_t count);
    // Moves to offset; false (nothing moved) past the end, or back before the point of the last
    // releaseRead() of a file's bytes, whose memory may be gone.
    bool seek(std::size_t offset);

    // Bytes up to a 0 byte, which is consumed. False (nothing consumed) when no 0 byte follows.
    bool cString(std::string& out);

    // A count that must be at least 0 and whose elements, each at least minElementBytes long,
    // fit in the bytes that remain. Consumes the 4 bytes only when it is acceptable.
    bool count(std::int32_t& out, std::size_t minElementBytes) {
        std::int32_t value = 0;
        if (remaining() < 4) return false;
        std::memcpy(&value, data_ + pos_, 4);
        if (value < 0 || remaining() - 4 < static_cast<std::size_t>(value) * minElementBytes) return false;
        pos_ += 4;
        out = value;
        return true;
    }

    // True when count elements of elementBytes each fit in what remains.
    bool fits(std::size_t count, std::size_t elementBytes) const {
        return elementBytes == 0 || count <= remaining() / elementBytes;
    }

    // The next bytes as one fixed-size record, or false (nothing consumed) when fewer remain.
    bool record(std::size_t bytes, FixedRecord& out) {
        if (remaining() < bytes) return false;
        out = FixedRecord(data_ + pos_);
        pos_ += bytes;
        return true;
    }

    // count elements laid out in the file exactly as T is in memory (little-endian, no padding),
    // or false (nothing consumed, out untouched) when they do not fit.
    template <typename T>
    bool list(std::vector<T>& out, std::size_t count) {
        static_assert(std::is_trivially_copyable_v<T>);
        if (!fits(count, sizeof(T))) return false;
        out.resize(count);
        if (count > 0) std::memcpy(out.data(), data_ + pos_, count * sizeof(T));
        pos_ += count * sizeof(T);
        return true;
    }

    const std::uint8_t* current() const { return data_ + pos_; }

    // Gives back the memory of the bytes already read, when reading a file: a reader that never
    // looks back calls it between records, so that a big file is not held whole beside the
    // model made of it. Bytes given back read as zeros, so seek() refuses to go back to them.
    void releaseRead();

private:
    template <typename T>
    bool scalar(T& out) {
        if (remaining() < sizeof(T)) return false;
        // The program runs on little-endian machines only, as its files are little-endian.
        std::memcpy(&out, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return true;
    }

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    FileBytes* file_ = nullptr;
    std::size_t released_ = 0;  // bytes before this may have been given back
};

static_assert(std::endian::native == std::endian::little, "the file formats are little-endian");

}  // namespace qx
