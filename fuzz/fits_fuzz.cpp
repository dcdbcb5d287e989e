// Fuzzes the FITS decoder: any byte string must decode or be refused with FileError, never crash,
// and the samples must be the bytes after the header (255 past the end).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/errors.h"
#include "core/fits.h"

namespace {

// Plane sizes beyond this are skipped: they would only test the allocator.
constexpr long long kMaxSamples = 1 << 18;

// An upper bound of the sizes the decoder will use: the size cards summed over every card it may
// read (values are never negative, so summing more cards only overestimates).
long long declaredSamples(const uint8_t* data, size_t size) {
    auto at = [&](size_t i) -> uint8_t { return i < size ? data[i] : 0xFF; };
    long long w = 0, h = 0;
    for (size_t n = 0; n < 72 && n * 80 < size; ++n) {
        const size_t card = n * 80;
        int v = 0;
        for (size_t i = 26; i < 30; ++i) {
            const uint8_t c = at(card + i);
            v = v * 10 + ((c >= '0' && c <= '9') ? c - '0' : 0);
        }
        bool naxis1 = true, naxis2 = true;
        for (size_t i = 0; i < 8; ++i) {
            naxis1 = naxis1 && at(card + i) == static_cast<uint8_t>("NAXIS1  "[i]);
            naxis2 = naxis2 && at(card + i) == static_cast<uint8_t>("NAXIS2  "[i]);
        }
        if (naxis1) w += v;
        if (naxis2) h += v;
    }
    return w * h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    if (declaredSamples(data, size) > kMaxSamples) return 0;
    std::vector<char> header(kFitsHeaderBufferBytes);
    int w = 0, h = 0, cards = 0, bzero = 0;
    IntPlane plane;
    try {
        DecodeFits(data, size, header.data(), w, h, cards, bzero, plane);
    } catch (const FileError&) {
        return 0;
    }
    if (cards != 36 && cards != 72) std::abort();
    if (w < 0 || h < 0 || w > kFitsMaxSide || h > kFitsMaxSide) std::abort();
    const size_t start = static_cast<size_t>(cards) * 80;
    auto at = [&](size_t i) -> int { return i < size ? data[i] : 255; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t i = start + 2 * (static_cast<size_t>(y) * w + x);
            if (plane[x][y] != at(i) * 256 + at(i + 1)) std::abort();
        }
    }
    return 0;
}
