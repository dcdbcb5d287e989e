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

#include "core/fits.h"
#include "core/pixel_buffer.h"
#include "core/plane.h"

#ifdef HV_HAVE_CFITSIO
#include <fitsio.h>
#endif

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

// putc per byte, as the plain loop writes it.
void BM_WriteFitsLiteral(benchmark::State& state) {
    const std::string path = scratchPath("_wl.fit");
    const IntPlane& plane = testPlane();
    const std::vector<uint8_t> header = EncodeFits(kSide, kSide, plane);
    for (auto _ : state) {
        std::remove(path.c_str());
        FILE* fp = std::fopen(path.c_str(), "wb");
        for (int i = 0; i < 2880; ++i) std::putc(header[i], fp);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const int v = plane[x][y];
                std::putc((v / 256) & 0xFF, fp);
                std::putc(v & 0xFF, fp);
            }
        }
        for (int i = 0; i < kFitsTrailerBytes; ++i) std::putc(0, fp);
        std::fclose(fp);
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

void BM_ReadFitsLiteral(benchmark::State& state) {
    const std::string path = scratchPath("_rl.fit");
    WriteFits(path.c_str(), kSide, kSide, testPlane());
    for (auto _ : state) {
        FILE* fp = std::fopen(path.c_str(), "rb");
        char cards[100][80];
        for (int n = 0; n < 36; ++n)
            for (int i = 0; i < 80; ++i) cards[n][i] = static_cast<char>(std::getc(fp));
        benchmark::DoNotOptimize(cards);
        IntPlane plane = MakePlane(kSide, kSide);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const int hi = std::getc(fp);
                const int lo = std::getc(fp);
                plane[x][y] = hi * 256 + lo;
            }
        }
        std::fclose(fp);
        benchmark::DoNotOptimize(plane[kSide - 1][kSide - 1]);
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
    const std::string path = "!" + scratchPath("_wc.fit");
    const bool fromInt = state.range(0) != 0;
    for (auto _ : state) {
        fitsfile* f = nullptr;
        int status = 0;
        long naxes[2] = {kSide, kSide};
        fits_create_file(&f, path.c_str(), &status);
        fits_create_img(f, SHORT_IMG, 2, naxes, &status);
        if (fromInt) {
            std::vector<int>& rows = const_cast<std::vector<int>&>(rowMajorInt());
            // Shifted into the signed range cfitsio accepts for a 16-bit image without scaling.
            static std::vector<int> shifted = [&] {
                std::vector<int> v(rows);
                for (int& x : v) x = static_cast<short>(x);
                return v;
            }();
            fits_write_img(f, TINT, 1, static_cast<LONGLONG>(shifted.size()), shifted.data(), &status);
        } else {
            fits_write_img(f, TSHORT, 1, static_cast<LONGLONG>(rowMajor().size()),
                           const_cast<unsigned short*>(rowMajor().data()), &status);
        }
        fits_close_file(f, &status);
        if (status != 0) state.SkipWithError(("cfitsio write failed " + std::to_string(status)).c_str());
    }
    std::remove(path.c_str() + 1);
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
