#include "core/picture.h"

#include <gtest/gtest.h>

#include "core/errors.h"

namespace {

TEST(Picture, RowsAreBgrAndPadded) {
    Picture p(3, 2);
    EXPECT_EQ(p.stride(), 12);  // 9 bytes rounded up to 4
    p.row(1)[3 * 2 + 0] = 30;   // blue
    p.row(1)[3 * 2 + 1] = 20;   // green
    p.row(1)[3 * 2 + 2] = 10;   // red
    EXPECT_EQ(p.pixelValue(2, 1), 10 + 256 * 20 + 65536 * 30);
    EXPECT_EQ(p.pixelValue(0, 0), 0);
}

TEST(Picture, OutsideReadsMinusOneAndIgnoresWrites) {
    Picture p(2, 2);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}}) {
        EXPECT_EQ(p.pixelValue(x, y), -1);
        p.setPixelValue(x, y, 0x123456);
    }
    EXPECT_TRUE(p.samePixels(Picture(2, 2)));
}

TEST(ColourValue, SplitAndJoin) {
    const ColourParts minusOne = SplitColour(-1);
    EXPECT_EQ(minusOne.blue, 0);
    EXPECT_EQ(minusOne.green, 0);
    EXPECT_EQ(minusOne.red, -1);
    const ColourParts c = SplitColour(JoinColour(30, 20, 10));
    EXPECT_EQ(c.blue, 30);
    EXPECT_EQ(c.green, 20);
    EXPECT_EQ(c.red, 10);
    Picture p(1, 1);
    p.setPixelValue(0, 0, 4660);
    EXPECT_EQ(p.row(0)[0], 0);
    EXPECT_EQ(p.row(0)[1], 18);
    EXPECT_EQ(p.row(0)[2], 52);
}

TEST(Picture, NegativeSizeRefused) {
    EXPECT_THROW(Picture(-1, 5), OutOfMemoryError);
}

}  // namespace
