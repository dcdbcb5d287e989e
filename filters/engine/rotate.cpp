// Rotation of a kernel about its centre with bilinear resampling.
#include <cmath>
#include <cstddef>
#include <new>
#include <stdexcept>
#include <vector>

#include "core/errors.h"
#include "core/fparith.h"
#include "filters/engine/kernel.h"

int RotateKernel(double angle, int a, int b, Kernel& kernel) {
    // With a side of 0 or less both loops below are empty and nothing changes.
    if (a <= 0 || b <= 0) return 0;
    if (!kernel.valid() || a > kernel.a() || b > kernel.b())
        throw std::invalid_argument("rotation window larger than the kernel");

    // The turn angle in radians, with pi as 3.1415926. cos and sin of a non-finite angle are
    // invalid operations; an angle so large that the product overflows is an overflow.
    if (!std::isfinite(angle)) RaiseFpFault(FpFault::InvalidOperation);
    const double scaled = angle * 3.1415926;
    if (std::isinf(scaled)) RaiseFpFault(FpFault::Overflow);
    const double theta = scaled * (1.0 / 180.0);
    const double c = std::cos(theta);
    const double s = std::sin(theta);

    // Scratch copy of twice the sides, the kernel in its middle; everything else reads 0.
    const size_t ta = static_cast<size_t>(a) * 2;
    const size_t tb = static_cast<size_t>(b) * 2;
    std::vector<double> t;
    try {
        t.assign(ta * tb, 0.0);
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    } catch (const std::length_error&) {
        throw OutOfMemoryError();
    }
    for (int i = 0; i < a; ++i) {
        for (int j = 0; j < b; ++j) {
            const size_t ti = static_cast<size_t>(0.5 * a + i);
            const size_t tj = static_cast<size_t>(0.5 * b + j);
            t[ti * tb + tj] = kernel[i][j];
        }
    }
    auto at = [&](long ix, long iy) { return t[static_cast<size_t>(ix) * tb + static_cast<size_t>(iy)]; };

    // Row and column 0 are visited twice (i - a/2 truncates to 0 for i = a/2 and a/2 + 1 with odd
    // a); the second visit, nearer the centre, writes last.
    const long ta2 = static_cast<long>(ta);
    const long tb2 = static_cast<long>(tb);
    for (long i = static_cast<long>(0.5 * a); i < 1.5 * a; ++i) {
        for (long j = static_cast<long>(0.5 * b); j < 1.5 * b; ++j) {
            const double di = static_cast<double>(i - a);
            const double dj = static_cast<double>(j - b);
            const double xs = a + (c * di - s * dj);
            const double ys = b + (s * di + c * dj);
            const long ix = static_cast<long>(xs);
            const long iy = static_cast<long>(ys);
            const double fx = xs - static_cast<double>(ix);
            const double fy = ys - static_cast<double>(iy);
            const long oi = static_cast<long>(static_cast<double>(i) - 0.5 * a);
            const long oj = static_cast<long>(static_cast<double>(j) - 0.5 * b);
            if (ix > 0 && iy > 0 && ix < ta2 && iy < tb2) {
                kernel[oi][oj] = fx * fy * at(ix, iy) + (1 - fx) * fy * at(ix - 1, iy) +
                                 fx * (1 - fy) * at(ix, iy - 1) + (1 - fx) * (1 - fy) * at(ix - 1, iy - 1);
            }
        }
    }
    return 0;
}
