#pragma once
// A rotation quaternion (x, y, z, w), w the scalar part; the identity is (0, 0, 0, 1).

#include "math/Matrix.h"
#include "math/Matrix3.h"
#include "math/Vector3.h"

namespace qx {

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    constexpr Quaternion() = default;
    constexpr Quaternion(float xv, float yv, float zv, float wv) : x(xv), y(yv), z(zv), w(wv) {}

    // Assigns; with normalize divides all four by their length (a zero quaternion is kept).
    void set(float xv, float yv, float zv, float wv, bool normalize);

    // The rotation by degrees about axis. The axis is taken as given, not normalised, and the
    // degree factor is the program's 0.0174533, not pi/180.
    static Quaternion fromAxisDegrees(const Vector3& axis, float degrees, bool normalize);

    bool operator==(const Quaternion&) const = default;
};

inline constexpr Quaternion IdentityQuaternion{0.0f, 0.0f, 0.0f, 1.0f};

inline constexpr float dot(const Quaternion& a, const Quaternion& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}

// q is taken as unit length.
// The rotation a unit quaternion stands for, written into the first three rows and columns.
template <int ROWS, int COLS>
void writeRotation(float (&r)[ROWS][COLS], const Quaternion& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    r[0][0] = 1.0f - 2.0f * (y * y + z * z);
    r[0][1] = 2.0f * (x * y + z * w);
    r[0][2] = 2.0f * (x * z - y * w);
    r[1][0] = 2.0f * (x * y - z * w);
    r[1][1] = 1.0f - 2.0f * (x * x + z * z);
    r[1][2] = 2.0f * (y * z + x * w);
    r[2][0] = 2.0f * (x * z + y * w);
    r[2][1] = 2.0f * (y * z - x * w);
    r[2][2] = 1.0f - 2.0f * (x * x + y * y);
}

Matrix3 toMatrix3(const Quaternion& q);
Matrix toMatrix(const Quaternion& q);

// Spherical interpolation along the arc between q1 and q2 exactly as given: q2 is not negated
// when the two lie in opposite hemispheres, and the result is not renormalised.
Quaternion slerp(const Quaternion& q1, const Quaternion& q2, float t);

}  // namespace qx
