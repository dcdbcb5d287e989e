// Kernel allocation, the clamp and the rotation (against the reference rotation and known
// turns).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>

#include "core/errors.h"
#include "filters/engine/kernel.h"
#include "tests/engine/reference.h"
#include "tests/engine/support.h"

namespace {

using namespace engine_test;

TEST(AllocKernel, SidesAndResults) {
    struct Case {
        int a, b, result;
    };
    for (const Case& c :
         {Case{1, 1, 0}, Case{3, 3, 0}, Case{21, 21, 0}, Case{4, 7, 0}, Case{0, 0, 0}, Case{0, 5, 0},
          Case{5, 0, 0}, Case{-1, 3, 1}, Case{3, -1, 1}, Case{INT_MAX, INT_MAX, 1}}) {
        SCOPED_TRACE(std::to_string(c.a) + "x" + std::to_string(c.b));
        Kernel k = MakeKernel(2, 2);  // a failed call must not leave the old kernel behind
        ASSERT_EQ(AllocKernel(c.a, c.b, k), c.result);
        EXPECT_EQ(k.valid(), c.result == 0);
        if (c.result != 0) continue;
        EXPECT_EQ(k.a(), c.a);
        EXPECT_EQ(k.b(), c.b);
        for (int i = 0; i < c.a; ++i)
            for (int j = 0; j < c.b; ++j) ASSERT_TRUE(k[i][j] == 0.0 && !std::signbit(k[i][j]));
        // Rows are distinct: writing one cell changes no other.
        if (c.a > 1 && c.b > 0) {
            k[c.a - 1][0] = 5.0;
            EXPECT_EQ(k[0][0], 0.0);
            EXPECT_EQ(k[c.a - 2][c.b - 1], 0.0);
        }
    }
    EXPECT_THROW(MakeKernel(-2, 3), OutOfMemoryError);
}

TEST(ClampPlane, AgainstLiteralAndDocumentedValues) {
    IntPlane p = MakePlane(5, 1);
    const int32_t in[] = {-5, 0, 255, 300, 254};
    const int32_t out[] = {0, 0, 255, 255, 254};
    for (int x = 0; x < 5; ++x) p[x][0] = in[x];
    EXPECT_EQ(ClampPlane(0, 255, 5, 1, p), 0);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(p[x][0], out[x]);

    struct Case {
        int lo, hi;
    };
    std::mt19937_64 rng(21);
    for (const Case& c : {Case{0, 255}, Case{-10, 10}, Case{100, 50}, Case{INT_MIN, INT_MAX}, Case{7, 7}}) {
        const IntPlane src = RandomPlane(17, 70, -400, 400, rng);
        IntPlane fast = CopyPlane(src), literal = CopyPlane(src);
        ClampPlane(c.lo, c.hi, 17, 70, fast);
        engine_ref::ClampPlane(c.lo, c.hi, 17, 70, literal);
        EXPECT_TRUE(SamePlane(literal, fast)) << c.lo << ".." << c.hi;
    }
    // Only the given area is clamped.
    IntPlane q = UniformPlane(3, 3, 900);
    ClampPlane(0, 255, 2, 2, q);
    EXPECT_EQ(q[1][1], 255);
    EXPECT_EQ(q[2][0], 900);
    EXPECT_EQ(q[0][2], 900);
    EXPECT_THROW(ClampPlane(0, 255, 4, 3, q), std::invalid_argument);
}

TEST(RotateKernel, MatchesLiteralBitForBit) {
    struct Case {
        int allocA, allocB, a, b;
    };
    const double angles[] = {0, 90, -90, 180, 360, 45, -45, 37, 1e-3, -123.4, 1000};
    std::mt19937_64 rng(23);
    std::uniform_real_distribution<double> w(-2, 2);
    for (const Case& c : {Case{1, 1, 1, 1}, Case{3, 3, 3, 3}, Case{5, 5, 5, 5}, Case{4, 4, 4, 4},
                          Case{3, 6, 3, 6}, Case{7, 2, 7, 2}, Case{21, 21, 21, 21}, Case{6, 6, 5, 3}}) {
        for (double angle : angles) {
            SCOPED_TRACE(std::to_string(c.a) + "x" + std::to_string(c.b) + " at " + std::to_string(angle));
            Kernel k = MakeKernel(c.allocA, c.allocB);
            for (int i = 0; i < c.allocA; ++i)
                for (int j = 0; j < c.allocB; ++j) k[i][j] = (rng() % 3 == 0) ? 0.0 : w(rng);
            Kernel literal = CopyKernel(k);
            EXPECT_EQ(RotateKernel(angle, c.a, c.b, k), 0);
            engine_ref::RotateKernel(angle, c.a, c.b, literal);
            EXPECT_TRUE(SameKernel(literal, k));
        }
    }
}

// By 0 degrees every odd-sided kernel comes back unchanged; row and column 0 in particular, which
// the rotation visits twice: the first visit would read the scratch kernel's zero border.
TEST(RotateKernel, ZeroDegreesKeepsOddKernels) {
    std::mt19937_64 rng(29);
    std::uniform_real_distribution<double> w(0.5, 3);
    for (int side : {1, 3, 5, 9}) {
        Kernel k = MakeKernel(side, side);
        for (int i = 0; i < side; ++i)
            for (int j = 0; j < side; ++j) k[i][j] = w(rng);
        const Kernel before = CopyKernel(k);
        RotateKernel(0, side, side, k);
        for (int i = 0; i < side; ++i)
            for (int j = 0; j < side; ++j)
                ASSERT_EQ(k[i][j], before[i][j]) << side << " [" << i << "][" << j << "]";
    }
}

TEST(RotateKernel, QuarterTurnMovesTapsFromXToY) {
    Kernel k = MakeKernel(5, 5);
    k[0][2] = -1, k[4][2] = -1, k[2][2] = 3;
    RotateKernel(90, 5, 5, k);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
            double expected = 0;
            if (i == 2 && (j == 0 || j == 4)) expected = -1;
            if (i == 2 && j == 2) expected = 3;
            EXPECT_NEAR(k[i][j], expected, 1e-6) << "[" << i << "][" << j << "]";
        }
}

TEST(RotateKernel, FortyFiveDegreesDoesNotKeepTheSum) {
    Kernel k = MakeKernel(5, 5);
    k[0][2] = -1, k[4][2] = -1, k[2][2] = 3;
    RotateKernel(45, 5, 5, k);
    double sum = 0;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) sum += k[i][j];
    EXPECT_NEAR(sum, 1.83, 0.01);
}

TEST(RotateKernel, FaultsAndRefusals) {
    Kernel k = MakeKernel(3, 3);
    k[1][1] = 1;
    const Kernel before = CopyKernel(k);
    try {
        RotateKernel(std::nan(""), 3, 3, k);
        ADD_FAILURE() << "no fault";
    } catch (const FloatingPointError& e) {
        EXPECT_EQ(e.fault(), FpFault::InvalidOperation);
    }
    try {
        RotateKernel(1e308, 3, 3, k);
        ADD_FAILURE() << "no fault";
    } catch (const FloatingPointError& e) {
        EXPECT_EQ(e.fault(), FpFault::Overflow);
    }
    EXPECT_THROW(RotateKernel(10, 4, 3, k), std::invalid_argument);
    EXPECT_EQ(RotateKernel(10, 0, 3, k), 0);
    EXPECT_EQ(RotateKernel(10, -3, 3, k), 0);
    EXPECT_TRUE(SameKernel(before, k));
}

}  // namespace
