// Binary PPM reader.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/plane.h"

// Both return 0, always: every failure throws (FileError, OutOfMemoryError).

// Decodes a PPM held in memory, writing the reader's trace lines to standard output. Throws
// FileError for a header whose sizes cannot be read or are not positive, or whose raster size
// is over INT_MAX bytes; OutOfMemoryError when a plane or the buffer cannot be allocated.
int DecodePpm(const uint8_t* bytes, size_t size, int& width, int& height, IntPlane& red, IntPlane& green,
              IntPlane& blue);

// Reads the file: "Couldn't find %s\n" and FileError when it cannot be opened. Never waits for a
// FIFO's writer, and reads a stream only as far as its header declares.
int ReadPpm(const char* path, int& width, int& height, IntPlane& red, IntPlane& green, IntPlane& blue);
