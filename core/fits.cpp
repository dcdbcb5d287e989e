#include "core/fits.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/errors.h"
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

// The whole contents of an open file: mapped when it is a regular file, read otherwise.
class FileBytes {
  public:
    explicit FileBytes(int fd) {
        struct stat st;
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            m_size = static_cast<size_t>(st.st_size);
            if (m_size == 0) return;
            void* map = mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (map != MAP_FAILED) {
                m_map = static_cast<const uint8_t*>(map);
                return;
            }
        }
        m_size = 0;
        uint8_t chunk[65536];
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                m_failed = true;
                return;
            }
            if (n == 0) break;
            m_copy.insert(m_copy.end(), chunk, chunk + n);
        }
        m_size = m_copy.size();
    }
    ~FileBytes() {
        if (m_map != nullptr) munmap(const_cast<uint8_t*>(m_map), m_size);
    }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    const uint8_t* data() const { return m_map != nullptr ? m_map : m_copy.data(); }
    size_t size() const { return m_size; }
    bool failed() const { return m_failed; }

  private:
    const uint8_t* m_map = nullptr;
    std::vector<uint8_t> m_copy;
    size_t m_size = 0;
    bool m_failed = false;
};

class FdCloser {
  public:
    explicit FdCloser(int fd) : m_fd(fd) {}
    ~FdCloser() {
        if (m_fd >= 0) ::close(m_fd);
    }
    // Closes now and reports whether close succeeded.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

bool writeAll(int fd, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd, bytes, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

int DecodeFits(const uint8_t* bytes, size_t size, char* headerBuffer, int& width, int& height,
               int& headerCards, int& bzero, IntPlane& plane) {
    // Card scan: bytes past the end read 255, but a header must reach its END card within two blocks.
    uint8_t cards[kMaxHeaderCards][kFitsCardBytes];
    int count = 0;
    bool end = false;
    auto readCard = [&]() {
        const size_t offset = static_cast<size_t>(count) * kFitsCardBytes;
        uint8_t* card = cards[count];
        std::memset(card, 0xFF, kFitsCardBytes);
        if (offset < size) std::memcpy(card, bytes + offset, std::min<size_t>(kFitsCardBytes, size - offset));
        if (headerBuffer != nullptr) std::memcpy(headerBuffer + offset, card, kFitsCardBytes);
        ++count;
        return card;
    };
    while (!end || count < kBlockCards) {
        if (!end && (count >= kMaxHeaderCards || static_cast<size_t>(count) * kFitsCardBytes >= size))
            throw FileError("FITS ヘッダーに END カードがありません");
        const uint8_t* card = readCard();
        if (card[0] == 'E' && card[1] == 'N' && card[2] == 'D') end = true;
    }
    if (count > kBlockCards)
        while (count < kMaxHeaderCards) readCard();

    int w = 0;
    int h = 0;
    int zero = 0;
    for (int n = 0; n < count; ++n) {
        const uint8_t* card = cards[n];
        if (std::memcmp(card, "NAXIS1  ", 8) == 0) w += sizeValue(card);
        if (std::memcmp(card, "NAXIS2  ", 8) == 0) h += sizeValue(card);
        if (std::memcmp(card, "BZERO   ", 8) == 0) zero += bzeroValue(card);
    }

    if (w > kFitsMaxSide || h > kFitsMaxSide) {
        std::printf("%d %d\n", w, h);
        std::fputs("alloc error !!\n", stdout);
        char text[96];
        std::snprintf(text, sizeof text, "FITS 画像が大きすぎます (%d x %d)", w, h);
        throw FileError(text);
    }
    // Every sample is stored below, so the zeroing pass would only be overwritten.
    if (hv_detail::AllocPlaneForOverwrite(w, h, plane) != 0) throw OutOfMemoryError();

    const size_t start = static_cast<size_t>(count) * kFitsCardBytes;
    const size_t available = size > start ? size - start : 0;
    const size_t rowBytes = static_cast<size_t>(w) * 2;
    const int fullRows = rowBytes == 0 ? h : static_cast<int>(std::min<size_t>(h, available / rowBytes));
    hv_detail::BigEndianRowsToColumns(bytes + std::min(start, size), rowBytes, w, 0, fullRows, plane.data(),
                                      static_cast<size_t>(h));
    // Rows reaching past the end: every missing byte reads 255.
    for (int y = fullRows; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * 2;
            const int hi = i < available ? bytes[start + i] : 0xFF;
            const int lo = i + 1 < available ? bytes[start + i + 1] : 0xFF;
            plane[x][y] = hi * 256 + lo;
        }
    }

    width = w;
    height = h;
    headerCards = count;
    bzero = zero;
    return 0;
}

int ReadFits(const char* path, char* headerBuffer, int& width, int& height, int& headerCards, int& bzero,
             IntPlane& plane) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::printf("file open error    %s\n", path);
        throw FileError(withPath("ファイルを開けません", path));
    }
    FdCloser closer(fd);
    FileBytes file(fd);
    if (file.failed()) throw FileError(withPath("ファイルを読めません", path));
    try {
        return DecodeFits(file.data(), file.size(), headerBuffer, width, height, headerCards, bzero, plane);
    } catch (const FileError& error) {
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
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        std::printf("file open error    %s\n", path);
        throw FileError(withPath("ファイルを作成できません", path));
    }
    FdCloser closer(fd);
    struct stat st;
    // Only a regular file is removed after a failed write (never a device such as /dev/full).
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);

    // Rows are encoded into one reused buffer of about 1 MiB and written in large pieces; the header
    // goes in front of the first piece and the trailer after the last.
    constexpr size_t kChunkBytes = size_t{1} << 20;
    static thread_local std::vector<uint8_t> buffer;
    const size_t rowBytes = static_cast<size_t>(width) * 2;
    const int rowsPerChunk =
        rowBytes == 0 ? std::max(height, 1) : static_cast<int>(std::max<size_t>(1, kChunkBytes / rowBytes));
    bool ok = true;
    int y = 0;
    bool first = true;
    do {
        const int y1 = std::min(height, y + rowsPerChunk);
        const size_t head = first ? kBlockBytes : 0;
        const size_t body = static_cast<size_t>(y1 - y) * rowBytes;
        const size_t tail = y1 == height ? kFitsTrailerBytes : 0;
        if (buffer.size() < head + body + tail) buffer.resize(head + body + tail);
        if (first) buildHeader(width, height, buffer.data());
        if (body != 0)
            hv_detail::ColumnsToBigEndianRows(plane.data(), static_cast<size_t>(plane.height()), width, y, y1,
                                              buffer.data() + head, rowBytes);
        if (tail != 0) std::memset(buffer.data() + head + body, 0, tail);
        ok = writeAll(fd, buffer.data(), head + body + tail);
        first = false;
        y = y1;
    } while (ok && y < height);
    if (buffer.size() > 4 * kChunkBytes) std::vector<uint8_t>().swap(buffer);
    ok = closer.close() && ok;
    if (!ok) {
        if (regular) ::unlink(path);
        throw FileError(withPath("ファイルに書き込めません", path));
    }
    return 0;
}
