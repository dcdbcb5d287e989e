// The benchmark's formulas written plainly: the reference the fast paths are compared with.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/plane.h"

namespace benchref {

struct Random {
    uint32_t state = 1;
    int next() {
        state = state * 22695477u + 1u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

// The 81 stars over whatever the plane holds, plainly.
inline void Stars(IntPlane& plane, Random& random) {
    for (int X = 100; X <= 900; X += 100)
        for (int Y = 100; Y <= 900; Y += 100)
            for (int dx = -10; dx <= 9; ++dx)
                for (int dy = -10; dy <= 9; ++dy) {
                    const int32_t p = plane[X + dx][Y + dy];
                    const double e =
                        static_cast<double>(15000 * expl(-(long double)(dx * dx + dy * dy) * 0.1L) + p);
                    const int r = random.next();
                    plane[X + dx][Y + dy] =
                        static_cast<int32_t>(std::trunc(((long double)(90 * r) / 32768 + e) - 45));
                }
}

// One 1000 x 1000 image, plainly: background, then the 81 stars, random numbers drawn in the run's order.
inline void Generate(IntPlane& plane, Random& random) {
    for (int x = 0; x < 1000; ++x)
        for (int y = 0; y < 1000; ++y) {
            const int r = random.next();
            plane[x][y] = static_cast<int32_t>(std::trunc((r + 32768) * 0.001L + 1000));
        }
    Stars(plane, random);
}

struct Stats {
    double mean = 0;
    int32_t minimum = 65536;
};

inline Stats Statistics(const IntPlane& plane, int w, int h) {
    double sum = 0, count = 0;
    Stats s;
    for (int x = 10; x < w - 10; x += 4)
        for (int y = 10; y < h - 10; y += 4) {
            sum += plane[x][y];
            count += 1;
            if (plane[x][y] < s.minimum) s.minimum = plane[x][y];
        }
    s.mean = sum / count;
    return s;
}

// For planes whose span (mean - minimum) is at least one, so every quotient fits an integer.
inline int Level(int32_t v, int32_t minimum, double mean, int scale) {
    const int32_t d = (v - minimum) * scale;
    const int level = static_cast<int>(d / (mean - minimum));
    return level > 255 ? 255 : level < 0 ? 0 : level;
}

}  // namespace benchref
