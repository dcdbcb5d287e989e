// Windows bitmaps: the 24-bit writer and the header parser that checks a file before it is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/picture.h"

inline constexpr int kBmpFileHeaderBytes = 14;
inline constexpr int kBmpInfoHeaderBytes = 40;
inline constexpr int kBmpPixelOffset = kBmpFileHeaderBytes + kBmpInfoHeaderBytes;

// Hands the bytes of a 24-bit Windows bitmap of the picture to sink, in file order: file header,
// BITMAPINFOHEADER (24 bpp, uncompressed, positive height), then the rows from the bottom up, each
// padded with zero bytes to a multiple of four. Throws FileError for a picture too large for the
// format's 32-bit sizes.
void EncodeBmp(const Picture& picture, const std::function<void(const uint8_t*, size_t)>& sink);
std::vector<uint8_t> EncodeBmp(const Picture& picture);

// What the start of a bitmap file announces.
struct BmpHead {
    bool valid = false;  // "BM" and a known header with a usable depth and a non-empty size
    int64_t width = 0;
    int64_t height = 0;  // rows, whatever their order
    // For uncompressed pixels: the pixel offset plus every row padded to four bytes; else 0.
    uint64_t uncompressedFileSize = 0;
    uint64_t fileSize = 0;  // as the file header states it, whether valid or not
};
BmpHead ParseBmpHead(const uint8_t* bytes, size_t size);
// Enough of a file's start for ParseBmpHead.
inline constexpr size_t kBmpHeadProbeBytes = 34;
