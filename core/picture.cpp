#include "core/picture.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "core/errors.h"

Picture::Picture(int width, int height) {
    allocate(width, height, true);
}

Picture::Picture(int width, int height, Uninitialized) {
    allocate(width, height, false);
}

namespace {

int strideOf(int width) {
    return (3 * width + 3) / 4 * 4;
}

}  // namespace

std::shared_ptr<LevelRows> LevelRows::Make(int width, int height) {
    if (width < 0 || height < 0) throw OutOfMemoryError();
    auto levels = std::make_shared<LevelRows>();
    if (!levels->bytes.allocate(static_cast<size_t>(width) * static_cast<size_t>(height)))
        throw OutOfMemoryError();
    levels->width = width;
    levels->height = height;
    return levels;
}

Picture Picture::FromLevels(std::shared_ptr<const LevelRows> levels, LevelForm form) {
    Picture picture;
    if (!levels || levels->width == 0 || levels->height == 0) {
        if (levels) picture.allocate(levels->width, levels->height, true);
        return picture;
    }
    if (3LL * levels->width + 3 > 0x7fffffffLL) throw OutOfMemoryError();
    picture.m_width = levels->width;
    picture.m_height = levels->height;
    picture.m_stride = strideOf(levels->width);
    picture.m_levels = std::move(levels);
    picture.m_form = form;
    return picture;
}

std::shared_ptr<const LevelRows> Picture::greyLevels() const {
    return m_form == LevelForm::Grey ? m_levels : nullptr;
}

void Picture::expandLevels() const {
    PixelBuffer bytes;
    const size_t used = static_cast<size_t>(3) * m_width;
    if (!bytes.allocate(static_cast<size_t>(m_stride) * static_cast<size_t>(m_height)))
        throw OutOfMemoryError();
    const bool grey = m_form == LevelForm::Grey;
    for (int y = 0; y < m_height; ++y) {
        const uint8_t* l = m_levels->row(y);
        uint8_t* p = bytes.data() + static_cast<size_t>(y) * m_stride;
        for (int x = 0; x < m_width; ++x, p += 3) {
            p[0] = grey ? l[x] : 0;
            p[1] = grey ? l[x] : 0;
            p[2] = l[x];
        }
        std::memset(p, 0, m_stride - used);
    }
    m_bytes = std::move(bytes);
    m_levels.reset();
}

void Picture::allocate(int width, int height, bool zeroed) {
    m_width = m_height = m_stride = 0;
    m_bytes.release();
    m_levels.reset();
    if (width < 0 || height < 0) throw OutOfMemoryError();
    const long long stride = (3LL * width + 3) / 4 * 4;  // strideOf without overflow
    const long long size = stride * height;
    if (stride > 0x7fffffffLL || size > (1LL << 40)) throw OutOfMemoryError();
    if (!m_bytes.allocate(static_cast<size_t>(size))) throw OutOfMemoryError();
    if (zeroed && size != 0) std::memset(m_bytes.data(), 0, static_cast<size_t>(size));
    m_width = width;
    m_height = height;
    m_stride = static_cast<int>(stride);
    // Padding never holds pixels; keep it zero so whole rows compare and save the same.
    const size_t used = static_cast<size_t>(3) * width;
    if (!zeroed && used < static_cast<size_t>(m_stride))
        for (int y = 0; y < height; ++y) std::memset(row(y) + used, 0, m_stride - used);
}

Picture::Picture(Picture&& other) noexcept
    : m_width(std::exchange(other.m_width, 0)),
      m_height(std::exchange(other.m_height, 0)),
      m_stride(std::exchange(other.m_stride, 0)),
      m_bytes(std::move(other.m_bytes)),
      m_levels(std::move(other.m_levels)),
      m_form(other.m_form) {}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
        m_stride = std::exchange(other.m_stride, 0);
        m_bytes = std::move(other.m_bytes);
        m_levels = std::move(other.m_levels);
        m_form = other.m_form;
    }
    return *this;
}

Picture::Picture(const Picture& other) {
    *this = other;
}

Picture& Picture::operator=(const Picture& other) {
    if (this == &other) return *this;
    if (other.m_levels) {
        // The levels are never changed: share them.
        m_bytes.release();
        m_width = other.m_width;
        m_height = other.m_height;
        m_stride = other.m_stride;
        m_levels = other.m_levels;
        m_form = other.m_form;
        return *this;
    }
    allocate(other.m_width, other.m_height, false);
    if (m_bytes.size() != 0) std::memcpy(m_bytes.data(), other.m_bytes.data(), m_bytes.size());
    return *this;
}

int32_t Picture::pixelValue(int x, int y) const {
    if (!contains(x, y)) return -1;
    if (m_levels) {
        const int level = m_levels->row(y)[x];
        return m_form == LevelForm::Grey ? level * 0x010101 : level;
    }
    const uint8_t* p = row(y) + 3 * x;
    return p[2] + 256 * p[1] + 65536 * p[0];
}

void Picture::setPixelValue(int x, int y, int32_t c) {
    if (!contains(x, y)) return;
    uint8_t* p = row(y) + 3 * x;
    const ColourParts parts = SplitColour(c);
    p[0] = static_cast<uint8_t>(parts.blue);
    p[1] = static_cast<uint8_t>(parts.green);
    p[2] = static_cast<uint8_t>(parts.red);
}

void Picture::draw(const Picture& source) {
    const int w = std::min(m_width, source.m_width);
    const int h = std::min(m_height, source.m_height);
    if (w <= 0) return;  // a picture without columns has no row storage to copy
    for (int y = 0; y < h; ++y) std::memcpy(row(y), source.row(y), static_cast<size_t>(3) * w);
}

bool Picture::samePixels(const Picture& other) const {
    if (m_width != other.m_width || m_height != other.m_height) return false;
    if (m_width == 0) return true;  // no row storage to compare
    for (int y = 0; y < m_height; ++y)
        if (std::memcmp(row(y), other.row(y), static_cast<size_t>(3) * m_width) != 0) return false;
    return true;
}
