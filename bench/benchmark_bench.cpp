// The benchmark run's stages against their floors, side by side in one process:
//   generation: fast path vs the plain reference;
//   file access: our FITS writer and reader vs cfitsio on the same image (when available);
//   memory: nine planes vs allocating and touching the same memory with huge pages;
//   composite: sixteen additions into the accumulator vs a plain loop over int32 arrays;
//   convolution: the engine vs the four-deep loop with the zero-weight skip;
//   display numerics: statistics, levels and both bitmap fills of one image.
#include <benchmark/benchmark.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/cfitsio_support.h"
#include "benchmark/workload.h"
#include "core/fits.h"
#include "filters/engine/kernel.h"
#include "tests/benchmark/reference.h"
#include "tests/engine/reference.h"

namespace {

constexpr int kSide = kBenchSide;
constexpr size_t kSamples = static_cast<size_t>(kSide) * kSide;

const IntPlane& SampleImage() {
    static IntPlane plane = [] {
        IntPlane p = MakePlane(kSide, kSide);
        BenchRandom random(1);
        GenerateImage(p, random);
        return p;
    }();
    return plane;
}

// A scratch directory under the working directory, as the run uses.
const std::string& ScratchDir() {
    static std::string dir = [] {
        std::string pattern = "./.hv-bench-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern;
    }();
    return dir;
}
struct ScratchCleanup {
    ~ScratchCleanup() {
        std::error_code error;
        if (!ScratchDir().empty()) std::filesystem::remove_all(ScratchDir(), error);
    }
} scratchCleanup;

// ---- generation ----

void BM_GenerateImage(benchmark::State& state) {
    IntPlane plane = MakePlane(kSide, kSide);
    BenchRandom random(1);
    for (auto _ : state) {
        GenerateImage(plane, random);
        benchmark::DoNotOptimize(plane.data());
    }
}
BENCHMARK(BM_GenerateImage)->Unit(benchmark::kMillisecond);

void BM_GenerateImageLiteral(benchmark::State& state) {
    IntPlane plane = MakePlane(kSide, kSide);
    benchref::Random random;
    for (auto _ : state) {
        benchref::Generate(plane, random);
        benchmark::DoNotOptimize(plane.data());
    }
}
BENCHMARK(BM_GenerateImageLiteral)->Unit(benchmark::kMillisecond);

// ---- file access ----

void BM_WriteFits(benchmark::State& state) {
    const std::string path = ScratchDir() + "/ours.fit";
    for (auto _ : state) WriteFits(path.c_str(), kSide, kSide, SampleImage());
}
BENCHMARK(BM_WriteFits)->Unit(benchmark::kMillisecond);

void BM_ReadFits(benchmark::State& state) {
    const std::string path = ScratchDir() + "/ours-read.fit";
    WriteFits(path.c_str(), kSide, kSide, SampleImage());
    std::vector<char> header(kFitsHeaderBufferBytes);
    for (auto _ : state) {
        IntPlane plane;
        int w = 0, h = 0, cards = 0, bzero = 0;
        ReadFits(path.c_str(), header.data(), w, h, cards, bzero, plane);
        benchmark::DoNotOptimize(plane.data());
    }
}
BENCHMARK(BM_ReadFits)->Unit(benchmark::kMillisecond);

#ifdef HV_HAVE_CFITSIO
// cfitsio gets the image already as row-major 16-bit samples, so only its own work is timed.
std::vector<short> RowMajorShorts() {
    std::vector<short> rows(kSamples);
    const IntPlane& p = SampleImage();
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            rows[static_cast<size_t>(y) * kSide + x] = static_cast<short>(p[x][y]);
    return rows;
}

void BM_CfitsioWrite(benchmark::State& state) {
    std::vector<short> rows = RowMajorShorts();
    const std::string path = ScratchDir() + "/cfitsio.fit";
    for (auto _ : state)
        if (CfitsioWriteImage(path, kSide, TSHORT, rows.data()) != 0)
            state.SkipWithError("cfitsio write failed");
}
BENCHMARK(BM_CfitsioWrite)->Unit(benchmark::kMillisecond);

void BM_CfitsioRead(benchmark::State& state) {
    std::vector<short> rows = RowMajorShorts();
    const std::string path = ScratchDir() + "/cfitsio-read.fit";
    if (CfitsioWriteImage(path, kSide, TSHORT, rows.data()) != 0) state.SkipWithError("cfitsio write failed");
    std::vector<short> out(kSamples);
    for (auto _ : state) {
        fitsfile* f = nullptr;
        int status = 0, anynul = 0;
        fits_open_file(&f, path.c_str(), READONLY, &status);
        fits_read_img(f, TSHORT, 1, static_cast<LONGLONG>(kSamples), nullptr, out.data(), &anynul, &status);
        fits_close_file(f, &status);
        if (status) state.SkipWithError("cfitsio read failed");
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_CfitsioRead)->Unit(benchmark::kMillisecond);
#endif

// ---- memory ----

void BM_MemoryStage(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<IntPlane> planes(kBenchPlaneCount);
        for (IntPlane& p : planes) AllocPlane(kSide, kSide, p);
        benchmark::DoNotOptimize(planes.data());
    }
}
BENCHMARK(BM_MemoryStage)->Unit(benchmark::kMillisecond);

void BM_HugePageFloor(benchmark::State& state) {
    const size_t bytes = kSamples * sizeof(int32_t);
    for (auto _ : state) {
        void* blocks[kBenchPlaneCount];
        for (void*& b : blocks) {
            b = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            madvise(b, bytes, MADV_HUGEPAGE);
            std::memset(b, 0, bytes);
        }
        benchmark::ClobberMemory();
        for (void* b : blocks) munmap(b, bytes);
    }
}
BENCHMARK(BM_HugePageFloor)->Unit(benchmark::kMillisecond);

// ---- composite ----

void BM_CompositeStage(benchmark::State& state) {
    std::vector<IntPlane> images;
    for (int i = 0; i < kBenchImageCount; ++i) {
        images.push_back(MakePlane(kSide, kSide));
        std::memcpy(images.back().data(), SampleImage().data(), kSamples * sizeof(int32_t));
    }
    IntPlane acc = MakePlane(kSide, kSide);
    for (auto _ : state) {
        for (const IntPlane& image : images) AddPlane(acc, image, kSide, kSide);
        benchmark::DoNotOptimize(acc.data());
    }
}
BENCHMARK(BM_CompositeStage)->Unit(benchmark::kMillisecond);

void BM_PlainAddFloor(benchmark::State& state) {
    std::vector<std::vector<int32_t>> images(kBenchImageCount, std::vector<int32_t>(kSamples, 1040));
    std::vector<int32_t> acc(kSamples, 0);
    for (auto _ : state) {
        for (const auto& image : images)
            for (size_t i = 0; i < kSamples; ++i) acc[i] += image[i];
        benchmark::DoNotOptimize(acc.data());
    }
}
BENCHMARK(BM_PlainAddFloor)->Unit(benchmark::kMillisecond);

// ---- convolution ----

IntPlane SummedImage() {
    IntPlane p = MakePlane(kSide, kSide);
    for (size_t i = 0; i < kSamples; ++i) p.data()[i] = SampleImage().data()[i] * 16;
    return p;
}

void BM_ConvolutionStage(benchmark::State& state) {
    const IntPlane source = SummedImage();
    IntPlane plane = MakePlane(kSide, kSide);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(plane.data(), source.data(), kSamples * sizeof(int32_t));
        Kernel kernel = MakeAccumulatorKernel();
        state.ResumeTiming();
        ConvolvePlane(7, 7, kernel, kSide, kSide, plane);
        benchmark::DoNotOptimize(plane.data());
    }
}
BENCHMARK(BM_ConvolutionStage)->Unit(benchmark::kMillisecond);

void BM_ConvolutionLiteral(benchmark::State& state) {
    const IntPlane source = SummedImage();
    IntPlane plane = MakePlane(kSide, kSide);
    for (auto _ : state) {
        std::memcpy(plane.data(), source.data(), kSamples * sizeof(int32_t));
        Kernel k = MakeAccumulatorKernel();
        engine_ref::ConvolvePlane(7, 7, k, kSide, kSide, plane);
        benchmark::DoNotOptimize(plane.data());
    }
}
BENCHMARK(BM_ConvolutionLiteral)->Unit(benchmark::kMillisecond);

// ---- display numerics of one image (the window set-up is in the GUI benchmark) ----

void BM_DisplayNumerics(benchmark::State& state) {
    IntPlane plane = MakePlane(kSide, kSide);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(plane.data(), SampleImage().data(), kSamples * sizeof(int32_t));
        ToggleOffset(32768, kSide, kSide, plane);
        state.ResumeTiming();
        const GridStatistics stats = StatisticsWithVariance(plane, kSide, kSide);
        ScaleToLevels(plane, kSide, kSide, stats.minimum, stats.mean, kBenchLevelScale);
        Picture grey(kSide, kSide), raw(kSide, kSide);
        FillLevelPictures(plane, kSide, kSide, grey, raw);
        benchmark::DoNotOptimize(grey.bits());
        benchmark::DoNotOptimize(raw.bits());
    }
}
BENCHMARK(BM_DisplayNumerics)->Unit(benchmark::kMillisecond);

// The sample image as the display stage receives it (offset folded), and its grid statistics.
struct FoldedImage {
    IntPlane plane;
    GridStatistics stats;
};
FoldedImage FoldedSample() {
    FoldedImage folded{MakePlane(kSide, kSide), {}};
    std::memcpy(folded.plane.data(), SampleImage().data(), kSamples * sizeof(int32_t));
    ToggleOffset(32768, kSide, kSide, folded.plane);
    folded.stats = StatisticsWithVariance(folded.plane, kSide, kSide);
    return folded;
}

// The bitmap fills alone, against the plain per-pixel loop (rows outer).
IntPlane LevelPlane() {
    FoldedImage folded = FoldedSample();
    ScaleToLevels(folded.plane, kSide, kSide, folded.stats.minimum, folded.stats.mean, kBenchLevelScale);
    return std::move(folded.plane);
}

void BM_FillPictures(benchmark::State& state) {
    const IntPlane levels = LevelPlane();
    Picture grey(kSide, kSide), raw(kSide, kSide);
    for (auto _ : state) {
        FillLevelPictures(levels, kSide, kSide, grey, raw);
        benchmark::DoNotOptimize(grey.bits());
        benchmark::DoNotOptimize(raw.bits());
    }
}
BENCHMARK(BM_FillPictures)->Unit(benchmark::kMillisecond);

void BM_FillLevelRowsFromSamples(benchmark::State& state) {
    const auto [plane, stats] = FoldedSample();
    const std::shared_ptr<LevelRows> levels = LevelRows::Make(kSide, kSide);
    for (auto _ : state) {
        FillLevelRowsFromSamples(plane, kSide, kSide, stats.minimum, stats.mean, kBenchLevelScale, *levels);
        benchmark::DoNotOptimize(levels->row(0));
    }
}
BENCHMARK(BM_FillLevelRowsFromSamples)->Unit(benchmark::kMillisecond);

void BM_FillPicturesLiteral(benchmark::State& state) {
    const IntPlane levels = LevelPlane();
    Picture grey(kSide, kSide), raw(kSide, kSide);
    for (auto _ : state) {
        for (int y = 0; y < kSide; ++y) {
            uint8_t* g = grey.row(y);
            uint8_t* r = raw.row(y);
            for (int x = 0; x < kSide; ++x) {
                const int32_t level = levels[x][y];
                g[3 * x] = g[3 * x + 1] = g[3 * x + 2] = static_cast<uint8_t>(level);
                r[3 * x] = 0;
                r[3 * x + 1] = static_cast<uint8_t>(level / 256);
                r[3 * x + 2] = static_cast<uint8_t>(level - 256 * (level / 256));
            }
        }
        benchmark::DoNotOptimize(grey.bits());
        benchmark::DoNotOptimize(raw.bits());
    }
}
BENCHMARK(BM_FillPicturesLiteral)->Unit(benchmark::kMillisecond);

void BM_ScaleToLevels(benchmark::State& state) {
    const auto [plane, stats] = FoldedSample();
    IntPlane work = MakePlane(kSide, kSide);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), plane.data(), kSamples * sizeof(int32_t));
        state.ResumeTiming();
        ScaleToLevels(work, kSide, kSide, stats.minimum, stats.mean, kBenchLevelScale);
        benchmark::DoNotOptimize(work.data());
    }
}
BENCHMARK(BM_ScaleToLevels)->Unit(benchmark::kMillisecond);

void BM_Checksum(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(PlaneChecksum(SampleImage(), kSide, kSide));
}
BENCHMARK(BM_Checksum)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
