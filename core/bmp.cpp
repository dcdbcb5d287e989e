#include "core/bmp.h"

#include "core/errors.h"

namespace {

void put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, v & 0xffffu);
    put16(p + 2, v >> 16);
}

// Size of the file; FileError when it does not fit the format's 32-bit size fields.
uint64_t checkedFileBytes(const Picture& picture) {
    const uint64_t stride = (3ull * static_cast<uint64_t>(picture.width()) + 3) / 4 * 4;
    const uint64_t fileBytes = stride * static_cast<uint64_t>(picture.height()) + kBmpPixelOffset;
    if (fileBytes > 0xffffffffull) throw FileError("画像が大きすぎてビットマップに保存できません");
    return fileBytes;
}

}  // namespace

void EncodeBmp(const Picture& picture, const std::function<void(const uint8_t*, size_t)>& sink) {
    const int w = picture.width();
    const int h = picture.height();
    const uint64_t fileBytes = checkedFileBytes(picture);
    const uint64_t rowBytes = 3ull * static_cast<uint64_t>(w);
    const uint64_t stride = (rowBytes + 3) / 4 * 4;
    const uint64_t imageBytes = fileBytes - kBmpPixelOffset;

    uint8_t header[kBmpPixelOffset] = {};
    header[0] = 'B';
    header[1] = 'M';
    put32(header + 2, static_cast<uint32_t>(fileBytes));
    put32(header + 10, kBmpPixelOffset);
    uint8_t* info = header + kBmpFileHeaderBytes;
    put32(info + 0, kBmpInfoHeaderBytes);
    put32(info + 4, static_cast<uint32_t>(w));
    put32(info + 8, static_cast<uint32_t>(h));  // positive: rows stored bottom-up
    put16(info + 12, 1);                        // planes
    put16(info + 14, 24);                       // bits per pixel
    put32(info + 16, 0);                        // uncompressed
    put32(info + 20, static_cast<uint32_t>(imageBytes));
    sink(header, sizeof header);

    // The picture's own padding is not trusted to be zero: each row is sent as its pixels plus
    // explicit zero bytes.
    static const uint8_t kZeros[4] = {};
    const size_t padding = static_cast<size_t>(stride - rowBytes);
    for (int y = h - 1; y >= 0; --y) {
        sink(picture.row(y), static_cast<size_t>(rowBytes));
        if (padding) sink(kZeros, padding);
    }
}

std::vector<uint8_t> EncodeBmp(const Picture& picture) {
    std::vector<uint8_t> bytes;
    EncodeBmp(picture, [&](const uint8_t* p, size_t n) { bytes.insert(bytes.end(), p, p + n); });
    return bytes;
}

BmpHead ParseBmpHead(const uint8_t* bytes, size_t size) {
    BmpHead head;
    if (size < 26 || bytes[0] != 'B' || bytes[1] != 'M') return head;
    const auto u16 = [&](size_t at) { return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8); };
    const auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    head.fileSize = u32(2);
    const uint64_t offset = u32(10);
    const uint32_t headerSize = u32(14);
    int64_t width = 0, height = 0;
    uint32_t bpp = 0;
    bool uncompressed = true;
    if (headerSize == 12) {  // OS/2 core header: 16-bit sizes, never compressed
        width = u16(18);
        height = u16(20);
        bpp = u16(24);
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 ||
               headerSize == 108 || headerSize == 124) {
        if (size < kBmpHeadProbeBytes) return head;
        width = static_cast<int32_t>(u32(18));
        height = static_cast<int32_t>(u32(22));
        bpp = u16(28);
        const uint32_t compression = u32(30);
        // 0 plain, 3 bit fields (Huffman in the OS/2 64-byte header), 6 bit fields with alpha.
        uncompressed = compression == 0 || ((compression == 3 || compression == 6) && headerSize != 64);
    } else {
        return head;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return head;
    if (height < 0) height = -height;  // top-down rows
    if (width <= 0 || height == 0) return head;
    head.valid = true;
    head.width = width;
    head.height = height;
    // At most 2^36 bytes a row and 2^31 rows: the size is formed with overflow checks and left at 0
    // (unknown) when it does not fit.
    const uint64_t stride = (static_cast<uint64_t>(width) * bpp + 31) / 32 * 4;
    uint64_t pixelBytes = 0;
    uint64_t fileBytes = 0;
    if (uncompressed && !__builtin_mul_overflow(stride, static_cast<uint64_t>(height), &pixelBytes) &&
        !__builtin_add_overflow(offset, pixelBytes, &fileBytes))
        head.uncompressedFileSize = fileBytes;
    return head;
}
