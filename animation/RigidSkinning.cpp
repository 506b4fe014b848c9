#include "animation/RigidSkinning.h"

#include <algorithm>

#include "math/Simd.h"

namespace qx {

namespace {

#if QX_SIMD

// Vector3 is three packed floats: a 16-byte load at element i also reads element i + 1's x,
// so it is used only below the last element, which is read as exactly 8 + 4 bytes.
inline __m128 loadWide(const Vector3& v) { return _mm_loadu_ps(&v.x); }

inline __m128 loadLast(const Vector3& v) {
    const __m128 xy = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(&v.x));
    return _mm_movelh_ps(xy, _mm_load_ss(&v.z));
}

// The wide store also writes element i + 1's x; the sweep moves i + 1 next and overwrites it.
inline void storeWide(Vector3& v, __m128 r) { _mm_storeu_ps(&v.x, r); }

inline void storeLast(Vector3& v, __m128 r) {
    _mm_storel_pi(reinterpret_cast<__m64*>(&v.x), r);
    _mm_store_ss(&v.z, _mm_movehl_ps(r, r));
}

// ((x w0 + y w1) + z w2) (+ w3): the order of the scalar moves below, lane by lane.
template <bool Point>
inline __m128 transform(__m128 v, const SkinMatrix& m) {
    const __m128 x = _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 0, 0, 0));
    const __m128 y = _mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1));
    const __m128 z = _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 2, 2, 2));
    __m128 r = _mm_add_ps(_mm_mul_ps(x, _mm_load_ps(m.row[0])), _mm_mul_ps(y, _mm_load_ps(m.row[1])));
    r = _mm_add_ps(r, _mm_mul_ps(z, _mm_load_ps(m.row[2])));
    if constexpr (Point) r = _mm_add_ps(r, _mm_load_ps(m.row[3]));
    return r;
}

template <bool Point, bool Last>
inline void moveOne(const SkinMatrix* matrices, std::int32_t step, const Vector3& from, Vector3& to) {
    const __m128 v = Last ? loadLast(from) : loadWide(from);
    const __m128 r = step < 0 ? v : transform<Point>(v, matrices[step]);
    if constexpr (Last)
        storeLast(to, r);
    else
        storeWide(to, r);
}

// Moves elements [begin, end) of one array, all below its last element.
template <bool Point>
void moveWide(const SkinMatrix* matrices, const SkinStream& s, std::size_t begin, std::size_t end) {
    const Vector3* from = s.from;
    Vector3* to = s.to;
    const std::int32_t* steps = s.steps;
    for (std::size_t i = begin; i < end; ++i) moveOne<Point, false>(matrices, steps[i], from[i], to[i]);
}

#else

// The scalar reference of the sweep: the same products summed in the same order.
template <bool Point>
void moveScalar(const SkinMatrix* matrices, const SkinStream& s) {
    for (std::size_t i = 0; i < s.count; ++i) {
        const std::int32_t step = s.steps[i];
        if (step < 0) {
            s.to[i] = s.from[i];
            continue;
        }
        const float(&m)[4][4] = matrices[step].row;
        const float x = s.from[i].x, y = s.from[i].y, z = s.from[i].z;
        Vector3 r{x * m[0][0] + y * m[1][0] + z * m[2][0], x * m[0][1] + y * m[1][1] + z * m[2][1],
                  x * m[0][2] + y * m[1][2] + z * m[2][2]};
        if constexpr (Point) r = {r.x + m[3][0], r.y + m[3][1], r.z + m[3][2]};
        s.to[i] = r;
    }
}

#endif

}  // namespace

SkinMatrix toSkinMatrix(const Matrix& w) {
    SkinMatrix s;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) s.row[r][c] = w.m[r][c];
    return s;
}

void sweepRigid(const SkinMatrix* matrices, const SkinStream& positions, const SkinStream& normals) {
#if !QX_SIMD
    moveScalar<true>(matrices, positions);
    moveScalar<false>(matrices, normals);
#else
    const std::size_t widePositions = positions.count > 0 ? positions.count - 1 : 0;
    const std::size_t wideNormals = normals.count > 0 ? normals.count - 1 : 0;
    const std::size_t both = std::min(widePositions, wideNormals);
    // Locals, so that the compiler need not reload them after every store.
    const Vector3* fromPositions = positions.from;
    Vector3* toPositions = positions.to;
    const std::int32_t* positionSteps = positions.steps;
    const Vector3* fromNormals = normals.from;
    Vector3* toNormals = normals.to;
    const std::int32_t* normalSteps = normals.steps;
    for (std::size_t i = 0; i < both; ++i) {
        moveOne<true, false>(matrices, positionSteps[i], fromPositions[i], toPositions[i]);
        moveOne<false, false>(matrices, normalSteps[i], fromNormals[i], toNormals[i]);
    }
    moveWide<true>(matrices, positions, both, widePositions);
    moveWide<false>(matrices, normals, both, wideNormals);
    if (positions.count > 0) {
        const std::size_t last = widePositions;
        moveOne<true, true>(matrices, positionSteps[last], fromPositions[last], toPositions[last]);
    }
    if (normals.count > 0) {
        const std::size_t last = wideNormals;
        moveOne<false, true>(matrices, normalSteps[last], fromNormals[last], toNormals[last]);
    }
#endif
}

void movePoints(const Matrix& w, const Vector3* from, Vector3* to, const std::int32_t* index, IndexRange range) {
    const float w00 = w.m[0][0], w01 = w.m[0][1], w02 = w.m[0][2];
    const float w10 = w.m[1][0], w11 = w.m[1][1], w12 = w.m[1][2];
    const float w20 = w.m[2][0], w21 = w.m[2][1], w22 = w.m[2][2];
    const float w30 = w.m[3][0], w31 = w.m[3][1], w32 = w.m[3][2];
    for (std::int32_t k = range.begin; k < range.end; ++k) {
        const std::int32_t v = index[k];
        const float x = from[v].x, y = from[v].y, z = from[v].z;
        to[v] = {x * w00 + y * w10 + z * w20 + w30, x * w01 + y * w11 + z * w21 + w31,
                 x * w02 + y * w12 + z * w22 + w32};
    }
}

void moveNormals(const Matrix& w, const Vector3* from, Vector3* to, const std::int32_t* index, IndexRange range) {
    const float w00 = w.m[0][0], w01 = w.m[0][1], w02 = w.m[0][2];
    const float w10 = w.m[1][0], w11 = w.m[1][1], w12 = w.m[1][2];
    const float w20 = w.m[2][0], w21 = w.m[2][1], w22 = w.m[2][2];
    for (std::int32_t k = range.begin; k < range.end; ++k) {
        const std::int32_t n = index[k];
        const float x = from[n].x, y = from[n].y, z = from[n].z;
        to[n] = {x * w00 + y * w10 + z * w20, x * w01 + y * w11 + z * w21, x * w02 + y * w12 + z * w22};
    }
}

}  // namespace qx
