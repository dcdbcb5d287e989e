#include "core/picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

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

TEST(Picture, LevelPicturesReadAsTheirBytesAndCopiesStayApart) {
    const std::shared_ptr<LevelRows> levels = LevelRows::Make(3, 2);
    const uint8_t values[] = {0, 7, 255, 128, 1, 64};
    std::memcpy(levels->row(0), values, 6);
    for (const LevelForm form : {LevelForm::Grey, LevelForm::RawValue}) {
        const bool grey = form == LevelForm::Grey;
        const Picture compact = Picture::FromLevels(levels, form);
        EXPECT_EQ(compact.greyLevels() != nullptr, grey);
        Picture copy = compact;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const int l = values[3 * y + x];
                EXPECT_EQ(compact.pixelValue(x, y), grey ? l * 0x010101 : l);  // from the levels
                const uint8_t* p = copy.row(y) + 3 * x;                        // from the bytes
                EXPECT_EQ(std::vector<int>({p[0], p[1], p[2]}),
                          std::vector<int>({grey ? l : 0, grey ? l : 0, l}));
            }
        EXPECT_EQ(copy.row(0)[9], 0);  // padding
        EXPECT_EQ(copy.greyLevels(), nullptr);
        copy.setPixelValue(0, 0, 0x010203);
        EXPECT_EQ(compact.pixelValue(0, 0), 0);
        EXPECT_TRUE(Picture(compact).samePixels(compact));
    }
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
