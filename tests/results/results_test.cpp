// Kept results: the known checksums against the plain generator, statistics, the repeat rule and
// the comparison.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "results/results.h"
#include "tests/benchmark/reference.h"

namespace {

// A run whose every stage took stageMs (high-resolution clock) and whose total took totalMs.
RunFigures ScriptedRun(int number, double totalMs, double stageMs = 1, int score = 100, bool valid = true) {
    RunFigures r;
    r.run = number;
    r.us.fill(std::llround(stageMs * 1000));
    r.us[static_cast<int>(Stage::Total)] = std::llround(totalMs * 1000);
    r.ms[static_cast<int>(Stage::Total)] = static_cast<int32_t>(totalMs);
    r.score = score;
    r.checksumState = valid ? ChecksumState::Valid : ChecksumState::Invalid;
    return r;
}

TEST(KnownChecksums, RunsOfAFreshProcessMatchThePlainGenerator) {
    for (int run : {1, 2, 50}) {
        BenchRandom start(1);
        start.skip(uint64_t(run - 1) * kBenchImageCount * kBenchRandomPerImage);
        benchref::Random random{start.state()};
        IntPlane image = MakePlane(1000, 1000), sum = MakePlane(1000, 1000), shifted = MakePlane(1000, 1000);
        for (int i = 0; i < kBenchImageCount; ++i) {
            benchref::Generate(image, random);
            for (int x = 0; x < 1000; ++x)
                for (int y = 0; y < 1000; ++y) sum[x][y] += image[x][y];
        }
        for (int x = 1; x < 1000; ++x)
            for (int y = 1; y < 1000; ++y) shifted[x][y] = sum[x - 1][y - 1];
        const uint64_t expected = PlaneChecksum(shifted, 1000, 1000);
        EXPECT_EQ(KnownChecksum(run), expected) << "run " << run;
        EXPECT_EQ(CheckChecksum(run, expected), ChecksumState::Valid);
        EXPECT_EQ(CheckChecksum(run, expected ^ 1), ChecksumState::Invalid);
    }
    EXPECT_EQ(CheckChecksum(0, 1), ChecksumState::Unchecked);
    EXPECT_EQ(CheckChecksum(kKnownChecksumRuns + 1, 1), ChecksumState::Unchecked);
    EXPECT_NE(KnownChecksum(1), KnownChecksum(2));
}

TEST(ResultStatistics, MedianRangeSpreadAndOverlap) {
    struct Case {
        std::vector<double> values;
        double median, min, max, spread;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {{3}, 3, 3, 3, 0},    {{4, 1, 3}, 3, 1, 4, 1},     {{10, 40, 20, 30}, 25, 10, 40, 1.2},
        {{0, 0}, 0, 0, 0, 0}, {{-1, 0, 1}, 0, -1, 1, inf},
    };
    for (const Case& c : cases) {
        const std::optional<Range> r = Summarize(c.values);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->median, c.median);
        EXPECT_EQ(r->min, c.min);
        EXPECT_EQ(r->max, c.max);
        EXPECT_EQ(r->count, static_cast<int>(c.values.size()));
        EXPECT_DOUBLE_EQ(RelativeSpread(*r), c.spread);
    }
    EXPECT_FALSE(Summarize({}));
    const Range a{5, 1, 10, 3}, touching{12, 10, 15, 3}, apart{20, 11, 30, 3};
    EXPECT_TRUE(RangesOverlap(a, touching));
    EXPECT_TRUE(RangesOverlap(touching, a));
    EXPECT_FALSE(RangesOverlap(a, apart));
    EXPECT_FALSE(RangesOverlap(apart, a));
}

TEST(RepeatAuto, StopsAtTheFirstStableWindow) {
    struct Case {
        const char* name;
        std::vector<double> totals;  // scripted totals in ms, in the order the runs give them
        std::vector<bool> invalid;   // runs (0-based) whose checksum differs
        int runs;
        bool stable;
    };
    std::vector<double> noisy;
    for (int i = 0; i < 60; ++i) noisy.push_back(i % 2 ? 100 : 110);
    std::vector<double> lateStable = noisy;
    for (int i = 20; i < 25; ++i) lateStable[i] = 105 + (i % 3);  // spread 2 / 106
    const Case cases[] = {
        {"stable at once", {100, 101, 102, 103, 102, 500}, {}, 5, true},
        {"exactly 3 %", {100, 103, 100, 100, 100}, {}, 5, true},
        {"just over 3 %", {100, 103.1, 100, 103.1, 100, 100, 101, 100, 100}, {}, 9, true},
        {"first window settles later", {200, 100, 101, 100, 101, 100, 999}, {}, 6, true},
        {"never stable: fifty runs", noisy, {}, 50, false},
        {"stable window found at run 25", lateStable, {}, 25, true},
        {"a run not valid does not count",
         {100, 100, 500, 100, 100, 100, 900},
         {false, false, true},
         6,
         true},
    };
    for (const Case& c : cases) {
        std::vector<RunFigures> runs;
        const bool stable = RepeatUntilStable(
            RepeatRule{},
            [&c](int number) {
                const size_t i = static_cast<size_t>(number - 1);
                return ScriptedRun(number, c.totals.at(i), 1, 100, !(i < c.invalid.size() && c.invalid[i]));
            },
            runs);
        EXPECT_EQ(static_cast<int>(runs.size()), c.runs) << c.name;
        EXPECT_EQ(stable, c.stable) << c.name;
        for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i].run, static_cast<int>(i) + 1) << c.name;
    }
}

TEST(ResultCompare, MediansRatiosAndNoiseOverCountingRunsOnly) {
    BenchResult a, b, none;
    a.runs = {ScriptedRun(1, 100, 10, 400), ScriptedRun(2, 120, 12, 300), ScriptedRun(3, 110, 11, 350)};
    // The run not valid would move every median and range of b.
    b.runs = {ScriptedRun(1, 200, 20, 200), ScriptedRun(2, 220, 11.5, 180),
              ScriptedRun(3, 1, 1, 9000, false)};
    none.runs = {ScriptedRun(1, 100, 1, 1, false)};
    const std::vector<CompareRow> rows = Compare({a, b, none});
    ASSERT_EQ(rows.size(), static_cast<size_t>(kFigureCount));
    const CompareRow& total = rows[static_cast<int>(Stage::Total)];
    EXPECT_EQ(total.figure.key, "total");
    EXPECT_EQ(total.cells[0].range->median, 110);
    EXPECT_EQ(total.cells[0].ratio, 1.0);
    EXPECT_EQ(total.cells[1].range->median, 210);
    EXPECT_EQ(total.cells[1].range->min, 200);
    EXPECT_DOUBLE_EQ(*total.cells[1].ratio, 210.0 / 110);
    EXPECT_FALSE(total.cells[1].insideNoise);
    const CompareRow& memory = rows[static_cast<int>(Stage::Memory)];
    EXPECT_DOUBLE_EQ(*memory.cells[1].ratio, 15.75 / 11);
    EXPECT_TRUE(memory.cells[1].insideNoise);  // 11.5 lies inside 10 .. 12
    const CompareRow& score = rows[kScoreFigure];
    EXPECT_EQ(score.figure.unit, "ポイント");
    EXPECT_DOUBLE_EQ(*score.cells[1].ratio, 190.0 / 350);
    EXPECT_FALSE(score.cells[2].range);
    EXPECT_FALSE(score.cells[2].ratio);
    EXPECT_EQ(CountingRuns(b), 2);
}

}  // namespace
