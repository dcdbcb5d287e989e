// The convolutions against the literal four-deep loop, sample for sample, on every instruction set
// this processor runs; then the border, truncation and threshold behaviour, and the
// faults (zero-sum kernel, overflowing accumulation) that must leave the plane untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/errors.h"
#include "filters/engine/kernel.h"
#include "filters/engine/simd.h"
#include "tests/engine/reference.h"
#include "tests/engine/support.h"

namespace {

using namespace engine_test;
using hv::engine::ConvolvePlaneBelowOn;
using hv::engine::ConvolvePlaneOn;
using hv::engine::SimdLevelName;

// A kernel maker fills the kernel and sets the window (a, b) passed to the engine.
using MakeFn = std::function<Kernel(std::mt19937_64&, int& a, int& b)>;

struct KernelCase {
    std::string name;
    MakeFn make;
    int64_t lo;  // sample range
    int64_t hi;
};
void PrintTo(const KernelCase& c, std::ostream* os) {
    *os << c.name;
}

Kernel Random(std::mt19937_64& rng, int a, int b, double lo, double hi) {
    Kernel k = MakeKernel(a, b);
    std::uniform_real_distribution<double> d(lo, hi);
    for (int i = 0; i < a; ++i)
        for (int j = 0; j < b; ++j) k[i][j] = d(rng);
    return k;
}

MakeFn Dense(int a, int b) {
    return [=](std::mt19937_64& rng, int& wa, int& wb) {
        wa = a, wb = b;
        return Random(rng, a, b, 0.05, 1.0);
    };
}

// Signed weights with a dominant centre: sharpening, results beyond the input range.
MakeFn Sharpen(int a, int b) {
    return [=](std::mt19937_64& rng, int& wa, int& wb) {
        wa = a, wb = b;
        Kernel k = Random(rng, a, b, -1.0, 1.0);
        k[a / 2][b / 2] += a * b;
        return k;
    };
}

// Signed weights whose sum nearly cancels: normalised weights near 2^20, so with full-range samples
// the accumulations reach 2^50 and beyond, where a changed rounding anywhere shows in the integer.
MakeFn Cancelling(int a, int b) {
    return [=](std::mt19937_64& rng, int& wa, int& wb) {
        wa = a, wb = b;
        Kernel k = Random(rng, a, b, -1.0, 1.0);
        double others = 0.0;
        for (int i = 0; i < a; ++i)
            for (int j = 0; j < b; ++j)
                if (i != a / 2 || j != b / 2) others += k[i][j];
        k[a / 2][b / 2] = std::ldexp(1.0, -20) - others;
        return k;
    };
}

// Mostly zeros of both signs, plus subnormal weights, which the vector units must not flush.
MakeFn Sparse(int a, int b, bool subnormal) {
    return [=](std::mt19937_64& rng, int& wa, int& wb) {
        wa = a, wb = b;
        Kernel k = MakeKernel(a, b);
        const double tiny[] = {0.0, -0.0, 1e-310, -3e-320, 5e-324, 0.7, 0.25};
        std::uniform_int_distribution<int> pick(0, subnormal ? 6 : 1);
        std::uniform_real_distribution<double> w(0.1, 1.0);
        for (int i = 0; i < a; ++i)
            for (int j = 0; j < b; ++j)
                k[i][j] = (pick(rng) < 2 && rng() % 4 != 0) ? tiny[pick(rng)] : w(rng);
        k[a / 2][b / 2] = 1.0;
        return k;
    };
}

// A Gaussian of side n centred at (c, c), of width w, times scale.
Kernel GaussianKernel(int n, double c, double w, double scale) {
    Kernel k = MakeKernel(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            k[i][j] = scale * std::exp(-(i - c) * (i - c) / w / w - (j - c) * (j - c) / w / w);
    return k;
}

// The blur's Gaussian: side trunc(2S + 1), centre at (S, S), even sides for some S.
MakeFn Gaussian(double s) {
    return [=](std::mt19937_64&, int& wa, int& wb) {
        wa = wb = static_cast<int>(2 * s + 1);
        return GaussianKernel(wa, s, s, 10);
    };
}

// The guide-miss canceller's sharpening taps turned by an angle, and its Gaussian.
MakeFn GuideMiss(int n, double angle) {
    return [=](std::mt19937_64&, int& wa, int& wb) {
        const int s = 2 * n + 3;
        wa = wb = s;
        Kernel k = MakeKernel(s, s);
        k[0][2 * n] = -1.0;
        k[2 * n + 2][2 * n] = -1.0;
        k[2 * n][2 * n] = 3.0;
        RotateKernel(angle, s, s, k);
        return k;
    };
}

MakeFn GuideMissGaussian(int n, double blur) {
    return [=](std::mt19937_64&, int& wa, int& wb) {
        wa = wb = 2 * n + 3;
        return GaussianKernel(wa, 2 * n, blur, 1);
    };
}

// Allocated 4 x 4, used as 3 x 3: the fourth column of weights must be ignored.
MakeFn Solarization() {
    return [](std::mt19937_64&, int& wa, int& wb) {
        wa = wb = 3;
        return KernelOf({{0, 0, 0, 0}, {5.0, 5.0, -4.0, -4.0}, {0, 0, 0, 0}, {0, 0, 0, 0}});
    };
}

// The timed run's kernel: one 1.0 and four negative zeros.
MakeFn OneTap() {
    return [](std::mt19937_64&, int& wa, int& wb) {
        wa = wb = 7;
        Kernel k = MakeKernel(7, 7);
        k[2][2] = 1.0;
        k[2][1] = k[2][3] = k[1][2] = k[3][2] = -0.0;
        return k;
    };
}

MakeFn Edge(double e) {
    return [=](std::mt19937_64&, int& wa, int& wb) {
        wa = wb = 3;
        return KernelOf({{0, -1, 0}, {-1, 10 - e, -1}, {0, -1, 0}});
    };
}

const std::vector<KernelCase>& Cases() {
    static const std::vector<KernelCase> cases = [] {
        std::vector<KernelCase> c = {
            {"dense1x1", Dense(1, 1), -300, 300},
            {"dense3x3", Dense(3, 3), 0, 255},
            {"dense7x7", Dense(7, 7), 0, 65535},
            {"dense2x4_even", Dense(2, 4), 0, 255},
            {"dense5x1", Dense(5, 1), -1000, 1000},
            {"dense1x6", Dense(1, 6), 0, 255},
            {"dense21x21", Dense(21, 21), 0, 1 << 20},
            {"sharpen3x3_negative", Sharpen(3, 3), -300, 300},
            {"sharpen4x5_full_range", Sharpen(4, 5), INT32_MIN, INT32_MAX},
            {"cancelling2x3", Cancelling(2, 3), INT32_MIN, INT32_MAX},
            {"cancelling5x5", Cancelling(5, 5), INT32_MIN, INT32_MAX},
            {"cancelling21x21", Cancelling(21, 21), INT32_MIN, INT32_MAX},
            {"sparse9x9_zeros", Sparse(9, 9, false), 0, 255},
            {"sparse6x6_subnormal", Sparse(6, 6, true), -255, 255},
            {"one_tap", OneTap(), 0, 1 << 20},
            {"one_tap_full_range", OneTap(), INT32_MIN, INT32_MAX},
            {"solarization_4x4_as_3x3", Solarization(), 0, 255},
            {"edge_e1", Edge(1.0), 0, 255},
            {"edge_e5", Edge(5.0), 0, 255},
            {"guide_miss_n1_0deg", GuideMiss(1, 0), 0, 255},
            {"guide_miss_n1_37deg", GuideMiss(1, 37), 0, 255},
            {"guide_miss_n2_-120deg", GuideMiss(2, -120), 0, 255},
            {"guide_miss_gauss_n3_b0.2", GuideMissGaussian(3, 0.2), 0, 255},
            {"guide_miss_gauss_n1_b1.3", GuideMissGaussian(1, 1.3), 0, 255},
        };
        for (double s : {0.2, 0.5, 0.7, 1.0, 1.5, 2.5, 4.0, 10.0})
            c.push_back({"gauss_s" + std::to_string(s), Gaussian(s), 0, 255});
        return c;
    }();
    return cases;
}

struct Size {
    int W, H;
};
// Single pixels, single rows and columns, planes smaller than the kernel, heights around the
// vector blocks.
const Size kSizes[] = {{1, 1}, {1, 23}, {23, 1}, {3, 2}, {19, 70}, {66, 5}, {40, 33}, {9, 129}};

std::vector<int> Thresholds(const IntPlane& p, int64_t lo, int64_t hi, std::mt19937_64& rng) {
    auto clampInt = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); };
    const int sample = p[static_cast<int>(rng() % p.width())][static_cast<int>(rng() % p.height())];
    return {clampInt(lo - 1), clampInt(lo), clampInt(lo + (hi - lo) / 2),
            sample,           clampInt(hi), clampInt(hi + 1)};
}

class AgainstLiteral : public ::testing::TestWithParam<KernelCase> {};

TEST_P(AgainstLiteral, EverySampleAndWeightMatch) {
    const KernelCase& kc = GetParam();
    std::mt19937_64 rng(12345);
    for (const Size& size : kSizes) {
        for (int seed = 0; seed < 2; ++seed) {
            int a = 0, b = 0;
            const Kernel kernel = kc.make(rng, a, b);
            const IntPlane plane = RandomPlane(size.W, size.H, kc.lo, kc.hi, rng);
            const std::vector<int> thresholds = Thresholds(plane, kc.lo, kc.hi, rng);

            Kernel refKernel = CopyKernel(kernel);
            IntPlane refPlane = CopyPlane(plane);
            engine_ref::ConvolvePlane(a, b, refKernel, size.W, size.H, refPlane);
            std::vector<IntPlane> refBelow;
            std::vector<Kernel> refBelowKernel;
            for (int t : thresholds) {
                refBelowKernel.push_back(CopyKernel(kernel));
                refBelow.push_back(CopyPlane(plane));
                engine_ref::ConvolvePlaneBelow(t, a, b, refBelowKernel.back(), size.W, size.H,
                                               refBelow.back());
            }

            for (SimdLevel level : SupportedLevels()) {
                SCOPED_TRACE(std::string(SimdLevelName(level)) + " " + std::to_string(size.W) + "x" +
                             std::to_string(size.H) + " seed " + std::to_string(seed));
                Kernel k = CopyKernel(kernel);
                IntPlane p = CopyPlane(plane);
                EXPECT_EQ(ConvolvePlaneOn(level, a, b, k, size.W, size.H, p), 0);
                EXPECT_TRUE(SamePlane(refPlane, p));
                EXPECT_TRUE(SameKernel(refKernel, k));
                for (size_t n = 0; n < thresholds.size(); ++n) {
                    SCOPED_TRACE("threshold " + std::to_string(thresholds[n]));
                    Kernel kb = CopyKernel(kernel);
                    IntPlane pb = CopyPlane(plane);
                    EXPECT_EQ(ConvolvePlaneBelowOn(level, thresholds[n], a, b, kb, size.W, size.H, pb), 0);
                    EXPECT_TRUE(SamePlane(refBelow[n], pb));
                    EXPECT_TRUE(SameKernel(refBelowKernel[n], kb));
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, AgainstLiteral, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<KernelCase>& param) {
                             std::string n = param.param.name;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });

// The second and third colour planes get the kernel the first call normalised.
TEST(Convolve, RepeatedCallsOnOneKernelMatchLiteral) {
    std::mt19937_64 rng(7);
    int a = 0, b = 0;
    Kernel k = Gaussian(1.5)(rng, a, b);
    Kernel refK = CopyKernel(k);
    for (int plane = 0; plane < 3; ++plane) {
        IntPlane p = RandomPlane(31, 17, 0, 255, rng);
        IntPlane refP = CopyPlane(p);
        ConvolvePlane(a, b, k, 31, 17, p);
        engine_ref::ConvolvePlane(a, b, refK, 31, 17, refP);
        EXPECT_TRUE(SamePlane(refP, p));
        EXPECT_TRUE(SameKernel(refK, k));
    }
}

// Behaviour stated for the engine, independent of the reference loop.
TEST(Convolve, UnitKernelKeepsNonNegativeSamplesAndZeroesNegatives) {
    Kernel k = KernelOf({{2.5}});
    IntPlane p = MakePlane(2, 2);
    p[0][0] = 7, p[0][1] = -3, p[1][0] = 0, p[1][1] = 65535;
    ConvolvePlane(1, 1, k, 2, 2, p);
    EXPECT_EQ(p[0][0], 7);
    EXPECT_EQ(p[0][1], 0);
    EXPECT_EQ(p[1][0], 0);
    EXPECT_EQ(p[1][1], 65535);
}

TEST(Convolve, MissingTapsAtTheBorderAreNotReplaced) {
    Kernel k = KernelOf({{1}, {2}, {1}});  // along x
    IntPlane p = UniformPlane(6, 4, 100);
    ConvolvePlane(3, 1, k, 6, 4, p);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(p[0][y], 75);
        EXPECT_EQ(p[5][y], 75);
        for (int x = 1; x < 5; ++x) EXPECT_EQ(p[x][y], 100);
    }
}

TEST(Convolve, TruncatesTowardZero) {
    struct Case {
        double weight;  // the accumulation for a sample of 1, up to rounding of the sum
        int expected;
    };
    for (const Case& c : {Case{254.9999, 254}, Case{-0.7, 0}, Case{0.7, 0}, Case{-1.7, 0}, Case{3.999, 3}}) {
        SCOPED_TRACE(c.weight);
        // Window of two along x (anchor 1): output 1 = K[0] * P[0] + K[1] * P[1] with P = {1, 0}.
        Kernel k = KernelOf({{c.weight}, {1 - c.weight}});
        IntPlane p = MakePlane(2, 1);
        p[0][0] = 1;
        ConvolvePlane(2, 1, k, 2, 1, p);
        EXPECT_EQ(p[1][0], c.expected);
    }
}

TEST(Convolve, NoUpperClampBeforeClampPlane) {
    Kernel k = KernelOf({{0, -1, 0}, {-1, 5, -1}, {0, -1, 0}});
    IntPlane p = UniformPlane(3, 3, 200);
    ConvolvePlane(3, 3, k, 3, 3, p);
    EXPECT_EQ(p[0][0], 600);  // two neighbours missing: (5 - 2) * 200
    EXPECT_EQ(p[1][1], 200);
}

TEST(Convolve, TimedRunKernelShiftsByOneColumnAndRow) {
    std::mt19937_64 rng(3);
    int a = 0, b = 0;
    Kernel k = OneTap()(rng, a, b);
    const IntPlane in = RandomPlane(50, 40, 0, 1 << 20, rng);
    IntPlane p = CopyPlane(in);
    ConvolvePlane(a, b, k, 50, 40, p);
    for (int x = 0; x < 50; ++x)
        for (int y = 0; y < 40; ++y) ASSERT_EQ(p[x][y], (x == 0 || y == 0) ? 0 : in[x - 1][y - 1]);
    EXPECT_TRUE(std::signbit(k[2][1]) && k[2][1] == 0.0);  // -0 / 1 stays negative zero
    EXPECT_EQ(k[2][2], 1.0);
}

TEST(Convolve, GuideMissDefaultsSharpenAlongX) {
    std::mt19937_64 rng(5);
    for (int n : {1, 2}) {
        int a = 0, b = 0;
        Kernel k = GuideMiss(n, 0)(rng, a, b);
        const IntPlane in = RandomPlane(20, 12, 0, 255, rng);
        IntPlane p = CopyPlane(in);
        ConvolvePlane(a, b, k, 20, 12, p);
        // Taps at i = 0, 2n, 2n + 2 (row j = 2n) against the anchor [n+1][n+1]: the centre weight
        // meets (x + n - 1, y + n - 1), the side weights x -+ (n + 1) in the same row.
        const int o = n - 1, reach = n + 1;
        for (int x = reach; x < 20 - reach; ++x)
            for (int y = 0; y < 12 - o; ++y) {
                const int v = 3 * in[x + o][y + o] - in[x - reach][y + o] - in[x + reach][y + o];
                ASSERT_EQ(p[x][y], std::max(v, 0)) << "n " << n << " at " << x << "," << y;
            }
    }
}

TEST(ConvolveBelow, ThresholdAtOrBelowMinimumChangesNothingButNegatives) {
    std::mt19937_64 rng(11);
    const IntPlane in = RandomPlane(13, 9, -50, 200, rng);
    int lo = INT_MAX;
    for (int x = 0; x < 13; ++x)
        for (int y = 0; y < 9; ++y) lo = std::min(lo, in[x][y]);
    for (int threshold : {lo, lo - 1, INT_MIN}) {
        int a = 0, b = 0;
        Kernel k = Gaussian(1.0)(rng, a, b);
        IntPlane p = CopyPlane(in);
        ConvolvePlaneBelow(threshold, a, b, k, 13, 9, p);
        for (int x = 0; x < 13; ++x)
            for (int y = 0; y < 9; ++y) ASSERT_EQ(p[x][y], std::max(in[x][y], 0));
    }
}

TEST(ConvolveBelow, ThresholdAboveMaximumUsesTheDisplacedWindow) {
    std::mt19937_64 rng(13);
    const IntPlane in = RandomPlane(11, 8, 0, 255, rng);
    Kernel k = KernelOf({{0, 0, 0}, {0, 1, 0}, {0, 0, 0}});
    IntPlane p = CopyPlane(in);
    ConvolvePlaneBelow(256, 3, 3, k, 11, 8, p);
    for (int x = 0; x < 11; ++x)
        for (int y = 0; y < 8; ++y) ASSERT_EQ(p[x][y], (x == 10 || y == 7) ? 0 : in[x + 1][y + 1]);
}

// A side of 0: no weights, so nothing to divide, and every pixel becomes trunc(0.0).
TEST(Convolve, EmptyWindowZeroesThePlane) {
    Kernel k = MakeKernel(0, 3);
    IntPlane p = UniformPlane(4, 4, 9);
    EXPECT_EQ(ConvolvePlane(0, 3, k, 4, 4, p), 0);
    EXPECT_TRUE(SamePlane(UniformPlane(4, 4, 0), p));
}

struct FaultCase {
    std::string name;
    std::vector<std::vector<double>> weights;
    int64_t sample;  // the samples of the plane's last column
    FpFault fault;
    bool normalises;  // whether the kernel is normalised before the fault
};
void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class Faults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(Faults, RaiseBeforeThePlaneIsTouched) {
    const FaultCase& fc = GetParam();
    for (bool below : {false, true}) {
        for (SimdLevel level : SupportedLevels()) {
            SCOPED_TRACE(std::string(below ? "below " : "plain ") + SimdLevelName(level));
            const Kernel original = KernelOf(fc.weights);
            Kernel k = CopyKernel(original);
            // Ordinary samples except the last column: a fault there comes after columns that a
            // streaming pass would already have written.
            IntPlane in = UniformPlane(5, 4, 10);
            for (int y = 0; y < 4; ++y) in[4][y] = static_cast<int32_t>(fc.sample);
            IntPlane p = CopyPlane(in);
            const int a = k.a(), b = k.b();
            try {
                if (below)
                    ConvolvePlaneBelowOn(level, INT_MAX, a, b, k, 5, 4, p);
                else
                    ConvolvePlaneOn(level, a, b, k, 5, 4, p);
                ADD_FAILURE() << "no fault raised";
            } catch (const FloatingPointError& e) {
                EXPECT_EQ(e.fault(), fc.fault);
                EXPECT_STREQ(e.what(), FloatingPointError(fc.fault).what());
            }
            EXPECT_TRUE(SamePlane(in, p));
            Kernel expected = CopyKernel(original);
            if (fc.normalises) engine_ref::Normalise(a, b, expected);
            EXPECT_TRUE(SameKernel(expected, k));
        }
    }
}

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Kernels, Faults,
    ::testing::Values(
        // A zero sum: the first division, K[0][0] / 0, decides.
        FaultCase{"zero_sum_first_weight_zero", {{0, 1}, {-1, 0}}, 10, FpFault::InvalidOperation, false},
        FaultCase{"zero_sum_first_weight_nonzero", {{1, 0}, {-1, 0}}, 10, FpFault::DivideByZero, false},
        FaultCase{"zero_sum_edge_strength_6",
                  {{0, -1, 0}, {-1, 4, -1}, {0, -1, 0}},
                  10,
                  FpFault::InvalidOperation,
                  false},
        FaultCase{"nan_weight", {{1, kNaN}}, 10, FpFault::InvalidOperation, false},
        FaultCase{"infinite_weight", {{1, kInf}}, 10, FpFault::InvalidOperation, false},
        FaultCase{"opposite_infinities", {{kInf, -kInf}}, 10, FpFault::InvalidOperation, false},
        FaultCase{"sum_overflows", {{1e308, 1e308}}, 10, FpFault::Overflow, false},
        // Finite, normalised weights whose products overflow: the accumulation faults first.
        FaultCase{"product_overflows", {{1e308}, {-1e308}, {1}}, INT32_MAX - 1, FpFault::Overflow, true},
        // Finite accumulations beyond the 64-bit range cannot be truncated.
        FaultCase{"beyond_int64", {{1e10}, {-1e10}, {1}}, INT32_MAX - 1, FpFault::InvalidOperation, true}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return param.param.name; });

// Large weights that do not fault go through the checked path; results are the low 32 bits.
TEST(Convolve, LargeFiniteAccumulationsMatchLiteral) {
    std::mt19937_64 rng(17);
    for (SimdLevel level : SupportedLevels()) {
        Kernel k = KernelOf({{4e6, 1}, {-4e6, 1}, {1, 1}});
        Kernel refK = CopyKernel(k);
        IntPlane p = RandomPlane(9, 7, -3000000, 3000000, rng);
        IntPlane refP = CopyPlane(p);
        ConvolvePlaneOn(level, 3, 2, k, 9, 7, p);
        engine_ref::ConvolvePlane(3, 2, refK, 9, 7, refP);
        EXPECT_TRUE(SamePlane(refP, p)) << SimdLevelName(level);
    }
}

TEST(Convolve, RefusesWindowsLargerThanKernelOrPlane) {
    Kernel k = MakeKernel(3, 3);
    k[1][1] = 1;
    IntPlane p = UniformPlane(4, 4, 1);
    EXPECT_THROW(ConvolvePlane(4, 3, k, 4, 4, p), std::invalid_argument);
    EXPECT_THROW(ConvolvePlane(3, 3, k, 5, 4, p), std::invalid_argument);
    EXPECT_THROW(ConvolvePlaneBelow(0, 3, 4, k, 4, 4, p), std::invalid_argument);
    EXPECT_THROW(ConvolvePlaneBelow(0, 3, 3, k, 4, 5, p), std::invalid_argument);
    EXPECT_TRUE(SamePlane(UniformPlane(4, 4, 1), p));
}

}  // namespace
