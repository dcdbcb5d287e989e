#include "core/pixel_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kMapThreshold = size_t{1} << 20;
constexpr size_t kPage = 4096;

// Released mappings kept for reuse. A request takes the smallest kept block that holds it and
// wastes at most half of it: a 3 MB picture or a 2 MB file buffer may take a 4 MB plane's block
// (whose pages are already faulted in) instead of a fresh huge page. Of equal blocks it takes the
// one kept last, which is the likeliest to be still in cache.
constexpr int kMaxCachedBlocks = 16;
constexpr size_t kMaxCachedBytes = size_t{64} << 20;

// Buffers of 7/8 MiB to 1 MiB (a sample window's levels) take a 1 MiB slot of a shared block:
// a released block, whose pages are already faulted in, or a fresh huge page. A block goes back to
// the cache when its last slot is released.
constexpr size_t kSlot = size_t{1} << 20;
constexpr size_t kMaxSplitLength = size_t{8} << 20;

struct SplitBlock {
    uint8_t* base;
    size_t length;
    uint8_t used;  // one bit per slot
};

struct BlockCache {
    std::mutex mutex;
    void* blocks[kMaxCachedBlocks] = {};
    size_t lengths[kMaxCachedBlocks] = {};
    int count = 0;
    size_t bytes = 0;
    std::vector<SplitBlock> split;
};

// Never destroyed, so buffers held by static objects can still be released at exit.
BlockCache& blockCache() {
    static BlockCache* cache = new BlockCache;
    return *cache;
}

// Takes kept block i out of the cache (the caller holds the lock).
void* takeLocked(BlockCache& cache, int best, size_t& taken) {
    void* block = cache.blocks[best];
    taken = cache.lengths[best];
    --cache.count;
    cache.blocks[best] = cache.blocks[cache.count];
    cache.lengths[best] = cache.lengths[cache.count];
    cache.bytes -= taken;
    return block;
}

void* takeCached(size_t length, size_t& taken) {
    BlockCache& cache = blockCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    int best = -1;
    for (int i = 0; i < cache.count; ++i) {
        const size_t l = cache.lengths[i];
        if (l >= length && l - length <= l / 2 && (best < 0 || l <= cache.lengths[best])) best = i;
    }
    return best < 0 ? nullptr : takeLocked(cache, best, taken);
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

// A mapping of length bytes (a whole number of pages) starting on a huge-page boundary, offered to
// transparent huge pages when huge is set.
void* mapAligned(size_t length, bool huge) {
    if (length > SIZE_MAX - kHugePage) return nullptr;
    // Over-map by one huge page so an aligned window of the right length can be cut out of it.
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    const size_t head = aligned - start;
    const size_t tail = kHugePage - head;
    if (head != 0) munmap(raw, head);
    if (tail != 0) munmap(reinterpret_cast<void*>(aligned + length), tail);
    if (huge) madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

// A free slot: of a block already split, else of the smallest kept block that holds one, else of
// a fresh huge page.
uint8_t* takeSlot() {
    BlockCache& cache = blockCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    for (SplitBlock& block : cache.split) {
        const int slots = static_cast<int>(block.length / kSlot);
        for (int k = 0; k < slots; ++k)
            if (!(block.used & (1u << k))) {
                block.used = static_cast<uint8_t>(block.used | 1u << k);
                return block.base + k * kSlot;
            }
    }
    int best = -1;
    for (int i = 0; i < cache.count; ++i) {
        const size_t l = cache.lengths[i];
        if (l >= kSlot && l <= kMaxSplitLength && (best < 0 || l < cache.lengths[best])) best = i;
    }
    size_t length = kHugePage;
    void* block = best >= 0 ? takeLocked(cache, best, length) : mapAligned(kHugePage, true);
    if (block == nullptr) return nullptr;
    try {
        cache.split.push_back({static_cast<uint8_t*>(block), length, 1});
    } catch (const std::bad_alloc&) {
        munmap(block, length);
        return nullptr;
    }
    return static_cast<uint8_t*>(block);
}

void giveSlot(uint8_t* slot) {
    void* block = nullptr;
    size_t length = 0;
    {
        BlockCache& cache = blockCache();
        std::lock_guard<std::mutex> lock(cache.mutex);
        for (size_t i = 0; i < cache.split.size(); ++i) {
            SplitBlock& b = cache.split[i];
            if (slot < b.base || slot >= b.base + b.length) continue;
            b.used = static_cast<uint8_t>(b.used & ~(1u << ((slot - b.base) / kSlot)));
            if (b.used != 0) return;
            block = b.base;
            length = b.length;
            cache.split.erase(cache.split.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    if (block != nullptr) giveBack(block, length);
}

}  // namespace

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_mapped(std::exchange(other.m_mapped, 0)),
      m_slot(std::exchange(other.m_slot, false)) {}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapped = std::exchange(other.m_mapped, 0);
        m_slot = std::exchange(other.m_slot, false);
    }
    return *this;
}

bool PixelBuffer::allocate(size_t bytes) {
    release();
    if (bytes == 0) return true;
    if (bytes > kSlot - kSlot / 8 && bytes <= kSlot) {
        m_data = takeSlot();
        if (m_data == nullptr) return false;
        m_size = bytes;
        m_slot = true;
        return true;
    }
    if (bytes < kMapThreshold) {
        m_data = new (std::nothrow) uint8_t[bytes];
        if (m_data == nullptr) return false;
        m_size = bytes;
        return true;
    }
    if (bytes > SIZE_MAX - kHugePage) return false;
    // Whole huge pages when that wastes little (a 4 MB plane maps 4 MiB, all of it in huge pages);
    // otherwise small pages (a 3 MB picture). Measured on the benchmark's pictures, which are
    // written once right after they are made: a huge page is cleared by the kernel in one go and
    // falls out of the cache before it is filled, so small pages, each cleared just before its
    // fill, cost less there.
    size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    const bool huge = length - bytes <= length / 8;
    if (!huge) length = (bytes + kPage - 1) / kPage * kPage;
    size_t mapped = length;
    void* block = takeCached(length, mapped);
    if (block == nullptr) block = mapAligned(length, huge);
    if (block == nullptr) return false;
    m_data = static_cast<uint8_t*>(block);
    m_size = bytes;
    m_mapped = mapped;
    return true;
}

void PixelBuffer::release() {
    if (m_slot)
        giveSlot(m_data);
    else if (m_mapped != 0)
        giveBack(m_data, m_mapped);
    else
        delete[] m_data;
    m_data = nullptr;
    m_size = 0;
    m_mapped = 0;
    m_slot = false;
}

void ReleaseCachedPixelMemory() {
    BlockCache& cache = blockCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    for (int i = 0; i < cache.count; ++i) munmap(cache.blocks[i], cache.lengths[i]);
    cache.count = 0;
    cache.bytes = 0;
}
