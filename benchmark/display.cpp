#include <algorithm>

#include "benchmark/workload.h"
#include "core/fparith.h"
#include "view/view_model.h"

GridStatistics StatisticsWithVariance(const IntPlane& plane, int width, int height) {
    const SampleStats stats = SampleStatistics(plane, width, height);
    double squares = 0.0;
    for (int x = 10; x < width - 10; x += 4) {
        const int32_t* column = plane[x];
        for (int y = 10; y < height - 10; y += 4) {
            const double d = column[y] - stats.mean;
            squares += d * d;
        }
    }
    GridStatistics result;
    result.mean = stats.mean;
    result.minimum = stats.minimum;
    result.variance = CheckedDivide(squares, stats.count - 1.0);
    return result;
}

void ScaleToLevels(IntPlane& plane, int width, int height, int32_t minimum, double mean, int scale) {
    const double span = mean - minimum;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    int32_t* v = plane.data();
    if (!(span >= 1.0)) {
        // A span below one (or zero, or not a number) can push the quotient out of the integer
        // range or fault: take the literal path sample by sample.
        for (int x = 0; x < width; ++x) {
            int32_t* column = plane[x];
            for (int y = 0; y < height; ++y) column[y] = DisplayLevel(column[y], minimum, mean, scale);
        }
        return;
    }
    // |d| < 2^31 and span >= 1 keep the quotient inside the integer range, so truncating after the
    // clamp to 0..255 gives what truncating first and clamping after gives.
    const uint32_t m = static_cast<uint32_t>(minimum);
    const uint32_t k = static_cast<uint32_t>(scale);
    for (size_t i = 0; i < count; ++i) {
        const int32_t d = static_cast<int32_t>((static_cast<uint32_t>(v[i]) - m) * k);
        const double q = static_cast<double>(d) / span;
        v[i] = static_cast<int32_t>(std::min(std::max(q, 0.0), 255.0));
    }
}

void FillLevelPictures(const IntPlane& levels, int width, int height, Picture& grey, Picture& raw) {
    // The plane is column-major and the pictures row-major: walk bands of rows so that each column
    // is read in short contiguous runs while a few rows are written side by side.
    constexpr int kBand = 16;
    for (int y0 = 0; y0 < height; y0 += kBand) {
        const int rows = std::min(kBand, height - y0);
        uint8_t* greyRows[kBand];
        uint8_t* rawRows[kBand];
        for (int k = 0; k < rows; ++k) {
            greyRows[k] = grey.row(y0 + k);
            rawRows[k] = raw.row(y0 + k);
        }
        for (int x = 0; x < width; ++x) {
            const int32_t* column = levels[x] + y0;
            for (int k = 0; k < rows; ++k) {
                const int32_t level = column[k];
                uint8_t* g = greyRows[k] + 3 * x;
                const uint8_t byte = static_cast<uint8_t>(level);
                g[0] = byte;
                g[1] = byte;
                g[2] = byte;
                EncodeRawValue(level, rawRows[k] + 3 * x);
            }
        }
    }
}

void AddPlane(IntPlane& accumulator, const IntPlane& add, int width, int height) {
    // Both planes keep their samples in one column-major block, so the sum is one flat loop.
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    uint32_t* __restrict acc = reinterpret_cast<uint32_t*>(accumulator.data());
    const uint32_t* __restrict src = reinterpret_cast<const uint32_t*>(add.data());
    for (size_t i = 0; i < count; ++i) acc[i] += src[i];
}

Kernel MakeAccumulatorKernel() {
    Kernel kernel = MakeKernel(kBenchKernelSide, kBenchKernelSide);
    kernel[2][2] = 1.0;
    kernel[2][1] = -0.0;
    kernel[2][3] = -0.0;
    kernel[1][2] = -0.0;
    kernel[3][2] = -0.0;
    return kernel;
}

uint64_t PlaneChecksum(const IntPlane& plane, int width, int height) {
    uint64_t hash = 0xcbf29ce484222325ull;
    constexpr uint64_t kPrime = 0x100000001b3ull;
    for (int x = 0; x < width; ++x) {
        const int32_t* column = plane[x];
        for (int y = 0; y < height; ++y) {
            const uint32_t v = static_cast<uint32_t>(column[y]);
            for (int b = 0; b < 4; ++b) {
                hash ^= (v >> (8 * b)) & 0xFFu;
                hash *= kPrime;
            }
        }
    }
    return hash;
}
