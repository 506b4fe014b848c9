#pragma once
// The per-vertex work of rigid skinning: every position moves by one bone matrix as a point
// (x' = x w00 + y w10 + z w20 + w30, and so on), every normal by the same matrix's upper 3x3,
// without translation and without renormalising.
//
// The sweep moves whole arrays in index order, four floats wide with SSE2, picking each
// element's matrix through a per-element step index; the single moves apply one matrix to a
// list of indices. Both evaluate exactly the same float operations in the same order, so that
// an element moved by either gives the same bits.

#include <cstddef>
#include <cstdint>

#include "animation/BoneWalk.h"
#include "math/Matrix.h"
#include "math/Vector3.h"

namespace qx {

// A bone matrix as the sweep reads it: rows 16-byte aligned, the fourth column zero.
struct alignas(16) SkinMatrix {
    float row[4][4] = {};
};

SkinMatrix toSkinMatrix(const Matrix& w);

// One array for the sweep: to[i] := from[i] moved by matrices[steps[i]], or copied when
// steps[i] < 0, for every i below count. from and to must not overlap.
struct SkinStream {
    const Vector3* from = nullptr;
    Vector3* to = nullptr;
    const std::int32_t* steps = nullptr;
    std::size_t count = 0;
};

// Moves positions as points and normals as directions in one pass over both arrays. Nothing is
// read or written outside [0, count) of either array.
void sweepRigid(const SkinMatrix* matrices, const SkinStream& positions, const SkinStream& normals);

// to[v] := from[v] moved by w, for each v of index[range]; from and to may be the same array.
void movePoints(const Matrix& w, const Vector3* from, Vector3* to, const std::int32_t* index, IndexRange range);
void moveNormals(const Matrix& w, const Vector3* from, Vector3* to, const std::int32_t* index, IndexRange range);

}  // namespace qx
