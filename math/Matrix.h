#pragma once
// A 4x4 single-precision affine matrix, row-major: rows 0-2 hold the rotation part (fourth entry
// 0) and row 3 the translation (fourth entry 1). The fourth column is always (0, 0, 0, 1).

#include "math/Simd.h"
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
    void setRow(int i, const Vector3& v) {
        m[i][0] = v.x;
        m[i][1] = v.y;
        m[i][2] = v.z;
    }

    bool operator==(const Matrix&) const = default;
};

#if QX_SIMD
// A matrix's rows held four floats wide, so that a chain of products stays in registers.
struct MatrixRows {
    __m128 row[4];
};

inline MatrixRows rowsOf(const Matrix& m) {
    return {{_mm_loadu_ps(m.m[0]), _mm_loadu_ps(m.m[1]), _mm_loadu_ps(m.m[2]), _mm_loadu_ps(m.m[3])}};
}

inline Matrix matrixOf(const MatrixRows& rows) {
    Matrix r;
    for (int i = 0; i < 4; ++i) _mm_storeu_ps(r.m[i], rows.row[i]);
    return r;
}

// A * B on rows; each entry is summed in the same order as the scalar form below, so the bits
// do not depend on the build.
inline MatrixRows product(const MatrixRows& a, const MatrixRows& b) {
    const __m128 xyz = _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1));
    MatrixRows r;
    for (int i = 0; i < 4; ++i) {
        const __m128 ai = a.row[i];
        __m128 v = _mm_add_ps(_mm_mul_ps(_mm_shuffle_ps(ai, ai, 0x00), b.row[0]),
                              _mm_mul_ps(_mm_shuffle_ps(ai, ai, 0x55), b.row[1]));
        v = _mm_add_ps(v, _mm_mul_ps(_mm_shuffle_ps(ai, ai, 0xaa), b.row[2]));
        if (i == 3) v = _mm_add_ps(v, b.row[3]);
        r.row[i] = _mm_and_ps(v, xyz);
    }
    r.row[3] = _mm_or_ps(r.row[3], _mm_set_ps(1.0f, 0.0f, 0.0f, 0.0f));
    return r;
}
#endif

// A * B (A applied first), affine part only; the fourth column of the result is (0, 0, 0, 1).
// Inline and four floats wide where the machine allows: posing takes several products per bone
// every frame.
inline Matrix product(const Matrix& a, const Matrix& b) {
#if QX_SIMD
    return matrixOf(product(rowsOf(a), rowsOf(b)));
#else
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            float v = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
            if (i == 3) v += b.m[3][j];
            r.m[i][j] = v;
        }
        r.m[i][3] = i == 3 ? 1.0f : 0.0f;
    }
    return r;
#endif
}

}  // namespace qx
