// The decoders with a cap on the image size, for the fuzz targets: every input runs through the
// header parsing and size checks, and only the allocation of a plane larger than maxPixels is
// skipped (the targets test the decoders, not the allocator).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/plane.h"

namespace hv_detail {

// Decode as DecodeFits and DecodePpm do, or stop and return false (nothing allocated) when the
// header passes every check but declares more than maxPixels pixels.
bool DecodeFitsWithin(long long maxPixels, const uint8_t* bytes, size_t size, char* headerBuffer, int& width,
                      int& height, int& headerCards, int& bzero, IntPlane& plane);
bool DecodePpmWithin(long long maxPixels, const uint8_t* bytes, size_t size, int& width, int& height,
                     IntPlane& red, IntPlane& green, IntPlane& blue);

}  // namespace hv_detail
