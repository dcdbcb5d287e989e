// Column kernel with four doubles per AVX register. Built for AVX2 by a target pragma (not for the
// whole program) and chosen at run time; the pragma adds no FMA, and -ffp-contract=off keeps every
// multiply and add separate.
#include <immintrin.h>

#include <climits>
#include <cstdint>

#include "filters/engine/simd.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace hv::engine {
namespace {

struct Avx2 {
    using D = __m256d;
    using M = __m256d;
    static constexpr int N = 4;
    static constexpr int U = 8;
    static D zero() { return _mm256_setzero_pd(); }
    static D set1(double v) { return _mm256_set1_pd(v); }
    static D loadu(const double* p) { return _mm256_loadu_pd(p); }
    static D add(D a, D b) { return _mm256_add_pd(a, b); }
    static D mul(D a, D b) { return _mm256_mul_pd(a, b); }
    static M ge(D c, D t) { return _mm256_cmp_pd(c, t, _CMP_GE_OQ); }
    static bool allSet(M m) { return _mm256_movemask_pd(m) == 0xF; }
    static D blend(M m, D kept, D acc) { return _mm256_blendv_pd(acc, kept, m); }
    static int storeTrunc(int32_t* out, D v) {
        const __m128i t = _mm256_cvttpd_epi32(v);  // out-of-range lanes become INT_MIN
        const int wide = _mm_movemask_epi8(_mm_cmpeq_epi32(t, _mm_set1_epi32(INT_MIN)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_max_epi32(t, _mm_setzero_si128()));
        return wide;
    }
    static void widen(const int32_t* in, double* out) {
        _mm256_storeu_pd(out, _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in))));
    }
};

#include "filters/engine/column_kernel.inc"

}  // namespace

const ColumnKernels kAvx2Kernels = {ConvolveColumnT<Avx2>, WidenColumnT<Avx2>};

}  // namespace hv::engine

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
