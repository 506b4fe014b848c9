#pragma once
// SHA-256 (FIPS 180-4), used to fingerprint decoded pictures so that scripts and tests can
// compare a decode with a reference without storing every pixel.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace qx {

class Sha256 {
public:
    Sha256();
    void update(std::span<const std::uint8_t> bytes);
    // The digest of everything given so far. The object is spent afterwards.
    std::array<std::uint8_t, 32> finish();

private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> block_{};
    std::size_t blockUsed_ = 0;
    std::uint64_t totalBytes_ = 0;
};

// The digest of bytes as 64 lower-case hexadecimal digits.
std::string sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace qx
