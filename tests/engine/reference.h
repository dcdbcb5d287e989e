// The engine's plain reference loops: the four-deep convolution loop with its
// accumulation array, the rotation with its scratch kernel, the clamp. The tests compare the real
// engine with these sample for sample; the benchmarks time them side by side. Header-only, so any
// test or benchmark may use them.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/fparith.h"
#include "core/plane.h"
#include "filters/engine/kernel.h"

namespace engine_ref {

// Real to sample: truncation toward zero, the low 32 bits of it, negatives 0.
inline int32_t StoreSample(double v) {
    const int32_t t = std::fabs(v) < 2147483648.0 ? static_cast<int32_t>(v) : TruncToInt32(v);
    return t < 0 ? 0 : t;
}

inline void Normalise(int a, int b, Kernel& k) {
    double s = 0.0;
    for (int i = 0; i < a; ++i)
        for (int j = 0; j < b; ++j) s += k[i][j];
    for (int i = 0; i < a; ++i)
        for (int j = 0; j < b; ++j) k[i][j] = k[i][j] / s;
}

inline int ConvolvePlane(int a, int b, Kernel& k, int W, int H, IntPlane& p) {
    Normalise(a, b, k);
    Kernel acc = MakeKernel(W, H);
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y)
            for (int i = 0; i < a; ++i)
                for (int j = 0; j < b; ++j) {
                    const int sx = x + i - a / 2;
                    const int sy = y + j - b / 2;
                    if (sx >= 0 && sx < W && sy >= 0 && sy < H && k[i][j] != 0.0)
                        acc[x][y] += k[i][j] * p[sx][sy];
                }
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) p[x][y] = StoreSample(acc[x][y]);
    return 0;
}

inline int ConvolvePlaneBelow(int threshold, int a, int b, Kernel& k, int W, int H, IntPlane& p) {
    Normalise(a, b, k);
    Kernel acc = MakeKernel(W, H);
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) {
            if (p[x][y] >= threshold) {
                acc[x][y] = p[x][y];
                continue;
            }
            for (int i = 0; i < a; ++i)
                for (int j = 0; j < b; ++j) {
                    const int sx = x + i - a / 2 + 1;
                    const int sy = y + j - b / 2 + 1;
                    if (sx >= 0 && sx < W && sy >= 0 && sy < H && k[i][j] != 0.0)
                        acc[x][y] += k[i][j] * p[sx][sy];
                }
        }
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) p[x][y] = StoreSample(acc[x][y]);
    return 0;
}

inline int RotateKernel(double angle, int a, int b, Kernel& k) {
    Kernel t = MakeKernel(static_cast<int>(a * 2.0), static_cast<int>(b * 2.0));
    for (int i = 0; i < a; ++i)
        for (int j = 0; j < b; ++j) t[static_cast<int>(0.5 * a + i)][static_cast<int>(0.5 * b + j)] = k[i][j];
    const double theta = angle * 3.1415926 * (1.0 / 180);
    for (int i = static_cast<int>(0.5 * a); i < 1.5 * a; ++i)
        for (int j = static_cast<int>(0.5 * b); j < 1.5 * b; ++j) {
            const double di = i - a;
            const double dj = j - b;
            const double xs = a + (std::cos(theta) * di - std::sin(theta) * dj);
            const double ys = b + (std::sin(theta) * di + std::cos(theta) * dj);
            const int ix = static_cast<int>(xs);
            const int iy = static_cast<int>(ys);
            const double fx = xs - ix;
            const double fy = ys - iy;
            const int oi = static_cast<int>(i - 0.5 * a);
            const int oj = static_cast<int>(j - 0.5 * b);
            if (ix > 0 && iy > 0 && ix < 2 * a && iy < 2 * b)
                k[oi][oj] = fx * fy * t[ix][iy] + (1 - fx) * fy * t[ix - 1][iy] +
                            fx * (1 - fy) * t[ix][iy - 1] + (1 - fx) * (1 - fy) * t[ix - 1][iy - 1];
        }
    return 0;
}

inline int ClampPlane(int lo, int hi, int W, int H, IntPlane& p) {
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) {
            if (p[x][y] < lo) p[x][y] = lo;
            if (p[x][y] >= hi) p[x][y] = hi;
        }
    return 0;
}

}  // namespace engine_ref
