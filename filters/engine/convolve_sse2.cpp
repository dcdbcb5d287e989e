// Baseline column kernel: two doubles per SSE2 register, available on every x86-64 processor.
#include <emmintrin.h>

#include <climits>
#include <cstdint>

#include "filters/engine/simd.h"

namespace hv::engine {
namespace {

struct Sse2 {
    using D = __m128d;
    using M = __m128d;
    static constexpr int N = 2;
    static constexpr int U = 8;
    static D zero() { return _mm_setzero_pd(); }
    static D set1(double v) { return _mm_set1_pd(v); }
    static D loadu(const double* p) { return _mm_loadu_pd(p); }
    static D add(D a, D b) { return _mm_add_pd(a, b); }
    static D mul(D a, D b) { return _mm_mul_pd(a, b); }
    static M ge(D c, D t) { return _mm_cmpge_pd(c, t); }
    static bool allSet(M m) { return _mm_movemask_pd(m) == 0x3; }
    static D blend(M m, D kept, D acc) { return _mm_or_pd(_mm_and_pd(m, kept), _mm_andnot_pd(m, acc)); }
    static int storeTrunc(int32_t* out, D v) {
        const __m128i t = _mm_cvttpd_epi32(v);  // out-of-range lanes become INT_MIN
        const int wide = _mm_movemask_epi8(_mm_cmpeq_epi32(t, _mm_set1_epi32(INT_MIN))) & 0xFF;
        const __m128i nonNegative = _mm_andnot_si128(_mm_srai_epi32(t, 31), t);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), nonNegative);
        return wide;
    }
    static void widen(const int32_t* in, double* out) {
        _mm_storeu_pd(out, _mm_cvtepi32_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in))));
    }
};

#include "filters/engine/column_kernel.inc"

}  // namespace

const ColumnKernels kSse2Kernels = {ConvolveColumnT<Sse2>, WidenColumnT<Sse2>};

}  // namespace hv::engine
