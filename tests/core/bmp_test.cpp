// The bitmap encoder read back by an independent parser, and the bitmap header parser.
#include "core/bmp.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/core/bmp_samples.h"

namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

Picture randomPicture(int w, int h, unsigned seed) {
    Picture p(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.setPixelValue(x, y, static_cast<int32_t>(rng() & 0xffffff));
    // Garbage in the row padding must not reach the file.
    for (int y = 0; y < h; ++y)
        for (int i = 3 * w; i < p.stride(); ++i) p.row(y)[i] = 0xEE;
    return p;
}

TEST(BmpWriter, HeaderAndBottomUpPaddedRows) {
    const struct {
        int w, h, stride;
    } cases[] = {{1, 1, 4}, {2, 3, 8}, {3, 2, 12}, {4, 4, 12}, {5, 1, 16}, {13, 7, 40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        const Picture pic = randomPicture(c.w, c.h, static_cast<unsigned>(c.w * 17 + c.h));
        const std::vector<uint8_t> b = EncodeBmp(pic);
        const uint32_t imageBytes = static_cast<uint32_t>(c.stride * c.h);
        ASSERT_EQ(b.size(), 54u + imageBytes);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(le32(b, 2), b.size());  // file size
        EXPECT_EQ(le32(b, 6), 0u);        // reserved
        EXPECT_EQ(le32(b, 10), 54u);      // pixel offset
        EXPECT_EQ(le32(b, 14), 40u);      // BITMAPINFOHEADER
        EXPECT_EQ(static_cast<int32_t>(le32(b, 18)), c.w);
        EXPECT_EQ(static_cast<int32_t>(le32(b, 22)), c.h);  // positive: bottom-up
        EXPECT_EQ(le16(b, 26), 1);
        EXPECT_EQ(le16(b, 28), 24);
        EXPECT_EQ(le32(b, 30), 0u);  // BI_RGB
        EXPECT_EQ(le32(b, 34), imageBytes);
        for (size_t at = 38; at < 54; at += 4) EXPECT_EQ(le32(b, at), 0u);
        for (int y = 0; y < c.h; ++y) {
            const size_t rowStart = 54 + static_cast<size_t>(c.stride) * (c.h - 1 - y);
            for (int x = 0; x < c.w; ++x) {
                const size_t at = rowStart + 3 * x;
                EXPECT_EQ(b[at] * 65536 + b[at + 1] * 256 + b[at + 2], pic.pixelValue(x, y)) << x << "," << y;
            }
            for (int i = 3 * c.w; i < c.stride; ++i) EXPECT_EQ(b[rowStart + i], 0);
        }
    }
}

TEST(ParseBmpHead, SizesAndTheLengthOfUncompressedKinds) {
    for (const bmp_samples::Sample& s : bmp_samples::allKinds()) {
        SCOPED_TRACE(s.name);
        const BmpHead head = ParseBmpHead(s.bytes.data(), s.bytes.size());
        const bool compressed = s.name.rfind("RLE", 0) == 0;
        EXPECT_TRUE(head.valid);
        EXPECT_EQ(head.width, 9);
        EXPECT_EQ(head.height, 3);  // top-down too
        EXPECT_EQ(head.uncompressedFileSize, compressed ? 0u : s.bytes.size());
    }
    const std::vector<uint8_t> own = EncodeBmp(randomPicture(7, 5, 1));
    EXPECT_EQ(ParseBmpHead(own.data(), own.size()).uncompressedFileSize, own.size());
    EXPECT_EQ(ParseBmpHead(own.data(), kBmpHeadProbeBytes).uncompressedFileSize,
              own.size());  // the start is enough

    const struct {
        const char* what;
        size_t at;
        uint8_t value;
    } broken[] = {
        {"no BM", 0, 'X'}, {"7 bits per pixel", 28, 7}, {"width 0", 18, 0}, {"unknown header", 14, 20}};
    for (const auto& b : broken) {
        std::vector<uint8_t> bytes = own;
        bytes[b.at] = b.value;
        if (b.at == 18) bytes[19] = bytes[20] = bytes[21] = 0;
        EXPECT_FALSE(ParseBmpHead(bytes.data(), bytes.size()).valid) << b.what;
    }
    EXPECT_FALSE(ParseBmpHead(own.data(), 20).valid);  // too short to tell

    // The largest width is computed without overflow.
    std::vector<uint8_t> wide = own;
    wide[18] = wide[19] = wide[20] = 0xff;
    wide[21] = 0x7f;
    const BmpHead head = ParseBmpHead(wide.data(), wide.size());
    EXPECT_EQ(head.width, 0x7fffffff);
    EXPECT_EQ(head.uncompressedFileSize, 54u + (0x7fffffffull * 24 + 31) / 32 * 4 * 5);
}

}  // namespace
