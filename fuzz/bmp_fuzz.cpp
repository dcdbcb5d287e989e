// Fuzzes the bitmap header parser, which reads untrusted bytes before Qt's reader does: it must
// never read past the bytes it is given, and what it calls valid must have the sizes the open
// command relies on (positive sides, a known depth, an uncompressed size that did not wrap).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that the address sanitizer sees any read past the end.
    const std::vector<uint8_t> bytes(data, data + size);
    const BmpHead head = ParseBmpHead(bytes.data(), bytes.size());
    if (!head.valid) {
        if (head.uncompressedFileSize != 0) std::abort();
        return 0;
    }
    if (head.width <= 0 || head.height <= 0 || head.width > INT32_MAX || head.height > INT32_MAX + 1LL)
        std::abort();
    if (head.uncompressedFileSize != 0) {
        // At least one 4-byte padded row of at least one bit per pixel for every row.
        const unsigned __int128 least =
            static_cast<unsigned __int128>((head.width + 31) / 32 * 4) * static_cast<uint64_t>(head.height);
        if (head.uncompressedFileSize < least) std::abort();
    }
    return 0;
}
