// Helpers shared by the engine tests: planes and kernels from values or random numbers, copies,
// and comparisons that name the first differing sample.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/plane.h"
#include "filters/engine/kernel.h"
#include "filters/engine/simd.h"

namespace engine_test {

using hv::engine::SimdLevel;

inline std::vector<SimdLevel> SupportedLevels() {
    return SupportedSimdLevels();
}

inline IntPlane RandomPlane(int W, int H, int64_t lo, int64_t hi, std::mt19937_64& rng) {
    IntPlane p = MakePlane(W, H);
    std::uniform_int_distribution<int64_t> d(lo, hi);
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) p[x][y] = static_cast<int32_t>(d(rng));
    return p;
}

inline IntPlane UniformPlane(int W, int H, int32_t v) {
    IntPlane p = MakePlane(W, H);
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) p[x][y] = v;
    return p;
}

inline IntPlane CopyPlane(const IntPlane& src) {
    IntPlane p = MakePlane(src.width(), src.height());
    for (int x = 0; x < src.width(); ++x)
        for (int y = 0; y < src.height(); ++y) p[x][y] = src[x][y];
    return p;
}

inline Kernel CopyKernel(const Kernel& src) {
    Kernel k = MakeKernel(src.a(), src.b());
    for (int i = 0; i < src.a(); ++i)
        for (int j = 0; j < src.b(); ++j) k[i][j] = src[i][j];
    return k;
}

// rows[i][j], i along x.
inline Kernel KernelOf(const std::vector<std::vector<double>>& rows) {
    Kernel k = MakeKernel(static_cast<int>(rows.size()), rows.empty() ? 0 : static_cast<int>(rows[0].size()));
    for (int i = 0; i < k.a(); ++i)
        for (int j = 0; j < k.b(); ++j) k[i][j] = rows[i][j];
    return k;
}

inline ::testing::AssertionResult SamePlane(const IntPlane& expected, const IntPlane& actual) {
    if (expected.width() != actual.width() || expected.height() != actual.height())
        return ::testing::AssertionFailure() << "sizes differ";
    for (int x = 0; x < expected.width(); ++x)
        for (int y = 0; y < expected.height(); ++y)
            if (expected[x][y] != actual[x][y])
                return ::testing::AssertionFailure() << "sample [" << x << "][" << y << "]: expected "
                                                     << expected[x][y] << ", got " << actual[x][y];
    return ::testing::AssertionSuccess();
}

// Bitwise, so that -0.0 and +0.0 differ.
inline ::testing::AssertionResult SameKernel(const Kernel& expected, const Kernel& actual) {
    if (expected.a() != actual.a() || expected.b() != actual.b())
        return ::testing::AssertionFailure() << "sizes differ";
    for (int i = 0; i < expected.a(); ++i)
        for (int j = 0; j < expected.b(); ++j)
            if (std::memcmp(&expected[i][j], &actual[i][j], sizeof(double)) != 0)
                return ::testing::AssertionFailure() << "weight [" << i << "][" << j << "]: expected "
                                                     << expected[i][j] << ", got " << actual[i][j];
    return ::testing::AssertionSuccess();
}

}  // namespace engine_test
