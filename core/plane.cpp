#include "core/plane.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "core/errors.h"

namespace {

// The body of AllocPlane without the zeroing pass.
int allocate(int width, int height, int32_t**& columnsOut, PixelBuffer& samples) {
    if (width < 0 || height < 0) return 1;

    // The table is filled only once the samples exist, so a failing request never touches it.
    int32_t** columns = new (std::nothrow) int32_t*[static_cast<size_t>(width)];
    if (columns == nullptr) return 1;

    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (count > SIZE_MAX / sizeof(int32_t) || !samples.allocate(count * sizeof(int32_t))) {
        std::fputs("Alloc Error  !!\n", stdout);
        delete[] columns;
        return 1;
    }
    int32_t* data = reinterpret_cast<int32_t*>(samples.data());
    for (int x = 0; x < width; ++x)
        columns[x] = data == nullptr ? nullptr : data + static_cast<size_t>(x) * static_cast<size_t>(height);
    columnsOut = columns;
    return 0;
}

}  // namespace

IntPlane::IntPlane(IntPlane&& other) noexcept
    : m_columns(std::exchange(other.m_columns, nullptr)),
      m_samples(std::move(other.m_samples)),
      m_width(std::exchange(other.m_width, 0)),
      m_height(std::exchange(other.m_height, 0)),
      m_valid(std::exchange(other.m_valid, false)) {}

IntPlane& IntPlane::operator=(IntPlane&& other) noexcept {
    if (this != &other) {
        release();
        m_columns = std::exchange(other.m_columns, nullptr);
        m_samples = std::move(other.m_samples);
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
        m_valid = std::exchange(other.m_valid, false);
    }
    return *this;
}

IntPlane::~IntPlane() {
    release();
}

void IntPlane::release() {
    m_samples.release();
    delete[] m_columns;
    m_columns = nullptr;
    m_width = 0;
    m_height = 0;
    m_valid = false;
}

int AllocPlane(int width, int height, IntPlane& plane) {
    if (hv_detail::AllocPlaneForOverwrite(width, height, plane) != 0) return 1;
    // The zeroing pass is part of the allocation cost the benchmark measures; fresh pages are
    // faulted in here rather than by the first filter that touches the plane.
    if (plane.data() != nullptr)
        std::memset(plane.data(), 0,
                    static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(int32_t));
    return 0;
}

int hv_detail::AllocPlaneForOverwrite(int width, int height, IntPlane& plane) {
    plane.release();
    int32_t** columns = nullptr;
    if (allocate(width, height, columns, plane.m_samples) != 0) return 1;
    plane.m_columns = columns;
    plane.m_width = width;
    plane.m_height = height;
    plane.m_valid = true;
    return 0;
}

int FreePlane(int /*width*/, int /*height*/, IntPlane& plane) {
    plane.release();
    return 0;
}

int ToggleOffset(int offset, int width, int height, IntPlane& plane) {
    // Never walk past the plane, whatever sizes the caller passes.
    const int w = width < plane.width() ? width : plane.width();
    const int h = height < plane.height() ? height : plane.height();
    if (w <= 0 || h <= 0) return 0;
    const uint32_t off = static_cast<uint32_t>(offset);
    // Two's-complement wrap keeps extreme operands defined.
    const auto fold = [offset, off](int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        return static_cast<int32_t>(v >= offset ? u - off : u + off);
    };
    if (h == plane.height()) {
        // Whole columns lie back to back: one flat loop, which the compiler vectorises.
        int32_t* v = plane.data();
        const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
        for (size_t i = 0; i < count; ++i) v[i] = fold(v[i]);
        return 0;
    }
    for (int x = 0; x < w; ++x) {
        int32_t* column = plane[x];
        for (int y = 0; y < h; ++y) column[y] = fold(column[y]);
    }
    return 0;
}

IntPlane MakePlane(int width, int height) {
    IntPlane plane;
    if (AllocPlane(width, height, plane) != 0) throw OutOfMemoryError();
    return plane;
}

int AllocByteBuffer(int count, ByteBuffer& buffer) {
    buffer.m_bytes.reset();
    buffer.m_size = 0;
    if (count < 0) return 1;
    uint8_t* bytes = new (std::nothrow) uint8_t[static_cast<size_t>(count)];
    if (bytes == nullptr) return 1;
    std::memset(bytes, 0, static_cast<size_t>(count));
    buffer.m_bytes.reset(bytes);
    buffer.m_size = static_cast<size_t>(count);
    std::fputs("extended  unsigned char 1D \n", stdout);
    return 0;
}
