// Fuzzes the PPM decoder: any byte string must decode or be refused with FileError, never crash,
// and every decoded sample is a byte.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/errors.h"
#include "core/ppm.h"
#include "core/ppm_internal.h"

namespace {
// Rasters beyond this are skipped: they would only test the allocator.
constexpr long long kMaxPixels = 1 << 16;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    int w = 0, h = 0;
    if (hv_detail::PpmDeclaredSize(data, size, w, h) && static_cast<long long>(w) * h > kMaxPixels) return 0;
    IntPlane red, green, blue;
    try {
        DecodePpm(data, size, w, h, red, green, blue);
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
