#include "core/ppm.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>
#include <string>

#include "core/codec_internal.h"
#include "core/errors.h"
#include "core/file_io.h"

namespace {

constexpr int kTile = 64;
// The comment line is read like fgets into a 200-byte buffer: at most 199 characters.
constexpr size_t kCommentChars = 199;

bool isSpace(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A read position over the header with the scanf-style conversions the header scan uses.
class Scanner {
  public:
    Scanner(const uint8_t* bytes, size_t size) : m_bytes(bytes), m_size(size) {}

    size_t position() const { return m_pos; }

    void skipSpace() {
        while (m_pos < m_size && isSpace(m_bytes[m_pos])) ++m_pos;
    }

    // "%s": a word of non-blank characters after any blanks; empty at the end of the data.
    std::string word() {
        skipSpace();
        const size_t start = m_pos;
        while (m_pos < m_size && !isSpace(m_bytes[m_pos])) ++m_pos;
        return std::string(reinterpret_cast<const char*>(m_bytes) + start, m_pos - start);
    }

    // "%d": blanks, an optional sign, decimal digits. False when no integer stands there or it does
    // not fit an int.
    bool integer(int& value) {
        skipSpace();
        size_t p = m_pos;
        bool negative = false;
        if (p < m_size && (m_bytes[p] == '+' || m_bytes[p] == '-')) negative = m_bytes[p++] == '-';
        if (p >= m_size || m_bytes[p] < '0' || m_bytes[p] > '9') return false;
        long long v = 0;
        bool overflow = false;
        for (; p < m_size && m_bytes[p] >= '0' && m_bytes[p] <= '9'; ++p) {
            if (!overflow) v = v * 10 + (m_bytes[p] - '0');
            if (v > static_cast<long long>(INT_MAX) + 1) overflow = true;
        }
        m_pos = p;
        if (negative) v = -v;
        if (overflow || v > INT_MAX || v < INT_MIN) return false;
        value = static_cast<int>(v);
        return true;
    }

    // fgets into 200 bytes: the rest of the line with its line end, at most 199 characters.
    std::string restOfLine() {
        const size_t start = m_pos;
        while (m_pos < m_size && m_pos - start < kCommentChars) {
            if (m_bytes[m_pos++] == '\n') break;
        }
        return std::string(reinterpret_cast<const char*>(m_bytes) + start, m_pos - start);
    }

  private:
    const uint8_t* m_bytes;
    size_t m_size;
    size_t m_pos = 0;
};

struct Header {
    int width = 0;
    int height = 0;
    int maximum = 0;
    size_t rasterStart = 0;  // the byte after the one whitespace byte that ends the header
};

[[noreturn]] void refuseHeader() {
    throw FileError("PPM ヘッダーの幅・高さ・最大値を読めません");
}

// One header scan. Each pass starts over at the first byte, as the file is opened again for it.
// With trace, it writes the pass's trace lines. False when the sizes or the maximum cannot be read.
bool scanHeader(const uint8_t* bytes, size_t size, bool trace, Header& header) {
    Scanner scan(bytes, size);
    std::string magic = scan.word();
    const std::string second = scan.word();
    if (trace) std::printf("%s %s\n", second.c_str(), magic.c_str());
    if (second == "#") {
        const std::string comment = scan.restOfLine();
        if (trace) {
            std::printf("%s\n", comment.c_str());
            std::fputs("if\n", stdout);
        }
    } else {
        scan = Scanner(bytes, size);
        magic = scan.word();
    }
    // The maximum is checked already in the first pass (without a trace line) so that a damaged
    // header is refused before the buffer is allocated.
    if (!scan.integer(header.width) || !scan.integer(header.height) || !scan.integer(header.maximum))
        return false;
    header.rasterStart = scan.position() + 1;
    return true;
}

// width x height x 3, or -1 when that is over the largest buffer the reader makes (INT_MAX bytes).
// Declared sizes reach INT_MAX each, so the product is formed with overflow checks.
int rasterBytes(const Header& header) {
    int pixels = 0;
    int bytes = 0;
    if (__builtin_mul_overflow(header.width, header.height, &pixels) ||
        __builtin_mul_overflow(pixels, 3, &bytes))
        return -1;
    return bytes;
}

Header checkedHeader(const uint8_t* bytes, size_t size) {
    Header header;
    if (!scanHeader(bytes, size, true, header)) refuseHeader();
    if (header.width <= 0 || header.height <= 0) throw FileError("PPM の幅と高さは正でなければなりません");
    if (rasterBytes(header) < 0) throw FileError("PPM 画像が大きすぎます");
    return header;
}

// The bytes the decoder reads: the header, and the raster unless the header is refused. Only a
// header that ends within the bytes at hand counts, since a number at their end may go on.
std::optional<size_t> neededBytes(const uint8_t* bytes, size_t size) {
    Header header;
    if (!scanHeader(bytes, size, false, header) || header.rasterStart > size) return std::nullopt;
    const int count = header.width > 0 && header.height > 0 ? rasterBytes(header) : -1;
    return header.rasterStart + static_cast<size_t>(std::max(count, 0));
}

void splitRaster(const uint8_t* raster, int width, int height, IntPlane& red, IntPlane& green,
                 IntPlane& blue) {
    const size_t stride = static_cast<size_t>(width) * 3;
    for (int yb = 0; yb < height; yb += kTile) {
        const int ye = std::min(height, yb + kTile);
        for (int xb = 0; xb < width; xb += kTile) {
            const int xe = std::min(width, xb + kTile);
            for (int x = xb; x < xe; ++x) {
                int32_t* r = red[x];
                int32_t* g = green[x];
                int32_t* b = blue[x];
                const uint8_t* p = raster + static_cast<size_t>(yb) * stride + static_cast<size_t>(x) * 3;
                for (int y = yb; y < ye; ++y, p += stride) {
                    r[y] = p[0];
                    g[y] = p[1];
                    b[y] = p[2];
                }
            }
        }
    }
}

// False, with nothing allocated, for an image of more than maxPixels pixels.
bool decodeAfterDeclared(long long maxPixels, const uint8_t* bytes, size_t size, int& width, int& height,
                         IntPlane& red, IntPlane& green, IntPlane& blue) {
    // First pass: the raster size.
    const Header first = checkedHeader(bytes, size);
    const int count = rasterBytes(first);
    if (count / 3 > maxPixels) return false;

    ByteBuffer buffer;
    if (AllocByteBuffer(count, buffer) != 0) throw OutOfMemoryError();

    // Second pass: the raster position.
    const Header second = checkedHeader(bytes, size);
    std::printf("%d %d %d\n", second.width, second.height, count);
    if (second.rasterStart < size) {
        const size_t n = std::min(static_cast<size_t>(count), size - second.rasterStart);
        std::copy(bytes + second.rasterStart, bytes + second.rasterStart + n, buffer.data());
    }

    width = second.width;
    height = second.height;
    std::printf("%d %d\n", height, width);
    std::fputs("opened head\n", stdout);

    if (AllocPlane(width, height, red) != 0 || AllocPlane(width, height, green) != 0 ||
        AllocPlane(width, height, blue) != 0)
        throw OutOfMemoryError();
    std::fputs("extended\n", stdout);
    std::fputs("reading ...\n", stdout);
    splitRaster(buffer.data(), width, height, red, green, blue);
    return true;
}

}  // namespace

int DecodePpm(const uint8_t* bytes, size_t size, int& width, int& height, IntPlane& red, IntPlane& green,
              IntPlane& blue) {
    std::fputs("declared\n", stdout);
    decodeAfterDeclared(LLONG_MAX, bytes, size, width, height, red, green, blue);
    return 0;
}

int ReadPpm(const char* path, int& width, int& height, IntPlane& red, IntPlane& green, IntPlane& blue) {
    std::fputs("declared\n", stdout);
    // Both header passes run over these bytes.
    const InputBytes file = ReadInputFile(path, neededBytes, "Couldn't find %s\n");
    try {
        decodeAfterDeclared(LLONG_MAX, file.data(), file.size(), width, height, red, green, blue);
        return 0;
    } catch (const FileError& error) {
        throw FileError(std::string(error.what()) + ": " + path);
    }
}

bool hv_detail::DecodePpmWithin(long long maxPixels, const uint8_t* bytes, size_t size, int& width,
                                int& height, IntPlane& red, IntPlane& green, IntPlane& blue) {
    std::fputs("declared\n", stdout);
    return decodeAfterDeclared(maxPixels, bytes, size, width, height, red, green, blue);
}
