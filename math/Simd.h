#pragma once
// Whether the four-floats-wide paths (matrix products, skinning) are compiled. They are wherever
// the machine has SSE2, unless the build asks for the scalar reference versions
// (-DQX_SCALAR_REFERENCE=ON), which the tests also run: every wide path sums its products in
// the scalar order, so both builds give the same bits.

#if defined(__SSE2__) && !defined(QX_SCALAR_REFERENCE)
#define QX_SIMD 1
#include <emmintrin.h>
#else
#define QX_SIMD 0
#endif
