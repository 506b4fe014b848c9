#pragma once
// A 4x4 single-precision affine matrix, row-major: rows 0-2 hold the rotation part (fourth entry
// 0) and row 3 the translation (fourth entry 1). The fourth column is always (0, 0, 0, 1).

#include "math/Vector3.h"

namespace qx {

struct Quaternion;

struct Matrix {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static Matrix identity() { return {}; }

    // Builders; an angle of exactly 0 gives the identity. Translation is 0.
    static Matrix rotationAxis(float angle, const Vector3& axis);
    static Matrix rotationX(float angle);
    static Matrix rotationY(float angle);
    static Matrix rotationZ(float angle);

    // In place: M := M * rotation, applied to every row including the translation row.
    // An angle of exactly 0 changes nothing.
    void rotateX(float angle);
    void rotateY(float angle);
    void rotateZ(float angle);
    void rotateAxis(float angle, const Vector3& axis);

    // M := M * toMatrix(q).
    void multiplyByQuaternion(const Quaternion& q);

    // The model-to-bone matrix: origin at start, +Z toward end, +Y toward the roll point.
    static Matrix fromBonePoints(const Vector3& start, const Vector3& end, const Vector3& roll);
    // The inverse of a rotation-plus-translation matrix (orthonormal rotation part only).
    static Matrix rigidInverse(const Matrix& m);

    void transpose();
    Vector3 row(int i) const { return {m[i][0], m[i][1], m[i][2]}; }
    Vector3 column(int j) const { return {m[0][j], m[1][j], m[2][j]}; }
    void setRow(int i, const Vector3& v) { m[i][0] = v.x; m[i][1] = v.y; m[i][2] = v.z; }

    bool operator==(const Matrix&) const = default;
};

// A * B (A applied first), affine part only; the fourth column of the result is (0, 0, 0, 1).
Matrix product(const Matrix& a, const Matrix& b);

}  // namespace qx
