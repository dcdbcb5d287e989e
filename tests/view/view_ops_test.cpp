// Zoom, contrast, sample re-map, probe and measurement numerics, against plain reference versions.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/errors.h"
#include "core/numtext.h"
#include "tests/support/thrown.h"
#include "view/view_ops.h"

namespace {
Picture randomPicture(int w, int h, unsigned seed) {
    Picture p(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < 3 * w; ++i) p.row(y)[i] = static_cast<uint8_t>(rng());
    return p;
}

Picture greyPicture(int w, int h, uint8_t level) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < 3 * w; ++i) p.row(y)[i] = level;
    return p;
}

void setGrey(Picture& p, int x, int y, uint8_t level) {
    p.setPixelValue(x, y, JoinColour(level, level, level));
}

using hvtest::MessageOf;

// ------------------------------------------------------------------ zoom

TEST(Zoom, StepsDoubleUpTo16AndHalveDownTo1Over16) {
    struct Step {
        std::string text;
        std::string percent;
    };
    double z = 1;
    const Step up[] = {{"2", "200.0%"}, {"4", "400.0%"}, {"8", "800.0%"}, {"16", "1600.0%"}};
    for (const Step& s : up) {
        z = ZoomInStep(z).value();
        EXPECT_EQ(FormatReal(z), s.text);
        EXPECT_EQ(ZoomText(z), s.percent);
    }
    EXPECT_FALSE(ZoomInStep(z).has_value());  // the fifth press does nothing
    z = 1;
    const Step down[] = {{"0.5", "50.0%"}, {"0.25", "25.0%"}, {"0.125", "12.5%"}, {"0.0625", "6.2%"}};
    for (const Step& s : down) {
        z = ZoomOutStep(z).value();
        EXPECT_EQ(FormatReal(z), s.text);
        EXPECT_EQ(ZoomText(z), s.percent);
    }
    EXPECT_FALSE(ZoomOutStep(z).has_value());
    EXPECT_EQ(ZoomText(1.0), "100.0%");
}

TEST(Zoom, OnlyTheZoomedWidthDecidesWhetherTheWindowFillsTheFrame) {
    struct Case {
        int w, h;
        double z;
        int imageW, imageH;
        bool fill;
    };
    const Case cases[] = {
        {400, 300, 2, 800, 600, false},    {400, 300, 4, 1600, 1200, true},
        {100, 100, 0.0625, 6, 6, false},   {892, 10, 1, 892, 10, false},
        {893, 10, 1, 893, 10, true},       {100, 5000, 16, 1600, 80000, true},
        {50, 5000, 16, 800, 80000, false}, {3, 3, 0.5, 1, 1, false},
        {1, 1, 0.25, 0, 0, false},
    };
    for (const Case& c : cases) {
        const ZoomLayout l = ComputeZoomLayout(c.w, c.h, c.z, 892, 647);
        EXPECT_EQ(l.imageWidth, c.imageW) << c.w << "x" << c.h << " z" << c.z;
        EXPECT_EQ(l.imageHeight, c.imageH);
        EXPECT_EQ(l.fillFrame, c.fill);
        if (c.fill) {
            EXPECT_EQ(l.outerWidth, 872);
            EXPECT_EQ(l.outerHeight, 587);
        }
    }
}

// ------------------------------------------------------------------ contrast

// Reference: c through the extended product, each byte trunc((long double)b * c).
Picture referenceContrast(const Picture& stored, double c) {
    Picture out(stored.width(), stored.height());
    for (int y = 0; y < stored.height(); ++y)
        for (int i = 0; i < 3 * stored.width(); ++i) {
            long long v = static_cast<long long>(std::trunc(static_cast<long double>(stored.row(y)[i]) * c));
            if (v >= 256) v = 255;
            out.row(y)[i] = static_cast<uint8_t>(v);
        }
    return out;
}

TEST(Contrast, StepsThroughTheFifteenDigitText) {
    struct Case {
        const char* before;
        bool brighter;
        const char* after;
    };
    const Case cases[] = {{"1.0", true, "1.1"},
                          {"1.1", true, "1.21"},
                          {"1.21", true, "1.331"},
                          {"1.0", false, "0.909090909090909"},
                          {"0.909090909090909", true, "1"},
                          {"1.1", false, "1"},
                          {"2", false, "1.81818181818182"}};
    for (const Case& c : cases) {
        Picture stored(1, 1), display(1, 1);
        EXPECT_EQ(ContrastStep(stored, display, c.before, c.brighter), c.after) << c.before;
    }
}

TEST(Contrast, BytesScaleAndSaturate) {
    struct Case {
        const char* contrast;
        bool brighter;
        uint8_t in, out;
    };
    const Case cases[] = {{"1.0", true, 200, 220},
                          {"1.0", true, 240, 255},
                          {"1.0", true, 0, 0},
                          {"1.0", false, 255, 231},
                          {"0.909090909090909", true, 255, 255},
                          {"0.909090909090909", true, 1, 1},
                          {"1.0", true, 232, 255},
                          {"1.0", true, 231, 254}};
    for (const Case& c : cases) {
        Picture stored = greyPicture(2, 2, c.in);
        Picture display(2, 2);
        ContrastStep(stored, display, c.contrast, c.brighter);
        EXPECT_EQ(display.row(1)[3], c.out) << c.contrast << " " << int(c.in);
    }
}

TEST(Contrast, LowThenHighShowsTheStoredImageExactly) {
    Picture stored(256, 3);
    for (int x = 0; x < 256; ++x) stored.setPixelValue(x, 1, JoinColour(x, 255 - x, x ^ 0x55));
    Picture display(256, 3);
    const std::string low = ContrastStep(stored, display, "1.0", false);
    const std::string back = ContrastStep(stored, display, low, true);
    EXPECT_EQ(back, "1");
    EXPECT_TRUE(display.samePixels(stored));
}

TEST(Contrast, MatchesTheLiteralLoopOnRandomPictures) {
    const char* texts[] = {"1.0", "1.331", "0.5", "3", "1.61051", "0.751314800901578", "7.40024994425041"};
    unsigned seed = 1;
    for (const char* t : texts) {
        for (bool brighter : {true, false}) {
            const Picture stored = randomPicture(37, 11, seed++);
            Picture display(37, 11);
            const std::string next = ContrastStep(stored, display, t, brighter);
            const double c = static_cast<double>(
                ParseRealExtended(t) * static_cast<long double>(brighter ? 1.1 : 0.9090909090909091));
            EXPECT_EQ(next, FormatReal(c));
            EXPECT_TRUE(display.samePixels(referenceContrast(stored, c))) << t << " " << brighter;
        }
    }
}

TEST(Contrast, FaultsLeaveTheDisplayAsItWas) {
    struct Case {
        const char* contrast;
        uint8_t storedByte;
        std::string message;
    };
    const Case cases[] = {
        {"1.7e308", 0, msg::kOverflow},        // the factor itself overflows a double
        {"1e300", 7, msg::kInvalidOperation},  // 7 * c does not fit the integer truncation
        {"abc", 7, "'abc' は浮動小数点数ではありません"},
    };
    for (const Case& c : cases) {
        const Picture stored = greyPicture(3, 3, c.storedByte);
        Picture display = greyPicture(3, 3, 99);
        EXPECT_EQ(MessageOf([&] { ContrastStep(stored, display, c.contrast, true); }), c.message)
            << c.contrast;
        EXPECT_TRUE(display.samePixels(greyPicture(3, 3, 99)));
    }
    // With only zero bytes nothing overflows the truncation.
    const Picture black(3, 3);
    Picture display(3, 3);
    EXPECT_EQ(ContrastStep(black, display, "1e300", true), "1.1E300");
}

// ------------------------------------------------------------------ sample re-map

Picture rawPicture(std::initializer_list<int32_t> values) {
    Picture p(static_cast<int>(values.size()), 1);
    int x = 0;
    for (int32_t v : values) EncodeRawValue(v, p.row(0) + 3 * x++);
    return p;
}

TEST(SampleRemap, MapsRawValuesAtScale100) {
    const Picture stored = rawPicture({1100, 1200, 1255, 1510, 4000, 999, 0, 1000});
    const uint8_t expected[] = {50, 100, 127, 255, 255, 0, 0, 0};
    Picture display(8, 1);
    for (int round = 0; round < 2; ++round) {  // pressing again changes nothing
        SampleRemap(stored, display, "1200", "1000");
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(display.pixelValue(x, 0), JoinColour(expected[x], expected[x], expected[x])) << x;
        }
    }
}

TEST(SampleRemap, MatchesDisplayLevelForEveryRawValue) {
    Picture stored(256, 256);
    for (int v = 0; v < 65536; ++v) EncodeRawValue(v, stored.row(v / 256) + 3 * (v % 256));
    Picture display(256, 256);
    SampleRemap(stored, display, "33812.3251041233", "1021");
    for (int v = 0; v < 65536; ++v) {
        const int level = DisplayLevel(v, 1021, 33812.3251041233, 100);
        ASSERT_EQ(display.pixelValue(v % 256, v / 256), JoinColour(level, level, level)) << v;
    }
}

TEST(SampleRemap, BenchmarkWindowsShowBlack) {
    // Their stored image holds display levels 0..255 while Minimum and Average describe samples.
    Picture stored(16, 16);
    for (int i = 0; i < 256; ++i) EncodeRawValue(i, stored.row(i / 16) + 3 * (i % 16));
    Picture display = greyPicture(16, 16, 77);
    SampleRemap(stored, display, "1234.5", "1001");
    EXPECT_TRUE(display.samePixels(Picture(16, 16)));
}

TEST(SampleRemap, EqualAverageAndMinimumFaultsAtTheFirstPixel) {
    struct Case {
        int32_t first;
        std::string message;
    };
    for (const Case& c : {Case{1000, msg::kInvalidOperation}, Case{1001, msg::kDivideByZero}}) {
        const Picture stored = rawPicture({c.first, 1000, 1001});
        Picture display = greyPicture(3, 1, 9);
        EXPECT_EQ(MessageOf([&] { SampleRemap(stored, display, "1000", "1000"); }), c.message);
        EXPECT_TRUE(display.samePixels(greyPicture(3, 1, 9)));
    }
}

TEST(SampleRemap, SmallAndLargePicturesAgreeWithDisplayLevel) {
    // Small pictures are levelled pixel by pixel, large ones through a table of every raw value.
    for (const int side : {7, 100, 300}) {
        Picture stored(side, side);
        std::mt19937 rng(static_cast<unsigned>(side));
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                EncodeRawValue(static_cast<int32_t>(rng() % 65536), stored.row(y) + 3 * x);
        Picture display(side, side);
        SampleRemap(stored, display, "20000.5", "333");
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const int level = DisplayLevel(stored.pixelValue(x, y), 333, 20000.5, 100);
                ASSERT_EQ(display.pixelValue(x, y), JoinColour(level, level, level)) << side;
            }
    }
}

TEST(SampleRemap, AQuotientBeyondTheIntegerRangeFaultsOnlyWhereItOccurs) {
    // Average a hair above Minimum: small raw values level fine, 65535 overflows the truncation.
    for (const int side : {10, 300}) {
        Picture stored(side, side);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) EncodeRawValue(1000 + (x + y) % 3, stored.row(y) + 3 * x);
        Picture display = greyPicture(side, side, 9);
        SampleRemap(stored, display, "1000.0000000000001", "1000");
        EXPECT_EQ(display.pixelValue(1, 0), JoinColour(255, 255, 255));
        EXPECT_EQ(display.pixelValue(0, 0), 0);
        EncodeRawValue(65535, stored.row(side - 1) + 3 * (side - 1));
        Picture kept = greyPicture(side, side, 9);
        EXPECT_EQ(MessageOf([&] { SampleRemap(stored, kept, "1000.0000000000001", "1000"); }),
                  msg::kInvalidOperation)
            << side;
        EXPECT_TRUE(kept.samePixels(greyPicture(side, side, 9)));
    }
}

// ------------------------------------------------------------------ probe

TEST(Probe, TextsByKind) {
    Picture display(80, 40);
    display.setPixelValue(50, 25, JoinColour(30, 20, 10));
    display.setPixelValue(50, 24, JoinColour(3, 2, 1));
    Picture stored(80, 40);
    EncodeRawValue(4660, stored.row(25) + 3 * 50);
    struct Case {
        int kind;
        const char* zoom;
        int x, y;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {kColourWindow, "2", 101, 51, "R=10  G=20  B=30   (101,51)"},
        {kColourWindow, "1.00", 50, 25, "R=10  G=20  B=30   (50,25)"},
        {kColourWindow, "0.5", 25, 12, "R=1  G=2  B=3   (25,12)"},  // reads (50, 24)
        {kColourWindow, "1.00", 80, 0, "R=-1  G=0  B=0   (80,0)"},  // outside the picture
        {kSampleWindow, "2", 100, 50, "Intensity = 4660   (100,50)"},
        {kSampleWindow, "1.00", 1, 1, "Intensity = 0   (1,1)"},
        {kSampleWindow, "16", 1600, 0, "Intensity = -1   (1600,0)"},
        {kPpmWindow, "1.00", 50, 25, std::nullopt},
        {0, "1.00", 50, 25, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProbeText(c.kind, display, stored, c.zoom, c.x, c.y), c.text) << c.x;
}

// ------------------------------------------------------------------ measurement

// Reference click measurement.
Measurement referenceMeasure(const Picture& p, int X, int Y, bool left) {
    Measurement m;
    if (left) {
        for (int i = -10; i <= 10; ++i)
            for (int j = -10; j <= 10; ++j) {
                const int r = SplitColour(p.pixelValue(X + i, Y + j)).red;
                if (r < m.minimum) m.minimum = r;
                if (r > m.maximum) m.maximum = r;
            }
        const int half = m.maximum / 2;
        for (int i = -5; i <= 5; ++i)
            for (int j = -5; j <= 5; ++j)
                if (SplitColour(p.pixelValue(X + i, Y + j)).green > half) m.count++;
    }
    return m;
}

TEST(Measure, SpotCases) {
    struct Case {
        const char* name;
        Picture picture;
        int x, y;
        bool left;
        std::string extremes, fwhm;
    };
    Picture spot(60, 60);
    setGrey(spot, 30, 30, 255);
    Picture edgeStar = greyPicture(60, 60, 80);
    std::vector<Case> cases;
    cases.push_back(
        {"uniform 80", greyPicture(60, 60, 80), 30, 30, true, "MAX = 80 , MIN = 80", "FWHM = 6.2 pxls"});
    cases.push_back({"single 255", spot, 30, 30, true, "MAX = 255 , MIN = 0", "FWHM = 0.6 pxls"});
    cases.push_back({"black", Picture(60, 60), 30, 30, true, "MAX = 0 , MIN = 0", "FWHM = 0.0 pxls"});
    cases.push_back({"near the left edge", greyPicture(60, 60, 80), 3, 30, true, "MAX = 80 , MIN = -1",
                     "FWHM = 5.6 pxls"});
    cases.push_back(
        {"right button", greyPicture(60, 60, 80), 30, 30, false, "MAX = -1 , MIN = 256", "FWHM = 0.0 pxls"});
    cases.push_back({"beyond the picture", greyPicture(60, 60, 80), 70, 30, true, "MAX = -1 , MIN = -1",
                     "FWHM = 0.0 pxls"});
    for (const Case& c : cases) {
        const Measurement m = MeasureAt(c.picture, c.x, c.y, c.left);
        EXPECT_EQ(m.extremesText, c.extremes) << c.name;
        EXPECT_EQ(m.fwhmText, c.fwhm) << c.name;
    }
}

TEST(Measure, ExtremesFromRedCountFromGreen) {
    Picture p(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) p.setPixelValue(x, y, JoinColour(0, 200, 10));  // green bright, red dim
    const Measurement m = MeasureAt(p, 20, 20, true);
    EXPECT_EQ(m.maximum, 10);
    EXPECT_EQ(m.minimum, 10);
    EXPECT_EQ(m.count, 121);  // green 200 > half of red's maximum
}

TEST(Measure, MatchesTheLiteralLoopOnRandomPictures) {
    std::mt19937 rng(3);
    for (int k = 0; k < 60; ++k) {
        const Picture p = randomPicture(30, 25, static_cast<unsigned>(k));
        const int x = static_cast<int>(rng() % 50) - 10;
        const int y = static_cast<int>(rng() % 45) - 10;
        const Measurement got = MeasureAt(p, x, y, true);
        const Measurement want = referenceMeasure(p, x, y, true);
        EXPECT_EQ(got.maximum, want.maximum);
        EXPECT_EQ(got.minimum, want.minimum);
        EXPECT_EQ(got.count, want.count);
        EXPECT_EQ(got.fwhmText,
                  FormatText("FWHM = %2.1lf pxls", std::sqrt(want.count * 0.31830989161357204)));
    }
}

TEST(Measure, ExtremeCoordinatesDoNotOverflow) {
    const Measurement m = MeasureAt(greyPicture(4, 4, 9), INT32_MAX, INT32_MIN, true);
    EXPECT_EQ(m.extremesText, "MAX = -1 , MIN = -1");
}

// ------------------------------------------------------------------ sample pictures

TEST(SamplePictures, LevelsAtScale50AndRawValues) {
    IntPlane plane = MakePlane(41, 33);
    std::mt19937 rng(11);
    for (int x = 0; x < 41; ++x)
        for (int y = 0; y < 33; ++y) plane[x][y] = static_cast<int32_t>(rng() % 3000) + 500;
    const SamplePictures s = BuildSamplePictures(plane, 41, 33);
    const SampleStats stats = SampleStatistics(plane, 41, 33);
    EXPECT_EQ(s.stats.mean, stats.mean);
    for (int x = 0; x < 41; ++x)
        for (int y = 0; y < 33; ++y) {
            const int level = DisplayLevel(plane[x][y], stats.minimum, stats.mean, 50);
            ASSERT_EQ(s.display.pixelValue(x, y), JoinColour(level, level, level));
            ASSERT_EQ(s.raw.pixelValue(x, y), plane[x][y]);
        }
}

TEST(SamplePictures, RefusesFlatAndTooSmallImages) {
    struct Case {
        const char* name;
        int w, h;
        int32_t corner;  // value at (0, 0), off the grid
        std::string message;
    };
    const Case cases[] = {
        {"flat", 50, 50, 700, msg::kInvalidOperation},
        {"flat grid, brighter corner", 50, 50, 701, msg::kDivideByZero},
        {"20 x 100", 20, 100, 700, msg::kInvalidOperation},
    };
    for (const Case& c : cases) {
        IntPlane plane = MakePlane(c.w, c.h);
        for (int x = 0; x < c.w; ++x)
            for (int y = 0; y < c.h; ++y) plane[x][y] = 700;
        plane[0][0] = c.corner;
        EXPECT_EQ(MessageOf([&] { BuildSamplePictures(plane, c.w, c.h); }), c.message) << c.name;
    }
}

TEST(WindowKind, ParsesTheKindField) {
    ChildState s;
    EXPECT_EQ(WindowKind(s), 0);
    s.FilterI = "2";
    EXPECT_EQ(WindowKind(s), 2);
}
}  // namespace
