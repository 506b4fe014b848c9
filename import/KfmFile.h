#pragma once
// Reading the A:M ".kfm" motion export: magic 0x12345679, the duration, a 16-bit track count,
// then per track the bone name, two direction/roll pairs and ten channels of keys (9 bytes, or
// 25 with their handles).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "import/KfmMotion.h"
#include "math/Matrix3.h"

namespace qx {

// Reads a motion; none with a short reason when the file cannot be read, its magic is wrong or
// it ends inside a track.
std::unique_ptr<KfmMotion> readKfm(const std::string& path, std::string* reason = nullptr);
std::unique_ptr<KfmMotion> parseKfm(const std::uint8_t* data, std::size_t size, std::string* reason = nullptr);

// The rotation that turns direction onto +Z and then turns roll about Z onto +Y. Unlike the bone
// frame, the direction is used as stored, unnormalised, and only an angle of exactly 0 skips the
// first turn: motions converted before carry bases computed this way, and a conversion of the
// same file must give the same basis.
Matrix3 kfmFrame(const Vector3& direction, const Vector3& roll);

// A track's basis rows: transpose(kfmFrame(direction1, roll1)) * kfmFrame(direction2, roll2), or
// the identity when direction2 is zero (each component's square below 1e-6).
Matrix3 kfmBasis(const Vector3& direction1, const Vector3& roll1, const Vector3& direction2, const Vector3& roll2);

}  // namespace qx
