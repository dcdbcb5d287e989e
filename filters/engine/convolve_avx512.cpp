// Column kernel with eight doubles per AVX-512 register. Built for AVX-512F by a target pragma and
// chosen at run time; no FMA is enabled, and -ffp-contract=off keeps every multiply and add separate.
#include <immintrin.h>

#include <climits>
#include <cstdint>

#include "filters/engine/simd.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
// GCC 12's own AVX-512 headers trip -Wmaybe-uninitialized on their _mm512_undefined_* placeholders.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace hv::engine {
namespace {

struct Avx512 {
    using D = __m512d;
    using M = __mmask8;
    static constexpr int N = 8;
    static constexpr int U = 8;
    static D zero() { return _mm512_setzero_pd(); }
    static D set1(double v) { return _mm512_set1_pd(v); }
    static D loadu(const double* p) { return _mm512_loadu_pd(p); }
    static D add(D a, D b) { return _mm512_add_pd(a, b); }
    static D mul(D a, D b) { return _mm512_mul_pd(a, b); }
    static M ge(D c, D t) { return _mm512_cmp_pd_mask(c, t, _CMP_GE_OQ); }
    static bool allSet(M m) { return m == 0xFF; }
    static D blend(M m, D kept, D acc) { return _mm512_mask_blend_pd(m, acc, kept); }
    static int storeTrunc(int32_t* out, D v) {
        const __m256i t = _mm512_cvttpd_epi32(v);  // out-of-range lanes become INT_MIN
        const int wide = _mm256_movemask_epi8(_mm256_cmpeq_epi32(t, _mm256_set1_epi32(INT_MIN)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_max_epi32(t, _mm256_setzero_si256()));
        return wide;
    }
    static void widen(const int32_t* in, double* out) {
        _mm512_storeu_pd(out, _mm512_cvtepi32_pd(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in))));
    }
};

#include "filters/engine/column_kernel.inc"

}  // namespace

const ColumnKernels kAvx512Kernels = {ConvolveColumnT<Avx512>, WidenColumnT<Avx512>};

}  // namespace hv::engine

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif
