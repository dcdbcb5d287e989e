// Whole-picture edits of 24-bit pictures: negative, left-right mirror, vertical flip, and the
// grey image of one colour channel. Each builds a new picture of the source's size and leaves the
// source untouched; the commands decide where the result is drawn.
#pragma once

#include "core/picture.h"

// Byte channels of a pixel, in picture order.
inline constexpr int kBlueChannel = 0;
inline constexpr int kGreenChannel = 1;
inline constexpr int kRedChannel = 2;

// Every byte b becomes 255 - b; applying it twice gives the source back.
Picture NegativeOf(const Picture& source);

// Ordinary left-right mirror: pixel x of each row takes pixel width - 1 - x of the same row, its
// three bytes kept together.
Picture MirrorOf(const Picture& source);

// Row y takes row height - 1 - y, pixels in the same order.
Picture FlipOf(const Picture& source);

// Grey picture of one channel (kBlueChannel, kGreenChannel or kRedChannel): all three bytes of each
// pixel take that channel's byte of the source pixel. Any other channel throws std::invalid_argument.
Picture ChannelOf(const Picture& source, int channel);
