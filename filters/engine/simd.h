// Internal interface of the convolution engine: the column job that the vector kernels run, the
// instruction sets they are built for, and entry points that pin an instruction set (tests and
// benchmarks compare every variant this processor can run).
#pragma once

#include <cstdint>

#include "core/simd_level.h"

class Kernel;
class IntPlane;

namespace hv::engine {

// The program-wide levels and their queries.
using ::BestSimdLevel;
using ::SimdLevel;
using ::SimdLevelName;
using ::SimdLevelSupported;

// Rows of every ring column beyond the plane's height are padded up to this multiple (the widest
// block any variant computes at once), so the kernels never need a tail loop over the inputs.
inline constexpr int kRowBlock = 64;

// One output column. Tap t reads src[t][y] for output row y (the pointer already carries the tap's
// row offset into a zero-padded column of doubles) and weighs it with weights[t]; taps are in the
// order of the four-deep loop (i outer, j inner), restricted to columns inside the plane.
struct ColumnJob {
    const double* const* src = nullptr;
    const double* weights = nullptr;
    int taps = 0;
    int rows = 0;                    // output rows written to out
    int32_t* out = nullptr;          // plane column
    const double* centre = nullptr;  // below-threshold variant: the pixel's own column, else nullptr
    double threshold = 0.0;
};

// One level's column kernels. column computes job.rows outputs (truncated toward zero, negatives 0)
// and returns true when some accumulation fell outside the 32-bit range, where the caller redoes the
// column exactly; widen turns n int32 samples into doubles.
struct ColumnKernels {
    bool (*column)(const ColumnJob& job);
    void (*widen)(const int32_t* in, double* out, int n);
};
extern const ColumnKernels kSse2Kernels;
extern const ColumnKernels kAvx2Kernels;
extern const ColumnKernels kAvx512Kernels;

int ConvolvePlaneOn(SimdLevel level, int a, int b, Kernel& kernel, int W, int H, IntPlane& plane);
int ConvolvePlaneBelowOn(SimdLevel level, int threshold, int a, int b, Kernel& kernel, int W, int H,
                         IntPlane& plane);

}  // namespace hv::engine
