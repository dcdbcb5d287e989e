#include <array>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "benchmark/workload.h"

namespace {

constexpr uint32_t kLcgMultiplier = 22695477u;
constexpr uint32_t kLcgIncrement = 1u;

// The affine map of `count` generator steps: state -> a * state + c (mod 2^32).
void JumpCoefficients(uint64_t count, uint32_t& a, uint32_t& c) {
    uint32_t accA = 1, accC = 0;  // identity
    uint32_t stepA = kLcgMultiplier, stepC = kLcgIncrement;
    while (count != 0) {
        if (count & 1u) {
            accA = accA * stepA;
            accC = accC * stepA + stepC;
        }
        stepC = stepC * stepA + stepC;
        stepA = stepA * stepA;
        count >>= 1;
    }
    a = accA;
    c = accC;
}

}  // namespace

void BenchRandom::skip(uint64_t count) {
    uint32_t a, c;
    JumpCoefficients(count, a, c);
    m_state = a * m_state + c;
}

BenchRandom& ProcessRandom() {
    static BenchRandom random(1);
    return random;
}

namespace {

// The background level of a draw r: 1000 + (r + 32768) div 1000, as (x div 8) div 125 with the
// last division a multiply and shift (exact for every x = r + 32768 in 32768..65535, which the
// tests check for all of them).
constexpr uint32_t kDiv125 = 8389;
constexpr int kDiv125Shift = 20;

inline int32_t backgroundLevel(uint32_t state) {
    const uint32_t r = (state >> 16) & 0x7FFFu;
    return static_cast<int32_t>(1000u + ((((r + 32768u) >> 3) * kDiv125) >> kDiv125Shift));
}

// The states after 1 .. lanes steps from start, and the jump of lanes steps.
template <int kLanes>
void laneStart(uint32_t start, uint32_t (&lane)[kLanes], uint32_t& a, uint32_t& c) {
    uint32_t s = start;
    for (int j = 0; j < kLanes; ++j) {
        s = s * kLcgMultiplier + kLcgIncrement;
        lane[j] = s;
    }
    JumpCoefficients(kLanes, a, c);
}

// Each fills whole groups of lanes from the state start and returns how many samples it wrote.
size_t backgroundLanes(int32_t* out, size_t count, uint32_t start) {
    constexpr int kLanes = 8;
    if (count < kLanes) return 0;
    uint32_t lane[kLanes], a, c;
    laneStart(start, lane, a, c);
    size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        for (int j = 0; j < kLanes; ++j) {
            out[i + j] = backgroundLevel(lane[j]);
            lane[j] = lane[j] * a + c;
        }
    }
    return i;
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) size_t backgroundAvx2(int32_t* out, size_t count, uint32_t start) {
    constexpr int kLanes = 8;
    if (count < kLanes) return 0;
    uint32_t first[kLanes], a, c;
    laneStart(start, first, a, c);
    __m256i lane = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first));
    const __m256i va = _mm256_set1_epi32(static_cast<int>(a)), vc = _mm256_set1_epi32(static_cast<int>(c));
    const __m256i low15 = _mm256_set1_epi32(0x7FFF), bias = _mm256_set1_epi32(32768);
    const __m256i div = _mm256_set1_epi32(kDiv125), base = _mm256_set1_epi32(1000);
    size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        const __m256i r = _mm256_and_si256(_mm256_srli_epi32(lane, 16), low15);
        const __m256i x8 = _mm256_srli_epi32(_mm256_add_epi32(r, bias), 3);
        const __m256i q = _mm256_srli_epi32(_mm256_mullo_epi32(x8, div), kDiv125Shift);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_add_epi32(q, base));
        lane = _mm256_add_epi32(_mm256_mullo_epi32(lane, va), vc);
    }
    return i;
}

// Written with the compiler's vector types (the shift intrinsics of this width draw a false
// uninitialised-value warning from GCC 12).
using U32x16 = uint32_t __attribute__((vector_size(64)));

__attribute__((target("avx512f"))) size_t backgroundAvx512(int32_t* out, size_t count, uint32_t start) {
    constexpr int kLanes = 16;
    if (count < kLanes) return 0;
    uint32_t first[kLanes], a, c;
    laneStart(start, first, a, c);
    U32x16 lane;
    std::memcpy(&lane, first, sizeof lane);
    size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        const U32x16 r = (lane >> 16) & 0x7FFFu;
        const U32x16 level = ((((r + 32768u) >> 3) * kDiv125) >> kDiv125Shift) + 1000u;
        std::memcpy(out + i, &level, sizeof level);
        lane = lane * a + c;
    }
    return i;
}
#endif

}  // namespace

void FillBackground(IntPlane& plane, int width, int height, BenchRandom& random) {
    FillBackgroundOn(BestSimdLevel(), plane, width, height, random);
}

void FillBackgroundOn(SimdLevel level, IntPlane& plane, int width, int height, BenchRandom& random) {
    RequireSimdLevel(level);
    // The generator is sequential; each lane jumps as many steps as there are lanes, so every
    // sample gets the value the sequential generator gives it and the loop carries no dependency
    // from one sample to the next.
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    int32_t* out = plane.data();
    const uint32_t start = random.m_state;
    size_t i = 0;
    switch (level) {
#if defined(__x86_64__) || defined(__i386__)
        case SimdLevel::Avx512:
            i = backgroundAvx512(out, count, start);
            break;
        case SimdLevel::Avx2:
            i = backgroundAvx2(out, count, start);
            break;
#endif
        default:
            i = backgroundLanes(out, count, start);
            break;
    }
    BenchRandom rest(start);
    rest.skip(i);
    for (; i < count; ++i) out[i] = backgroundLevel(static_cast<uint32_t>(rest.next()) << 16);
    random = rest;
}

long double StarProfile(int dx, int dy) {
    return 15000 * expl(-static_cast<long double>(dx * dx + dy * dy) * 0.1L);
}

namespace {

// One star sample: trunc((90 r / 32768 + e) - 45) in extended precision.
inline int32_t starSampleLiteral(double e, int r) {
    return static_cast<int32_t>((static_cast<long double>(90 * r) / 32768 + e) - 45);
}

// The same without the extended arithmetic, for 45 <= e < 2^30. There 90 r / 32768 + e - 45 is
// exact in extended precision (e's bits reach from below 2^30 down to ulp(e) >= 2^-52, and
// 90 r / 32768 = 45 r / 16384 adds nothing finer), and it is not negative, so its truncation is
// the sum of the integer parts plus the carry of the fractions, which add exactly in double.
inline int32_t starSample(double e, int r) {
    if (!(e >= 45.0 && e < 1073741824.0)) return starSampleLiteral(e, r);
    const int32_t whole = static_cast<int32_t>(e);
    const double fraction = e - whole;
    const int32_t q = 45 * r;
    const double carry = fraction + static_cast<double>(q & 16383) * (1.0 / 16384);
    return whole + (q >> 14) - 45 + (carry >= 1.0 ? 1 : 0);
}

}  // namespace

void AddStars(IntPlane& plane, BenchRandom& random) {
    // The profile depends only on the offsets: 400 extended values computed once.
    static const std::array<long double, 400> profile = [] {
        std::array<long double, 400> table{};
        for (int dx = -10; dx < 10; ++dx)
            for (int dy = -10; dy < 10; ++dy) table[(dx + 10) * 20 + (dy + 10)] = StarProfile(dx, dy);
        return table;
    }();
    // A local generator: its state stays in a register instead of being stored after every
    // sample written to the plane.
    BenchRandom local = random;
    for (int cx = 100; cx <= 900; cx += 100) {
        for (int cy = 100; cy <= 900; cy += 100) {
            for (int dx = -10; dx < 10; ++dx) {
                int32_t* column = plane[cx + dx] + cy;
                const long double* weights = &profile[(dx + 10) * 20];
                for (int dy = -10; dy < 10; ++dy) {
                    int32_t& p = column[dy];
                    const double e = static_cast<double>(weights[dy + 10] + static_cast<long double>(p));
                    p = starSample(e, local.next());
                }
            }
        }
    }
    random = local;
}

void GenerateImage(IntPlane& plane, BenchRandom& random) {
    FillBackground(plane, kBenchSide, kBenchSide, random);
    AddStars(plane, random);
}
