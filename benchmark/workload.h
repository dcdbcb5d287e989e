// The benchmark's workload (Qt-free): the process-wide generator, the synthetic star fields, the
// display-stage numerics, the composite, the accumulator convolution, the scratch files, the timed
// run itself, and the texts and figures of the result window.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "benchmark/stages.h"
#include "core/picture.h"
#include "core/plane.h"
#include "core/simd_level.h"
#include "core/system_info.h"
#include "filters/engine/kernel.h"

inline constexpr int kBenchImageCount = 16;
inline constexpr int kBenchSide = 1000;
inline constexpr int kBenchPlaneCount = 9;   // allocated in the memory stage
inline constexpr int kBenchKeptPlanes = 3;   // work plane, accumulator, spare plane
inline constexpr int kBenchLevelScale = 50;  // display levels between minimum and mean
inline constexpr int kBenchKernelSide = 7;
inline constexpr int kBenchRandomPerImage = 1032400;  // 1000 x 1000 background + 81 x 400 stars

// Linear congruential generator: state = state * 22695477 + 1 (mod 2^32), r = (state >> 16) & 0x7FFF.
class BenchRandom {
  public:
    explicit BenchRandom(uint32_t state = 1) : m_state(state) {}
    int next() {
        m_state = m_state * 22695477u + 1u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }
    uint32_t state() const { return m_state; }
    // Advances by count draws without producing them (jump-ahead in O(log count)).
    void skip(uint64_t count);

  private:
    friend void FillBackgroundOn(SimdLevel level, IntPlane& plane, int width, int height,
                                 BenchRandom& random);
    uint32_t m_state;
};

// The process-wide generator: state 1 when the process starts, never reseeded, so a second run in
// the same process continues the sequence.
BenchRandom& ProcessRandom();

// Background of one image: plane[x][y] = 1000 + (r + 32768) div 1000, x outer, y inner (values
// 1032..1065). Consumes width * height draws.
void FillBackground(IntPlane& plane, int width, int height, BenchRandom& random);
// The same at a pinned SIMD level (std::invalid_argument when this processor lacks it).
void FillBackgroundOn(SimdLevel level, IntPlane& plane, int width, int height, BenchRandom& random);
// The 81 stars at 100, 200, ..., 900 in each axis, each a 20 x 20 window (offsets -10..9) raised by
// 15000 exp(-0.1 (dx^2 + dy^2)) with noise 90 r / 32768 - 45, in extended precision. Consumes
// 81 * 400 draws. The plane must be at least 910 x 910.
void AddStars(IntPlane& plane, BenchRandom& random);
// Background then stars: one benchmark image.
void GenerateImage(IntPlane& plane, BenchRandom& random);
// 15000 * exp(-0.1 (dx^2 + dy^2)) in extended precision, dx and dy in -10..9.
long double StarProfile(int dx, int dy);

// Display stage numerics.
struct GridStatistics {
    double mean = 0;
    int32_t minimum = 65536;
    double variance = 0;  // sample variance over the statistics grid
};
// SampleStatistics, then the squared differences from the mean over the same grid, divided by
// count - 1 (FloatingPointError for a grid of one sample).
GridStatistics StatisticsWithVariance(const IntPlane& plane, int width, int height);
// Every sample replaced in place by DisplayLevel(v, minimum, mean, scale).
void ScaleToLevels(IntPlane& plane, int width, int height, int32_t minimum, double mean, int scale);
// grey: all three bytes of pixel (x, y) = plane[x][y]; raw: EncodeRawValue(plane[x][y]). Both
// pictures must be width x height; the plane holds levels 0..255.
void FillLevelPictures(const IntPlane& levels, int width, int height, Picture& grey, Picture& raw);
// ScaleToLevels into level rows in one pass over the samples, leaving them unchanged: the levels
// come from a table of the few samples between the minimum and the first level 255. levels must
// be width x height.
void FillLevelRowsFromSamples(const IntPlane& samples, int width, int height, int32_t minimum, double mean,
                              int scale, LevelRows& levels);
// The same at a pinned SIMD level (std::invalid_argument when this processor lacks it).
void FillLevelRowsFromSamplesOn(SimdLevel level, const IntPlane& samples, int width, int height,
                                int32_t minimum, double mean, int scale, LevelRows& levels);

// accumulator[x][y] += add[x][y] in 32-bit integer arithmetic (wrapping).
void AddPlane(IntPlane& accumulator, const IntPlane& add, int width, int height);
// The same at a pinned SIMD level (std::invalid_argument when this processor lacks it).
void AddPlaneOn(SimdLevel level, IntPlane& accumulator, const IntPlane& add, int width, int height);
// The 7 x 7 accumulator kernel: 1.0 at [2][2], -0.0 at [2][1], [2][3], [1][2], [3][2], 0.0 elsewhere.
Kernel MakeAccumulatorKernel();

// FNV-1a 64 over the plane's int32 samples as little-endian bytes, x outer, y inner.
uint64_t PlaneChecksum(const IntPlane& plane, int width, int height);
// 16 lowercase hex digits.
std::string ChecksumText(uint64_t checksum);

// Result window figures.
// (double)((long double)ms * 0.001).
double MillisecondsToSeconds(int32_t ms);
// The seconds in the general real format ("1.234", "0.5", "2", "0").
std::string SecondsText(int32_t ms);
// 4 * trunc(1000 / seconds) with the quotient in extended precision; a zero time is a division
// by zero (FloatingPointError).
int ScoreFromSeconds(double seconds);
// The operating-system naming rule over the platform id and the version numbers.
std::string OsName(const OsVersionInfo& info);
// trunc((long double)bytes * 0.000001L): the unit is 1 000 000 bytes.
long long MemoryMegabytes(uint64_t bytes);

// Scratch files of one run: a fresh private directory holding 0.fit ... 15.fit. Everything this
// object created is removed when it goes, whatever path the run took; nothing else is touched.
class ScratchFiles {
  public:
    // Makes the directory inside the first parent that accepts one (mkdtemp). Throws FileError
    // when none does.
    explicit ScratchFiles(const std::vector<std::string>& parents);
    ~ScratchFiles();
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;

    // The working directory, then the system's temporary directory.
    static std::vector<std::string> defaultParents();

    const std::string& directory() const { return m_directory; }
    // The path of scratch file i ("<dir>/<i>.fit").
    std::string path(int index) const;
    // Records that file i may exist now, so that it is removed at the end.
    void noteWritten(int index);
    // Removes the written files and the directory now (also done by the destructor).
    void removeAll();
    // Moves the written files into target (made if missing; files of the same names replaced),
    // then removes the directory. Throws FileError when a file cannot be moved.
    void moveInto(const std::string& target);

    // Test hook: maps a file index to another path instead of "<dir>/<i>.fit" (a location that
    // cannot be written, for instance).
    std::function<std::string(int)> pathOverride;

  private:
    std::string m_directory;
    std::vector<bool> m_written;
};

// One image as the display stage hands it to the window that shows it.
struct ShownImage {
    std::string caption;      // "0.fit" ...
    std::string scratchPath;  // where the image's file lies during the run
    int width = 0;
    int height = 0;
    double mean = 0;
    int32_t minimum = 0;
    Picture grey;  // display image: the levels as grey
    Picture raw;   // stored image: the levels as raw values (both share the levels)
};

// The display stage's numerics for one image: statistics with the variance, then the two
// pictures of its levels (shown.width and shown.height give the size).
void PrepareShownImage(const IntPlane& display, ShownImage& shown);

struct WorkloadClock {
    std::function<uint32_t()> tick;  // millisecond tick counter (32-bit, differences wrap)
};

struct WorkloadFigures {
    // Tick-counter milliseconds, 32-bit differences accumulated per stage (indexed by Stage).
    std::array<int32_t, kStageCount> ms{};
    // The same intervals from a high-resolution clock read beside the tick counter.
    std::array<int64_t, kStageCount> us{};
    int score = 0;
    uint64_t checksum = 0;  // of the convolved accumulator

    int32_t msOf(Stage stage) const { return ms[static_cast<int>(stage)]; }
    int64_t usOf(Stage stage) const { return us[static_cast<int>(stage)]; }
};

struct WorkloadOptions {
    std::vector<std::string> scratchParents;  // empty: ScratchFiles::defaultParents()
    std::string keepImagesDir;                // move the files here after the timing (empty: delete)
    std::function<std::string(int)> scratchPathOverride;  // test hook, see ScratchFiles
};

// The timed run from just after the confirmation to the score. show is called once per image in
// the display stage, inside its interval, and sets up the window. A failure (FileError,
// OutOfMemoryError, a floating-point fault) removes the scratch files and propagates; no figures.
WorkloadFigures RunWorkload(BenchRandom& random, const WorkloadClock& clock,
                            const std::function<void(ShownImage&)>& show,
                            const WorkloadOptions& options = {});
