// The FITS file written and read plainly, one putc or getc per byte: the reference the fast codecs
// are compared with sample for sample in the tests, and timed beside them in the benchmarks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/plane.h"

namespace codec_test {

// ---- Literal FITS writer: one putc per byte, the cards built one by one. ----
[[nodiscard]] inline bool literalWriteFits(const char* path, int width, int height, const IntPlane& plane) {
    FILE* fp = std::fopen(path, "wb");
    if (fp == nullptr) return false;
    char cards[36][81];
    for (auto& card : cards) {
        std::memset(card, ' ', 80);
        card[80] = 0;
    }
    auto put = [&](int n, int column, const char* text) {
        for (int i = 0; text[i] != 0; ++i) cards[n][column + i] = text[i];
    };
    char value[32];
    put(0, 0, "SIMPLE  =                    T");
    put(1, 0, "BITPIX  =                   16");
    put(2, 0, "NAXIS   =                    2");
    put(3, 0, "NAXIS1  =");
    std::snprintf(value, sizeof value, "%d", width);
    put(3, width < 1000 ? 27 : 26, value);
    put(4, 0, "NAXIS2  =");
    std::snprintf(value, sizeof value, "%d", height);
    put(4, height < 1000 ? 27 : 26, value);
    put(5, 0, "BZERO   =           0.00000000");
    put(6, 0, "BSCALE  =           1.00000000");
    put(7, 0, "COMMENT = 'Arranged by VORTAN'");
    put(9, 0, "END");
    for (auto& card : cards)
        for (int i = 0; i < 80; ++i) std::putc(card[i], fp);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int v = plane[x][y];
            std::putc((v / 256) & 0xFF, fp);
            std::putc(v & 0xFF, fp);
        }
    }
    for (int i = 0; i < 5312; ++i) std::putc(0, fp);
    return std::fclose(fp) == 0;
}

// ---- Literal FITS reader: one getc per byte. Returns 0, or 2 for a header without END in 72 cards
// (the scan stops at the end of the file). ----
struct LiteralFits {
    int status = 0;
    int width = 0;
    int height = 0;
    int cards = 0;
    int bzero = 0;
    std::vector<char> header = std::vector<char>(8000, 0);
    std::vector<int32_t> samples;  // x * height + y
};

inline LiteralFits literalReadFits(const char* path) {
    LiteralFits r;
    FILE* fp = std::fopen(path, "rb");
    if (fp == nullptr) {
        r.status = -1;
        return r;
    }
    char table[100][80];
    int n = 0;
    int end = 0;
    while (end == 0 || n < 36) {
        if (end == 0 && n >= 72) {
            r.status = 2;
            std::fclose(fp);
            return r;
        }
        for (int i = 0; i < 80; ++i) {
            const int c = std::getc(fp);
            if (c == EOF && i == 0 && end == 0) {
                r.status = 2;
                std::fclose(fp);
                return r;
            }
            table[n][i] = static_cast<char>(c == EOF ? 255 : c);
        }
        if (table[n][0] == 'E' && table[n][1] == 'N' && table[n][2] == 'D') end = 1;
        ++n;
    }
    if (n > 36) {
        while (n < 72) {
            for (int i = 0; i < 80; ++i) {
                const int c = std::getc(fp);
                table[n][i] = static_cast<char>(c == EOF ? 255 : c);
            }
            ++n;
        }
    }
    auto d = [&](int card, int i) {
        const char c = table[card][i];
        return (c >= '0' && c <= '9') ? c - '0' : 0;
    };
    for (int k = 0; k < n; ++k) {
        for (int i = 0; i < 80; ++i) r.header[k * 80 + i] = table[k][i];
        if (std::strncmp(table[k], "NAXIS1  ", 8) == 0)
            r.width += d(k, 29) + 10 * d(k, 28) + 100 * d(k, 27) + 1000 * d(k, 26);
        if (std::strncmp(table[k], "NAXIS2  ", 8) == 0)
            r.height += d(k, 29) + 10 * d(k, 28) + 100 * d(k, 27) + 1000 * d(k, 26);
        if (std::strncmp(table[k], "BZERO   ", 8) == 0)
            r.bzero += d(k, 20) + 10 * d(k, 19) + 100 * d(k, 18) + 1000 * d(k, 17) + 10000 * d(k, 16) +
                       100000 * d(k, 15);
    }
    r.cards = n;
    r.samples.assign(static_cast<size_t>(r.width) * r.height, 0);
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            int hi = std::getc(fp);
            int lo = std::getc(fp);
            if (hi == EOF) hi = 255;
            if (lo == EOF) lo = 255;
            r.samples[static_cast<size_t>(x) * r.height + y] = hi * 256 + lo;
        }
    }
    std::fclose(fp);
    return r;
}

}  // namespace codec_test
