// The picture of PPM planes.
#include "shell/image_files.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(PictureFromPlanes, LowBytesOfEachPlane) {
    const struct { int w, h; } sizes[] = {{1, 1}, {3, 1}, {1, 40}, {5, 16}, {7, 17}, {31, 33}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(testing::Message() << s.w << " x " << s.h);
        IntPlane r = MakePlane(s.w, s.h), g = MakePlane(s.w, s.h), b = MakePlane(s.w, s.h);
        std::mt19937 rng(static_cast<unsigned>(s.w * 7 + s.h));
        for (int x = 0; x < s.w; ++x)
            for (int y = 0; y < s.h; ++y) {
                r[x][y] = static_cast<int32_t>(rng() % 1024) - 300;  // beyond 0..255: low byte kept
                g[x][y] = static_cast<int32_t>(rng() % 256);
                b[x][y] = static_cast<int32_t>(rng() % 70000);
            }
        const Picture pic = PictureFromPlanes(s.w, s.h, r, g, b);
        ASSERT_EQ(pic.width(), s.w);
        ASSERT_EQ(pic.height(), s.h);
        for (int y = 0; y < s.h; ++y)
            for (int x = 0; x < s.w; ++x) {
                const uint8_t* p = pic.row(y) + 3 * x;
                EXPECT_EQ(p[0], static_cast<uint8_t>(b[x][y] & 0xff));
                EXPECT_EQ(p[1], static_cast<uint8_t>(g[x][y] & 0xff));
                EXPECT_EQ(p[2], static_cast<uint8_t>(r[x][y] & 0xff));
            }
    }
}

}  // namespace
