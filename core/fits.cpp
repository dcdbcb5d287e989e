#include "core/fits.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "core/codec_internal.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/pixel_buffer.h"
#include "core/transpose_internal.h"

namespace {

constexpr int kBlockCards = 36;
constexpr int kMaxHeaderCards = 2 * kBlockCards;  // headers of one or two blocks only
constexpr int kBlockBytes = kBlockCards * kFitsCardBytes;
int digitAt(const uint8_t* card, int i) {
    const uint8_t c = card[i];
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

// The fixed-column value of a size card: the last four characters of the value field.
int sizeValue(const uint8_t* card) {
    return digitAt(card, 29) + 10 * digitAt(card, 28) + 100 * digitAt(card, 27) + 1000 * digitAt(card, 26);
}

// The integer part of a value with eight decimals ending in column 30.
int bzeroValue(const uint8_t* card) {
    return digitAt(card, 20) + 10 * digitAt(card, 19) + 100 * digitAt(card, 18) + 1000 * digitAt(card, 17) +
           10000 * digitAt(card, 16) + 100000 * digitAt(card, 15);
}

void putText(uint8_t* card, int column, const char* text) {
    std::memcpy(card + column, text, std::strlen(text));
}

void putSize(uint8_t* card, const char* keyword, int value) {
    putText(card, 0, keyword);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", value);
    putText(card, value < 1000 ? 27 : 26, digits);
}

void buildHeader(int width, int height, uint8_t* header) {
    std::memset(header, ' ', kBlockBytes);
    auto card = [header](int n) { return header + n * kFitsCardBytes; };
    putText(card(0), 0, "SIMPLE  =                    T");
    putText(card(1), 0, "BITPIX  =                   16");
    putText(card(2), 0, "NAXIS   =                    2");
    putSize(card(3), "NAXIS1  =", width);
    putSize(card(4), "NAXIS2  =", height);
    putText(card(5), 0, "BZERO   =           0.00000000");
    putText(card(6), 0, "BSCALE  =           1.00000000");
    putText(card(7), 0, "COMMENT = 'Arranged by VORTAN'");
    putText(card(9), 0, "END");
}

void checkWritable(int width, int height, const IntPlane& plane) {
    if (width < 0 || height < 0 ||
        (width > 0 && height > 0 && (width > plane.width() || height > plane.height())))
        throw HvError("FITS: 画像の大きさが面と一致しません");
}

std::string withPath(const std::string& message, const char* path) {
    return message + ": " + path;
}

// Byte i of a card that starts `available` bytes before the end of the data: past the end, 255.
uint8_t cardByte(const uint8_t* card, size_t available, int i) {
    return static_cast<size_t>(i) < available ? card[i] : 0xFF;
}

// The number of cards the header takes: 36 when an END card lies in the first block, 72 when it
// lies in the second; 0 when none of the first 72 cards that start within the data is one. A
// keyword that merely begins with END ends the header too.
int headerCardCount(const uint8_t* bytes, size_t size) {
    for (int n = 0; n < kMaxHeaderCards && static_cast<size_t>(n) * kFitsCardBytes < size; ++n) {
        const size_t offset = static_cast<size_t>(n) * kFitsCardBytes;
        const uint8_t* card = bytes + offset;
        if (cardByte(card, size - offset, 0) == 'E' && cardByte(card, size - offset, 1) == 'N' &&
            cardByte(card, size - offset, 2) == 'D')
            return n < kBlockCards ? kBlockCards : kMaxHeaderCards;
    }
    return 0;
}

struct SizeCards {
    int width = 0;
    int height = 0;
    int bzero = 0;
};

// Every matching card adds its value, so a keyword that occurs twice yields the sum.
SizeCards readSizeCards(const uint8_t (*cards)[kFitsCardBytes], int count) {
    SizeCards sizes;
    for (int n = 0; n < count; ++n) {
        const uint8_t* card = cards[n];
        if (std::memcmp(card, "NAXIS1  ", 8) == 0) sizes.width += sizeValue(card);
        if (std::memcmp(card, "NAXIS2  ", 8) == 0) sizes.height += sizeValue(card);
        if (std::memcmp(card, "BZERO   ", 8) == 0) sizes.bzero += bzeroValue(card);
    }
    return sizes;
}

// The bytes the decoder reads: the header, and the samples unless the image is refused.
std::optional<size_t> neededBytes(const uint8_t* bytes, size_t size) {
    const int count = headerCardCount(bytes, size);
    if (count == 0) {
        const size_t longest = static_cast<size_t>(kMaxHeaderCards) * kFitsCardBytes;
        return size >= longest ? std::optional<size_t>(longest) : std::nullopt;  // refused by then
    }
    const size_t headerBytes = static_cast<size_t>(count) * kFitsCardBytes;
    if (size < headerBytes) return std::nullopt;
    const SizeCards sizes = readSizeCards(reinterpret_cast<const uint8_t(*)[kFitsCardBytes]>(bytes), count);
    if (sizes.width > kFitsMaxSide || sizes.height > kFitsMaxSide) return headerBytes;
    return headerBytes + static_cast<size_t>(sizes.width) * static_cast<size_t>(sizes.height) * 2;
}

// Sample rows are decoded in bands of about this many bytes: with the plane's part it fills, a band
// stays in a 1 MiB L2 between the read and the decode, and fewer, larger reads cost less (on the
// benchmark's files, 64 KiB bands took 14.5 ms, 128 KiB 13.3 and 256 KiB 12.9). Bands are whole
// 16-row blocks (the widest transposition's), so that no band leaves rows to the narrow paths.
constexpr size_t kBandBytes = size_t{256} << 10;

// Where a band or the header is copied when it is not in memory whole: one mebibyte of pixel memory
// (a slot whose pages are usually faulted in already), taken when first needed.
class Scratch {
  public:
    static constexpr size_t kBytes = size_t{1} << 20;
    static_assert(kBandBytes <= kBytes && size_t{16} * 2 * kFitsMaxSide <= kBytes &&
                  size_t{kMaxHeaderCards} * kFitsCardBytes <= kBytes);
    uint8_t* data() {
        if (m_buffer.size() == 0 && !m_buffer.allocate(kBytes)) throw OutOfMemoryError();
        return m_buffer.data();
    }

  private:
    PixelBuffer m_buffer;
};

// Where the decoder's bytes come from. bytes(offset, count, scratch) gives the count bytes from
// offset on, every byte past the end reading 255: the bytes in place when they are all there, else
// a copy in scratch.
class MemoryBytes {
  public:
    MemoryBytes(const uint8_t* bytes, size_t size) : m_bytes(bytes), m_size(size) {}
    size_t size() const { return m_size; }
    const uint8_t* bytes(size_t offset, size_t count, Scratch& scratch) const {
        if (offset <= m_size && count <= m_size - offset) return m_bytes + offset;
        const size_t present = offset < m_size ? m_size - offset : 0;
        uint8_t* copy = scratch.data();
        if (present > 0) std::memcpy(copy, m_bytes + offset, present);
        std::memset(copy + present, 0xFF, count - present);
        return copy;
    }

  private:
    const uint8_t* m_bytes;
    size_t m_size;
};

// A regular file, read a band at a time: the band is decoded while it is still in cache, and no
// mapping of the whole file is set up and torn down (on some virtual machines that costs more than
// the reading itself).
class FileBytes {
  public:
    explicit FileBytes(InputFile& file) : m_file(file) {}
    size_t size() const { return m_file.size(); }
    const uint8_t* bytes(size_t offset, size_t count, Scratch& scratch) const {
        uint8_t* copy = scratch.data();
        const size_t present = m_file.readAt(offset, copy, count);
        std::memset(copy + present, 0xFF, count - present);
        return copy;
    }

  private:
    InputFile& m_file;
};

template <class Source>
bool decodeFits(long long maxPixels, const Source& source, char* headerBuffer, int& width, int& height,
                int& headerCards, int& bzero, IntPlane& plane) {
    // Card scan: bytes past the end read 255, but a header must reach its END card within two blocks.
    Scratch scratch;
    uint8_t cards[kMaxHeaderCards][kFitsCardBytes];
    std::memcpy(cards, source.bytes(0, sizeof cards, scratch), sizeof cards);
    const int count = headerCardCount(&cards[0][0], std::min(source.size(), sizeof cards));
    if (count == 0) throw FileError("FITS ヘッダーに END カードがありません");
    if (headerBuffer != nullptr)
        std::memcpy(headerBuffer, cards, static_cast<size_t>(count) * kFitsCardBytes);
    const SizeCards sizes = readSizeCards(cards, count);
    const int w = sizes.width;
    const int h = sizes.height;

    if (w > kFitsMaxSide || h > kFitsMaxSide) {
        std::printf("%d %d\n", w, h);
        std::fputs("alloc error !!\n", stdout);
        char text[96];
        std::snprintf(text, sizeof text, "FITS 画像が大きすぎます (%d x %d)", w, h);
        throw FileError(text);
    }
    if (static_cast<long long>(w) * h > maxPixels) return false;
    // Every sample is stored below, so the zeroing pass would only be overwritten.
    if (hv_detail::AllocPlaneForOverwrite(w, h, plane) != 0) throw OutOfMemoryError();

    const size_t start = static_cast<size_t>(count) * kFitsCardBytes;
    const size_t rowBytes = static_cast<size_t>(w) * 2;
    const int bandRows = rowBytes == 0
                             ? std::max(h, 1)
                             : static_cast<int>(std::max<size_t>(1, kBandBytes / rowBytes / 16) * 16);
    for (int y = 0; y < h; y += bandRows) {
        const int rows = std::min(bandRows, h - y);
        const uint8_t* band = source.bytes(start + static_cast<size_t>(y) * rowBytes,
                                           static_cast<size_t>(rows) * rowBytes, scratch);
        hv_detail::BigEndianRowsToColumns(band, rowBytes, w, y, y + rows, plane.data(),
                                          static_cast<size_t>(h));
    }

    width = w;
    height = h;
    headerCards = count;
    bzero = sizes.bzero;
    return true;
}

}  // namespace

bool hv_detail::DecodeFitsWithin(long long maxPixels, const uint8_t* bytes, size_t size, char* headerBuffer,
                                 int& width, int& height, int& headerCards, int& bzero, IntPlane& plane) {
    return decodeFits(maxPixels, MemoryBytes(bytes, size), headerBuffer, width, height, headerCards, bzero,
                      plane);
}

int DecodeFits(const uint8_t* bytes, size_t size, char* headerBuffer, int& width, int& height,
               int& headerCards, int& bzero, IntPlane& plane) {
    hv_detail::DecodeFitsWithin(LLONG_MAX, bytes, size, headerBuffer, width, height, headerCards, bzero,
                                plane);
    return 0;
}

int ReadFits(const char* path, char* headerBuffer, int& width, int& height, int& headerCards, int& bzero,
             IntPlane& plane) {
    InputFile file = OpenInputFile(path, "file open error    %s\n");
    // A stream is read only as far as its header declares, then decoded in memory.
    // (So is a regular file that reports no size, as /proc files do.)
    const bool banded = file.regular() && file.size() > 0;
    const InputBytes streamed = banded ? InputBytes() : file.bytes(neededBytes);
    try {
        if (!banded)
            return DecodeFits(streamed.data(), streamed.size(), headerBuffer, width, height, headerCards,
                              bzero, plane);
        decodeFits(LLONG_MAX, FileBytes(file), headerBuffer, width, height, headerCards, bzero, plane);
        file.checkRead();
        return 0;
    } catch (const FileError& error) {
        file.checkRead();  // a read error is the cause, whatever the decoder made of the missing bytes
        throw FileError(withPath(error.what(), path));
    }
}

std::vector<uint8_t> EncodeFits(int width, int height, const IntPlane& plane) {
    checkWritable(width, height, plane);
    const size_t dataBytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 2;
    std::vector<uint8_t> out(kBlockBytes + dataBytes + kFitsTrailerBytes);
    buildHeader(width, height, out.data());
    if (width > 0)
        hv_detail::ColumnsToBigEndianRows(plane.data(), static_cast<size_t>(plane.height()), width, 0, height,
                                          out.data() + kBlockBytes, static_cast<size_t>(width) * 2);
    return out;  // the trailer is the vector's zero fill
}

int WriteFits(const char* path, int width, int height, const IntPlane& plane) {
    checkWritable(width, height, plane);
    // Rows are encoded into one buffer and written in pieces of up to 4 MiB, so a 1000 x 1000 image
    // goes out in one write(): the kernel handles one large piece faster than several small ones.
    // The header goes in front of the first piece and the trailer after the last. The buffer is
    // pixel memory, so the next file gets its pages back already faulted in.
    constexpr size_t kChunkBytes = size_t{4} << 20;
    const size_t rowBytes = static_cast<size_t>(width) * 2;
    const int rowsPerChunk =
        rowBytes == 0 ? std::max(height, 1) : static_cast<int>(std::max<size_t>(1, kChunkBytes / rowBytes));
    PixelBuffer buffer;
    if (!buffer.allocate(kBlockBytes + static_cast<size_t>(std::min(height, rowsPerChunk)) * rowBytes +
                         kFitsTrailerBytes))
        throw OutOfMemoryError();
    ReplaceFile(
        path,
        [&](int fd) {
            bool ok = true;
            int y = 0;
            bool first = true;
            do {
                const int y1 = std::min(height, y + rowsPerChunk);
                const size_t head = first ? kBlockBytes : 0;
                const size_t body = static_cast<size_t>(y1 - y) * rowBytes;
                const size_t tail = y1 == height ? kFitsTrailerBytes : 0;
                if (first) buildHeader(width, height, buffer.data());
                if (body != 0)
                    hv_detail::ColumnsToBigEndianRows(plane.data(), static_cast<size_t>(plane.height()),
                                                      width, y, y1, buffer.data() + head, rowBytes);
                if (tail != 0) std::memset(buffer.data() + head + body, 0, tail);
                ok = WriteAll(fd, buffer.data(), head + body + tail);
                first = false;
                y = y1;
            } while (ok && y < height);
            return ok;
        },
        "file open error    %s\n");
    return 0;
}
