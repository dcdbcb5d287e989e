#include "core/plane.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <iterator>
#include <random>
#include <vector>

#include "codec_support.h"
#include "core/errors.h"

namespace {

using codec_test::captureStdout;

struct SizeCase {
    int width;
    int height;
};

class AllocPlaneSizes : public testing::TestWithParam<SizeCase> {};

TEST_P(AllocPlaneSizes, GivesZeroedColumnMajorPlane) {
    const auto [w, h] = GetParam();
    IntPlane plane;
    std::string trace = captureStdout([&] { EXPECT_EQ(AllocPlane(w, h, plane), 0); });
    EXPECT_EQ(trace, "");
    ASSERT_TRUE(plane.valid());
    EXPECT_EQ(plane.width(), w);
    EXPECT_EQ(plane.height(), h);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            ASSERT_EQ(plane[x][y], 0) << x << "," << y;
            ASSERT_EQ(&plane[x][y], plane.data() + static_cast<size_t>(x) * h + y);
        }
    }
    // Dirty the plane, then allocate into the same object again: the new samples are zero too.
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) plane[x][y] = x * 7 + y + 1;
    ASSERT_EQ(AllocPlane(w, h, plane), 0);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) ASSERT_EQ(plane[x][y], 0);
    EXPECT_EQ(FreePlane(w, h, plane), 0);
    EXPECT_FALSE(plane.valid());
}

// Small planes, side 0, and planes large enough for the mapped path (odd sizes included).
INSTANTIATE_TEST_SUITE_P(Sizes, AllocPlaneSizes,
                         testing::Values(SizeCase{1, 1}, SizeCase{1, 9}, SizeCase{9, 1}, SizeCase{3, 5},
                                         SizeCase{0, 0}, SizeCase{0, 4}, SizeCase{4, 0}, SizeCase{513, 517},
                                         SizeCase{1000, 1000}, SizeCase{1, 300000}));

TEST(AllocPlane, RefusesNegativeSidesWithoutTrace) {
    for (const SizeCase c : {SizeCase{-1, 5}, SizeCase{5, -1}, SizeCase{-3, -3}, SizeCase{INT_MIN, 1}}) {
        IntPlane plane = MakePlane(2, 2);
        std::string trace = captureStdout([&] { EXPECT_EQ(AllocPlane(c.width, c.height, plane), 1); });
        EXPECT_EQ(trace, "");
        EXPECT_FALSE(plane.valid());
        EXPECT_THROW(MakePlane(c.width, c.height), OutOfMemoryError);
    }
}

TEST(AllocPlane, SampleBlockFailureTracesAndReturnsOne) {
    // 2^16 columns of 2^30 samples cannot be mapped in any address space.
    IntPlane plane;
    std::string trace = captureStdout([&] { EXPECT_EQ(AllocPlane(1 << 16, 1 << 30, plane), 1); });
    EXPECT_EQ(trace, "Alloc Error  !!\n");
    EXPECT_FALSE(plane.valid());
    std::string trace2;
    EXPECT_THROW(trace2 = captureStdout([&] { MakePlane(1 << 16, 1 << 30); }), OutOfMemoryError);
}

TEST(FreePlane, OnlyTheWidthMatters) {
    IntPlane plane = MakePlane(4, 6);
    EXPECT_EQ(FreePlane(4, 999, plane), 0);
    EXPECT_FALSE(plane.valid());
    EXPECT_EQ(FreePlane(4, 6, plane), 0);  // releasing twice is harmless
}

struct FoldCase {
    int offset;
    int before;
    int after;
};

TEST(ToggleOffset, FoldsEachSample) {
    const FoldCase cases[] = {
        {32768, 0, 32768},
        {32768, 32767, 65535},
        {32768, 32768, 0},
        {32768, 65535, 32767},
        {32768, -5, 32763},
        {0, 17, 17},
        {100, 99, 199},
        {100, 100, 0},
        {32768, INT_MIN, INT_MIN + 32768},
        {-1, INT_MAX, INT_MIN},
        {INT_MAX, INT_MAX - 1, -3},
        {INT_MIN, 0, INT_MIN},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        IntPlane one = MakePlane(1, 1);
        one[0][0] = cases[i].before;
        EXPECT_EQ(ToggleOffset(cases[i].offset, 1, 1, one), 0);
        EXPECT_EQ(one[0][0], cases[i].after) << "offset " << cases[i].offset << " value " << cases[i].before;
    }
}

TEST(ToggleOffset, IsItsOwnInverseOnSixteenBitValues) {
    std::mt19937 rng(7);
    for (const SizeCase c : {SizeCase{1, 1}, SizeCase{1, 37}, SizeCase{37, 1}, SizeCase{61, 45}}) {
        IntPlane plane = codec_test::randomPlane(c.width, c.height, 0, 65535, rng);
        const std::vector<int32_t> before = codec_test::samplesOf(plane, c.width, c.height);
        ToggleOffset(32768, c.width, c.height, plane);
        for (int x = 0; x < c.width; ++x) {
            for (int y = 0; y < c.height; ++y) {
                const int32_t v = before[static_cast<size_t>(x) * c.height + y];
                ASSERT_EQ(plane[x][y], v >= 32768 ? v - 32768 : v + 32768);
            }
        }
        ToggleOffset(32768, c.width, c.height, plane);
        EXPECT_EQ(codec_test::samplesOf(plane, c.width, c.height), before);
    }
}

TEST(ToggleOffset, StaysInsideThePlaneWhateverSizesAreGiven) {
    IntPlane plane = MakePlane(2, 3);
    EXPECT_EQ(ToggleOffset(10, 50, 50, plane), 0);
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 3; ++y) EXPECT_EQ(plane[x][y], 10);
    // Only the requested corner is folded.
    ToggleOffset(10, 1, 2, plane);
    EXPECT_EQ(plane[0][0], 0);
    EXPECT_EQ(plane[0][1], 0);
    EXPECT_EQ(plane[0][2], 10);
    EXPECT_EQ(plane[1][0], 10);
}

TEST(AllocByteBuffer, ZeroFilledWithTrace) {
    for (const int count : {0, 1, 6, 100000}) {
        ByteBuffer buffer;
        std::string trace = captureStdout([&] { EXPECT_EQ(AllocByteBuffer(count, buffer), 0); });
        EXPECT_EQ(trace, "extended  unsigned char 1D \n");
        ASSERT_EQ(buffer.size(), static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) ASSERT_EQ(buffer[i], 0);
    }
    ByteBuffer refused;
    std::string trace = captureStdout([&] { EXPECT_EQ(AllocByteBuffer(-1, refused), 1); });
    EXPECT_EQ(trace, "");
}

}  // namespace

TEST(PixelBuffer, BuffersJustUnderAMebibyteShareBlocksAndKeepTheirBytes) {
    // Sizes that take slots, mixed with one that does not; released in an order that empties
    // blocks partly and wholly, then taken again.
    const size_t sizes[] = {1000000, 1048576, 917505, 1000000, 917504, 1000000, 3000000, 1000000};
    std::vector<PixelBuffer> buffers(std::size(sizes));
    const auto fill = [&](size_t i) {
        ASSERT_TRUE(buffers[i].allocate(sizes[i]));
        std::memset(buffers[i].data(), static_cast<int>(i + 1), sizes[i]);
    };
    const auto check = [&](size_t i) {
        const uint8_t* d = buffers[i].data();
        for (size_t k : {size_t{0}, sizes[i] / 2, sizes[i] - 1}) ASSERT_EQ(d[k], i + 1) << i << " at " << k;
    };
    for (size_t i = 0; i < std::size(sizes); ++i) fill(i);
    for (size_t i = 0; i < std::size(sizes); ++i) check(i);
    for (size_t i : {1, 5, 0, 3}) buffers[i].release();
    for (size_t i : {2, 4, 6, 7}) check(i);
    for (size_t i : {0, 1, 3, 5}) fill(i);
    for (size_t i = 0; i < std::size(sizes); ++i) check(i);
    PixelBuffer moved(std::move(buffers[2]));
    EXPECT_EQ(buffers[2].data(), nullptr);
    EXPECT_EQ(moved.data()[sizes[2] - 1], 3);
}
