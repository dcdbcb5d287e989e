// Test support for the codecs: temporary files, stdout capture, and literal byte-by-byte versions of
// the FITS reader and writer (fits_reference.h) and the PPM reader (getc / putc / fscanf), against
// which the fast codecs are compared sample for sample.
#pragma once

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/plane.h"
#include "tests/core/fits_reference.h"
#include "tests/support/scratch_dir.h"

namespace codec_test {

// A file in a fresh temporary directory, removed with the object.
class TempFile {
  public:
    explicit TempFile(const std::string& name) : m_path(m_dir.path(name)) {}
    const char* path() const { return m_path.c_str(); }

  private:
    hvtest::ScratchDir m_dir{"core-test"};
    std::string m_path;
};

inline void writeBytes(const char* path, const std::string& bytes) {
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
}

inline std::string readBytes(const char* path) {
    std::string out;
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return out;
    int c;
    while ((c = std::getc(f)) != EOF) out.push_back(static_cast<char>(c));
    std::fclose(f);
    return out;
}

inline bool fileExists(const char* path) {
    return access(path, F_OK) == 0;
}

// The number of entries in the directory that holds path.
inline int entriesBeside(const char* path) {
    const std::string p = path;
    DIR* dir = opendir(p.substr(0, p.rfind('/')).c_str());
    if (dir == nullptr) return -1;
    int count = 0;
    while (const dirent* entry = readdir(dir))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) ++count;
    closedir(dir);
    return count;
}

// Runs f with standard output captured; returns what it printed.
template <typename F>
std::string captureStdout(F&& f) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    try {
        f();
    } catch (...) {
        std::fflush(stdout);
        testing::internal::GetCapturedStdout();
        throw;
    }
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

inline const uint8_t* u8(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

// Column-major samples of a plane: out[x * height + y] = plane[x][y], read through plane[x][y].
inline std::vector<int32_t> samplesOf(const IntPlane& plane, int width, int height) {
    std::vector<int32_t> out;
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) out.push_back(plane[x][y]);
    return out;
}

inline IntPlane randomPlane(int width, int height, int lo, int hi, std::mt19937& rng) {
    IntPlane plane = MakePlane(width, height);
    std::uniform_int_distribution<int> value(lo, hi);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) plane[x][y] = value(rng);
    return plane;
}

// ---- Literal PPM reader: fscanf / fgets / fgetc / fread over the file, trace lines with printf.
// Returns 0, or 2 when the header's sizes cannot be read or are not positive. ----
struct LiteralPpm {
    int status = 0;
    int width = 0;
    int height = 0;
    std::vector<int32_t> red, green, blue;  // x * height + y
};

inline LiteralPpm literalReadPpm(const char* path) {
    LiteralPpm r;
    char magic[512] = "";
    char word[512] = "";
    char comment[200] = "";
    int width = 0, height = 0, maximum = 0;
    std::printf("declared\n");
    for (int pass = 0; pass < 2; ++pass) {
        FILE* fp = std::fopen(path, pass == 0 ? "r" : "rb");
        magic[0] = word[0] = 0;
        if (std::fscanf(fp, "%511s", magic) != 1) magic[0] = 0;
        if (std::fscanf(fp, "%511s", word) != 1) word[0] = 0;
        std::printf("%s %s\n", word, magic);
        if (std::strcmp(word, "#") == 0) {
            if (std::fgets(comment, 200, fp) == nullptr) comment[0] = 0;
            std::printf("%s\n", comment);
            std::printf("if\n");
        } else {
            std::fclose(fp);
            fp = std::fopen(path, pass == 0 ? "r" : "rb");
            if (std::fscanf(fp, "%511s", magic) != 1) magic[0] = 0;
        }
        const int got = std::fscanf(fp, "%d %d %d", &width, &height, &maximum);
        if (got != 3 || width <= 0 || height <= 0) {
            std::fclose(fp);
            r.status = 2;
            return r;
        }
        const int size = width * height * 3;
        if (pass == 0) {
            std::printf("extended  unsigned char 1D \n");
            std::fclose(fp);
            continue;
        }
        std::printf("%d %d %d\n", width, height, size);
        std::vector<unsigned char> raster(static_cast<size_t>(size), 0);
        std::fgetc(fp);
        const size_t got2 = std::fread(raster.data(), 1, raster.size(), fp);
        (void)got2;
        std::fclose(fp);
        std::printf("%d %d\n", height, width);
        std::printf("opened head\n");
        std::printf("extended\n");
        std::printf("reading ...\n");
        r.width = width;
        r.height = height;
        const size_t count = static_cast<size_t>(width) * height;
        r.red.assign(count, 0);
        r.green.assign(count, 0);
        r.blue.assign(count, 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const size_t k = static_cast<size_t>(y) * width + x;
                const size_t at = static_cast<size_t>(x) * height + y;
                r.red[at] = raster[3 * k];
                r.green[at] = raster[3 * k + 1];
                r.blue[at] = raster[3 * k + 2];
            }
        }
    }
    return r;
}

}  // namespace codec_test
