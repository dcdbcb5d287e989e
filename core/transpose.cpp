#include "core/transpose_internal.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define HV_X86_SIMD 1
#endif

namespace hv_detail {
namespace {

// The writer's tiles of 256 rows by 32 columns keep the rows they fill in L1 and L2; inside a tile,
// whole 8 x 8 blocks go through SIMD registers and the edges through plain loops.
constexpr int kEncodeTileRows = 256;
constexpr int kEncodeTileColumns = 32;
// The reader is handed bands of rows that sit in L2 (the FITS reader's), and walks them in rows of
// blocks across the whole width: on the benchmark's files a third faster than tall strips of 16
// columns, whose per-strip start-up the short bands no longer pay for.
constexpr int kDecodeTileRows = 64;
constexpr int kDecodeTileColumns = 2048;

inline int32_t decodeSample(const uint8_t* p) {
    return p[0] * 256 + p[1];
}

inline void encodeSample(int32_t v, uint8_t* p) {
    p[0] = static_cast<uint8_t>(v / 256);  // truncated toward zero, low 8 bits kept
    p[1] = static_cast<uint8_t>(v);
}

// What a tile reads and writes: row y of the stored samples starts at (y - rowBase) * stride bytes
// into the rows, column x of the plane at x * height samples into the columns.
struct DecodeTile {
    const uint8_t* src;
    size_t stride;
    int rowBase;
    int32_t* data;
    size_t height;

    const uint8_t* rowAt(int y, int x) const {
        return src + static_cast<size_t>(y - rowBase) * stride + static_cast<size_t>(x) * 2;
    }
    int32_t* columnAt(int x, int y) const { return data + static_cast<size_t>(x) * height + y; }
};

struct EncodeTile {
    const int32_t* data;
    size_t height;
    int rowBase;
    uint8_t* dst;
    size_t stride;

    uint8_t* rowAt(int y, int x) const {
        return dst + static_cast<size_t>(y - rowBase) * stride + static_cast<size_t>(x) * 2;
    }
    const int32_t* columnAt(int x, int y) const { return data + static_cast<size_t>(x) * height + y; }
};

void decodeScalar(const DecodeTile& t, int x0, int x1, int y0, int y1) {
    for (int x = x0; x < x1; ++x) {
        int32_t* column = t.columnAt(x, 0);
        const uint8_t* p = t.rowAt(y0, x);
        for (int y = y0; y < y1; ++y, p += t.stride) column[y] = decodeSample(p);
    }
}

void encodeScalar(const EncodeTile& t, int x0, int x1, int y0, int y1) {
    for (int x = x0; x < x1; ++x) {
        const int32_t* column = t.columnAt(x, 0);
        uint8_t* p = t.rowAt(y0, x);
        for (int y = y0; y < y1; ++y, p += t.stride) encodeSample(column[y], p);
    }
}

#if HV_X86_SIMD
// Within every 128-bit lane: r[i] word j becomes r[j] word i (an 8 x 8 block of 16-bit words per
// lane). One body for the three register widths, each compiled for its own instruction set.
#define HV_DEFINE_TRANSPOSE_8X8(name, attributes, V, P) \
    attributes inline void name(V r[8]) {               \
        const V a0 = P##_unpacklo_epi16(r[0], r[1]);    \
        const V a1 = P##_unpackhi_epi16(r[0], r[1]);    \
        const V a2 = P##_unpacklo_epi16(r[2], r[3]);    \
        const V a3 = P##_unpackhi_epi16(r[2], r[3]);    \
        const V a4 = P##_unpacklo_epi16(r[4], r[5]);    \
        const V a5 = P##_unpackhi_epi16(r[4], r[5]);    \
        const V a6 = P##_unpacklo_epi16(r[6], r[7]);    \
        const V a7 = P##_unpackhi_epi16(r[6], r[7]);    \
        const V b0 = P##_unpacklo_epi32(a0, a2);        \
        const V b1 = P##_unpackhi_epi32(a0, a2);        \
        const V b2 = P##_unpacklo_epi32(a1, a3);        \
        const V b3 = P##_unpackhi_epi32(a1, a3);        \
        const V b4 = P##_unpacklo_epi32(a4, a6);        \
        const V b5 = P##_unpackhi_epi32(a4, a6);        \
        const V b6 = P##_unpacklo_epi32(a5, a7);        \
        const V b7 = P##_unpackhi_epi32(a5, a7);        \
        r[0] = P##_unpacklo_epi64(b0, b4);              \
        r[1] = P##_unpackhi_epi64(b0, b4);              \
        r[2] = P##_unpacklo_epi64(b1, b5);              \
        r[3] = P##_unpackhi_epi64(b1, b5);              \
        r[4] = P##_unpacklo_epi64(b2, b6);              \
        r[5] = P##_unpackhi_epi64(b2, b6);              \
        r[6] = P##_unpacklo_epi64(b3, b7);              \
        r[7] = P##_unpackhi_epi64(b3, b7);              \
    }

#define HV_AVX2 __attribute__((target("avx2")))
#define HV_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl")))
HV_DEFINE_TRANSPOSE_8X8(transpose8x8, , __m128i, _mm)
HV_DEFINE_TRANSPOSE_8X8(transpose8x8Lanes, HV_AVX2, __m256i, _mm256)
HV_DEFINE_TRANSPOSE_8X8(transpose8x8Lanes, HV_AVX512, __m512i, _mm512)

// Hands every whole Rows x Columns block of the tile's columns x0..x1 and rows y0..y1 to the
// level's block body, then what is left over (the columns to the right, the rows below) to rest.
// One walk per instruction set: a body compiled for AVX2 or AVX-512 inlines only into a caller
// compiled for the same, and the AVX-512 body is too large to inline without being made to.
#define HV_ALWAYS_INLINE __attribute__((always_inline)) inline
#define HV_DEFINE_FOR_EACH_BLOCK(name, attributes)                                            \
    template <int Rows, int Columns, class Block, class Tile>                                 \
    attributes HV_ALWAYS_INLINE void name(const Block& block, int x0, int x1, int y0, int y1, \
                                          void (*rest)(const Tile&, int, int, int, int)) {    \
        const int xEnd = x0 + (x1 - x0) / Columns * Columns;                                  \
        const int yEnd = y0 + (y1 - y0) / Rows * Rows;                                        \
        for (int y = y0; y < yEnd; y += Rows)                                                 \
            for (int x = x0; x < xEnd; x += Columns) block(x, y);                             \
        rest(block, xEnd, x1, y0, yEnd);                                                      \
        rest(block, x0, x1, yEnd, y1);                                                        \
    }
HV_DEFINE_FOR_EACH_BLOCK(forEachBlock, )
HV_DEFINE_FOR_EACH_BLOCK(forEachBlockAvx2, HV_AVX2)
HV_DEFINE_FOR_EACH_BLOCK(forEachBlockAvx512, HV_AVX512)

// Four samples to their stored 16-bit words (bytes hi, lo in memory), sign-extended to 32 bits so
// that the signed pack keeps them unchanged.
inline __m128i encodeWordsSse2(__m128i v) {
    const __m128i bytes = _mm_set1_epi32(0xFF);
    // v / 256 truncated toward zero: negative values are biased by 255 before the shift.
    const __m128i q = _mm_srai_epi32(_mm_add_epi32(v, _mm_and_si128(_mm_srai_epi32(v, 31), bytes)), 8);
    const __m128i word = _mm_or_si128(_mm_slli_epi32(_mm_and_si128(v, bytes), 8), _mm_and_si128(q, bytes));
    return _mm_srai_epi32(_mm_slli_epi32(word, 16), 16);
}

struct DecodeBlockSse2 : DecodeTile {
    HV_ALWAYS_INLINE void operator()(int x, int y) const {
        const uint8_t* piece = rowAt(y, x);
        __m128i r[8];
#pragma GCC unroll 8
        for (int i = 0; i < 8; ++i) {
            const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(piece + i * stride));
            r[i] = _mm_or_si128(_mm_slli_epi16(raw, 8), _mm_srli_epi16(raw, 8));
        }
        transpose8x8(r);
#pragma GCC unroll 8
        for (int j = 0; j < 8; ++j) {
            int32_t* column = columnAt(x + j, y);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(column),
                             _mm_unpacklo_epi16(r[j], _mm_setzero_si128()));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(column + 4),
                             _mm_unpackhi_epi16(r[j], _mm_setzero_si128()));
        }
    }
};

void decodeTileSse2(const DecodeTile& t, int x0, int x1, int y0, int y1) {
    forEachBlock<8, 8>(DecodeBlockSse2{t}, x0, x1, y0, y1, decodeScalar);
}

struct EncodeBlockSse2 : EncodeTile {
    HV_ALWAYS_INLINE void operator()(int x, int y) const {
        uint8_t* piece = rowAt(y, x);
        __m128i r[8];
#pragma GCC unroll 8
        for (int j = 0; j < 8; ++j) {
            const int32_t* column = columnAt(x + j, y);
            const __m128i lo = encodeWordsSse2(_mm_loadu_si128(reinterpret_cast<const __m128i*>(column)));
            const __m128i hi = encodeWordsSse2(_mm_loadu_si128(reinterpret_cast<const __m128i*>(column + 4)));
            r[j] = _mm_packs_epi32(lo, hi);
        }
        transpose8x8(r);
#pragma GCC unroll 8
        for (int i = 0; i < 8; ++i) _mm_storeu_si128(reinterpret_cast<__m128i*>(piece + i * stride), r[i]);
    }
};

void encodeTileSse2(const EncodeTile& t, int x0, int x1, int y0, int y1) {
    forEachBlock<8, 8>(EncodeBlockSse2{t}, x0, x1, y0, y1, encodeScalar);
}

// The stored words' byte swap within every 16-byte lane.
HV_AVX2 inline __m256i byteSwapAvx2(__m256i v) {
    return _mm256_shuffle_epi8(v, _mm256_setr_epi8(1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14, 1, 0,
                                                   3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14));
}

// The same blocks with AVX2: byte swap by shuffle, widening in one instruction. Pairs of blocks
// side by side (columns x..x+7 in the low lanes, x+8..x+15 in the high lanes) load each row piece
// as one 32-byte register; the few columns and rows left over take the SSE2 blocks.
struct DecodeBlockAvx2 : DecodeTile {
    HV_AVX2 HV_ALWAYS_INLINE void operator()(int x, int y) const {
        const uint8_t* piece = rowAt(y, x);
        __m256i r[8];
#pragma GCC unroll 8
        for (int i = 0; i < 8; ++i)
            r[i] = byteSwapAvx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(piece + i * stride)));
        transpose8x8Lanes(r);
#pragma GCC unroll 8
        for (int j = 0; j < 8; ++j) {
            int32_t* column = columnAt(x + j, y);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(column),
                                _mm256_cvtepu16_epi32(_mm256_castsi256_si128(r[j])));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(column + 8 * height),
                                _mm256_cvtepu16_epi32(_mm256_extracti128_si256(r[j], 1)));
        }
    }
};

HV_AVX2 void decodeTileAvx2(const DecodeTile& t, int x0, int x1, int y0, int y1) {
    forEachBlockAvx2<8, 16>(DecodeBlockAvx2{t}, x0, x1, y0, y1, decodeTileSse2);
}

// GCC 12's own AVX-512 headers trip -Wuninitialized on their _mm512_undefined_* placeholders.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
// AVX-512: blocks of 16 columns by 16 rows. Register i holds rows i and i + 8 (32 bytes each), so
// after the transposition within lanes register j holds columns j and j + 8, rows 0..7 and 8..15;
// each column's sixteen samples then go out as one 64-byte store. The rest takes the AVX2 blocks.
struct DecodeBlockAvx512 : DecodeTile {
    HV_AVX512 HV_ALWAYS_INLINE void operator()(int x, int y) const {
        const __m512i swap =
            _mm512_broadcast_i32x4(_mm_setr_epi8(1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14));
        const uint8_t* piece = rowAt(y, x);
        __m512i r[8];
#pragma GCC unroll 8
        for (int i = 0; i < 8; ++i) {
            const __m512i rows = _mm512_inserti64x4(
                _mm512_castsi256_si512(
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(piece + i * stride))),
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(piece + (i + 8) * stride)), 1);
            r[i] = _mm512_shuffle_epi8(rows, swap);
        }
        transpose8x8Lanes(r);
#pragma GCC unroll 8
        for (int j = 0; j < 8; ++j) {
            // Lanes (column j rows 0..7, column j + 8 rows 0..7, column j rows 8..15, ...) in
            // the order (j low, j high, j + 8 low, j + 8 high).
            const __m512i q = _mm512_shuffle_i64x2(r[j], r[j], _MM_SHUFFLE(3, 1, 2, 0));
            int32_t* column = columnAt(x + j, y);
            _mm512_storeu_si512(column, _mm512_cvtepu16_epi32(_mm512_castsi512_si256(q)));
            _mm512_storeu_si512(column + 8 * height, _mm512_cvtepu16_epi32(_mm512_extracti64x4_epi64(q, 1)));
        }
    }
};

HV_AVX512 void decodeTileAvx512(const DecodeTile& t, int x0, int x1, int y0, int y1) {
    forEachBlockAvx512<16, 16>(DecodeBlockAvx512{t}, x0, x1, y0, y1, decodeTileAvx2);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

// Two 8 x 8 blocks at once (columns x..x+7 in the low lanes, x+8..x+15 in the high lanes), so
// each transposed register is one 32-byte piece of a row. The words are built with their bytes
// in register order and swapped once after the transposition.
HV_AVX2 inline __m256i encodeWordsAvx2(__m256i v) {
    const __m256i lowByte = _mm256_set1_epi32(0xFF);
    // Bits 8..15 of v + 255 (negative v) are the low byte of v / 256 truncated toward zero.
    const __m256i t = _mm256_add_epi32(v, _mm256_and_si256(_mm256_srai_epi32(v, 31), lowByte));
    return _mm256_or_si256(_mm256_and_si256(t, _mm256_set1_epi32(0xFF00)), _mm256_and_si256(v, lowByte));
}

struct EncodeBlockAvx2 : EncodeTile {
    HV_AVX2 HV_ALWAYS_INLINE void operator()(int x, int y) const {
        uint8_t* piece = rowAt(y, x);
        __m256i r[8];
#pragma GCC unroll 8
        for (int j = 0; j < 8; ++j) {
            const int32_t* left = columnAt(x + j, y);
            const __m256i a = encodeWordsAvx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(left)));
            const __m256i b =
                encodeWordsAvx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(left + 8 * height)));
            // Words 0..15 of a, then of b, after undoing the pack's lane interleave.
            r[j] = _mm256_permute4x64_epi64(_mm256_packus_epi32(a, b), 0xD8);
        }
        transpose8x8Lanes(r);
#pragma GCC unroll 8
        for (int i = 0; i < 8; ++i)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(piece + i * stride), byteSwapAvx2(r[i]));
    }
};

// The few columns and rows left over take the SSE2 blocks and plain loops.
HV_AVX2 void encodeTileAvx2(const EncodeTile& t, int x0, int x1, int y0, int y1) {
    forEachBlockAvx2<8, 16>(EncodeBlockAvx2{t}, x0, x1, y0, y1, encodeTileSse2);
}
#endif

// Hands the tiles of tileRows x tileColumns samples covering columns 0..width and rows y0..y1 to
// the level's tile function.
template <class Tile>
void forEachTile(int tileRows, int tileColumns, int width, int y0, int y1, const Tile& tile,
                 void (*tileFunction)(const Tile&, int, int, int, int)) {
    for (int yb = y0; yb < y1; yb += tileRows) {
        const int ye = std::min(y1, yb + tileRows);
        for (int xb = 0; xb < width; xb += tileColumns)
            tileFunction(tile, xb, std::min(width, xb + tileColumns), yb, ye);
    }
}

}  // namespace

void BigEndianRowsToColumnsOn(SimdLevel level, const uint8_t* src, size_t stride, int width, int y0, int y1,
                              int32_t* data, size_t height) {
    RequireSimdLevel(level);
#if HV_X86_SIMD
    const auto decodeTile = level == SimdLevel::Avx512 ? decodeTileAvx512
                            : level == SimdLevel::Avx2 ? decodeTileAvx2
                                                       : decodeTileSse2;
#else
    const auto decodeTile = decodeScalar;
#endif
    forEachTile(kDecodeTileRows, kDecodeTileColumns, width, y0, y1, DecodeTile{src, stride, y0, data, height},
                decodeTile);
}

void ColumnsToBigEndianRowsOn(SimdLevel level, const int32_t* data, size_t height, int width, int y0, int y1,
                              uint8_t* dst, size_t stride) {
    RequireSimdLevel(level);
#if HV_X86_SIMD
    // 16 x 16 blocks in AVX-512 registers measured no faster here: AVX-512 runs the AVX2 blocks.
    const auto encodeTile = level != SimdLevel::Sse2 ? encodeTileAvx2 : encodeTileSse2;
#else
    const auto encodeTile = encodeScalar;
#endif
    forEachTile(kEncodeTileRows, kEncodeTileColumns, width, y0, y1, EncodeTile{data, height, y0, dst, stride},
                encodeTile);
}

void BigEndianRowsToColumns(const uint8_t* src, size_t stride, int width, int y0, int y1, int32_t* data,
                            size_t height) {
    BigEndianRowsToColumnsOn(BestSimdLevel(), src, stride, width, y0, y1, data, height);
}

void ColumnsToBigEndianRows(const int32_t* data, size_t height, int width, int y0, int y1, uint8_t* dst,
                            size_t stride) {
    ColumnsToBigEndianRowsOn(BestSimdLevel(), data, height, width, y0, y1, dst, stride);
}

}  // namespace hv_detail
