#include <array>
#include <cmath>

#include "benchmark/workload.h"

namespace {

constexpr uint32_t kLcgMultiplier = 22695477u;
constexpr uint32_t kLcgIncrement = 1u;

// The affine map of `count` generator steps: state -> a * state + c (mod 2^32).
void JumpCoefficients(uint64_t count, uint32_t& a, uint32_t& c) {
    uint32_t accA = 1, accC = 0;  // identity
    uint32_t stepA = kLcgMultiplier, stepC = kLcgIncrement;
    while (count != 0) {
        if (count & 1u) {
            accA = accA * stepA;
            accC = accC * stepA + stepC;
        }
        stepC = stepC * stepA + stepC;
        stepA = stepA * stepA;
        count >>= 1;
    }
    a = accA;
    c = accC;
}

}  // namespace

void BenchRandom::skip(uint64_t count) {
    uint32_t a, c;
    JumpCoefficients(count, a, c);
    m_state = a * m_state + c;
}

BenchRandom& ProcessRandom() {
    static BenchRandom random(1);
    return random;
}

void FillBackground(IntPlane& plane, int width, int height, BenchRandom& random) {
    // The generator is sequential; eight lanes each jump eight steps at a time so the loop carries
    // no dependency from one sample to the next. trunc((r + 32768) * 0.001L + 1000) equals
    // 1000 + (r + 32768) / 1000 for every r (the tests check all of them).
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    int32_t* out = plane.data();
    const uint32_t start = random.m_state;
    size_t i = 0;
    constexpr int kLanes = 8;
    if (count >= kLanes) {
        uint32_t a8, c8;
        JumpCoefficients(kLanes, a8, c8);
        uint32_t lane[kLanes];
        uint32_t s = start;
        for (int j = 0; j < kLanes; ++j) {
            s = s * kLcgMultiplier + kLcgIncrement;
            lane[j] = s;
        }
        for (; i + kLanes <= count; i += kLanes) {
            for (int j = 0; j < kLanes; ++j) {
                const uint32_t r = (lane[j] >> 16) & 0x7FFFu;
                out[i + j] = static_cast<int32_t>(1000u + (r + 32768u) / 1000u);
                lane[j] = lane[j] * a8 + c8;
            }
        }
    }
    BenchRandom rest(start);
    rest.skip(i);
    for (; i < count; ++i) {
        const uint32_t r = static_cast<uint32_t>(rest.next());
        out[i] = static_cast<int32_t>(1000u + (r + 32768u) / 1000u);
    }
    random = rest;
}

long double StarProfile(int dx, int dy) {
    return 15000 * expl(-static_cast<long double>(dx * dx + dy * dy) * 0.1L);
}

void AddStars(IntPlane& plane, BenchRandom& random) {
    // The profile depends only on the offsets: 400 extended values computed once.
    static const std::array<long double, 400> profile = [] {
        std::array<long double, 400> table{};
        for (int dx = -10; dx < 10; ++dx)
            for (int dy = -10; dy < 10; ++dy) table[(dx + 10) * 20 + (dy + 10)] = StarProfile(dx, dy);
        return table;
    }();
    for (int cx = 100; cx <= 900; cx += 100) {
        for (int cy = 100; cy <= 900; cy += 100) {
            for (int dx = -10; dx < 10; ++dx) {
                int32_t* column = plane[cx + dx] + cy;
                const long double* weights = &profile[(dx + 10) * 20];
                for (int dy = -10; dy < 10; ++dy) {
                    int32_t& p = column[dy];
                    const double e = static_cast<double>(weights[dy + 10] + static_cast<long double>(p));
                    const int r = random.next();
                    const long double v = (static_cast<long double>(90 * r) / 32768 + e) - 45;
                    p = static_cast<int32_t>(v);
                }
            }
        }
    }
}

void GenerateImage(IntPlane& plane, BenchRandom& random) {
    FillBackground(plane, kBenchSide, kBenchSide, random);
    AddStars(plane, random);
}
