#include <algorithm>
#include <cstring>
#include <vector>

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

namespace {

// One pixel of each picture, the literal way (used at the edges of the tiles).
inline void PutLevel(int32_t level, uint8_t* grey, uint8_t* raw) {
    const uint8_t byte = static_cast<uint8_t>(level);
    grey[0] = byte;
    grey[1] = byte;
    grey[2] = byte;
    EncodeRawValue(level, raw);
}

inline void Store32(uint8_t* at, uint32_t v) {
    std::memcpy(at, &v, 4);
}

// Four levels a, b, c, d (0..255) as 12 grey bytes (each level three times) and 12 raw-value
// bytes (0, 0, level per pixel), three little-endian words each.
inline void PutFourLevels(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint8_t* grey, uint8_t* raw) {
    Store32(grey, a * 0x010101u | b << 24);
    Store32(grey + 4, b * 0x0101u | c * 0x01010000u);
    Store32(grey + 8, c | d * 0x01010100u);
    Store32(raw, a << 16);
    Store32(raw + 4, b << 8);
    Store32(raw + 8, c | d << 24);
}

}  // namespace

void FillLevelPictures(const IntPlane& levels, int width, int height, Picture& grey, Picture& raw) {
    // Rows outer as the pictures are laid out; the column reads of one row hit the cache lines the
    // previous rows brought in. Four pixels go out as three words per picture.
    const int groups = width / 4;
    for (int y = 0; y < height; ++y) {
        uint8_t* g = grey.row(y);
        uint8_t* r = raw.row(y);
        for (int q = 0; q < groups; ++q, g += 12, r += 12) {
            const int x = 4 * q;
            PutFourLevels(static_cast<uint8_t>(levels[x][y]), static_cast<uint8_t>(levels[x + 1][y]),
                          static_cast<uint8_t>(levels[x + 2][y]), static_cast<uint8_t>(levels[x + 3][y]), g,
                          r);
        }
        for (int x = 4 * groups; x < width; ++x, g += 3, r += 3) PutLevel(levels[x][y], g, r);
    }
}

namespace {

// Levels of the samples minimum + t for t = 0 .. size-1, as DisplayLevel gives them. The level
// never decreases with t while (v - minimum) * scale stays inside 32 bits, so past the first t at
// 255 every level is 255, and below the minimum every level is 0.
class LevelTable {
  public:
    LevelTable(int32_t minimum, double mean, int scale) : m_minimum(minimum) {
        m_limit = scale > 0 ? (int64_t{1} << 31) / scale : 0;
        constexpr int64_t kMaxSize = 1 << 20;
        for (int64_t t = 0; t < kMaxSize && t < m_limit; ++t) {
            const int level = DisplayLevel(static_cast<int32_t>(minimum + t), minimum, mean, scale);
            m_levels.push_back(static_cast<uint8_t>(level));
            if (level == 255) {
                m_saturated = true;
                break;
            }
        }
    }
    // The level of v, or -1 where the table does not know it.
    int level(int32_t v) const {
        const int64_t t = static_cast<int64_t>(v) - m_minimum;
        if (t >= 0 && t < static_cast<int64_t>(m_levels.size())) return m_levels[static_cast<size_t>(t)];
        if (t < 0 && -t < m_limit) return 0;
        if (t > 0 && t < m_limit && m_saturated) return 255;
        return -1;
    }

    bool saturated() const { return m_saturated; }
    int64_t limit() const { return m_limit; }
    // 0 (below the minimum), the table, 255 (at and past saturation), for a clamped index t + 1.
    std::vector<uint8_t> clampedLevels() const {
        std::vector<uint8_t> out;
        out.reserve(m_levels.size() + 2);
        out.push_back(0);
        out.insert(out.end(), m_levels.begin(), m_levels.end());
        out.push_back(255);
        return out;
    }

  private:
    int32_t m_minimum;
    int64_t m_limit = 0;
    bool m_saturated = false;
    std::vector<uint8_t> m_levels;
};

}  // namespace

void FillLevelRowsFromSamples(const IntPlane& samples, int width, int height, int32_t minimum, double mean,
                              int scale, LevelRows& levels) {
    if (!(mean - minimum >= 1.0 / 1024) || scale <= 0) {
        // A flat grid faults on the first sample, and a tiny span or an odd scale is rare: the
        // literal scaling, so every fault comes where the literal algorithm raises it.
        IntPlane scaled = MakePlane(width, height);
        std::memcpy(scaled.data(), samples.data(), static_cast<size_t>(width) * height * sizeof(int32_t));
        ScaleToLevels(scaled, width, height, minimum, mean, scale);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) levels.row(y)[x] = static_cast<uint8_t>(scaled[x][y]);
        return;
    }
    const LevelTable table(minimum, mean, scale);
    const auto levelOf = [&](int32_t v) {
        const int tabled = table.level(v);
        return static_cast<uint8_t>(tabled >= 0 ? tabled : DisplayLevel(v, minimum, mean, scale));
    };
    // 16 x 16 tiles: levels looked up along each column run (contiguous samples, no branches),
    // then written out as rows. A tile with a sample the table does not cover takes the
    // per-sample path.
    constexpr int kTile = 16;
    const int fullWidth = table.saturated() ? width - width % kTile : 0;
    const int fullHeight = table.saturated() ? height - height % kTile : 0;
    const std::vector<uint8_t> clamped = table.clampedLevels();
    const int64_t top = static_cast<int64_t>(clamped.size()) - 1;
    const int64_t limit = table.limit();
    uint8_t tile[kTile][kTile];  // [row][column]
    for (int y0 = 0; y0 < fullHeight; y0 += kTile) {
        for (int x0 = 0; x0 < fullWidth; x0 += kTile) {
            bool outside = false;
            for (int c = 0; c < kTile; ++c) {
                const int32_t* column = samples[x0 + c] + y0;
                for (int k = 0; k < kTile; ++k) {
                    const int64_t t = static_cast<int64_t>(column[k]) - minimum;
                    outside |= t <= -limit || t >= limit;
                    tile[k][c] = clamped[static_cast<size_t>(std::clamp<int64_t>(t + 1, 0, top))];
                }
            }
            if (outside) {
                for (int c = 0; c < kTile; ++c)
                    for (int k = 0; k < kTile; ++k) tile[k][c] = levelOf(samples[x0 + c][y0 + k]);
            }
            for (int k = 0; k < kTile; ++k) std::memcpy(levels.row(y0 + k) + x0, tile[k], kTile);
        }
        for (int x = fullWidth; x < width; ++x)
            for (int y = y0; y < y0 + kTile; ++y) levels.row(y)[x] = levelOf(samples[x][y]);
    }
    for (int y = fullHeight; y < height; ++y)
        for (int x = 0; x < width; ++x) levels.row(y)[x] = levelOf(samples[x][y]);
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
