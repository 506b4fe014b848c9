#pragma once
// A single-precision 3-vector. Vectors are row vectors: v' = v * M.

namespace qx {

struct Matrix3;
struct Matrix;

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector3() = default;
    constexpr Vector3(float xv, float yv, float zv) : x(xv), y(yv), z(zv) {}

    void set(float xv, float yv, float zv) {
        x = xv;
        y = yv;
        z = zv;
    }

    // Scales to unit length in place. A zero vector has no direction: it is left unchanged
    // rather than turned into NaNs.
    Vector3& normalize();

    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    bool operator==(const Vector3&) const = default;
};

inline constexpr Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline constexpr Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline constexpr Vector3 operator-(const Vector3& a) { return {-a.x, -a.y, -a.z}; }
inline constexpr Vector3 operator*(const Vector3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }

inline constexpr float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline constexpr Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Returns a normalised copy (zero stays zero).
Vector3 normalize(Vector3 v);

// v * M on the 3x3 part.
Vector3 transform(const Vector3& v, const Matrix3& m);
// v * M with the translation of row 3.
Vector3 transformPoint(const Vector3& v, const Matrix& m);

inline constexpr Vector3 UnitX{1.0f, 0.0f, 0.0f};
inline constexpr Vector3 UnitY{0.0f, 1.0f, 0.0f};
inline constexpr Vector3 UnitZ{0.0f, 0.0f, 1.0f};
inline constexpr Vector3 ZeroVector{0.0f, 0.0f, 0.0f};

}  // namespace qx
