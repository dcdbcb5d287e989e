#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "benchmark/workload.h"
#include "core/fparith.h"
#include "view/view_model.h"

GridStatistics StatisticsWithVariance(const IntPlane& plane, int width, int height) {
    const SampleStats stats = SampleStatistics(plane, width, height);
    double squares = 0.0;
    for (int x = 10; x < width - 10; x += 4) {
        const int32_t* column = plane[x];
        for (int y = 10; y < height - 10; y += 4) {
            const double d = column[y] - stats.mean;
            squares += d * d;
        }
    }
    GridStatistics result;
    result.mean = stats.mean;
    result.minimum = stats.minimum;
    result.variance = CheckedDivide(squares, stats.count - 1.0);
    return result;
}

void ScaleToLevels(IntPlane& plane, int width, int height, int32_t minimum, double mean, int scale) {
    const double span = mean - minimum;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    int32_t* v = plane.data();
    if (!(span >= 1.0)) {
        // A span below one (or zero, or not a number) can push the quotient out of the integer
        // range or fault: take the literal path sample by sample.
        for (int x = 0; x < width; ++x) {
            int32_t* column = plane[x];
            for (int y = 0; y < height; ++y) column[y] = DisplayLevel(column[y], minimum, mean, scale);
        }
        return;
    }
    // |d| < 2^31 and span >= 1 keep the quotient inside the integer range, so truncating after the
    // clamp to 0..255 gives what truncating first and clamping after gives.
    const uint32_t m = static_cast<uint32_t>(minimum);
    const uint32_t k = static_cast<uint32_t>(scale);
    for (size_t i = 0; i < count; ++i) {
        const int32_t d = static_cast<int32_t>((static_cast<uint32_t>(v[i]) - m) * k);
        const double q = static_cast<double>(d) / span;
        v[i] = static_cast<int32_t>(std::min(std::max(q, 0.0), 255.0));
    }
}

namespace {

// One pixel of each picture, the literal way (used at the edges of the tiles).
inline void PutLevel(int32_t level, uint8_t* grey, uint8_t* raw) {
    const uint8_t byte = static_cast<uint8_t>(level);
    grey[0] = byte;
    grey[1] = byte;
    grey[2] = byte;
    EncodeRawValue(level, raw);
}

inline void Store32(uint8_t* at, uint32_t v) {
    std::memcpy(at, &v, 4);
}

// Four levels a, b, c, d (0..255) as 12 grey bytes (each level three times) and 12 raw-value
// bytes (0, 0, level per pixel), three little-endian words each.
inline void PutFourLevels(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint8_t* grey, uint8_t* raw) {
    Store32(grey, a * 0x010101u | b << 24);
    Store32(grey + 4, b * 0x0101u | c * 0x01010000u);
    Store32(grey + 8, c | d * 0x01010100u);
    Store32(raw, a << 16);
    Store32(raw + 4, b << 8);
    Store32(raw + 8, c | d << 24);
}

}  // namespace

void FillLevelPictures(const IntPlane& levels, int width, int height, Picture& grey, Picture& raw) {
    // Rows outer as the pictures are laid out; the column reads of one row hit the cache lines the
    // previous rows brought in. Four pixels go out as three words per picture.
    const int groups = width / 4;
    for (int y = 0; y < height; ++y) {
        uint8_t* g = grey.row(y);
        uint8_t* r = raw.row(y);
        for (int q = 0; q < groups; ++q, g += 12, r += 12) {
            const int x = 4 * q;
            PutFourLevels(static_cast<uint8_t>(levels[x][y]), static_cast<uint8_t>(levels[x + 1][y]),
                          static_cast<uint8_t>(levels[x + 2][y]), static_cast<uint8_t>(levels[x + 3][y]), g,
                          r);
        }
        for (int x = 4 * groups; x < width; ++x, g += 3, r += 3) PutLevel(levels[x][y], g, r);
    }
}

namespace {

// Levels of the samples minimum + t for t = 0 .. size-1, as DisplayLevel gives them. The level
// never decreases with t while (v - minimum) * scale stays inside 32 bits, so past the first t at
// 255 every level is 255, and below the minimum every level is 0.
class LevelTable {
  public:
    LevelTable(int32_t minimum, double mean, int scale) : m_minimum(minimum) {
        m_limit = scale > 0 ? (int64_t{1} << 31) / scale : 0;
        constexpr int64_t kMaxSize = 1 << 20;
        for (int64_t t = 0; t < kMaxSize && t < m_limit; ++t) {
            const int level = DisplayLevel(static_cast<int32_t>(minimum + t), minimum, mean, scale);
            m_levels.push_back(static_cast<uint8_t>(level));
            if (level == 255) {
                m_saturated = true;
                break;
            }
        }
    }
    // The level of v, or -1 where the table does not know it.
    int level(int32_t v) const {
        const int64_t t = static_cast<int64_t>(v) - m_minimum;
        if (t >= 0 && t < static_cast<int64_t>(m_levels.size())) return m_levels[static_cast<size_t>(t)];
        if (t < 0 && -t < m_limit) return 0;
        if (t > 0 && t < m_limit && m_saturated) return 255;
        return -1;
    }

    bool saturated() const { return m_saturated; }
    int64_t limit() const { return m_limit; }
    // 0 (below the minimum), the table, 255 (at and past saturation), for a clamped index t + 1.
    std::vector<uint8_t> clampedLevels() const {
        std::vector<uint8_t> out;
        out.reserve(m_levels.size() + 2);
        out.push_back(0);
        out.insert(out.end(), m_levels.begin(), m_levels.end());
        out.push_back(255);
        return out;
    }

  private:
    int32_t m_minimum;
    int64_t m_limit = 0;
    bool m_saturated = false;
    std::vector<uint8_t> m_levels;
};

}  // namespace

namespace {

// The table lookup of one 16 x 16 tile. A sample v maps to table[clamp(v, low, low + top) - low];
// it is covered when insideLow < v < insideHigh (conservative bounds: a sample outside them only
// sends its tile to the per-sample path).
constexpr int kTile = 16;
struct TileLookup {
    const int32_t* table;  // 0 (below the minimum), the levels, 255 (at and past saturation)
    int32_t low;           // minimum - 1
    int32_t top;           // the last index of table
    int32_t insideLow;
    int32_t insideHigh;
};
// Writes the levels of the tile at (x0, y0) and returns whether the table covered every sample.
using TileFill = bool (*)(const IntPlane& samples, int x0, int y0, const TileLookup& lookup,
                          LevelRows& levels);

bool tilePlain(const IntPlane& samples, int x0, int y0, const TileLookup& lookup, LevelRows& levels) {
    uint8_t tile[kTile][kTile];  // [row][column]
    bool inside = true;
    const int32_t high = lookup.low + lookup.top;
    for (int c = 0; c < kTile; ++c) {
        const int32_t* column = samples[x0 + c] + y0;
        for (int k = 0; k < kTile; ++k) {
            const int32_t v = column[k];
            inside &= v > lookup.insideLow && v < lookup.insideHigh;
            tile[k][c] = static_cast<uint8_t>(lookup.table[std::clamp(v, lookup.low, high) - lookup.low]);
        }
    }
    for (int k = 0; k < kTile; ++k) std::memcpy(levels.row(y0 + k) + x0, tile[k], kTile);
    return inside;
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen registers, register c holding column c's bytes for rows 0..15, become the rows: after
// four rounds of interleaving, row k lies in register k with its four bits reversed.
inline void storeTransposed(__m128i (&a)[kTile], LevelRows& levels, int x0, int y0) {
    __m128i b[kTile];
    for (int i = 0; i < 8; ++i) {
        b[i] = _mm_unpacklo_epi8(a[2 * i], a[2 * i + 1]);
        b[i + 8] = _mm_unpackhi_epi8(a[2 * i], a[2 * i + 1]);
    }
    for (int i = 0; i < 8; ++i) {
        a[i] = _mm_unpacklo_epi16(b[2 * i], b[2 * i + 1]);
        a[i + 8] = _mm_unpackhi_epi16(b[2 * i], b[2 * i + 1]);
    }
    for (int i = 0; i < 8; ++i) {
        b[i] = _mm_unpacklo_epi32(a[2 * i], a[2 * i + 1]);
        b[i + 8] = _mm_unpackhi_epi32(a[2 * i], a[2 * i + 1]);
    }
    for (int i = 0; i < 8; ++i) {
        a[i] = _mm_unpacklo_epi64(b[2 * i], b[2 * i + 1]);
        a[i + 8] = _mm_unpackhi_epi64(b[2 * i], b[2 * i + 1]);
    }
    for (int k = 0; k < kTile; ++k) {
        const int r = (k & 1) << 3 | (k & 2) << 1 | (k & 4) >> 1 | (k & 8) >> 3;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(levels.row(y0 + k) + x0), a[r]);
    }
}

__attribute__((target("avx2"))) bool tileAvx2(const IntPlane& samples, int x0, int y0,
                                              const TileLookup& lookup, LevelRows& levels) {
    const __m256i low = _mm256_set1_epi32(lookup.low), high = _mm256_set1_epi32(lookup.low + lookup.top);
    const __m256i insideLow = _mm256_set1_epi32(lookup.insideLow);
    const __m256i insideHigh = _mm256_set1_epi32(lookup.insideHigh);
    const int* table = reinterpret_cast<const int*>(lookup.table);
    __m256i inside = _mm256_set1_epi32(-1);
    __m128i columns[kTile];
    for (int c = 0; c < kTile; ++c) {
        const int32_t* column = samples[x0 + c] + y0;
        __m256i half[2];
        for (int h = 0; h < 2; ++h) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(column + 8 * h));
            inside = _mm256_and_si256(inside, _mm256_and_si256(_mm256_cmpgt_epi32(v, insideLow),
                                                               _mm256_cmpgt_epi32(insideHigh, v)));
            const __m256i index = _mm256_sub_epi32(_mm256_min_epi32(_mm256_max_epi32(v, low), high), low);
            half[h] = _mm256_i32gather_epi32(table, index, 4);
        }
        // Levels 0..255 as words, then bytes, in row order.
        const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(half[0], half[1]), 0xD8);
        columns[c] = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
    }
    storeTransposed(columns, levels, x0, y0);
    return _mm256_movemask_epi8(inside) == -1;
}

__attribute__((target("avx512f"))) bool tileAvx512(const IntPlane& samples, int x0, int y0,
                                                   const TileLookup& lookup, LevelRows& levels) {
    const __m512i low = _mm512_set1_epi32(lookup.low), high = _mm512_set1_epi32(lookup.low + lookup.top);
    const __m512i insideLow = _mm512_set1_epi32(lookup.insideLow);
    const __m512i insideHigh = _mm512_set1_epi32(lookup.insideHigh);
    constexpr __mmask16 all = 0xFFFF;
    __mmask16 inside = all;
    __m128i columns[kTile];
    for (int c = 0; c < kTile; ++c) {
        const __m512i v = _mm512_loadu_si512(samples[x0 + c] + y0);
        inside &= _mm512_cmpgt_epi32_mask(v, insideLow) & _mm512_cmplt_epi32_mask(v, insideHigh);
        // The merge-masked forms with every lane set: the plain ones draw a false
        // uninitialised-value warning from GCC 12.
        const __m512i clamped = _mm512_mask_min_epi32(v, all, _mm512_mask_max_epi32(v, all, v, low), high);
        const __m512i index = _mm512_sub_epi32(clamped, low);
        const __m512i tabled = _mm512_mask_i32gather_epi32(index, all, index, lookup.table, 4);
        columns[c] = _mm512_mask_cvtepi32_epi8(_mm_setzero_si128(), all, tabled);
    }
    storeTransposed(columns, levels, x0, y0);
    return inside == all;
}
#endif

TileFill tileFillOf(SimdLevel level) {
    switch (level) {
#if defined(__x86_64__) || defined(__i386__)
        case SimdLevel::Avx512:
            return tileAvx512;
        case SimdLevel::Avx2:
            return tileAvx2;
#endif
        default:
            return tilePlain;
    }
}

}  // namespace

void FillLevelRowsFromSamples(const IntPlane& samples, int width, int height, int32_t minimum, double mean,
                              int scale, LevelRows& levels) {
    FillLevelRowsFromSamplesOn(BestSimdLevel(), samples, width, height, minimum, mean, scale, levels);
}

void FillLevelRowsFromSamplesOn(SimdLevel level, const IntPlane& samples, int width, int height,
                                int32_t minimum, double mean, int scale, LevelRows& levels) {
    RequireSimdLevel(level);
    if (!(mean - minimum >= 1.0 / 1024) || scale <= 0) {
        // A flat grid faults on the first sample, and a tiny span or an odd scale is rare: the
        // literal scaling, so every fault comes where the literal algorithm raises it.
        IntPlane scaled = MakePlane(width, height);
        std::memcpy(scaled.data(), samples.data(), static_cast<size_t>(width) * height * sizeof(int32_t));
        ScaleToLevels(scaled, width, height, minimum, mean, scale);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) levels.row(y)[x] = static_cast<uint8_t>(scaled[x][y]);
        return;
    }
    const LevelTable table(minimum, mean, scale);
    const auto levelOf = [&](int32_t v) {
        const int tabled = table.level(v);
        return static_cast<uint8_t>(tabled >= 0 ? tabled : DisplayLevel(v, minimum, mean, scale));
    };
    // 16 x 16 tiles: levels looked up along each column run (contiguous samples, no branches),
    // then written out as rows. A tile with a sample the table does not cover takes the
    // per-sample path. The lookup needs the saturated table and its index range inside 32 bits.
    const std::vector<uint8_t> clamped = table.clampedLevels();
    const std::vector<int32_t> wide(clamped.begin(), clamped.end());
    const int64_t low = static_cast<int64_t>(minimum) - 1;
    const int64_t top = static_cast<int64_t>(wide.size()) - 1;
    const bool tiled = table.saturated() && low >= INT32_MIN && low + top <= INT32_MAX;
    const int fullWidth = tiled ? width - width % kTile : 0;
    const int fullHeight = tiled ? height - height % kTile : 0;
    const TileLookup lookup{wide.data(), static_cast<int32_t>(low), static_cast<int32_t>(top),
                            static_cast<int32_t>(std::max<int64_t>(minimum - table.limit(), INT32_MIN)),
                            static_cast<int32_t>(std::min<int64_t>(minimum + table.limit(), INT32_MAX))};
    const TileFill fill = tileFillOf(level);
    // Bands of sixteen columns, each read front to back (sixteen sequential streams).
    for (int x0 = 0; x0 < fullWidth; x0 += kTile) {
        for (int y0 = 0; y0 < fullHeight; y0 += kTile) {
            if (fill(samples, x0, y0, lookup, levels)) continue;
            for (int c = 0; c < kTile; ++c)
                for (int k = 0; k < kTile; ++k) levels.row(y0 + k)[x0 + c] = levelOf(samples[x0 + c][y0 + k]);
        }
        for (int x = x0; x < x0 + kTile; ++x)
            for (int y = fullHeight; y < height; ++y) levels.row(y)[x] = levelOf(samples[x][y]);
    }
    for (int x = fullWidth; x < width; ++x)
        for (int y = 0; y < height; ++y) levels.row(y)[x] = levelOf(samples[x][y]);
}

namespace {

// Each adds whole vectors from the start and returns how many samples it added.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) size_t addAvx2(uint32_t* acc, const uint32_t* src, size_t count) {
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* a = reinterpret_cast<__m256i*>(acc + i);
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        _mm256_storeu_si256(a, _mm256_add_epi32(_mm256_loadu_si256(a), s));
    }
    return i;
}

__attribute__((target("avx512f"))) size_t addAvx512(uint32_t* acc, const uint32_t* src, size_t count) {
    size_t i = 0;
    for (; i + 16 <= count; i += 16)
        _mm512_storeu_si512(acc + i,
                            _mm512_add_epi32(_mm512_loadu_si512(acc + i), _mm512_loadu_si512(src + i)));
    return i;
}
#endif

}  // namespace

void AddPlane(IntPlane& accumulator, const IntPlane& add, int width, int height) {
    AddPlaneOn(BestSimdLevel(), accumulator, add, width, height);
}

void AddPlaneOn(SimdLevel level, IntPlane& accumulator, const IntPlane& add, int width, int height) {
    RequireSimdLevel(level);
    // Both planes keep their samples in one column-major block, so the sum is one flat loop.
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    uint32_t* __restrict acc = reinterpret_cast<uint32_t*>(accumulator.data());
    const uint32_t* __restrict src = reinterpret_cast<const uint32_t*>(add.data());
    size_t i = 0;
    switch (level) {
#if defined(__x86_64__) || defined(__i386__)
        case SimdLevel::Avx512:
            i = addAvx512(acc, src, count);
            break;
        case SimdLevel::Avx2:
            i = addAvx2(acc, src, count);
            break;
#endif
        default:
            break;
    }
    for (; i < count; ++i) acc[i] += src[i];
}

Kernel MakeAccumulatorKernel() {
    Kernel kernel = MakeKernel(kBenchKernelSide, kBenchKernelSide);
    kernel[2][2] = 1.0;
    kernel[2][1] = -0.0;
    kernel[2][3] = -0.0;
    kernel[1][2] = -0.0;
    kernel[3][2] = -0.0;
    return kernel;
}

uint64_t PlaneChecksum(const IntPlane& plane, int width, int height) {
    uint64_t hash = 0xcbf29ce484222325ull;
    constexpr uint64_t kPrime = 0x100000001b3ull;
    for (int x = 0; x < width; ++x) {
        const int32_t* column = plane[x];
        for (int y = 0; y < height; ++y) {
            const uint32_t v = static_cast<uint32_t>(column[y]);
            for (int b = 0; b < 4; ++b) {
                hash ^= (v >> (8 * b)) & 0xFFu;
                hash *= kPrime;
            }
        }
    }
    return hash;
}
