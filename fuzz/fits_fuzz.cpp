// Fuzzes the FITS decoder: any byte string must decode or be refused with FileError, never crash,
// and the samples must be the bytes after the header (255 past the end). Every input runs through
// the header scan and the size checks; only planes of more than 2^18 samples are not allocated.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/codec_internal.h"
#include "core/errors.h"
#include "core/fits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    std::vector<char> header(kFitsHeaderBufferBytes);
    int w = 0, h = 0, cards = 0, bzero = 0;
    IntPlane plane;
    try {
        if (!hv_detail::DecodeFitsWithin(1 << 18, data, size, header.data(), w, h, cards, bzero, plane))
            return 0;
    } catch (const FileError&) {
        return 0;
    }
    if (cards != 36 && cards != 72) std::abort();
    if (w < 0 || h < 0 || w > kFitsMaxSide || h > kFitsMaxSide) std::abort();
    const size_t start = static_cast<size_t>(cards) * 80;
    auto at = [&](size_t i) -> int { return i < size ? data[i] : 255; };
    for (size_t i = 0; i < start; ++i)
        if (static_cast<uint8_t>(header[i]) != at(i)) std::abort();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t i = start + 2 * (static_cast<size_t>(y) * w + x);
            if (plane[x][y] != at(i) * 256 + at(i + 1)) std::abort();
        }
    }
    return 0;
}
