#include "core/plane.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#include "core/errors.h"
#include "core/plane_internal.h"

namespace {

// Blocks from this size on are mapped on 2 MiB boundaries and offered to transparent huge pages:
// the first touch of a plane then costs one fault per 2 MiB instead of one per 4 KiB page.
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kMapThreshold = size_t{1} << 20;

// Released big blocks kept for reuse, keyed by their mapped length. A plane's pages then stay
// faulted in when the next plane of the same size is allocated (the benchmark frees and reads
// planes of one size over and over).
constexpr int kMaxCachedBlocks = 16;
constexpr size_t kMaxCachedBytes = size_t{64} << 20;

struct BlockCache {
    std::mutex mutex;
    void* blocks[kMaxCachedBlocks] = {};
    size_t lengths[kMaxCachedBlocks] = {};
    int count = 0;
    size_t bytes = 0;
};

// Never destroyed, so planes living in static objects can still be released at exit.
BlockCache& blockCache() {
    static BlockCache* cache = new BlockCache;
    return *cache;
}

void* takeCached(size_t length) {
    BlockCache& cache = blockCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    for (int i = cache.count - 1; i >= 0; --i) {
        if (cache.lengths[i] == length) {
            void* block = cache.blocks[i];
            --cache.count;
            cache.blocks[i] = cache.blocks[cache.count];
            cache.lengths[i] = cache.lengths[cache.count];
            cache.bytes -= length;
            return block;
        }
    }
    return nullptr;
}

void giveBack(void* block, size_t length) {
    {
        BlockCache& cache = blockCache();
        std::lock_guard<std::mutex> lock(cache.mutex);
        if (cache.count < kMaxCachedBlocks && cache.bytes + length <= kMaxCachedBytes) {
            cache.blocks[cache.count] = block;
            cache.lengths[cache.count] = length;
            ++cache.count;
            cache.bytes += length;
            return;
        }
    }
    munmap(block, length);
}

// Maps bytes rounded up to whole huge pages, aligned to a huge page. nullptr on failure.
int32_t* mapSamples(size_t bytes, size_t& mappedBytes) {
    const size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (length < bytes || length > SIZE_MAX - kHugePage) return nullptr;
    if (void* cached = takeCached(length)) {
        mappedBytes = length;
        return static_cast<int32_t*>(cached);
    }
    // Over-map by one huge page so an aligned window of the right length can be cut out of it.
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    const size_t head = aligned - start;
    const size_t tail = kHugePage - head;
    if (head != 0) munmap(raw, head);
    if (tail != 0) munmap(reinterpret_cast<void*>(aligned + length), tail);
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    mappedBytes = length;
    return reinterpret_cast<int32_t*>(aligned);
}

// The body of AllocPlane; zero selects the explicit zeroing pass.
int allocate(int width, int height, int32_t**& columnsOut, int32_t*& dataOut, size_t& mappedOut) {
    if (width < 0 || height < 0) return 1;

    // The table is filled only once the samples exist, so a failing request never touches it.
    int32_t** columns = new (std::nothrow) int32_t*[static_cast<size_t>(width)];
    if (columns == nullptr) return 1;

    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    int32_t* data = nullptr;
    size_t mapped = 0;
    if (count != 0) {
        const size_t bytes = count * sizeof(int32_t);
        if (count > SIZE_MAX / sizeof(int32_t)) {
            data = nullptr;
        } else if (bytes >= kMapThreshold) {
            data = mapSamples(bytes, mapped);
        } else {
            data = new (std::nothrow) int32_t[count];
        }
        if (data == nullptr) {
            std::fputs("Alloc Error  !!\n", stdout);
            delete[] columns;
            return 1;
        }
    }
    for (int x = 0; x < width; ++x)
        columns[x] = data == nullptr ? nullptr : data + static_cast<size_t>(x) * static_cast<size_t>(height);
    columnsOut = columns;
    dataOut = data;
    mappedOut = mapped;
    return 0;
}

}  // namespace

IntPlane::IntPlane(IntPlane&& other) noexcept
    : m_columns(std::exchange(other.m_columns, nullptr)),
      m_data(std::exchange(other.m_data, nullptr)),
      m_mappedBytes(std::exchange(other.m_mappedBytes, 0)),
      m_width(std::exchange(other.m_width, 0)),
      m_height(std::exchange(other.m_height, 0)),
      m_valid(std::exchange(other.m_valid, false)) {}

IntPlane& IntPlane::operator=(IntPlane&& other) noexcept {
    if (this != &other) {
        release();
        m_columns = std::exchange(other.m_columns, nullptr);
        m_data = std::exchange(other.m_data, nullptr);
        m_mappedBytes = std::exchange(other.m_mappedBytes, 0);
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
    if (m_mappedBytes != 0) {
        giveBack(m_data, m_mappedBytes);
    } else {
        delete[] m_data;
    }
    delete[] m_columns;
    m_columns = nullptr;
    m_data = nullptr;
    m_mappedBytes = 0;
    m_width = 0;
    m_height = 0;
    m_valid = false;
}

int AllocPlane(int width, int height, IntPlane& plane) {
    if (hv_detail::AllocPlaneForOverwrite(width, height, plane) != 0) return 1;
    // The zeroing pass is part of the allocation cost the benchmark measures; fresh pages are
    // faulted in here rather than by the first filter that touches the plane.
    if (plane.m_data != nullptr)
        std::memset(plane.m_data, 0,
                    static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(int32_t));
    return 0;
}

int hv_detail::AllocPlaneForOverwrite(int width, int height, IntPlane& plane) {
    plane.release();
    int32_t** columns = nullptr;
    int32_t* data = nullptr;
    size_t mapped = 0;
    if (allocate(width, height, columns, data, mapped) != 0) return 1;
    plane.m_columns = columns;
    plane.m_data = data;
    plane.m_mappedBytes = mapped;
    plane.m_width = width;
    plane.m_height = height;
    plane.m_valid = true;
    return 0;
}

void hv_detail::ReleaseCachedPlaneMemory() {
    BlockCache& cache = blockCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    for (int i = 0; i < cache.count; ++i) munmap(cache.blocks[i], cache.lengths[i]);
    cache.count = 0;
    cache.bytes = 0;
}

int FreePlane(int /*width*/, int /*height*/, IntPlane& plane) {
    plane.release();
    return 0;
}

int ToggleOffset(int offset, int width, int height, IntPlane& plane) {
    // Never walk past the plane, whatever sizes the caller passes.
    const int w = width < plane.width() ? width : plane.width();
    const int h = height < plane.height() ? height : plane.height();
    const uint32_t off = static_cast<uint32_t>(offset);
    for (int x = 0; x < w; ++x) {
        int32_t* column = plane[x];
        for (int y = 0; y < h; ++y) {
            const int32_t v = column[y];
            // Two's-complement wrap keeps extreme operands defined.
            const uint32_t u = static_cast<uint32_t>(v);
            column[y] = static_cast<int32_t>(v >= offset ? u - off : u + off);
        }
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
