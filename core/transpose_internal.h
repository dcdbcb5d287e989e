// Conversions between row-major 16-bit big-endian file samples and column-major int32 planes, in
// cache-sized tiles (whole blocks of 8 x 8 samples in SSE2 or AVX2 registers, 16 x 16 in AVX-512 for
// the reading, by SimdLevel; plain loops for the edges).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/simd_level.h"

namespace hv_detail {

// Planes are column-major: sample (x, y) is data[x * height + y].
// For y0 <= y < y1 and 0 <= x < width: (x, y) = row[2x] * 256 + row[2x + 1], with
// row = src + (y - y0) * stride. Every byte of those rows must be present.
void BigEndianRowsToColumns(const uint8_t* src, size_t stride, int width, int y0, int y1, int32_t* data,
                            size_t height);

// The inverse for rows [y0, y1): row[2x] = low 8 bits of (x, y) / 256 truncated toward zero,
// row[2x + 1] = low 8 bits of (x, y), with row = dst + (y - y0) * stride.
void ColumnsToBigEndianRows(const int32_t* data, size_t height, int width, int y0, int y1, uint8_t* dst,
                            size_t stride);

// The same at a pinned level (std::invalid_argument when this processor lacks it); the two above
// run BestSimdLevel().
void BigEndianRowsToColumnsOn(SimdLevel level, const uint8_t* src, size_t stride, int width, int y0, int y1,
                              int32_t* data, size_t height);
void ColumnsToBigEndianRowsOn(SimdLevel level, const int32_t* data, size_t height, int width, int y0, int y1,
                              uint8_t* dst, size_t stride);

}  // namespace hv_detail
