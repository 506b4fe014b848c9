#pragma once
// The rotation arithmetic shared by Matrix3 and Matrix: both keep rows of at least three floats,
// and a Matrix rotates its translation row as well, so the helpers walk ROWS rows of COLS floats.

#include "math/Trig.h"
#include "math/Vector3.h"

namespace qx::rotation {

// clang-format off
template <int ROWS, int COLS>
void writeAxis(float (&m)[ROWS][COLS], float angle, const Vector3& axis) {
    const float c = fcos(angle), s = fsin(angle), t = 1.0f - c;
    const float x = axis.x, y = axis.y, z = axis.z;
    m[0][0] = c + t * x * x;     m[0][1] = t * x * y + s * z; m[0][2] = t * x * z - s * y;
    m[1][0] = t * x * y - s * z; m[1][1] = c + t * y * y;     m[1][2] = t * y * z + s * x;
    m[2][0] = t * x * z + s * y; m[2][1] = t * y * z - s * x; m[2][2] = c + t * z * z;
}

template <int ROWS, int COLS>
void writeX(float (&m)[ROWS][COLS], float angle) {
    const float c = fcos(angle), s = fsin(angle);
    m[0][0] = 1; m[0][1] = 0;  m[0][2] = 0;
    m[1][0] = 0; m[1][1] = c;  m[1][2] = s;
    m[2][0] = 0; m[2][1] = -s; m[2][2] = c;
}

template <int ROWS, int COLS>
void writeY(float (&m)[ROWS][COLS], float angle) {
    const float c = fcos(angle), s = fsin(angle);
    m[0][0] = c; m[0][1] = 0; m[0][2] = -s;
    m[1][0] = 0; m[1][1] = 1; m[1][2] = 0;
    m[2][0] = s; m[2][1] = 0; m[2][2] = c;
}

template <int ROWS, int COLS>
void writeZ(float (&m)[ROWS][COLS], float angle) {
    const float c = fcos(angle), s = fsin(angle);
    m[0][0] = c;  m[0][1] = s; m[0][2] = 0;
    m[1][0] = -s; m[1][1] = c; m[1][2] = 0;
    m[2][0] = 0;  m[2][1] = 0; m[2][2] = 1;
}
// clang-format on

// M := M * R for the 3x3 rotation r, every row taken as a row vector.
template <int ROWS, int COLS>
void multiplyRows(float (&m)[ROWS][COLS], const float (&r)[3][3]) {
    for (int i = 0; i < ROWS; ++i) {
        const float x = m[i][0], y = m[i][1], z = m[i][2];
        m[i][0] = x * r[0][0] + y * r[1][0] + z * r[2][0];
        m[i][1] = x * r[0][1] + y * r[1][1] + z * r[2][1];
        m[i][2] = x * r[0][2] + y * r[1][2] + z * r[2][2];
    }
}

template <int ROWS, int COLS>
void rotateRowsX(float (&m)[ROWS][COLS], float angle) {
    const float c = fcos(angle), s = fsin(angle);
    for (int i = 0; i < ROWS; ++i) {
        const float y = m[i][1], z = m[i][2];
        m[i][1] = y * c - z * s;
        m[i][2] = z * c + y * s;
    }
}

template <int ROWS, int COLS>
void rotateRowsY(float (&m)[ROWS][COLS], float angle) {
    const float c = fcos(angle), s = fsin(angle);
    for (int i = 0; i < ROWS; ++i) {
        const float x = m[i][0], z = m[i][2];
        m[i][0] = x * c + z * s;
        m[i][2] = z * c - x * s;
    }
}

template <int ROWS, int COLS>
void rotateRowsZ(float (&m)[ROWS][COLS], float angle) {
    const float c = fcos(angle), s = fsin(angle);
    for (int i = 0; i < ROWS; ++i) {
        const float x = m[i][0], y = m[i][1];
        m[i][0] = x * c - y * s;
        m[i][1] = y * c + x * s;
    }
}

// The axis about which d turns onto +Z. When d points along -Z the cross product with +Z
// vanishes; any axis in the XY plane then works, and +X keeps the result a proper rotation
// instead of the point reflection a zero axis would give.
inline Vector3 axisOntoZ(const Vector3& d) {
    Vector3 axis = cross(d, UnitZ);
    if (axis.x == 0.0f && axis.y == 0.0f && axis.z == 0.0f) return UnitX;
    return axis.normalize();
}

inline bool alongZ(const Vector3& d) {
    const float dz = d.z - 1.0f;
    return d.x * d.x < 0.0001f && d.y * d.y < 0.0001f && dz * dz < 0.0001f;
}

}  // namespace qx::rotation
