// The PPM header scan without trace lines, for callers that must know the size before decoding.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hv_detail {

// True when the header reads as DecodePpm reads it; width and height are then the sizes it will use.
bool PpmDeclaredSize(const uint8_t* bytes, size_t size, int& width, int& height);

}  // namespace hv_detail
