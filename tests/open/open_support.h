// Files for the open and save tests: a scratch folder, a colour picture, FITS and PPM files built
// byte by byte.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/picture.h"
#include "tests/support/scratch_dir.h"

namespace opentest {

namespace fs = std::filesystem;

using TempDir = hvtest::ScratchDir;

// A picture whose colours vary along x and along y, so that a mirrored or flipped copy differs.
inline Picture colourPattern(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixelValue(x, y, JoinColour((x * 3) & 255, (y * 5) & 255, (x + y) & 255));
    return p;
}

inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A one-block FITS header with each card's value right-justified to column 30, and the samples
// given as the 16-bit words stored in the file (big-endian). Extra cards go before END.
inline std::vector<uint8_t> fitsFile(int w, int h, const std::function<uint16_t(int, int)>& stored,
                                     const std::vector<std::string>& extraCards = {}) {
    std::vector<std::string> cards = {"SIMPLE  =                    T", "BITPIX  =                   16",
                                      "NAXIS   =                    2"};
    char card[81];
    std::snprintf(card, sizeof card, "NAXIS1  = %20d", w);
    cards.push_back(card);
    std::snprintf(card, sizeof card, "NAXIS2  = %20d", h);
    cards.push_back(card);
    cards.insert(cards.end(), extraCards.begin(), extraCards.end());
    cards.push_back("END");
    std::vector<uint8_t> bytes(2880, ' ');
    for (size_t i = 0; i < cards.size(); ++i)
        for (size_t j = 0; j < cards[i].size() && j < 80; ++j)
            bytes[80 * i + j] = static_cast<uint8_t>(cards[i][j]);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint16_t v = stored(x, y);
            bytes.push_back(static_cast<uint8_t>(v >> 8));
            bytes.push_back(static_cast<uint8_t>(v));
        }
    return bytes;
}

// The stored word whose value after the reader's offset fold (32768) is v (0..65535).
inline uint16_t storedFor(int v) {
    return static_cast<uint16_t>(v ^ 0x8000);
}

// A binary PPM: "P6", the sizes, 255, one line end, then red, green, blue of each pixel.
struct Rgb {
    uint8_t r, g, b;
};
inline std::vector<uint8_t> ppmFile(int w, int h, const std::function<Rgb(int, int)>& pixel) {
    const std::string head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    std::vector<uint8_t> bytes(head.begin(), head.end());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = pixel(x, y);
            bytes.insert(bytes.end(), {c.r, c.g, c.b});
        }
    return bytes;
}

}  // namespace opentest
