// Windows bitmap files of every common kind, built byte by byte from a known pixel pattern, with
// the 24-bit colours each pixel must read back as.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/picture.h"

namespace bmp_samples {

struct Sample {
    std::string name;
    std::vector<uint8_t> bytes;
    Picture expected;
};

inline void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

struct Rgb {
    uint8_t r, g, b;
};

// Palette entry i of a palette of n entries: distinct, with every byte different.
inline Rgb paletteColour(int i) {
    return {static_cast<uint8_t>(40 + 3 * i), static_cast<uint8_t>(255 - 7 * i),
            static_cast<uint8_t>(16 * i + 1)};
}

// Headers: file header, BITMAPINFOHEADER, then the masks (bitfields) or the palette.
inline std::vector<uint8_t> header(int w, int h, int bpp, uint32_t compression, int colours,
                                   const std::vector<uint32_t>& masks, uint32_t imageBytes) {
    const uint32_t offset =
        14 + 40 + 4 * static_cast<uint32_t>(masks.size()) + 4 * static_cast<uint32_t>(colours);
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offset + imageBytes);
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, static_cast<uint32_t>(w));
    put32(b, static_cast<uint32_t>(h));  // negative for top-down
    put16(b, 1);
    put16(b, static_cast<uint32_t>(bpp));
    put32(b, compression);
    put32(b, imageBytes);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, static_cast<uint32_t>(colours));
    put32(b, 0);
    for (uint32_t m : masks) put32(b, m);
    for (int i = 0; i < colours; ++i) {
        const Rgb c = paletteColour(i);
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    return b;
}

inline void setExpected(Picture& p, int x, int y, Rgb c) {
    p.setPixelValue(x, y, JoinColour(c.b, c.g, c.r));
}

// Palette index of pixel (x, y): a run of four at the left, then values that change at every pixel,
// so that run-length files hold both encoded runs and absolute runs.
inline int paletteIndex(int x, int y, int colours) {
    return (x < 4 ? y : x * 3 + y) % colours;
}

// Uncompressed 1, 4 or 8 bits per pixel, bottom-up, rows padded to four bytes.
inline Sample palettized(int bpp, int w, int h) {
    const int colours = 1 << bpp;
    const int stride = (w * bpp + 31) / 32 * 4;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * h, 0);
    Picture expected(w, h);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = rows.data() + static_cast<size_t>(stride) * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const int index = paletteIndex(x, y, colours);
            const int bit = x * bpp;
            row[bit / 8] |= static_cast<uint8_t>(index << (8 - bpp - bit % 8));
            setExpected(expected, x, y, paletteColour(index));
        }
    }
    std::vector<uint8_t> b = header(w, h, bpp, 0, colours, {}, static_cast<uint32_t>(rows.size()));
    b.insert(b.end(), rows.begin(), rows.end());
    return {std::to_string(bpp) + "-bit palette", b, std::move(expected)};
}

// RLE8 (compression 1) or RLE4 (compression 2): equal neighbours as encoded runs, the rest of each
// row as one absolute run (or single encoded pixels when fewer than three are left).
inline Sample runLength(int bpp, int w, int h) {
    const int colours = 1 << bpp;
    std::vector<uint8_t> data;
    Picture expected(w, h);
    for (int y = h - 1; y >= 0; --y) {
        std::vector<int> row;
        for (int x = 0; x < w; ++x) {
            row.push_back(paletteIndex(x, y, colours));
            setExpected(expected, x, y, paletteColour(row.back()));
        }
        size_t x = 0;
        while (x < row.size()) {
            size_t run = 1;
            while (x + run < row.size() && row[x + run] == row[x] && run < 255) ++run;
            if (run >= 2 || row.size() - x < 3) {
                data.push_back(static_cast<uint8_t>(run));
                data.push_back(static_cast<uint8_t>(bpp == 8 ? row[x] : row[x] << 4 | row[x]));
                x += run;
                continue;
            }
            // Absolute run to the end of the row.
            const size_t n = row.size() - x;
            data.push_back(0);
            data.push_back(static_cast<uint8_t>(n));
            size_t bytes = 0;
            if (bpp == 8) {
                for (size_t i = 0; i < n; ++i) data.push_back(static_cast<uint8_t>(row[x + i]));
                bytes = n;
            } else {
                for (size_t i = 0; i < n; i += 2) {
                    const int lo = i + 1 < n ? row[x + i + 1] : 0;
                    data.push_back(static_cast<uint8_t>(row[x + i] << 4 | lo));
                }
                bytes = (n + 1) / 2;
            }
            if (bytes % 2) data.push_back(0);  // absolute runs end on a word boundary
            x += n;
        }
        data.push_back(0);
        data.push_back(y == 0 ? 1 : 0);  // end of line, or end of bitmap after the top row
    }
    std::vector<uint8_t> b =
        header(w, h, bpp, bpp == 8 ? 1 : 2, colours, {}, static_cast<uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    return {bpp == 8 ? "RLE8" : "RLE4", b, std::move(expected)};
}

// 24 bits per pixel, bottom-up or top-down (negative height).
inline Sample trueColour24(int w, int h, bool topDown) {
    const int stride = (3 * w + 3) / 4 * 4;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * h, 0);
    Picture expected(w, h);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = rows.data() + static_cast<size_t>(stride) * (topDown ? y : h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const Rgb c{static_cast<uint8_t>(x * 40 + y), static_cast<uint8_t>(y * 70 + 5),
                        static_cast<uint8_t>(x * y + 200)};
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
            setExpected(expected, x, y, c);
        }
    }
    std::vector<uint8_t> b = header(w, topDown ? -h : h, 24, 0, 0, {}, static_cast<uint32_t>(rows.size()));
    b.insert(b.end(), rows.begin(), rows.end());
    return {topDown ? "24-bit top-down" : "24-bit bottom-up", b, std::move(expected)};
}

// A channel of `bits` bits as an 8-bit level: shifted into the high bits, as the platform's reader
// widens 5- and 6-bit channels (31 of 5 bits gives 248).
inline uint8_t widen(uint32_t v, int bits) {
    return static_cast<uint8_t>(v << (8 - bits));
}

struct Masks {
    uint32_t r, g, b;
};

inline int shiftOf(uint32_t mask) {
    int s = 0;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++s;
    }
    return s;
}
inline int bitsOf(uint32_t mask) {
    int n = 0;
    for (; mask; mask >>= 1) n += mask & 1u;
    return n;
}

// 16 or 32 bits per pixel with the given channel masks; bitfields writes them into the file
// (compression 3), otherwise the format's default masks apply (555 for 16 bits, 888 for 32).
inline Sample packed(int bpp, Masks m, bool bitfields, const std::string& name, int w, int h) {
    const int bytesPerPixel = bpp / 8;
    const int stride = (bytesPerPixel * w + 3) / 4 * 4;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * h, 0);
    Picture expected(w, h);
    const int rBits = bitsOf(m.r), gBits = bitsOf(m.g), bBits = bitsOf(m.b);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = rows.data() + static_cast<size_t>(stride) * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            // Channel values that reach both ends of each range.
            const uint32_t rv = static_cast<uint32_t>(x * 7 + y * 3) % (1u << rBits);
            const uint32_t gv =
                (x == 0 ? (1u << gBits) - 1 : static_cast<uint32_t>(x * 11 + y * 5)) % (1u << gBits);
            const uint32_t bv = static_cast<uint32_t>(x * y * 13 + 1) % (1u << bBits);
            uint32_t v = rv << shiftOf(m.r) | gv << shiftOf(m.g) | bv << shiftOf(m.b);
            if (bpp == 32) v |= 0xff000000u & ~(m.r | m.g | m.b);  // the unused byte set, to be ignored
            for (int i = 0; i < bytesPerPixel; ++i)
                row[bytesPerPixel * x + i] = static_cast<uint8_t>(v >> (8 * i));
            setExpected(expected, x, y, {widen(rv, rBits), widen(gv, gBits), widen(bv, bBits)});
        }
    }
    std::vector<uint32_t> masks;
    if (bitfields) masks = {m.r, m.g, m.b};
    std::vector<uint8_t> b =
        header(w, h, bpp, bitfields ? 3 : 0, 0, masks, static_cast<uint32_t>(rows.size()));
    b.insert(b.end(), rows.begin(), rows.end());
    return {name, b, std::move(expected)};
}

// 32 bits per pixel with a BITMAPV4HEADER whose masks include an alpha channel; the alpha bytes run
// from 0 to 255 and must not change the colours.
inline Sample withAlpha(int w, int h) {
    const int stride = 4 * w;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * h, 0);
    Picture expected(w, h);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = rows.data() + static_cast<size_t>(stride) * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const Rgb c{static_cast<uint8_t>(200 - x * 9), static_cast<uint8_t>(x * 25 + y),
                        static_cast<uint8_t>(y * 90 + 7)};
            row[4 * x] = c.b;
            row[4 * x + 1] = c.g;
            row[4 * x + 2] = c.r;
            row[4 * x + 3] = static_cast<uint8_t>(x == 0 ? 0 : x * 31 + y);
            setExpected(expected, x, y, c);
        }
    }
    const uint32_t offset = 14 + 108;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offset + static_cast<uint32_t>(rows.size()));
    put32(b, 0);
    put32(b, offset);
    put32(b, 108);
    put32(b, static_cast<uint32_t>(w));
    put32(b, static_cast<uint32_t>(h));
    put16(b, 1);
    put16(b, 32);
    put32(b, 3);
    put32(b, static_cast<uint32_t>(rows.size()));
    for (int i = 0; i < 4; ++i) put32(b, 0);  // resolution, colours
    for (uint32_t m : {0x00ff0000u, 0x0000ff00u, 0x000000ffu, 0xff000000u}) put32(b, m);
    put32(b, 0x73524742);                      // sRGB
    for (int i = 0; i < 12; ++i) put32(b, 0);  // end points, gamma
    b.insert(b.end(), rows.begin(), rows.end());
    return {"32-bit with alpha", b, std::move(expected)};
}

inline std::vector<Sample> allKinds() {
    const int w = 9, h = 3;  // odd width: every kind pads its rows
    return {
        palettized(1, w, h),
        palettized(4, w, h),
        palettized(8, w, h),
        runLength(8, w, h),
        runLength(4, w, h),
        packed(16, {0x7c00, 0x03e0, 0x001f}, false, "16-bit 555", w, h),
        packed(16, {0xf800, 0x07e0, 0x001f}, true, "16-bit 565 bitfields", w, h),
        packed(32, {0xff0000, 0x00ff00, 0x0000ff}, false, "32-bit", w, h),
        packed(32, {0x0000ff, 0x00ff00, 0xff0000}, true, "32-bit bitfields, red low", w, h),
        trueColour24(w, h, false),
        trueColour24(w, h, true),
        withAlpha(w, h),
    };
}

}  // namespace bmp_samples
