// The benchmark's workload against the reference formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "benchmark/workload.h"
#include "core/errors.h"
#include "core/fits.h"
#include "tests/benchmark/reference.h"
#include "view/view_model.h"

namespace {

// ---- reference ----

using RefRandom = benchref::Random;
using benchref::Generate;

uint64_t RefFnv(const std::vector<uint8_t>& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}

std::vector<uint8_t> LittleEndianBytes(const IntPlane& plane, int w, int h) {
    std::vector<uint8_t> bytes;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) {
            const uint32_t v = static_cast<uint32_t>(plane[x][y]);
            for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>(v >> (8 * b)));
        }
    return bytes;
}

bool InStarWindow(int x, int y) {
    for (int X = 100; X <= 900; X += 100)
        for (int Y = 100; Y <= 900; Y += 100)
            if (x >= X - 10 && x <= X + 9 && y >= Y - 10 && y <= Y + 9) return true;
    return false;
}

void ExpectSamePlane(const IntPlane& a, const IntPlane& b, int w, int h) {
    int mismatches = 0;
    for (int x = 0; x < w && mismatches < 5; ++x)
        for (int y = 0; y < h && mismatches < 5; ++y)
            if (a[x][y] != b[x][y]) {
                ADD_FAILURE() << "at " << x << "," << y << ": " << a[x][y] << " vs " << b[x][y];
                ++mismatches;
            }
}

// ---- generator and generation ----

TEST(BenchGenerator, IntegerBackgroundEqualsExtendedFormulaForEveryDraw) {
    for (int r = 0; r < 32768; ++r) {
        const long double extended = std::trunc((r + 32768) * 0.001L + 1000);
        ASSERT_EQ(static_cast<int>(extended), 1000 + (r + 32768) / 1000) << "r = " << r;
    }
}

TEST(BenchGenerator, SequenceAndJumpAheadMatchTheRecurrence) {
    for (uint64_t count : {0ull, 1ull, 7ull, 8ull, 9ull, 1000ull, 1032400ull}) {
        RefRandom ref;
        for (uint64_t i = 0; i < count; ++i) ref.next();
        BenchRandom jumped(1);
        jumped.skip(count);
        EXPECT_EQ(jumped.state(), ref.state) << count;
    }
    RefRandom ref;
    BenchRandom random(1);
    for (int i = 0; i < 100; ++i) {
        const int r = random.next();
        EXPECT_EQ(r, ref.next());
        EXPECT_GE(r, 0);
        EXPECT_LE(r, 32767);
    }
}

TEST(BenchGenerator, BackgroundOfAnyShapeMatchesTheLiteralLoopAtEveryLevel) {
    // Sizes around the lane counts, so the tail path is exercised too; the largest draws every r.
    const int shapes[][2] = {{1, 1}, {1, 7}, {3, 5}, {4, 4}, {9, 9}, {13, 31}, {1000, 1000}};
    for (SimdLevel level : SupportedSimdLevels()) {
        for (const auto& s : shapes) {
            IntPlane plane = MakePlane(s[0], s[1]);
            BenchRandom random(12345);
            RefRandom ref{12345};
            std::vector<bool> drawn(32768);
            FillBackgroundOn(level, plane, s[0], s[1], random);
            for (int x = 0; x < s[0]; ++x)
                for (int y = 0; y < s[1]; ++y) {
                    const int r = ref.next();
                    drawn[r] = true;
                    ASSERT_EQ(plane[x][y], static_cast<int32_t>(std::trunc((r + 32768) * 0.001L + 1000)))
                        << SimdLevelName(level);
                }
            EXPECT_EQ(random.state(), ref.state);
            if (s[0] == 1000) {
                EXPECT_EQ(std::count(drawn.begin(), drawn.end(), true), 32768);
            }
        }
    }
}

TEST(BenchGenerator, ImagesMatchTheReferenceAndFollowEachOther) {
    IntPlane fast = MakePlane(1000, 1000);
    IntPlane ref = MakePlane(1000, 1000);
    BenchRandom random(1);
    RefRandom refRandom;
    std::vector<int32_t> first;
    for (int image = 0; image < 2; ++image) {
        GenerateImage(fast, random);
        Generate(ref, refRandom);
        ExpectSamePlane(fast, ref, 1000, 1000);
        EXPECT_EQ(random.state(), refRandom.state);
        if (image == 0) {
            first.assign(fast.data(), fast.data() + 1000000);
            BenchRandom consumed(1);
            consumed.skip(kBenchRandomPerImage);
            EXPECT_EQ(random.state(), consumed.state());
        } else {
            EXPECT_NE(0, std::memcmp(first.data(), fast.data(), first.size() * sizeof(int32_t)));
        }
    }
}

TEST(BenchGenerator, StarsOverAnyBackgroundMatchTheReference) {
    // Backgrounds around the edges of the shortcut for the star samples (45 <= e < 2^30) and
    // the benchmark's own range.
    for (const int32_t background : {0, 30, 44, 45, 1032, 1065, 65535, -70000, (1 << 30) - 16000, 1 << 30}) {
        IntPlane fast = MakePlane(910, 910);
        IntPlane ref = MakePlane(910, 910);
        std::fill(fast.data(), fast.data() + 910 * 910, background);
        std::fill(ref.data(), ref.data() + 910 * 910, background);
        BenchRandom random(99);
        RefRandom refRandom{99};
        AddStars(fast, random);
        benchref::Stars(ref, refRandom);
        ExpectSamePlane(fast, ref, 910, 910);
        EXPECT_EQ(random.state(), refRandom.state) << background;
    }
}

TEST(BenchGenerator, BackgroundRangeAndStarWindows) {
    IntPlane plane = MakePlane(1000, 1000);
    BenchRandom random(1);
    GenerateImage(plane, random);
    for (int x = 0; x < 1000; ++x)
        for (int y = 0; y < 1000; ++y)
            if (!InStarWindow(x, y)) {
                ASSERT_GE(plane[x][y], 1032) << x << "," << y;
                ASSERT_LE(plane[x][y], 1065) << x << "," << y;
            }
    for (int X = 100; X <= 900; X += 100)
        for (int Y = 100; Y <= 900; Y += 100) {
            // Centre raised by about 15000; the window's far corner (offset -10, -10) by almost
            // nothing; one past the window on the positive side is background again.
            EXPECT_GT(plane[X][Y], 1032 + 15000 - 45);
            EXPECT_LT(plane[X][Y], 1065 + 15000 + 45);
            EXPECT_GT(plane[X + 9][Y], plane[X + 10][Y] - 50);
            EXPECT_LE(plane[X + 10][Y + 10], 1065);
            EXPECT_GT(plane[X - 10][Y], 1032 - 45);
        }
}

// ---- display stage ----

IntPlane ToggledImage(uint32_t state) {
    IntPlane plane = MakePlane(1000, 1000);
    BenchRandom random(state);
    GenerateImage(plane, random);
    ToggleOffset(32768, 1000, 1000, plane);
    return plane;
}

TEST(BenchDisplay, VarianceOverTheStatisticsGrid) {
    IntPlane plane = ToggledImage(1);
    const GridStatistics stats = StatisticsWithVariance(plane, 1000, 1000);
    double sum = 0, count = 0, squares = 0;
    int32_t minimum = 65536;
    for (int x = 10; x < 990; x += 4)
        for (int y = 10; y < 990; y += 4) {
            sum += plane[x][y];
            count += 1;
            minimum = std::min(minimum, plane[x][y]);
        }
    const double mean = sum / count;
    for (int x = 10; x < 990; x += 4)
        for (int y = 10; y < 990; y += 4) squares += (plane[x][y] - mean) * (plane[x][y] - mean);
    EXPECT_EQ(count, 60025);
    EXPECT_EQ(stats.mean, mean);
    EXPECT_EQ(stats.minimum, minimum);
    EXPECT_EQ(stats.variance, squares / (count - 1));
    EXPECT_GT(stats.mean, 33800);
    EXPECT_LT(stats.mean, 34500);
}

TEST(BenchDisplay, VarianceOfASingleSampleGridIsAnInvalidOperation) {
    IntPlane plane = MakePlane(21, 21);
    plane[10][10] = 7;
    try {
        StatisticsWithVariance(plane, 21, 21);
        ADD_FAILURE() << "no fault";
    } catch (const FloatingPointError& e) {
        EXPECT_EQ(e.fault(), FpFault::InvalidOperation);
    }
}

TEST(BenchDisplay, LevelsInPlaceEqualDisplayLevelSampleForSample) {
    struct Case {
        const char* name;
        int32_t minimum;
        double mean;
        int scale;
    };
    IntPlane source = ToggledImage(77);
    const GridStatistics stats = StatisticsWithVariance(source, 1000, 1000);
    const Case cases[] = {
        {"benchmark statistics", stats.minimum, stats.mean, 50},
        {"scale 100", stats.minimum, stats.mean, 100},
        {"span of exactly one", 34000, 34001.0, 50},
        {"span below one", 34000, 34000.25, 50},
        {"minimum above most samples", 40000, 40010.5, 50},
        {"large products wrap", -2000000000, 0.5, 50},
    };
    for (const Case& c : cases) {
        IntPlane plane = MakePlane(1000, 1000);
        std::memcpy(plane.data(), source.data(), 1000000 * sizeof(int32_t));
        ScaleToLevels(plane, 1000, 1000, c.minimum, c.mean, c.scale);
        int bad = 0;
        for (int x = 0; x < 1000 && bad < 3; ++x)
            for (int y = 0; y < 1000 && bad < 3; ++y) {
                const int expected = DisplayLevel(source[x][y], c.minimum, c.mean, c.scale);
                if (plane[x][y] != expected) {
                    ADD_FAILURE() << c.name << " at " << x << "," << y << ": " << plane[x][y] << " vs "
                                  << expected;
                    ++bad;
                }
            }
    }
}

TEST(BenchDisplay, LevelsOfAFlatPlaneFaultAsTheFirstSampleDoes) {
    struct Case {
        int32_t value;
        FpFault fault;
    };
    for (const Case& c : {Case{500, FpFault::InvalidOperation}, Case{501, FpFault::DivideByZero}}) {
        IntPlane plane = MakePlane(30, 30);
        for (int x = 0; x < 30; ++x)
            for (int y = 0; y < 30; ++y) plane[x][y] = c.value;
        try {
            ScaleToLevels(plane, 30, 30, 500, 500.0, 50);
            ADD_FAILURE() << "no fault for " << c.value;
        } catch (const FloatingPointError& e) {
            EXPECT_EQ(e.fault(), c.fault) << c.value;
        }
    }
}

TEST(BenchDisplay, PicturesHoldTheLevelsAsGreyAndAsRawValues) {
    for (const auto& size : {std::pair{1, 1}, std::pair{37, 23}, std::pair{16, 32}, std::pair{5, 17}}) {
        const int w = size.first, h = size.second;
        IntPlane levels = MakePlane(w, h);
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y) levels[x][y] = (x * 7 + y * 13) % 256;
        Picture grey(w, h), raw(w, h);
        FillLevelPictures(levels, w, h, grey, raw);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* g = grey.row(y) + 3 * x;
                const uint8_t* r = raw.row(y) + 3 * x;
                const int level = levels[x][y];
                ASSERT_EQ(g[0], level);
                ASSERT_EQ(g[1], level);
                ASSERT_EQ(g[2], level);
                ASSERT_EQ(raw.pixelValue(x, y), level);
                ASSERT_EQ(DecodeRawValue(r[1], r[2]), level);
            }
    }
}

TEST(BenchDisplay, OnePassLevelPicturesEqualScalingThenFillingAtEveryLevel) {
    struct Case {
        const char* name;
        int32_t minimum;
        double mean;
        int scale;
        int width, height;
    };
    IntPlane source = ToggledImage(5);
    const GridStatistics stats = StatisticsWithVariance(source, 1000, 1000);
    const Case cases[] = {
        {"benchmark statistics", stats.minimum, stats.mean, 50, 1000, 1000},
        {"odd shape", stats.minimum, stats.mean, 50, 997, 13},
        {"scale 100", stats.minimum, stats.mean, 100, 64, 64},
        {"wide span, never saturating", 0, 40000.5, 50, 1000, 40},
        {"minimum above the samples", 60000, 60000.75, 50, 50, 50},
        {"span below one", 34000, 34000.25, 50, 30, 30},
        {"products that wrap", -2000000000, 0.5, 50, 20, 20},
        {"huge scale", stats.minimum, stats.mean, 1 << 20, 40, 40},
        {"lowest minimum", INT32_MIN, INT32_MIN + 100.5, 50, 40, 40},
        {"samples far below and above", stats.minimum, stats.mean, 50, 48, 48},
    };
    for (const Case& c : cases) {
        IntPlane samples = MakePlane(c.width, c.height);
        IntPlane levels = MakePlane(c.width, c.height);
        for (int x = 0; x < c.width; ++x)
            for (int y = 0; y < c.height; ++y) samples[x][y] = source[x][y];
        if (c.width == 48) {  // one tile with the extremes, one with a sample just under the minimum
            samples[1][2] = INT32_MIN;
            samples[2][1] = INT32_MAX;
            samples[20][30] = c.minimum - 1;
        }
        std::memcpy(levels.data(), samples.data(), static_cast<size_t>(c.width) * c.height * sizeof(int32_t));
        Picture greyA(c.width, c.height), rawA(c.width, c.height);
        ScaleToLevels(levels, c.width, c.height, c.minimum, c.mean, c.scale);
        FillLevelPictures(levels, c.width, c.height, greyA, rawA);
        for (SimdLevel level : SupportedSimdLevels()) {
            const std::shared_ptr<LevelRows> rows = LevelRows::Make(c.width, c.height);
            FillLevelRowsFromSamplesOn(level, samples, c.width, c.height, c.minimum, c.mean, c.scale, *rows);
            const Picture greyB = Picture::FromLevels(rows, LevelForm::Grey);
            const Picture rawB = Picture::FromLevels(rows, LevelForm::RawValue);
            EXPECT_EQ(greyB.pixelValue(c.width - 1, c.height - 1),
                      greyA.pixelValue(c.width - 1, c.height - 1));
            EXPECT_EQ(rawB.pixelValue(c.width - 1, c.height - 1), rawA.pixelValue(c.width - 1, c.height - 1));
            EXPECT_TRUE(greyA.samePixels(greyB)) << c.name << " " << SimdLevelName(level);
            EXPECT_TRUE(rawA.samePixels(rawB)) << c.name << " " << SimdLevelName(level);
        }
        EXPECT_EQ(samples[3][3], source[3][3]) << c.name;
    }
    // A flat plane faults as the literal passes do.
    IntPlane flat = MakePlane(30, 30);
    EXPECT_THROW(FillLevelRowsFromSamples(flat, 30, 30, 0, 0.0, 50, *LevelRows::Make(30, 30)),
                 FloatingPointError);
}

// ---- composite, convolution, checksum ----

TEST(BenchComposite, AdditionWrapsLikeThirtyTwoBitIntegersAtEveryLevel) {
    // Sizes below, at and past the vector widths, so the tails are exercised too.
    for (SimdLevel level : SupportedSimdLevels())
        for (const auto& [w, h] : {std::pair{7, 9}, std::pair{4, 4}, std::pair{37, 41}}) {
            IntPlane acc = MakePlane(w, h);
            IntPlane add = MakePlane(w, h);
            for (int x = 0; x < w; ++x)
                for (int y = 0; y < h; ++y) {
                    acc[x][y] = (x == 3 && y == 3) ? 2147483647 : x * 1000 - y;
                    add[x][y] = (x == 3 && y == 3) ? 1 : y * 77 + x;
                }
            AddPlaneOn(level, acc, add, w, h);
            for (int x = 0; x < w; ++x)
                for (int y = 0; y < h; ++y) {
                    const int64_t sum = (x == 3 && y == 3) ? 2147483648LL : x * 1000 - y + y * 77 + x;
                    ASSERT_EQ(acc[x][y], static_cast<int32_t>(static_cast<uint32_t>(sum)))
                        << SimdLevelName(level) << " " << w << "x" << h << " at " << x << "," << y;
                }
            EXPECT_EQ(acc[3][3], INT32_MIN);
        }
}

TEST(BenchConvolution, AccumulatorKernelShiftsByOneSample) {
    Kernel kernel = MakeAccumulatorKernel();
    int negativeZeros = 0;
    double sum = 0;
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 7; ++j) {
            sum += kernel[i][j];
            if (kernel[i][j] == 0.0 && std::signbit(kernel[i][j])) ++negativeZeros;
        }
    EXPECT_EQ(negativeZeros, 4);
    EXPECT_TRUE(std::signbit(kernel[2][1]) && std::signbit(kernel[2][3]) && std::signbit(kernel[1][2]) &&
                std::signbit(kernel[3][2]));
    EXPECT_EQ(kernel[2][2], 1.0);
    EXPECT_EQ(sum, 1.0);

    const int w = 40, h = 30;
    IntPlane plane = MakePlane(w, h);
    IntPlane original = MakePlane(w, h);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) original[x][y] = plane[x][y] = 16000 + x * 101 + y * 7;
    ConvolvePlane(7, 7, kernel, w, h, plane);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) {
            const int32_t expected = (x == 0 || y == 0) ? 0 : original[x - 1][y - 1];
            ASSERT_EQ(plane[x][y], expected) << x << "," << y;
        }
}

TEST(BenchChecksum, FnvOverLittleEndianSamplesColumnByColumn) {
    // The byte-wise reference reproduces the published FNV-1a 64 value for "a".
    ASSERT_EQ(RefFnv({'a'}), 0xaf63dc4c8601ec8cull);
    const int shapes[][2] = {{1, 1}, {3, 2}, {2, 3}, {10, 10}};
    for (const auto& s : shapes) {
        IntPlane plane = MakePlane(s[0], s[1]);
        for (int x = 0; x < s[0]; ++x)
            for (int y = 0; y < s[1]; ++y) plane[x][y] = (x + 1) * 0x01020304 - y * 0x7F;
        EXPECT_EQ(PlaneChecksum(plane, s[0], s[1]), RefFnv(LittleEndianBytes(plane, s[0], s[1])));
    }
    EXPECT_EQ(ChecksumText(0x0123456789abcdefull), "0123456789abcdef");
    EXPECT_EQ(ChecksumText(0xaull), "000000000000000a");
}

// ---- result window figures ----

TEST(BenchFigures, TimeTextsAndScores) {
    struct Case {
        int32_t ms;
        const char* text;
        int score;
    };
    const Case cases[] = {
        {1234, "1.234", 4 * 810}, {500, "0.5", 8000},       {2000, "2", 2000},
        {1500, "1.5", 4 * 666},   {10000, "10", 400},       {3000, "3", 1332},
        {12500, "12.5", 320},     {333, "0.333", 4 * 3003}, {70000, "70", 4 * 14},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SecondsText(c.ms), c.text) << c.ms;
        EXPECT_EQ(MillisecondsToSeconds(c.ms),
                  static_cast<double>(static_cast<long double>(c.ms) * static_cast<long double>(0.001)));
        const int score = ScoreFromSeconds(MillisecondsToSeconds(c.ms));
        EXPECT_EQ(score, c.score) << c.ms;
        EXPECT_EQ(score % 4, 0);
    }
    EXPECT_EQ(SecondsText(0), "0");
    try {
        ScoreFromSeconds(MillisecondsToSeconds(0));
        ADD_FAILURE() << "no fault";
    } catch (const FloatingPointError& e) {
        EXPECT_EQ(e.fault(), FpFault::DivideByZero);
    }
}

TEST(BenchFigures, OperatingSystemNames) {
    struct Case {
        int id;
        unsigned major, minor;
        const char* name;
    };
    const Case cases[] = {
        {2, 3, 51, "Windows NT"},
        {2, 4, 0, "Windows NT"},
        {2, 5, 0, "Windows 2000"},
        {2, 4, 1, "Windows 2000"},
        {2, 5, 1, "Windows XP"},
        {2, 5, 2, "Windows XP"},
        {2, 6, 0, "Windows Vista"},
        {2, 6, 1, "Windows Vista"},
        {2, 10, 0, "Windows Vista"},
        {2, 5, 99, "Windows XP"},
        {1, 4, 0, "Windows 95"},
        {1, 3, 95, "Windows 95"},
        {1, 4, 10, "Windows 98"},
        {1, 4, 89, "Windows 98"},
        {1, 4, 90, "Windows Me"},
        {1, 5, 0, "Windows Me"},
        {0, 3, 10, "Windows3.1上のWin32s"},
        {0, 0, 0, "Windows3.1上のWin32s"},
        {3, 6, 1, "OS不明"},
        {-1, 0, 0, "OS不明"},
        {99, 5, 1, "OS不明"},
    };
    for (const Case& c : cases) {
        OsVersionInfo info;
        info.platformId = c.id;
        info.major = c.major;
        info.minor = c.minor;
        EXPECT_EQ(OsName(info), c.name) << c.id << " " << c.major << "." << c.minor;
    }
}

TEST(BenchFigures, MemoryFiguresAndDateText) {
    struct Case {
        uint64_t bytes;
        long long mb;
    };
    const Case cases[] = {{0, 0},
                          {999999, 0},
                          {1000000, 1},
                          {1000001, 1},
                          {64000000, 64},
                          {25276000000ull, 25276},
                          {2147483648ull, 2147},
                          {17179869184ull, 17179},
                          {~0ull, 18446744073709ll}};
    for (const Case& c : cases) EXPECT_EQ(MemoryMegabytes(c.bytes), c.mb) << c.bytes;

    LocalDateTime now{"2026/12/08", "1:02:03", false};
    EXPECT_EQ(FormatLocalDateTime(now), "2026/12/08 1:02:03");
    now.midnight = true;
    now.longTime = "0:00:00";
    EXPECT_EQ(FormatLocalDateTime(now), "2026/12/08");
}

}  // namespace

// ---- pictures built without a zero fill ----

TEST(BenchDisplay, UnsetPicturesKeepTheirSizeZeroPaddingAndCopies) {
    for (const auto& size : {std::pair{5, 3}, std::pair{4, 2}, std::pair{1, 7}, std::pair{0, 4}}) {
        const int w = size.first, h = size.second;
        {
            // Leave garbage in freed memory the unset picture may reuse.
            Picture dirty(w, h);
            if (!dirty.isNull()) std::memset(dirty.bits(), 0xAB, static_cast<size_t>(dirty.stride()) * h);
        }
        Picture unset(w, h, Picture::Uninitialized{});
        const Picture black(w, h);
        ASSERT_EQ(unset.width(), w);
        ASSERT_EQ(unset.height(), h);
        ASSERT_EQ(unset.stride(), black.stride());
        for (int y = 0; y < h; ++y)
            for (int p = 3 * w; p < unset.stride(); ++p) ASSERT_EQ(unset.row(y)[p], 0) << w << "x" << h;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) unset.setPixelValue(x, y, x + 7 * y);
        const Picture copy = unset;
        EXPECT_TRUE(copy.samePixels(unset));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(copy.pixelValue(x, y), x + 7 * y);
    }
    EXPECT_THROW(Picture(-1, 3, Picture::Uninitialized{}), OutOfMemoryError);
}

TEST(BenchDisplay, PreparedPicturesOverMemoryLeftDirtyEqualTheLiteralPasses) {
    IntPlane source = ToggledImage(3);
    for (int round = 0; round < 2; ++round) {
        {
            Picture dirty(1000, 1000), dirty2(1000, 1000);
            std::memset(dirty.bits(), 0x5C, static_cast<size_t>(dirty.stride()) * 1000);
            std::memset(dirty2.bits(), 0xC5, static_cast<size_t>(dirty2.stride()) * 1000);
        }
        ShownImage shown;
        shown.width = shown.height = 1000;
        PrepareShownImage(source, shown);
        IntPlane levels = MakePlane(1000, 1000);
        for (int x = 0; x < 1000; ++x)
            for (int y = 0; y < 1000; ++y)
                levels[x][y] = DisplayLevel(source[x][y], shown.minimum, shown.mean, 50);
        Picture grey(1000, 1000), raw(1000, 1000);
        FillLevelPictures(levels, 1000, 1000, grey, raw);
        EXPECT_TRUE(grey.samePixels(shown.grey)) << round;
        EXPECT_TRUE(raw.samePixels(shown.raw)) << round;
    }
}
