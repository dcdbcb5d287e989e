// Qt-free parts of the open and save commands: the 24-bit Windows bitmap writer and the picture
// built from the three colour planes of a PPM file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/picture.h"
#include "core/plane.h"

inline constexpr int kBmpFileHeaderBytes = 14;
inline constexpr int kBmpInfoHeaderBytes = 40;
inline constexpr int kBmpPixelOffset = kBmpFileHeaderBytes + kBmpInfoHeaderBytes;

// Hands the bytes of a 24-bit Windows bitmap of the picture to sink, in file order: file header,
// BITMAPINFOHEADER (24 bpp, uncompressed, positive height), then the rows from the bottom up, each
// padded with zero bytes to a multiple of four. Throws FileError for a picture too large for the
// format's 32-bit sizes.
void EncodeBmp(const Picture& picture, const std::function<void(const uint8_t*, size_t)>& sink);
std::vector<uint8_t> EncodeBmp(const Picture& picture);

// Writes the bitmap under exactly this path, replacing a file there. FileError when the file cannot
// be created or written; a partly written file is removed.
void WriteBmpFile(const std::string& path, const Picture& picture);

// The file size that an uncompressed bitmap's headers announce: the pixel offset plus every row
// padded to four bytes. 0 when the bytes (the start of a file) are not such a bitmap's headers
// (not "BM", an unknown header, compressed pixels, an unusual depth or an empty size).
uint64_t DeclaredBmpFileSize(const uint8_t* bytes, size_t size);
// Enough of a file's start for DeclaredBmpFileSize.
inline constexpr size_t kBmpHeadProbeBytes = 34;

// Pixel (x, y) takes blue[x][y], green[x][y], red[x][y], the low 8 bits of each.
Picture PictureFromPlanes(int width, int height, const IntPlane& red, const IntPlane& green,
                          const IntPlane& blue);
