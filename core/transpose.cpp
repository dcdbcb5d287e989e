#include "core/transpose_internal.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hv_detail {
namespace {

// Outer tiles keep one tile's rows (64 x 128 bytes) and columns (64 x 256 bytes) in L1.
constexpr int kTile = 64;

inline int32_t decodeSample(const uint8_t* p) {
    return p[0] * 256 + p[1];
}

inline void encodeSample(int32_t v, uint8_t* p) {
    p[0] = static_cast<uint8_t>(v / 256);  // truncated toward zero, low 8 bits kept
    p[1] = static_cast<uint8_t>(v);
}

#if defined(__SSE2__)
// r[i] lane j becomes r[j] lane i.
inline void transpose8x8(__m128i r[8]) {
    const __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]);
    const __m128i a1 = _mm_unpackhi_epi16(r[0], r[1]);
    const __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]);
    const __m128i a3 = _mm_unpackhi_epi16(r[2], r[3]);
    const __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]);
    const __m128i a5 = _mm_unpackhi_epi16(r[4], r[5]);
    const __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]);
    const __m128i a7 = _mm_unpackhi_epi16(r[6], r[7]);
    const __m128i b0 = _mm_unpacklo_epi32(a0, a2);
    const __m128i b1 = _mm_unpackhi_epi32(a0, a2);
    const __m128i b2 = _mm_unpacklo_epi32(a1, a3);
    const __m128i b3 = _mm_unpackhi_epi32(a1, a3);
    const __m128i b4 = _mm_unpacklo_epi32(a4, a6);
    const __m128i b5 = _mm_unpackhi_epi32(a4, a6);
    const __m128i b6 = _mm_unpacklo_epi32(a5, a7);
    const __m128i b7 = _mm_unpackhi_epi32(a5, a7);
    r[0] = _mm_unpacklo_epi64(b0, b4);
    r[1] = _mm_unpackhi_epi64(b0, b4);
    r[2] = _mm_unpacklo_epi64(b1, b5);
    r[3] = _mm_unpackhi_epi64(b1, b5);
    r[4] = _mm_unpacklo_epi64(b2, b6);
    r[5] = _mm_unpackhi_epi64(b2, b6);
    r[6] = _mm_unpacklo_epi64(b3, b7);
    r[7] = _mm_unpackhi_epi64(b3, b7);
}

// Four samples to their stored 16-bit words (bytes hi, lo in memory), sign-extended to 32 bits so
// that the signed pack keeps them unchanged.
inline __m128i encodeWords(__m128i v) {
    const __m128i bytes = _mm_set1_epi32(0xFF);
    // v / 256 truncated toward zero: negative values are biased by 255 before the shift.
    const __m128i q = _mm_srai_epi32(_mm_add_epi32(v, _mm_and_si128(_mm_srai_epi32(v, 31), bytes)), 8);
    const __m128i word = _mm_or_si128(_mm_slli_epi32(_mm_and_si128(v, bytes), 8), _mm_and_si128(q, bytes));
    return _mm_srai_epi32(_mm_slli_epi32(word, 16), 16);
}
#endif

void decodeTile(const uint8_t* src, size_t stride, int x0, int x1, int y0, int y1, int rowBase, int32_t* data,
                size_t height) {
    int yFull = y0;
#if defined(__SSE2__)
    const int xFull = x0 + (x1 - x0) / 8 * 8;
    yFull = y0 + (y1 - y0) / 8 * 8;
    const __m128i zero = _mm_setzero_si128();
    for (int y = y0; y < yFull; y += 8) {
        const uint8_t* row = src + static_cast<size_t>(y - rowBase) * stride;
        for (int x = x0; x < xFull; x += 8) {
            __m128i r[8];
            for (int i = 0; i < 8; ++i) {
                const __m128i raw = _mm_loadu_si128(
                    reinterpret_cast<const __m128i*>(row + i * stride + static_cast<size_t>(x) * 2));
                r[i] = _mm_or_si128(_mm_slli_epi16(raw, 8), _mm_srli_epi16(raw, 8));
            }
            transpose8x8(r);
            for (int j = 0; j < 8; ++j) {
                int32_t* column = (data + static_cast<size_t>(x + j) * height) + y;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(column), _mm_unpacklo_epi16(r[j], zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(column + 4), _mm_unpackhi_epi16(r[j], zero));
            }
        }
        for (int x = xFull; x < x1; ++x) {
            int32_t* column = (data + static_cast<size_t>(x) * height);
            for (int y2 = y; y2 < y + 8; ++y2)
                column[y2] = decodeSample(src + static_cast<size_t>(y2 - rowBase) * stride +
                                          static_cast<size_t>(x) * 2);
        }
    }
#endif
    for (int x = x0; x < x1; ++x) {
        int32_t* column = (data + static_cast<size_t>(x) * height);
        for (int y = yFull; y < y1; ++y)
            column[y] =
                decodeSample(src + static_cast<size_t>(y - rowBase) * stride + static_cast<size_t>(x) * 2);
    }
}

void encodeTile(const int32_t* data, size_t height, int x0, int x1, int y0, int y1, int rowBase, uint8_t* dst,
                size_t stride) {
    int yFull = y0;
#if defined(__SSE2__)
    const int xFull = x0 + (x1 - x0) / 8 * 8;
    yFull = y0 + (y1 - y0) / 8 * 8;
    for (int y = y0; y < yFull; y += 8) {
        uint8_t* row = dst + static_cast<size_t>(y - rowBase) * stride;
        for (int x = x0; x < xFull; x += 8) {
            __m128i r[8];
            for (int j = 0; j < 8; ++j) {
                const int32_t* column = (data + static_cast<size_t>(x + j) * height) + y;
                const __m128i lo = encodeWords(_mm_loadu_si128(reinterpret_cast<const __m128i*>(column)));
                const __m128i hi = encodeWords(_mm_loadu_si128(reinterpret_cast<const __m128i*>(column + 4)));
                r[j] = _mm_packs_epi32(lo, hi);
            }
            transpose8x8(r);
            for (int i = 0; i < 8; ++i)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i * stride + static_cast<size_t>(x) * 2),
                                 r[i]);
        }
        for (int x = xFull; x < x1; ++x) {
            const int32_t* column = (data + static_cast<size_t>(x) * height);
            for (int y2 = y; y2 < y + 8; ++y2)
                encodeSample(column[y2],
                             dst + static_cast<size_t>(y2 - rowBase) * stride + static_cast<size_t>(x) * 2);
        }
    }
#endif
    for (int x = x0; x < x1; ++x) {
        const int32_t* column = (data + static_cast<size_t>(x) * height);
        for (int y = yFull; y < y1; ++y)
            encodeSample(column[y],
                         dst + static_cast<size_t>(y - rowBase) * stride + static_cast<size_t>(x) * 2);
    }
}

}  // namespace

void BigEndianRowsToColumns(const uint8_t* src, size_t stride, int width, int y0, int y1, int32_t* data,
                            size_t height) {
    for (int yb = y0; yb < y1; yb += kTile)
        for (int xb = 0; xb < width; xb += kTile)
            decodeTile(src, stride, xb, std::min(width, xb + kTile), yb, std::min(y1, yb + kTile), y0, data,
                       height);
}

void ColumnsToBigEndianRows(const int32_t* data, size_t height, int width, int y0, int y1, uint8_t* dst,
                            size_t stride) {
    for (int yb = y0; yb < y1; yb += kTile)
        for (int xb = 0; xb < width; xb += kTile)
            encodeTile(data, height, xb, std::min(width, xb + kTile), yb, std::min(y1, yb + kTile), y0, dst,
                       stride);
}

}  // namespace hv_detail
