#pragma once
// Writers build the whole file in memory and commit it at once: the bytes go to a temporary
// file beside the destination, which is renamed over it only when everything was written and
// flushed. A failed write therefore never leaves a half-written or destroyed destination.

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "math/Vector3.h"

namespace qx {

class ByteSink {
public:
    void u8(std::uint8_t v) { bytes_.push_back(v); }
    void u16(std::uint16_t v) { scalar(v); }
    void i16(std::int16_t v) { scalar(v); }
    void u32(std::uint32_t v) { scalar(v); }
    void i32(std::int32_t v) { scalar(v); }
    void f32(float v) { scalar(v); }
    void vector3(const Vector3& v) {
        f32(v.x);
        f32(v.y);
        f32(v.z);
    }
    void bytes(const void* data, std::size_t count);
    // The bytes of text followed by one 0 byte.
    void cString(std::string_view text);
    // A list count as int32.
    void count(std::size_t n) { i32(static_cast<std::int32_t>(n)); }

    const std::vector<std::uint8_t>& data() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

    // Writes the bytes to path atomically (see above). False, with a reason, on any error.
    bool commit(const std::string& path, std::string* reason) const;

private:
    template <typename T>
    void scalar(T v) {
        const auto old = bytes_.size();
        bytes_.resize(old + sizeof(T));
        std::memcpy(bytes_.data() + old, &v, sizeof(T));
    }

    std::vector<std::uint8_t> bytes_;
};

// The atomic file replacement behind ByteSink::commit, for writers whose bytes come from
// elsewhere (PNG encoding, for instance).
bool writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string* reason);

}  // namespace qx
