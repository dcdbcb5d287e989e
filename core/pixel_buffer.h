// The one source of large pixel memory, for planes and pictures alike.
#pragma once

#include <cstddef>
#include <cstdint>

// Unset bytes for samples or pixels. Blocks of a mebibyte and more are mapped on 2 MiB
// boundaries; those that fill whole huge pages (planes) are offered to transparent huge pages, so
// the first touch costs one fault per 2 MiB instead of one per 4 KiB page. Released blocks are kept
// for reuse (up to a few tens of MiB), so the next plane or picture of a similar size gets pages
// that are already faulted in. Buffers of just under a mebibyte share blocks, a mebibyte each: a
// kept block or a fresh huge page. Smaller blocks come from the heap. Move-only.
class PixelBuffer {
  public:
    PixelBuffer() = default;
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;
    ~PixelBuffer() { release(); }

    // Replaces the contents by bytes unset bytes; false (and an empty buffer) when memory runs out.
    bool allocate(size_t bytes);
    void release();

    uint8_t* data() const { return m_data; }
    size_t size() const { return m_size; }

  private:
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_mapped = 0;  // length of the mapping, 0 for a heap block or a slot
    bool m_slot = false;  // a slot of a shared block
};

// Returns the kept blocks to the system (benchmarks use it to measure fresh memory).
void ReleaseCachedPixelMemory();
