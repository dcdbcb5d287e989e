// Codec and plane timings: the fast codecs beside byte-by-byte versions and (when available) cfitsio
// on the same 1000 x 1000 image, and nine-plane allocation beside mmap / calloc references.
#include <benchmark/benchmark.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/cfitsio_support.h"
#include "core/fits.h"
#include "core/pixel_buffer.h"
#include "core/plane.h"
#include "tests/core/fits_reference.h"

namespace {

constexpr int kSide = 1000;

std::string scratchPath(const char* name) {
    return "/tmp/hv_codecs_bench_" + std::to_string(getpid()) + name;
}

const IntPlane& testPlane() {
    static IntPlane plane = [] {
        IntPlane p = MakePlane(kSide, kSide);
        std::mt19937 rng(1);
        for (int x = 0; x < kSide; ++x)
            for (int y = 0; y < kSide; ++y) p[x][y] = static_cast<int32_t>(rng() & 0xFFFF);
        return p;
    }();
    return plane;
}

// The image as row-major unsigned 16-bit samples, for cfitsio.
const std::vector<unsigned short>& rowMajor() {
    static std::vector<unsigned short> rows = [] {
        std::vector<unsigned short> r(static_cast<size_t>(kSide) * kSide);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                r[static_cast<size_t>(y) * kSide + x] = testPlane()[x][y] & 0xFFFF;
        return r;
    }();
    return rows;
}

void BM_WriteFits(benchmark::State& state) {
    const std::string path = scratchPath("_w.fit");
    // Removed first, as cfitsio's "!" prefix does: both then create a new file (ext4 flushes a file
    // that was truncated and rewritten when it is closed).
    for (auto _ : state) {
        std::remove(path.c_str());
        WriteFits(path.c_str(), kSide, kSide, testPlane());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteFits)->Unit(benchmark::kMillisecond);

// putc per byte, the plain writer.
void BM_WriteFitsLiteral(benchmark::State& state) {
    const std::string path = scratchPath("_wl.fit");
    for (auto _ : state) {
        std::remove(path.c_str());
        if (!codec_test::literalWriteFits(path.c_str(), kSide, kSide, testPlane()))
            state.SkipWithError("plain write failed");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteFitsLiteral)->Unit(benchmark::kMillisecond);

void BM_ReadFits(benchmark::State& state) {
    const std::string path = scratchPath("_r.fit");
    WriteFits(path.c_str(), kSide, kSide, testPlane());
    std::vector<char> header(kFitsHeaderBufferBytes);
    for (auto _ : state) {
        int w, h, n, z;
        IntPlane plane;
        ReadFits(path.c_str(), header.data(), w, h, n, z, plane);
        benchmark::DoNotOptimize(plane[w - 1][h - 1]);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadFits)->Unit(benchmark::kMillisecond);

// getc per byte, the plain reader.
void BM_ReadFitsLiteral(benchmark::State& state) {
    const std::string path = scratchPath("_rl.fit");
    WriteFits(path.c_str(), kSide, kSide, testPlane());
    for (auto _ : state) {
        const codec_test::LiteralFits read = codec_test::literalReadFits(path.c_str());
        benchmark::DoNotOptimize(read.samples.data());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadFitsLiteral)->Unit(benchmark::kMillisecond);

#ifdef HV_HAVE_CFITSIO
// The image as row-major int32 samples: the sample type of a plane.
const std::vector<int>& rowMajorInt() {
    static std::vector<int> rows(rowMajor().begin(), rowMajor().end());
    return rows;
}

// cfitsio writing the same image as a 16-bit image from a row-major buffer prepared beforehand.
// Arg(0): from 16-bit samples (no conversion, its fastest path); Arg(1): from int32 samples, the
// sample type of a plane.
void BM_WriteFitsCfitsio(benchmark::State& state) {
    const std::string path = scratchPath("_wc.fit");
    const bool fromInt = state.range(0) != 0;
    // Shifted into the signed range cfitsio accepts for a 16-bit image without scaling.
    static std::vector<int> shifted = [] {
        std::vector<int> v(rowMajorInt());
        for (int& x : v) x = static_cast<short>(x);
        return v;
    }();
    for (auto _ : state) {
        const int status =
            fromInt ? CfitsioWriteImage(path, kSide, TINT, shifted.data())
                    : CfitsioWriteImage(path, kSide, TSHORT, const_cast<unsigned short*>(rowMajor().data()));
        if (status != 0) state.SkipWithError(("cfitsio write failed " + std::to_string(status)).c_str());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteFitsCfitsio)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// cfitsio reading the image. Arg(0): into a warm 16-bit buffer; Arg(1): into a warm int32 buffer,
// the sample type a plane holds.
void BM_ReadFitsCfitsio(benchmark::State& state) {
    const std::string path = scratchPath("_rc.fit");
    WriteFits(path.c_str(), kSide, kSide, testPlane());
    const bool toInt = state.range(0) != 0;
    const size_t count = static_cast<size_t>(kSide) * kSide;
    std::vector<short> shorts(count);
    std::vector<int> ints(count);
    for (auto _ : state) {
        fitsfile* f = nullptr;
        int status = 0;
        int anynul = 0;
        fits_open_file(&f, path.c_str(), READONLY, &status);
        if (toInt) {
            fits_read_img(f, TINT, 1, static_cast<LONGLONG>(count), nullptr, ints.data(), &anynul, &status);
        } else {
            fits_read_img(f, TSHORT, 1, static_cast<LONGLONG>(count), nullptr, shorts.data(), &anynul,
                          &status);
        }
        fits_close_file(f, &status);
        if (status != 0) state.SkipWithError(("cfitsio read failed " + std::to_string(status)).c_str());
        benchmark::DoNotOptimize(ints.data());
        benchmark::DoNotOptimize(shorts.data());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadFitsCfitsio)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif

// The in-memory halves of the codecs, without the file system.
void BM_EncodeFits(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<uint8_t> bytes = EncodeFits(kSide, kSide, testPlane());
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_EncodeFits)->Unit(benchmark::kMillisecond);

void BM_DecodeFits(benchmark::State& state) {
    const std::vector<uint8_t> bytes = EncodeFits(kSide, kSide, testPlane());
    for (auto _ : state) {
        int w, h, n, z;
        IntPlane plane;
        DecodeFits(bytes.data(), bytes.size(), nullptr, w, h, n, z, plane);
        benchmark::DoNotOptimize(plane[w - 1][h - 1]);
    }
}
BENCHMARK(BM_DecodeFits)->Unit(benchmark::kMillisecond);

constexpr int kPlanes = 9;
constexpr size_t kPlaneBytes = size_t{kSide} * kSide * sizeof(int32_t);

// Arg(0): fresh memory each time, as at the start of a benchmark run; Arg(1): the blocks of the
// previous iteration's planes are reused.
void BM_AllocNinePlanes(benchmark::State& state) {
    const bool reuse = state.range(0) != 0;
    ReleaseCachedPixelMemory();
    for (auto _ : state) {
        IntPlane planes[kPlanes];
        for (auto& p : planes) AllocPlane(kSide, kSide, p);
        benchmark::DoNotOptimize(planes[kPlanes - 1][kSide - 1][kSide - 1]);
        state.PauseTiming();
        for (auto& p : planes) FreePlane(kSide, kSide, p);
        if (!reuse) ReleaseCachedPixelMemory();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AllocNinePlanes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Reference: 2 MiB-aligned anonymous maps offered to huge pages, every byte written once.
void BM_AllocNineHugeMapsReference(benchmark::State& state) {
    constexpr size_t kHuge = size_t{2} << 20;
    const size_t length = (kPlaneBytes + kHuge - 1) / kHuge * kHuge;
    for (auto _ : state) {
        void* raw[kPlanes];
        for (auto& r : raw) {
            r = mmap(nullptr, length + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            char* aligned =
                reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(r) + kHuge - 1) / kHuge * kHuge);
            madvise(aligned, length, MADV_HUGEPAGE);
            std::memset(aligned, 0, kPlaneBytes);
        }
        benchmark::DoNotOptimize(raw);
        state.PauseTiming();
        for (auto& r : raw) munmap(r, length + kHuge);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AllocNineHugeMapsReference)->Unit(benchmark::kMillisecond);

// Reference: calloc (which maps big blocks afresh) and a zeroing pass, on ordinary 4 KiB pages.
void BM_AllocNineCallocReference(benchmark::State& state) {
    for (auto _ : state) {
        void* blocks[kPlanes];
        for (auto& b : blocks) {
            b = std::calloc(kPlaneBytes, 1);
            benchmark::DoNotOptimize(b);  // keeps the compiler from dropping the zeroing pass
            std::memset(b, 0, kPlaneBytes);
        }
        benchmark::DoNotOptimize(blocks);
        state.PauseTiming();
        for (auto& b : blocks) std::free(b);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AllocNineCallocReference)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
