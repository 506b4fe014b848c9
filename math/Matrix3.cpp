#include "math/Matrix3.h"

#include "math/RotationRows.h"

namespace qx {

Matrix3 Matrix3::rotationAxis(float angle, const Vector3& axis) {
    Matrix3 r;
    if (angle != 0.0f) rotation::writeAxis(r.m, angle, axis);
    return r;
}

Matrix3 Matrix3::rotationX(float angle) {
    Matrix3 r;
    if (angle != 0.0f) rotation::writeX(r.m, angle);
    return r;
}

Matrix3 Matrix3::rotationY(float angle) {
    Matrix3 r;
    if (angle != 0.0f) rotation::writeY(r.m, angle);
    return r;
}

Matrix3 Matrix3::rotationZ(float angle) {
    Matrix3 r;
    if (angle != 0.0f) rotation::writeZ(r.m, angle);
    return r;
}

void Matrix3::rotateX(float angle) {
    if (angle != 0.0f) rotation::rotateRowsX(m, angle);
}

void Matrix3::rotateY(float angle) {
    if (angle != 0.0f) rotation::rotateRowsY(m, angle);
}

void Matrix3::rotateZ(float angle) {
    if (angle != 0.0f) rotation::rotateRowsZ(m, angle);
}

void Matrix3::rotateAxis(float angle, const Vector3& axis) {
    if (angle == 0.0f) return;
    Matrix3 r;
    rotation::writeAxis(r.m, angle, axis);
    rotation::multiplyRows(m, r.m);
}

void Matrix3::alignZ(const Vector3& direction, const Vector3& up) {
    if (rotation::alongZ(direction)) {
        *this = Matrix3{};
    } else {
        *this = rotationAxis(facos(dot(direction, UnitZ)), rotation::axisOntoZ(direction));
    }
    const Vector3 u = transform(up, *this);
    const float r = fatan2(-u.x, u.y);
    if (r != 0.0f) rotateZ(-r);
}

float Matrix3::determinant() const {
    return m[0][0] * (m[1][1] * m[2][2] - m[2][1] * m[1][2]) - m[0][1] * (m[2][2] * m[1][0] - m[1][2] * m[2][0]) +
           m[0][2] * (m[2][1] * m[1][0] - m[1][1] * m[2][0]);
}

Matrix3 product(const Matrix3& a, const Matrix3& b) {
    Matrix3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return r;
}

}  // namespace qx
