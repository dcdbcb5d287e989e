#include "filters/filters.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <span>
#include <string>

#include "core/errors.h"
#include "tests/filters/reference.h"
#include "tests/support/thrown.h"

namespace {

int at(const Picture& p, int x, int y, int c = 0) {
    return p.row(y)[3 * x + c];
}

// Pixels differing between two pictures of equal size, as "(x,y,c) a!=b" for the failure message.
std::string firstDifference(const Picture& a, const Picture& b) {
    if (a.width() != b.width() || a.height() != b.height()) return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int c = 0; c < 3; ++c)
                if (at(a, x, y, c) != at(b, x, y, c))
                    return "(" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(c) +
                           ") " + std::to_string(at(a, x, y, c)) + "!=" + std::to_string(at(b, x, y, c));
    return "";
}

// Where a curve filter differs from its reference level function applied byte by byte.
template <typename Level>
std::string curveDifference(Picture (*curve)(const Picture&, double), const Picture& p, double param,
                            Level level) {
    return firstDifference(curve(p, param), ref::perByte(p, [&](int v) { return level(v, param); }));
}

using hvtest::MessageOf;

// --- the picture and the planes ---

TEST(BytePlanes, EveryByteToItsPlaneAndLowBytesBack) {
    // Sizes around the conversions' bands of 16 rows, with a partial band at the end.
    for (auto [w, h] : {std::pair{1, 1}, {5, 16}, {6, 16}, {16, 17}, {11, 33}, {67, 130}}) {
        const Picture p = ref::randomPicture(w, h, 11 * w + h);
        BytePlanes planes = PictureToPlanes(p);
        std::mt19937 gen(w * h);
        std::uniform_int_distribution<int32_t> any(-100000, 100000);
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                for (int c = 0; c < 3; ++c) {
                    ASSERT_EQ(planes.plane[c][x][y], at(p, x, y, c)) << w << "x" << h << " " << x << "," << y;
                    planes.plane[c][x][y] = any(gen);
                }
        const Picture back = PlanesToPicture(planes);
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(at(back, x, y, c), planes.plane[c][x][y] & 0xff)
                        << w << "x" << h << " " << x << "," << y;
    }
}

// --- edge enhancement ---

TEST(EdgeEnhance, UniformAtStrengthFiveBrightensBordersAndCorners) {
    const Picture out = EdgeEnhance(ref::uniformPicture(6, 5, 100), 5.0);
    struct Case {
        int x, y, expected;
    } cases[] = {{2, 2, 100}, {3, 1, 100}, {0, 2, 200}, {5, 3, 200}, {2, 0, 200},
                 {3, 4, 200}, {0, 0, 255}, {5, 0, 255}, {0, 4, 255}, {5, 4, 255}};
    for (const Case& c : cases)
        for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(at(out, c.x, c.y, ch), c.expected) << c.x << "," << c.y;
}

TEST(EdgeEnhance, VerticalStepAtStrengthFour) {
    Picture step(20, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 10; x < 20; ++x)
            for (int c = 0; c < 3; ++c) step.row(y)[3 * x + c] = 100;
    const Picture out = EdgeEnhance(step, 4.0);
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 19; ++x) {
            const int expected = x == 9 ? 0 : x == 10 ? 150 : at(step, x, y);
            EXPECT_EQ(at(out, x, y, 1), expected) << x << "," << y;
        }
}

TEST(EdgeEnhance, MatchesReferenceIncludingStrengthsTheDialogRefuses) {
    for (double e : {1.0, 2.5, 4.0, 5.0, 0.5, 6.5, -3.0})
        for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {31, 17}}) {
            const Picture p = ref::randomPicture(w, h, static_cast<uint32_t>(w * 100 + h + e * 10));
            EXPECT_EQ(firstDifference(EdgeEnhance(p, e), ref::edge(p, e)), "") << e << " " << w << "x" << h;
        }
}

TEST(EdgeEnhance, StrengthSixIsZeroOverZero) {
    const Picture p = ref::randomPicture(5, 5, 1);
    EXPECT_EQ(MessageOf([&] { EdgeEnhance(p, 6.0); }), msg::kInvalidOperation);
}

// --- blur ---

TEST(Blur, KernelSide) {
    struct Case {
        double amount;
        int side;
    } cases[] = {{0.3, 1}, {0.49, 1}, {0.5, 2}, {1.0, 3}, {1.5, 4}, {10.0, 21}, {0.49999999999999994, 1}};
    for (const Case& c : cases) EXPECT_EQ(BlurKernelSide(c.amount), c.side) << c.amount;
}

TEST(Blur, TinyAmountRedrawsTheSourceUnchanged) {
    const Picture p = ref::randomPicture(23, 11, 5);
    EXPECT_EQ(firstDifference(BlurPicture(p, 0.3), p), "");
}

TEST(Blur, DefaultOnWhiteDarkensBordersAndCorners) {
    const Picture out = BlurPicture(ref::uniformPicture(8, 6, 255), 1.0);
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 7; ++x) EXPECT_GE(at(out, x, y), 254) << x << "," << y;
    for (auto [x, y] : {std::pair{0, 3}, {7, 2}, {4, 0}, {3, 5}})
        EXPECT_EQ(at(out, x, y, 2), 200) << x << "," << y;
    for (auto [x, y] : {std::pair{0, 0}, {7, 0}, {0, 5}, {7, 5}})
        EXPECT_EQ(at(out, x, y, 2), 158) << x << "," << y;
}

TEST(Blur, EvenSideShiftsHalfAPixelTowardHigherXAndY) {
    Picture p(12, 12);
    for (int c = 0; c < 3; ++c) p.row(5)[3 * 5 + c] = 255;
    const Picture out = BlurPicture(p, 1.5);
    EXPECT_GT(at(out, 5, 5), 0);
    // Symmetric about (5.5, 5.5): the impulse's image is centred half a pixel on.
    for (int y = 1; y < 11; ++y)
        for (int x = 1; x < 11; ++x) {
            EXPECT_EQ(at(out, x, y), at(out, 11 - x, y)) << x << "," << y;
            EXPECT_EQ(at(out, x, y), at(out, x, 11 - y)) << x << "," << y;
        }
}

TEST(Blur, MatchesReference) {
    for (double s : {0.3, 0.7, 1.0, 1.5, 2.25, 10.0})
        for (auto [w, h] : {std::pair{1, 1}, {1, 12}, {12, 1}, {37, 26}}) {
            const Picture p = ref::randomPicture(w, h, static_cast<uint32_t>(s * 1000 + w + h));
            EXPECT_EQ(firstDifference(BlurPicture(p, s), ref::blur(p, s)), "") << s << " " << w << "x" << h;
        }
}

TEST(Blur, RefusedAmounts) {
    const Picture p = ref::randomPicture(4, 4, 2);
    for (double s : {0.0, -0.0, -1.0}) EXPECT_EQ(MessageOf([&] { BlurPicture(p, s); }), msg::kPositiveNumber);
    // A kernel side too large to hold is refused before anything is allocated.
    EXPECT_THROW(BlurPicture(p, 1e6), OutOfMemoryError);
    // A side beyond the integer range is the truncation's invalid operation.
    EXPECT_EQ(MessageOf([&] { BlurPicture(p, 1e300); }), msg::kInvalidOperation);
}

// --- gamma and the coma correction's curve ---

// One byte through a per-byte curve: the curve's parameter, the byte, what every byte of a pixel of
// that level becomes.
struct LevelCase {
    double param;
    int level, expected;
};
void expectLevels(Picture (*curve)(const Picture&, double), std::span<const LevelCase> cases) {
    for (const LevelCase& c : cases) {
        const Picture out = curve(ref::uniformPicture(1, 1, static_cast<uint8_t>(c.level)), c.param);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_EQ(at(out, 0, 0, channel), c.expected) << c.param << " " << c.level;
    }
}

TEST(Gamma, Levels) {
    const LevelCase cases[] = {
        {1.0, 0, 0},     {1.0, 1, 0},    {1.0, 2, 1},      {1.0, 128, 127},        {1.0, 254, 254},
        {1.0, 255, 255}, {2.0, 128, 64}, {2.0, 0, 0},      {2.0, 255, 255},        {0.5, 64, 127},
        {0.0, 0, 255},   {0.0, 77, 255}, {-1.0, 255, 255}, {-1.0, 1, 65025 & 0xff}};
    expectLevels(GammaCurve, cases);
}

TEST(Gamma, MatchesReferenceOnEveryLevel) {
    Picture all(86, 1);
    for (int v = 0; v < 256; ++v) all.row(0)[v] = static_cast<uint8_t>(v);
    for (double g : {1.0, 2.0, 0.5, 0.3, 3.7, 10.0})
        EXPECT_EQ(curveDifference(GammaCurve, all, g, ref::gammaLevel), "") << g;
}

TEST(Gamma, NonPositivePowers) {
    Picture withZero = ref::randomPicture(9, 7, 3);
    withZero.row(6)[20] = 0;  // the last pixel's red byte
    Picture withoutZero = ref::randomPicture(9, 7, 3);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 27; ++x) withoutZero.row(y)[x] |= 1;
    for (double g : {-1.0, -0.5, -2.0}) {
        EXPECT_EQ(MessageOf([&] { GammaCurve(withZero, g); }), msg::kDivideByZero) << g;
        EXPECT_EQ(curveDifference(GammaCurve, withoutZero, g, ref::gammaLevel), "") << g;
    }
    // The first byte decides: (1/255)^-200 is beyond the double range, 255 (200/255)^-200 beyond the
    // integer range of the truncation.
    struct Case {
        uint8_t first;
        const char* message;
    } cases[] = {{1, msg::kOverflow}, {200, msg::kInvalidOperation}, {0, msg::kDivideByZero}};
    for (const Case& c : cases) {
        Picture p = withoutZero;
        p.row(0)[0] = c.first;
        EXPECT_EQ(MessageOf([&] { GammaCurve(p, -200.0); }), c.message) << int(c.first);
    }
}

// --- solarization ---

TEST(Solarize, UniformRows) {
    struct Case {
        int level, top, inside, bottom;
    } cases[] = {{120, 20, 120, 200}, {255, 42, 255, 255}, {0, 0, 0, 0}};
    for (const Case& c : cases) {
        const Picture out = Solarize(ref::uniformPicture(4, 5, static_cast<uint8_t>(c.level)));
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(at(out, x, 0), c.top) << c.level;
            for (int y = 1; y < 4; ++y) EXPECT_EQ(at(out, x, y, 2), c.inside) << c.level;
            EXPECT_EQ(at(out, x, 4, 1), c.bottom) << c.level;
        }
    }
}

TEST(Solarize, EdgesBetweenWhiteAndBlack) {
    Picture whiteOverBlack(3, 6);
    Picture blackOverWhite = ref::uniformPicture(3, 6, 255);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x) {
            whiteOverBlack.row(y)[x] = 255;
            blackOverWhite.row(y)[x] = 0;
        }
    EXPECT_EQ(at(Solarize(whiteOverBlack), 1, 3), 212);  // first black row
    EXPECT_EQ(at(Solarize(blackOverWhite), 1, 2), 0);    // last black row: 5 * 0 + 5 * 0 - 4 * 255 < 0
    const Picture line = ref::randomPicture(8, 1, 9);
    const Picture out = Solarize(line);
    for (int x = 0; x < 24; ++x) EXPECT_EQ(out.row(0)[x], 5 * line.row(0)[x] / 6) << x;
}

TEST(Solarize, MatchesReference) {
    for (auto [w, h] : {std::pair{1, 1}, {1, 2}, {5, 1}, {29, 33}}) {
        const Picture p = ref::randomPicture(w, h, static_cast<uint32_t>(w * 31 + h));
        EXPECT_EQ(firstDifference(Solarize(p), ref::solarize(p)), "") << w << "x" << h;
    }
}

// --- Sabattier effect ---

TEST(Sabattier, StepWidths) {
    const LevelCase cases[] = {
        {255, 0, 0},   {255, 100, 100}, {255, 254, 254}, {255, 255, 0},   {256, 0, 0},   {256, 255, 255},
        {256, 77, 77}, {512, 255, 127}, {512, 100, 50},  {128, 127, 254}, {128, 128, 0}, {128, 255, 254},
        {64, 63, 252}, {64, 64, 0},     {64, 65, 4},     {-256, 10, 246}, {-256, 0, 0}};
    expectLevels(Sabattier, cases);
    Picture all(86, 1);
    for (int v = 0; v < 256; ++v) all.row(0)[v] = static_cast<uint8_t>(v);
    for (int v = 0; v < 255; ++v) EXPECT_EQ(Sabattier(all, 255).row(0)[v], v);
}

TEST(Sabattier, MatchesReference) {
    const Picture p = ref::randomPicture(40, 9, 11);
    for (double s : {255.0, 1.0, 3.3, -7.5, 1000.0, 0.01})
        EXPECT_EQ(curveDifference(Sabattier, p, s, ref::sabattierLevel), "") << s;
}

TEST(Sabattier, FaultsFollowTheFirstByte) {
    Picture zeroFirst = ref::randomPicture(5, 3, 4);
    zeroFirst.row(0)[0] = 0;
    zeroFirst.row(0)[1] = 9;
    Picture nonZeroFirst = zeroFirst;
    nonZeroFirst.row(0)[0] = 1;
    struct Case {
        const Picture* picture;
        double step;
        const char* message;
    } cases[] = {{&zeroFirst, 0.0, msg::kInvalidOperation},
                 {&nonZeroFirst, 0.0, msg::kDivideByZero},
                 {&zeroFirst, -0.0, msg::kInvalidOperation},
                 {&nonZeroFirst, 1e-310, msg::kOverflow},
                 {&zeroFirst, 1e-310, msg::kOverflow}};  // 0 folds fine, the next byte overflows
    for (const Case& c : cases)
        EXPECT_EQ(MessageOf([&] { Sabattier(*c.picture, c.step); }), c.message) << c.step;
}

// --- guide-miss canceller ---

Picture canceller(Picture p, int cw, int ch, int direction, int flow, double blur, int threshold) {
    GuideMissCancel(p, cw, ch, {direction, flow, blur, threshold});
    return p;
}

TEST(GuideMiss, DefaultsSharpenAlongX) {
    const Picture p = ref::randomPicture(17, 9, 21);
    for (int direction : {0, 90}) {
        const Picture out = canceller(p, 17, 9, direction, 1, 0.2, 0);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 17; ++x)
                for (int c = 0; c < 3; ++c) {
                    auto v = [&](int dx, int dy) {
                        const int sx = direction == 0 ? x + dx : x + dy;
                        const int sy = direction == 0 ? y + dy : y + dx;
                        return p.contains(sx, sy) ? at(p, sx, sy, c) : 0;
                    };
                    const int expected = std::clamp(3 * v(0, 0) - v(-2, 0) - v(2, 0), 0, 255);
                    // Turned by 90 degrees the weights agree within 1e-6, so a truncation may land
                    // one level lower.
                    const int got = at(out, x, y, c);
                    ASSERT_TRUE(got == expected || (direction == 90 && got == expected - 1))
                        << direction << ": " << x << "," << y << "," << c << " " << got << " vs " << expected;
                }
    }
}

TEST(GuideMiss, FlowTwoTapsAroundTheDisplacedCentre) {
    const Picture p = ref::randomPicture(20, 12, 22);
    const Picture out = canceller(p, 20, 12, 0, 2, 0.2, 0);
    for (int y = 0; y < 11; ++y)
        for (int x = 3; x < 17; ++x) {
            const int expected =
                std::clamp(3 * at(p, x + 1, y + 1) - at(p, x - 3, y + 1) - at(p, x + 3, y + 1), 0, 255);
            ASSERT_EQ(at(out, x, y), expected) << x << "," << y;
        }
}

TEST(GuideMiss, ThresholdTakesTheDiagonalNeighbour) {
    const Picture p = ref::randomPicture(15, 10, 23);
    const Picture sharpened = canceller(p, 15, 10, 0, 1, 0.2, 0);
    const Picture out = canceller(p, 15, 10, 0, 1, 0.2, 100);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 15; ++x)
            for (int c = 0; c < 3; ++c) {
                const int before = at(sharpened, x, y, c);
                const int after = at(out, x, y, c);
                if (before >= 100) {
                    EXPECT_EQ(after, before);
                } else if (x == 14 || y == 9) {
                    EXPECT_EQ(after, 0) << x << "," << y;
                } else {
                    const int neighbour = at(sharpened, x + 1, y + 1, c);
                    EXPECT_TRUE(after == neighbour || after == neighbour - 1)
                        << x << "," << y << ": " << after;
                }
            }
}

TEST(GuideMiss, BoundedPlanesMatchTheWholeControl) {
    struct Case {
        int w, h, cw, ch, direction, flow;
        double blur;
        int threshold;
    } cases[] = {
        {9, 7, 9, 7, 0, 1, 0.2, 0},       {9, 7, 18, 14, 0, 1, 0.2, 0},    {9, 7, 36, 28, 30, 1, 1.0, 120},
        {6, 5, 96, 80, 90, 0, 0.2, 200},  {8, 6, 32, 24, 135, 2, 2.0, 90}, {7, 9, 28, 9, 45, 3, 0.7, 256},
        {10, 4, 10, 64, -60, 1, 3.0, 50}, {12, 8, 6, 4, 20, 1, 0.2, 128},  {5, 5, 80, 80, 200, 4, 1.5, 255},
        {1, 1, 16, 16, 0, 1, 0.2, 10},    {11, 6, 22, 3, 10, 2, 0.5, 60},
    };
    for (const Case& c : cases) {
        const Picture p =
            ref::randomPicture(c.w, c.h, static_cast<uint32_t>(c.w * c.cw + c.direction + c.flow));
        Picture expected = p;
        ref::guideMiss(expected, c.cw, c.ch, c.direction, c.flow, c.blur, c.threshold);
        EXPECT_EQ(
            firstDifference(canceller(p, c.cw, c.ch, c.direction, c.flow, c.blur, c.threshold), expected), "")
            << c.w << "x" << c.h << " in " << c.cw << "x" << c.ch << " dir " << c.direction << " flow "
            << c.flow;
    }
}

TEST(GuideMiss, ZoomedFarInStaysWithinTheBand) {
    // A 400 x 400 picture at 16 x: whole-control planes and accumulators would take about 2.5 GB.
    Picture p = ref::randomPicture(400, 400, 24);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    GuideMissCancel(p, 6400, 6400, {30, 1, 1.0, 100});
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 200 * 1024);  // kilobytes
    EXPECT_EQ(GmcPlaneSide(1000, 16000, 1), 1005);
    EXPECT_EQ(GmcPlaneSide(1000, 500, 1), 500);
}

TEST(GuideMiss, RefusedParametersLeaveTheDisplay) {
    const Picture p = ref::randomPicture(6, 6, 25);
    struct Case {
        GmcParams params;
        std::string message;
    } cases[] = {{{0, -1, 0.2, 0}, msg::kGmcFlowNegative},
                 {{0, -2, 0.2, 0}, msg::kGmcFlowNegative},
                 {{0, 1, 0.0, 0}, msg::kGmcBlurNotPositive},
                 {{0, 1, -3.0, 0}, msg::kGmcBlurNotPositive}};
    for (const Case& c : cases) {
        Picture display = p;
        EXPECT_EQ(MessageOf([&] { GuideMissCancel(display, 12, 12, c.params); }), c.message);
        EXPECT_EQ(firstDifference(display, p), "");
    }
    // A width the blur dialog accepts makes 4 / B / B overflow.
    Picture tiny = p;
    EXPECT_EQ(MessageOf([&] { GuideMissCancel(tiny, 6, 6, {0, 1, 1e-200, 0}); }), msg::kOverflow);
    EXPECT_EQ(firstDifference(tiny, p), "");
    Picture display = p;
    EXPECT_THROW(GuideMissCancel(display, 6, 6, {0, 100000, 0.2, 0}), OutOfMemoryError);
    EXPECT_EQ(firstDifference(display, p), "");
}

}  // namespace
