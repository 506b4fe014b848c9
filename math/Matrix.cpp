#include "math/Matrix.h"

#include <utility>

#include "math/Quaternion.h"
#include "math/RotationRows.h"

namespace qx {

Matrix Matrix::rotationAxis(float angle, const Vector3& axis) {
    Matrix r;
    if (angle != 0.0f) rotation::writeAxis(r.m, angle, axis);
    return r;
}

Matrix Matrix::rotationX(float angle) {
    Matrix r;
    if (angle != 0.0f) rotation::writeX(r.m, angle);
    return r;
}

Matrix Matrix::rotationY(float angle) {
    Matrix r;
    if (angle != 0.0f) rotation::writeY(r.m, angle);
    return r;
}

Matrix Matrix::rotationZ(float angle) {
    Matrix r;
    if (angle != 0.0f) rotation::writeZ(r.m, angle);
    return r;
}

void Matrix::rotateX(float angle) {
    if (angle != 0.0f) rotation::rotateRowsX(m, angle);
}

void Matrix::rotateY(float angle) {
    if (angle != 0.0f) rotation::rotateRowsY(m, angle);
}

void Matrix::rotateZ(float angle) {
    if (angle != 0.0f) rotation::rotateRowsZ(m, angle);
}

void Matrix::rotateAxis(float angle, const Vector3& axis) {
    if (angle == 0.0f) return;
    float r[3][3];
    rotation::writeAxis(r, angle, axis);
    rotation::multiplyRows(m, r);
}

void Matrix::multiplyByQuaternion(const Quaternion& q) { *this = product(*this, toMatrix(q)); }

Matrix Matrix::fromBonePoints(const Vector3& start, const Vector3& end, const Vector3& roll) {
    const Vector3 d = normalize(end - start);
    Matrix r;
    if (!rotation::alongZ(d)) r = rotationAxis(facos(dot(d, UnitZ)), rotation::axisOntoZ(d));
    const Vector3 u = transformPoint(roll - start, r);
    const float turn = fatan2(-u.x, u.y);
    if (turn != 0.0f) r.rotateZ(-turn);
    r.setRow(3, transformPoint(-start, r));
    return r;
}

Matrix Matrix::rigidInverse(const Matrix& source) {
    Matrix r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.m[i][j] = source.m[j][i];
    const Vector3 t = transformPoint(-source.row(3), r);
    r.setRow(3, t);
    return r;
}

void Matrix::transpose() {
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) std::swap(m[i][j], m[j][i]);
}

}  // namespace qx
