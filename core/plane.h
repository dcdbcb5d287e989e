// Integer pixel planes indexed plane[x][y], and the byte buffer of the PPM reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/pixel_buffer.h"

class IntPlane;
namespace hv_detail {
// AllocPlane without the zeroing pass, for readers that store every sample themselves.
int AllocPlaneForOverwrite(int width, int height, IntPlane& plane);
}  // namespace hv_detail

// A width x height array of 32-bit samples. plane[x] is column x, contiguous in y; all columns live
// in one block (a PixelBuffer) behind the column table. Move-only, as the PixelBuffer is; the memory goes
// with the object (FreePlane releases it early).
class IntPlane {
  public:
    IntPlane() = default;
    IntPlane(IntPlane&& other) noexcept;
    IntPlane& operator=(IntPlane&& other) noexcept;
    ~IntPlane();

    int32_t* operator[](int x) const { return m_columns[x]; }
    // True once AllocPlane succeeded (also for a plane with a side of 0).
    bool valid() const { return m_valid; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Column-major samples: data()[x * height + y] is plane[x][y].
    int32_t* data() const { return reinterpret_cast<int32_t*>(m_samples.data()); }

  private:
    friend int AllocPlane(int width, int height, IntPlane& plane);
    friend int FreePlane(int width, int height, IntPlane& plane);
    friend int hv_detail::AllocPlaneForOverwrite(int width, int height, IntPlane& plane);
    void release();

    int32_t** m_columns = nullptr;
    PixelBuffer m_samples;
    int m_width = 0;
    int m_height = 0;
    bool m_valid = false;
};

// 0 on success, 1 when memory runs out (trace line "Alloc Error  !!\n" when the samples cannot be
// allocated) or a side is negative. Every sample is 0. A side of 0 gives an empty, valid plane.
int AllocPlane(int width, int height, IntPlane& plane);
// Releases the plane; always 0. Only the plane's own size matters.
int FreePlane(int width, int height, IntPlane& plane);
// v >= offset becomes v - offset, anything else v + offset; always 0.
int ToggleOffset(int offset, int width, int height, IntPlane& plane);

// AllocPlane that throws OutOfMemoryError instead of returning 1.
IntPlane MakePlane(int width, int height);

// count zero-filled bytes.
class ByteBuffer {
  public:
    uint8_t* data() { return m_bytes.get(); }
    const uint8_t* data() const { return m_bytes.get(); }
    size_t size() const { return m_size; }
    uint8_t& operator[](size_t i) { return m_bytes[i]; }

  private:
    friend int AllocByteBuffer(int count, ByteBuffer& buffer);
    std::unique_ptr<uint8_t[]> m_bytes;
    size_t m_size = 0;
};

// 0 on success (trace line "extended  unsigned char 1D \n"), 1 when memory runs out or count < 0.
int AllocByteBuffer(int count, ByteBuffer& buffer);
