// The pixel edits against per-pixel references written from their definitions.
#include "edits/edits.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace {

Picture randomPicture(int w, int h, unsigned seed) {
    Picture p(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.setPixelValue(x, y, static_cast<int32_t>(rng() & 0xffffff));
    return p;
}

// Every padding byte of every row must stay zero, as a fresh picture has it.
bool paddingIsZero(const Picture& p) {
    for (int y = 0; y < p.height(); ++y)
        for (int i = 3 * p.width(); i < p.stride(); ++i)
            if (p.row(y)[i] != 0) return false;
    return true;
}

struct Size {
    int w, h;
};
// Odd widths exercise the row padding; 1 x 1 and single rows or columns the edges.
const Size kSizes[] = {{1, 1}, {1, 5}, {5, 1}, {2, 3}, {3, 2}, {7, 4}, {33, 17}, {64, 9}};

TEST(Edits, MatchPerPixelDefinitions) {
    for (const Size s : kSizes) {
        SCOPED_TRACE(testing::Message() << s.w << " x " << s.h);
        const Picture src = randomPicture(s.w, s.h, static_cast<unsigned>(s.w * 131 + s.h));
        const Picture before = randomPicture(s.w, s.h, static_cast<unsigned>(s.w * 131 + s.h));
        const Picture neg = NegativeOf(src);
        const Picture mir = MirrorOf(src);
        const Picture flip = FlipOf(src);
        Picture chan[3];
        for (int k = 0; k < 3; ++k) chan[k] = ChannelOf(src, k);
        for (const Picture* r :
             std::initializer_list<const Picture*>{&neg, &mir, &flip, &chan[0], &chan[1], &chan[2]}) {
            ASSERT_EQ(r->width(), s.w);
            ASSERT_EQ(r->height(), s.h);
            EXPECT_TRUE(paddingIsZero(*r));
        }
        for (int y = 0; y < s.h; ++y) {
            for (int x = 0; x < s.w; ++x) {
                const int32_t c = src.pixelValue(x, y);
                const ColourParts p = SplitColour(c);
                EXPECT_EQ(neg.pixelValue(x, y), JoinColour(255 - p.blue, 255 - p.green, 255 - p.red));
                EXPECT_EQ(mir.pixelValue(x, y), src.pixelValue(s.w - 1 - x, y));
                EXPECT_EQ(flip.pixelValue(x, y), src.pixelValue(x, s.h - 1 - y));
                for (int k = 0; k < 3; ++k) {
                    const int v = src.row(y)[3 * x + k];
                    EXPECT_EQ(chan[k].pixelValue(x, y), JoinColour(v, v, v));
                }
            }
        }
        EXPECT_TRUE(src.samePixels(before));  // the source is left alone
    }
}

TEST(Edits, TwiceRestoresTheSource) {
    Picture (*const edits[])(const Picture&) = {NegativeOf, MirrorOf, FlipOf};
    for (const Size s : kSizes) {
        const Picture src = randomPicture(s.w, s.h, 7u + static_cast<unsigned>(s.w));
        for (auto edit : edits) EXPECT_TRUE(edit(edit(src)).samePixels(src)) << s.w << " x " << s.h;
    }
}

TEST(Edits, NegativeOfAKnownPixel) {
    Picture p(1, 1);
    p.setPixelValue(0, 0, JoinColour(0, 128, 255));
    EXPECT_EQ(NegativeOf(p).pixelValue(0, 0), JoinColour(255, 127, 0));
}

TEST(Edits, EmptyPictureAndBadChannel) {
    const Picture empty;
    EXPECT_TRUE(NegativeOf(empty).isNull());
    EXPECT_TRUE(MirrorOf(empty).isNull());
    EXPECT_TRUE(FlipOf(empty).isNull());
    EXPECT_THROW(ChannelOf(Picture(1, 1), 3), std::invalid_argument);
    EXPECT_THROW(ChannelOf(Picture(1, 1), -1), std::invalid_argument);
}

}  // namespace
