#include "gltf/GltfTrs.h"

#include <cmath>

#include "gltf/GltfWriter.h"

namespace qx {

GltfTrs gltfTrsOf(const Pose& pose, std::size_t& replaced) {
    GltfTrs trs;
    const float t[3] = {pose.translation.x, pose.translation.y, pose.translation.z};
    const float s[3] = {pose.scale.x, pose.scale.y, pose.scale.z};
    for (int i = 0; i < 3; ++i) {
        trs.translation[static_cast<std::size_t>(i)] = finiteOr(t[i], 0.0f, replaced);
        trs.scale[static_cast<std::size_t>(i)] = finiteOr(s[i], 1.0f, replaced);
    }
    auto& q = trs.rotation;
    q = {finiteOr(pose.rotation.x, 0.0f, replaced), finiteOr(pose.rotation.y, 0.0f, replaced),
         finiteOr(pose.rotation.z, 0.0f, replaced), finiteOr(pose.rotation.w, 1.0f, replaced)};
    const float length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        q = {0.0f, 0.0f, 0.0f, 1.0f};
    } else if (std::fabs(length - 1.0f) > 1e-6f) {
        for (float& c : q) c /= length;
    }
    return trs;
}

GltfTrs interpolate(const GltfTrs& a, const GltfTrs& b, double f) {
    GltfTrs out;
    for (std::size_t i = 0; i < 3; ++i) {
        out.translation[i] = static_cast<float>(a.translation[i] + (b.translation[i] - a.translation[i]) * f);
        out.scale[i] = static_cast<float>(a.scale[i] + (b.scale[i] - a.scale[i]) * f);
    }
    double d = 0.0;
    for (std::size_t i = 0; i < 4; ++i) d += static_cast<double>(a.rotation[i]) * b.rotation[i];
    const double sign = d < 0.0 ? -1.0 : 1.0;
    d = std::fabs(d);
    double wa = 1.0 - f, wb = f;
    if (d < 1.0 - 1e-9) {
        const double angle = std::acos(d);
        const double sine = std::sin(angle);
        wa = std::sin((1.0 - f) * angle) / sine;
        wb = std::sin(f * angle) / sine;
    }
    double q[4], length = 0.0;
    for (std::size_t i = 0; i < 4; ++i) {
        q[i] = wa * a.rotation[i] + wb * sign * b.rotation[i];
        length += q[i] * q[i];
    }
    length = std::sqrt(length);
    for (std::size_t i = 0; i < 4; ++i) out.rotation[i] = static_cast<float>(length > 0.0 ? q[i] / length : (i == 3));
    return out;
}

ColumnMatrix operator*(const ColumnMatrix& a, const ColumnMatrix& b) {
    ColumnMatrix c;
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (std::size_t k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
            c.m[i][j] = sum;
        }
    return c;
}

ColumnMatrix matrixOf(const GltfTrs& trs) {
    const double x = trs.rotation[0], y = trs.rotation[1], z = trs.rotation[2], w = trs.rotation[3];
    const double r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                            {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                            {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    ColumnMatrix m;
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) m.m[i][j] = r[i][j] * trs.scale[j];
        m.m[i][3] = trs.translation[i];
    }
    return m;
}

ColumnMatrix columnFormOf(const Matrix& rows) {
    ColumnMatrix m;
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = 0; j < 4; ++j) m.m[i][j] = rows.m[j][i];
    return m;
}

std::array<double, 3> apply(const ColumnMatrix& m, const std::array<double, 3>& p) {
    std::array<double, 3> out{};
    for (std::size_t i = 0; i < 3; ++i) out[i] = m.m[i][0] * p[0] + m.m[i][1] * p[1] + m.m[i][2] * p[2] + m.m[i][3];
    return out;
}

bool rigidPart(const ColumnMatrix& fixed, RigidTransform& rigid) {
    // Orthonormal within what float bone frames carry: products of two unit frames differ from
    // exact ones by a few units in the last place.
    constexpr double Tolerance = 1e-5;
    const auto& a = fixed.m;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) {
            double dot = 0.0;
            for (std::size_t k = 0; k < 3; ++k) dot += a[k][i] * a[k][j];
            if (!(std::fabs(dot - (i == j ? 1.0 : 0.0)) <= Tolerance)) return false;
        }
    const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                       a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                       a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    if (!(det > 0.0)) return false;
    for (std::size_t i = 0; i < 3; ++i) {
        rigid.translation[i] = a[i][3];
        for (std::size_t j = 0; j < 3; ++j) rigid.basis[i][j] = a[i][j];
    }
    // The quaternion of the rotation, from the largest of its four squared parts.
    auto& q = rigid.rotation;
    const double trace = a[0][0] + a[1][1] + a[2][2];
    if (trace > 0.0) {
        const double s = std::sqrt(trace + 1.0) * 2.0;
        q = {(a[2][1] - a[1][2]) / s, (a[0][2] - a[2][0]) / s, (a[1][0] - a[0][1]) / s, 0.25 * s};
    } else if (a[0][0] > a[1][1] && a[0][0] > a[2][2]) {
        const double s = std::sqrt(1.0 + a[0][0] - a[1][1] - a[2][2]) * 2.0;
        q = {0.25 * s, (a[0][1] + a[1][0]) / s, (a[0][2] + a[2][0]) / s, (a[2][1] - a[1][2]) / s};
    } else if (a[1][1] > a[2][2]) {
        const double s = std::sqrt(1.0 + a[1][1] - a[0][0] - a[2][2]) * 2.0;
        q = {(a[0][1] + a[1][0]) / s, 0.25 * s, (a[1][2] + a[2][1]) / s, (a[0][2] - a[2][0]) / s};
    } else {
        const double s = std::sqrt(1.0 + a[2][2] - a[0][0] - a[1][1]) * 2.0;
        q = {(a[0][2] + a[2][0]) / s, (a[1][2] + a[2][1]) / s, 0.25 * s, (a[1][0] - a[0][1]) / s};
    }
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& c : q) c /= length;
    return true;
}

GltfTrs fold(const RigidTransform& fixed, const GltfTrs& pose) {
    GltfTrs out;
    out.scale = pose.scale;
    for (std::size_t i = 0; i < 3; ++i) {
        double t = fixed.translation[i];
        for (std::size_t j = 0; j < 3; ++j) t += fixed.basis[i][j] * pose.translation[j];
        out.translation[i] = static_cast<float>(t);
    }
    // Hamilton product fixed x pose: the pose's rotation first, then the fixed one.
    const auto& a = fixed.rotation;
    const double bx = pose.rotation[0], by = pose.rotation[1], bz = pose.rotation[2], bw = pose.rotation[3];
    const double q[4] = {a[3] * bx + a[0] * bw + a[1] * bz - a[2] * by, a[3] * by - a[0] * bz + a[1] * bw + a[2] * bx,
                         a[3] * bz + a[0] * by - a[1] * bx + a[2] * bw, a[3] * bw - a[0] * bx - a[1] * by - a[2] * bz};
    for (std::size_t i = 0; i < 4; ++i) out.rotation[i] = static_cast<float>(q[i]);
    return out;
}

}  // namespace qx
