// Results people keep and compare (Qt-free): the figures of a recorded benchmark invocation, the
// checksum each run number must give, the statistics over runs, the rule that repeats a benchmark
// until it is stable, and the side-by-side comparison of several results.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "benchmark/stages.h"
#include "benchmark/workload.h"

// ---- checksums ----

// The checksum of the convolved accumulator is fixed by the run number within a fresh process (the
// generator starts at state 1 and continues from run to run). Known for runs 1 .. 50.
inline constexpr int kKnownChecksumRuns = 50;
std::optional<uint64_t> KnownChecksum(int run);

enum class ChecksumState { Valid, Invalid, Unchecked };  // Unchecked: run number beyond the table
ChecksumState CheckChecksum(int run, uint64_t checksum);
const char* ChecksumStateName(ChecksumState state);  // "valid", "invalid", "unchecked"

// ---- one result: an invocation of the benchmark with its runs ----

struct RunFigures {
    int run = 0;  // 1-based, within its process
    std::array<int32_t, kStageCount> ms{};
    std::array<int64_t, kStageCount> us{};
    int score = 0;
    uint64_t checksum = 0;
    ChecksumState checksumState = ChecksumState::Unchecked;
    // A run whose checksum differs never counts in a median.
    bool counts() const { return checksumState != ChecksumState::Invalid; }
};

struct MachineFacts {
    std::string cpu;
    int logicalCpus = 0;
    long long memoryMb = 0;  // installed, in units of 1 000 000 bytes
    std::string os;          // the system's own name
    std::string kernel;
};

struct ProgramFacts {
    std::string version, buildType, compiler;
};

struct BenchResult {
    long long id = 0;    // the recorded invocation's id; 0 for a result read from a file
    std::string source;  // how it was named: "#<id>" or the file's path
    std::string date;    // ISO 8601 local date and time of the invocation
    ProgramFacts program;
    MachineFacts machine;
    std::string repeat;  // "auto" or the count asked for
    bool stable = false;
    std::vector<RunFigures> runs;
};

// ---- statistics ----

struct Range {
    double median = 0, min = 0, max = 0;
    int count = 0;
};
// Median (mean of the middle two for an even count), minimum and maximum; none for no values.
std::optional<Range> Summarize(std::vector<double> values);
// (max - min) / median; 0 for equal values, infinite for a zero median with unequal values.
double RelativeSpread(const Range& range);
// The closed ranges [min, max] share at least one value.
bool RangesOverlap(const Range& a, const Range& b);

// The figures a comparison shows: the six stage times in ms (from the high-resolution clock) and
// the score.
inline constexpr int kFigureCount = kStageCount + 1;
inline constexpr int kScoreFigure = kStageCount;
struct FigureInfo {
    std::string key;      // the stage's JSON key, or "score"
    std::string caption;  // the result window's caption
    std::string unit;     // "ms" or "ポイント"
};
FigureInfo FigureOf(int figure);
double FigureValue(const RunFigures& run, int figure);
// Over the runs that count.
std::optional<Range> FigureRange(const BenchResult& result, int figure);
int CountingRuns(const BenchResult& result);

// ---- repeating until stable ----

struct RepeatRule {
    int window = 5;           // the last this many totals ...
    double maxSpread = 0.03;  // ... spread at most this much (max - min over median)
    int minRuns = 5;
    int maxRuns = 50;
};

// Watches the totals (high-resolution ms, as compared and reported) of the runs as they come.
class RepeatWatch {
  public:
    explicit RepeatWatch(RepeatRule rule = {}) : m_rule(rule) {}
    void add(const RunFigures& run);
    int runs() const { return m_runs; }
    // The last window of counting runs' totals lies within the spread.
    bool stable() const;
    // Stable after at least minRuns, or maxRuns reached.
    bool finished() const;

  private:
    RepeatRule m_rule;
    int m_runs = 0;
    std::vector<double> m_totals;  // of the counting runs
};

// Runs runOnce(run number) until the watch has finished; returns whether it became stable.
bool RepeatUntilStable(const RepeatRule& rule, const std::function<RunFigures(int run)>& runOnce,
                       std::vector<RunFigures>& runs);

// ---- comparison ----

struct CompareCell {
    std::optional<Range> range;   // none when the result has no counting run
    std::optional<double> ratio;  // median over the first result's median
    bool insideNoise = false;     // its range overlaps the first result's
};
struct CompareRow {
    FigureInfo figure;
    std::vector<CompareCell> cells;  // one per result, the first is the reference
};
std::vector<CompareRow> Compare(const std::vector<BenchResult>& results);

// ---- texts ----

// "Intel(R) Xeon(R) Processor, 2026-12-08 05:13": what a chart group or a column is labelled with.
std::string ResultLabel(const BenchResult& result);
// How many runs, and how many of them are not valid: "3", "3 (1 not valid)"; with the word " runs":
// "3 runs (1 not valid)".
std::string RunsText(const BenchResult& result, const char* word = "");
// The comparison as a table for a terminal.
std::string CompareText(const std::vector<BenchResult>& results, const std::vector<CompareRow>& rows);
// The recorded invocations as a table, one per line.
std::string ResultsText(const std::vector<BenchResult>& results);
