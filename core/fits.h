// 16-bit FITS: the fixed-column reader and the fixed-header writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/plane.h"

inline constexpr int kFitsCardBytes = 80;
inline constexpr int kFitsMaxCards = 100;
inline constexpr int kFitsHeaderBufferBytes = kFitsMaxCards * kFitsCardBytes;  // 8000
inline constexpr int kFitsMaxSide = 16000;
inline constexpr int kFitsTrailerBytes = 5312;

// The reader and writer return 0, always: every failure throws (FileError, OutOfMemoryError).

// Decodes a FITS image held in memory. Trace lines go to standard output as the reader writes them.
// Throws FileError for a header without END (within 72 cards) and for an image over 16000 pixels
// (after its trace lines), OutOfMemoryError when the plane cannot be allocated. headerBuffer, when
// not null, receives the cards (kFitsHeaderBufferBytes bytes).
int DecodeFits(const uint8_t* bytes, size_t size, char* headerBuffer, int& width, int& height,
               int& headerCards, int& bzero, IntPlane& plane);

// Reads the file at path: "file open error    %s\n" and FileError when it cannot be opened. Never
// waits for a FIFO's writer, and reads a stream only as far as its header declares.
int ReadFits(const char* path, char* headerBuffer, int& width, int& height, int& headerCards, int& bzero,
             IntPlane& plane);

// The exact bytes WriteFits stores for a plane.
std::vector<uint8_t> EncodeFits(int width, int height, const IntPlane& plane);

// Writes the file through ReplaceFile: an existing file is replaced only by a complete new one, and
// stays as it was when the write fails. "file open error    %s\n" and FileError when the file cannot
// be created; FileError naming the file and the reason when a write fails.
int WriteFits(const char* path, int width, int height, const IntPlane& plane);
