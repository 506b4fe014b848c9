#include "math/Quaternion.h"

#include "math/Trig.h"

namespace qx {

void Quaternion::set(float xv, float yv, float zv, float wv, bool normalize) {
    x = xv; y = yv; z = zv; w = wv;
    if (!normalize) return;
    const float lengthSquared = x * x + y * y + z * z + w * w;
    if (lengthSquared == 0.0f) return;
    const float length = fsqrt(lengthSquared);
    x /= length; y /= length; z /= length; w /= length;
}

Quaternion Quaternion::fromAxisDegrees(const Vector3& axis, float degrees, bool normalize) {
    const float half = degrees / 2.0f * DegreeFactor;
    const float s = fsin(half);
    Quaternion q;
    q.set(axis.x * s, axis.y * s, axis.z * s, fcos(half), normalize);
    return q;
}

namespace {
template <typename M>
void writeRotation(M& r, const Quaternion& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    r.m[0][0] = 1.0f - 2.0f * (y * y + z * z);
    r.m[0][1] = 2.0f * (x * y + z * w);
    r.m[0][2] = 2.0f * (x * z - y * w);
    r.m[1][0] = 2.0f * (x * y - z * w);
    r.m[1][1] = 1.0f - 2.0f * (x * x + z * z);
    r.m[1][2] = 2.0f * (y * z + x * w);
    r.m[2][0] = 2.0f * (x * z + y * w);
    r.m[2][1] = 2.0f * (y * z - x * w);
    r.m[2][2] = 1.0f - 2.0f * (x * x + y * y);
}
}  // namespace

Matrix3 toMatrix3(const Quaternion& q) {
    Matrix3 r;
    writeRotation(r, q);
    return r;
}

Matrix toMatrix(const Quaternion& q) {
    Matrix r;
    writeRotation(r, q);
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
