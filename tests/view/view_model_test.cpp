// Sample statistics, display levels and the raw-value encoding, against plain reference versions.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/errors.h"
#include "core/picture.h"
#include "core/plane.h"
#include "view/view_model.h"

namespace {
IntPlane filledPlane(int w, int h, int32_t value) {
    IntPlane p = MakePlane(w, h);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) p[x][y] = value;
    return p;
}

FpFault faultOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const FloatingPointError& e) {
        return e.fault();
    }
    ADD_FAILURE() << "no floating-point fault";
    return FpFault::Overflow;
}

TEST(RawValue, EncodesHighByteInGreenLowByteInRed) {
    struct Case {
        int32_t v;
        uint8_t green, red;
    };
    for (const Case& c :
         {Case{4660, 18, 52}, Case{0, 0, 0}, Case{255, 0, 255}, Case{256, 1, 0}, Case{65535, 255, 255}}) {
        Picture p(1, 1);
        EncodeRawValue(c.v, p.row(0));
        EXPECT_EQ(p.row(0)[0], 0) << c.v;
        EXPECT_EQ(p.row(0)[1], c.green) << c.v;
        EXPECT_EQ(p.row(0)[2], c.red) << c.v;
        EXPECT_EQ(p.pixelValue(0, 0), c.v);  // read as a colour value the pixel is the sample
        EXPECT_EQ(DecodeRawValue(p.row(0)[1], p.row(0)[2]), c.v);
    }
}

TEST(DisplayLevel, MapsMinimumToZeroAndMeanToTheScale) {
    struct Case {
        int32_t v;
        int scale;
        int level;
    };
    // minimum 1000, mean 1200
    const Case cases[] = {{1000, 50, 0},    {1100, 50, 25},   {1200, 50, 50},   {2020, 50, 255},
                          {999, 50, 0},     {1100, 100, 50},  {1200, 100, 100}, {1255, 100, 127},
                          {1510, 100, 255}, {1509, 100, 254}, {0, 100, 0},      {65535, 100, 255}};
    for (const Case& c : cases)
        EXPECT_EQ(DisplayLevel(c.v, 1000, 1200.0, c.scale), c.level) << c.v << " @" << c.scale;
}

TEST(DisplayLevel, EqualMeanAndMinimumFaultsByNumerator) {
    EXPECT_EQ(faultOf([] { DisplayLevel(1001, 1000, 1000.0, 50); }), FpFault::DivideByZero);
    EXPECT_EQ(faultOf([] { DisplayLevel(999, 1000, 1000.0, 50); }), FpFault::DivideByZero);
    EXPECT_EQ(faultOf([] { DisplayLevel(1000, 1000, 1000.0, 50); }), FpFault::InvalidOperation);
}

TEST(DisplayLevel, ProductWrapsIn32Bits) {
    // (v - minimum) * scale beyond 2^31 wraps negative as the machine's integers do: level 0.
    const int32_t v = 50'000'000;
    EXPECT_EQ(DisplayLevel(v, 0, 1.0e9, 50), 0);
    EXPECT_EQ(DisplayLevel(v / 2, 0, 1.0e9, 50), 1);  // 1.25e9 / 1e9, no wrap
}

// Reference grid walk.
void referenceStats(const IntPlane& p, int w, int h, double& mean, int32_t& minimum, double& count) {
    double sum = 0;
    count = 0;
    minimum = 65536;
    for (int x = 10; x < w - 10; x += 4)
        for (int y = 10; y < h - 10; y += 4) {
            sum = sum + p[x][y];
            count = count + 1;
            if (p[x][y] < minimum) minimum = p[x][y];
        }
    mean = sum / count;
}

TEST(SampleStatistics, MatchesTheLiteralGridWalk) {
    std::mt19937 rng(7);
    const int sizes[][2] = {{21, 21}, {22, 40}, {64, 33}, {101, 97}, {300, 200}};
    for (const auto& s : sizes) {
        IntPlane p = MakePlane(s[0], s[1]);
        std::uniform_int_distribution<int> value(0, 65535);
        for (int x = 0; x < s[0]; ++x)
            for (int y = 0; y < s[1]; ++y) p[x][y] = value(rng);
        double mean, count;
        int32_t minimum;
        referenceStats(p, s[0], s[1], mean, minimum, count);
        const SampleStats got = SampleStatistics(p, s[0], s[1]);
        EXPECT_EQ(got.mean, mean) << s[0] << "x" << s[1];
        EXPECT_EQ(got.minimum, minimum);
        EXPECT_EQ(got.count, count);
    }
}

TEST(SampleStatistics, SamplesOnlyTheGridInsideTheBorder) {
    struct Case {
        int x, y;
        bool sampled;
    };
    // 40 x 40: grid columns and rows 10, 14, 18, 22, 26 (30 is not below 30).
    for (const Case& c : {Case{10, 10, true}, Case{26, 26, true}, Case{9, 10, false}, Case{11, 10, false},
                          Case{30, 10, false}, Case{10, 12, false}, Case{14, 22, true}}) {
        IntPlane p = filledPlane(40, 40, 500);
        p[c.x][c.y] = 100;
        EXPECT_EQ(SampleStatistics(p, 40, 40).minimum, c.sampled ? 100 : 500) << c.x << "," << c.y;
    }
    EXPECT_EQ(SampleStatistics(filledPlane(40, 40, 500), 40, 40).count, 25.0);
}

TEST(SampleStatistics, EmptyGridIsAnInvalidOperation) {
    for (const auto& s : {std::pair{20, 100}, std::pair{100, 20}, std::pair{21, 20}, std::pair{0, 0}}) {
        IntPlane p = filledPlane(s.first, s.second, 7);
        EXPECT_EQ(faultOf([&] { SampleStatistics(p, s.first, s.second); }), FpFault::InvalidOperation)
            << s.first << "x" << s.second;
    }
}

TEST(ResetViewState, WritesSizeKindAndZoom) {
    ChildState s;
    s.ZomN = "4";
    s.UndoFlg = "1";
    ResetViewState(s, 640, 480, 3);
    EXPECT_EQ(s.DemX, "640");
    EXPECT_EQ(s.DemY, "480");
    EXPECT_EQ(s.ColN, "3");
    EXPECT_EQ(s.ZomN, "1.00");
    EXPECT_EQ(s.UndoFlg, "0");
    EXPECT_EQ(s.Contrast, "1.0");  // untouched
}
}  // namespace
