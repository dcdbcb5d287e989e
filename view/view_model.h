// The numerical side of the image view (Qt-free): sample statistics, display levels, the raw-value
// encoding, and the state reset every window creator ends with.
#pragma once

#include <cstdint>

#include "core/picture.h"
#include "core/plane.h"
#include "view/child_state.h"

struct SampleStats {
    double mean = 0;
    int32_t minimum = 65536;
    double count = 0;  // number of grid samples
};

// Mean and minimum over the grid x, y = 10, 14, 18, ... below size - 10. An empty grid computes
// 0 / 0: FloatingPointError (invalid operation).
SampleStats SampleStatistics(const IntPlane& plane, int width, int height);

// trunc((v - minimum) * scale / (mean - minimum)) clamped to 0..255; (v - minimum) * scale in 32-bit
// integers, the division in double. mean == minimum raises the division's fault.
int DisplayLevel(int32_t v, int32_t minimum, double mean, int scale);

// A raw value 0..65535 as a pixel: blue 0, green v div 256, red v mod 256.
inline void EncodeRawValue(int32_t v, uint8_t* pixel) {
    pixel[0] = 0;
    pixel[1] = static_cast<uint8_t>(v / 256);
    pixel[2] = static_cast<uint8_t>(v - 256 * (v / 256));
}
inline int32_t DecodeRawValue(uint8_t byte1, uint8_t byte2) {
    return 256 * byte1 + byte2;
}

// DemX, DemY, ColN, ZomN "1.00", UndoFlg "0".
void ResetViewState(ChildState& state, int width, int height, int colN);
