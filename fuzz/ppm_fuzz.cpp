// Fuzzes the PPM decoder: any byte string must decode or be refused with FileError, never crash,
// and every decoded sample is a byte. Every input runs through both header passes' parsing and the
// size checks; only images of more than 2^16 pixels are not allocated.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/codec_internal.h"
#include "core/errors.h"
#include "core/ppm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    int w = 0, h = 0;
    IntPlane red, green, blue;
    try {
        if (!hv_detail::DecodePpmWithin(1 << 16, data, size, w, h, red, green, blue)) return 0;
    } catch (const FileError&) {
        return 0;
    }
    if (w <= 0 || h <= 0) std::abort();
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            if (red[x][y] < 0 || red[x][y] > 255 || green[x][y] < 0 || green[x][y] > 255 || blue[x][y] < 0 ||
                blue[x][y] > 255)
                std::abort();
        }
    }
    return 0;
}
