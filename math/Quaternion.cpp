#include "math/Quaternion.h"

#include "math/Trig.h"

namespace qx {

void Quaternion::set(float xv, float yv, float zv, float wv, bool normalize) {
    x = xv;
    y = yv;
    z = zv;
    w = wv;
    if (!normalize) return;
    const float lengthSquared = x * x + y * y + z * z + w * w;
    if (lengthSquared == 0.0f) return;
    const float length = fsqrt(lengthSquared);
    x /= length;
    y /= length;
    z /= length;
    w /= length;
}

Quaternion Quaternion::fromAxisDegrees(const Vector3& axis, float degrees, bool normalize) {
    const float half = degrees / 2.0f * DegreeFactor;
    const float s = fsin(half);
    Quaternion q;
    q.set(axis.x * s, axis.y * s, axis.z * s, fcos(half), normalize);
    return q;
}

Matrix3 toMatrix3(const Quaternion& q) {
    Matrix3 r;
    writeRotation(r.m, q);
    return r;
}

Matrix toMatrix(const Quaternion& q) {
    Matrix r;
    writeRotation(r.m, q);
    return r;
}

Quaternion slerp(const Quaternion& q1, const Quaternion& q2, float t) {
    const float theta = facos(dot(q1, q2));
    if (theta < 0.0001f) return q1;
    const float k = 1.0f / fsin(theta);
    const float a = fsin((1.0f - t) * theta) * k;
    const float b = fsin(t * theta) * k;
    return {q1.x * a + q2.x * b, q1.y * a + q2.y * b, q1.z * a + q2.z * b, q1.w * a + q2.w * b};
}

}  // namespace qx
