#pragma once
// A bone's pose as glTF writes it (translation, unit rotation, scale, all finite) and the little
// double-precision algebra the exporter needs to compose such poses the way glTF readers do:
// column vectors, node world = parent world x translation x rotation x scale.

#include <array>
#include <cstddef>

#include "animation/Pose.h"
#include "math/Matrix.h"

namespace qx {

struct GltfTrs {
    std::array<float, 3> translation{0.0f, 0.0f, 0.0f};
    std::array<float, 4> rotation{0.0f, 0.0f, 0.0f, 1.0f};  // x, y, z, w
    std::array<float, 3> scale{1.0f, 1.0f, 1.0f};
};

// A sampled pose as written: numbers that are not finite become identity values (counted in
// replaced), the rotation unit length (a zero one, which poses as the identity matrix, becomes
// the identity).
GltfTrs gltfTrsOf(const Pose& pose, std::size_t& replaced);

// glTF's linear interpolation between two written poses: translation and scale straight,
// rotation along the shorter arc.
GltfTrs interpolate(const GltfTrs& a, const GltfTrs& b, double f);

// A 4x4 matrix for column vectors, row-major in memory: m[row][column].
struct ColumnMatrix {
    std::array<std::array<double, 4>, 4> m{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
};

ColumnMatrix operator*(const ColumnMatrix& a, const ColumnMatrix& b);
ColumnMatrix matrixOf(const GltfTrs& trs);
// A row-vector matrix of the model side as the same transform for column vectors.
ColumnMatrix columnFormOf(const Matrix& rows);
// The point p (w = 1) moved by m.
std::array<double, 3> apply(const ColumnMatrix& m, const std::array<double, 3>& p);

// A fixed transform that is a rotation and a translation only (its 3x3 part orthonormal within
// a float's rounding, determinant positive), as such: then fixed x pose is again one pose.
struct RigidTransform {
    std::array<double, 3> translation{0.0, 0.0, 0.0};
    std::array<double, 4> rotation{0.0, 0.0, 0.0, 1.0};  // x, y, z, w
    std::array<std::array<double, 3>, 3> basis{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
};
// The transform as a rigid one; false when it scales, shears or mirrors.
bool rigidPart(const ColumnMatrix& fixed, RigidTransform& rigid);
// fixed x pose as one pose: translation = fixed applied to the pose's translation, rotation =
// fixed rotation x pose rotation, scale = the pose's scale.
GltfTrs fold(const RigidTransform& fixed, const GltfTrs& pose);

}  // namespace qx
