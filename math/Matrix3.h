#pragma once
// A 3x3 single-precision matrix, row-major. Row i of a rotation is the image of axis i, and a
// product A * B applies A first.

#include "math/Vector3.h"

namespace qx {

struct Matrix3 {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    static Matrix3 identity() { return {}; }

    // Builders; an angle of exactly 0 gives the identity.
    static Matrix3 rotationAxis(float angle, const Vector3& axis);
    static Matrix3 rotationX(float angle);
    static Matrix3 rotationY(float angle);
    static Matrix3 rotationZ(float angle);

    // In place: M := M * rotation. An angle of exactly 0 changes nothing.
    void rotateX(float angle);
    void rotateY(float angle);
    void rotateZ(float angle);
    void rotateAxis(float angle, const Vector3& axis);

    // The rotation that takes the unit direction onto +Z and the up vector into the +Y half
    // of the YZ plane.
    void alignZ(const Vector3& direction, const Vector3& up);

    float determinant() const;
    Vector3 row(int i) const { return {m[i][0], m[i][1], m[i][2]}; }
    Vector3 column(int j) const { return {m[0][j], m[1][j], m[2][j]}; }
    void setRow(int i, const Vector3& v) {
        m[i][0] = v.x;
        m[i][1] = v.y;
        m[i][2] = v.z;
    }

    bool operator==(const Matrix3&) const = default;
};

// A * B: A applied first.
Matrix3 product(const Matrix3& a, const Matrix3& b);

}  // namespace qx
