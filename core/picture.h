// A 24-bit picture: three bytes per pixel in the order blue, green, red, row 0 at the top, rows
// padded to four bytes as in a device-independent bitmap. The display image and the stored image
// of every child window are Pictures; commands read and write them by rows. The bytes come from
// the PixelBuffer source, so a large picture is faulted in by huge pages where the system has them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/pixel_buffer.h"

// One level (0..255) per pixel, row-major, width bytes a row: the compact form of a picture whose
// three bytes all follow from one level.
struct LevelRows {
    int width = 0;
    int height = 0;
    PixelBuffer bytes;
    uint8_t* row(int y) const { return bytes.data() + static_cast<size_t>(y) * width; }
    // width x height unset levels; throws OutOfMemoryError.
    static std::shared_ptr<LevelRows> Make(int width, int height);
};

// How a picture's bytes follow from its level: grey (all three bytes the level) or the raw value
// of the level (blue 0, green 0, red the level).
enum class LevelForm { Grey, RawValue };

class Picture {
  public:
    // Selects the constructor that leaves the pixels unset, for callers that write every pixel
    // right after (row padding is still zeroed).
    struct Uninitialized {};

    Picture() = default;
    // A moved-from picture is empty.
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    // Copies the pixels; throws OutOfMemoryError.
    Picture(const Picture& other);
    Picture& operator=(const Picture& other);
    // A black picture; throws OutOfMemoryError when it cannot be allocated or the size is negative.
    Picture(int width, int height);
    // A picture of unset pixels; the same checks and errors as the black one.
    Picture(int width, int height, Uninitialized);
    // The picture whose pixels follow from the levels in the given form. It holds only the levels
    // (copies share them) until its rows are first asked for; a sample window's two pictures thus
    // take one byte per pixel between them, not six.
    static Picture FromLevels(std::shared_ptr<const LevelRows> levels, LevelForm form);
    // The levels of a grey picture that still holds only them (to show it as it is), else null.
    std::shared_ptr<const LevelRows> greyLevels() const;

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool isNull() const { return m_width == 0 || m_height == 0; }
    // Bytes from one row to the next (3 * width rounded up to a multiple of 4).
    int stride() const { return m_stride; }

    // Row access gives the 24-bit bytes, made from the levels on the first call where the picture
    // holds only levels (OutOfMemoryError when they cannot be); one thread at a time.
    uint8_t* row(int y) { return bits() + static_cast<size_t>(y) * m_stride; }
    const uint8_t* row(int y) const { return bits() + static_cast<size_t>(y) * m_stride; }
    uint8_t* bits() {
        if (m_levels) expandLevels();
        return m_bytes.data();
    }
    const uint8_t* bits() const {
        if (m_levels) expandLevels();
        return m_bytes.data();
    }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    // Colour value red + 256 green + 65536 blue; -1 outside the picture.
    int32_t pixelValue(int x, int y) const;
    // Writes a colour value (blue = c div 65536, green and red below it, low bytes kept); no effect
    // outside the picture.
    void setPixelValue(int x, int y, int32_t c);

    // Copies source into this picture with its top-left corner at (0, 0), clipped to both sizes.
    void draw(const Picture& source);

    // Equal sizes and equal pixels (padding ignored).
    bool samePixels(const Picture& other) const;

  private:
    void allocate(int width, int height, bool zeroed);
    void expandLevels() const;

    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    // Either the bytes or, until they are made, the levels they follow from.
    mutable PixelBuffer m_bytes;
    mutable std::shared_ptr<const LevelRows> m_levels;
    LevelForm m_form = LevelForm::Grey;
};

// Splits a colour value into its bytes with truncating divisions: -1 gives blue 0, green 0, red -1.
struct ColourParts {
    int blue;
    int green;
    int red;
};
inline ColourParts SplitColour(int32_t c) {
    const int blue = c / 65536;
    const int green = (c - 65536 * blue) / 256;
    return {blue, green, c - 65536 * blue - 256 * green};
}
inline int32_t JoinColour(int blue, int green, int red) {
    return blue * 65536 + green * 256 + red;
}
