// Qt-free parts of the open and save commands: the picture built from the three colour planes of a
// PPM file and the open dialog's entry for a file name.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/picture.h"
#include "core/plane.h"

// The largest image the open command takes, in pixels: the FITS reader's 16000 x 16000.
inline constexpr int64_t kMaxOpenPixels = 16000LL * 16000LL;

// Pixel (x, y) takes blue[x][y], green[x][y], red[x][y], the low 8 bits of each.
Picture PictureFromPlanes(int width, int height, const IntPlane& red, const IntPlane& green,
                          const IntPlane& blue);

// The open dialog's entry for a file name's extension, in any case: 1 for .bmp; 2 for .fit, .fts
// and .fits; 3 for .ppm; 0 for any other name.
int OpenFilterIndexOfExtension(std::string_view path);
