#include "math/Vector3.h"

#include "math/Matrix.h"
#include "math/Matrix3.h"
#include "math/Trig.h"

namespace qx {

Vector3& Vector3::normalize() {
    const float lengthSquared = x * x + y * y + z * z;
    if (lengthSquared == 0.0f) return *this;
    const float inverse = 1.0f / fsqrt(lengthSquared);
    x *= inverse;
    y *= inverse;
    z *= inverse;
    return *this;
}

Vector3 normalize(Vector3 v) { return v.normalize(); }

Vector3 transform(const Vector3& v, const Matrix3& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Vector3 transformPoint(const Vector3& v, const Matrix& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2]};
}

}  // namespace qx
