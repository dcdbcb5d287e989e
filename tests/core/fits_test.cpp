#include "core/fits.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <array>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "codec_support.h"
#include "core/errors.h"
#include "core/transpose_internal.h"

namespace {

using codec_test::captureStdout;
using codec_test::TempFile;
using codec_test::u8;

// One 80-byte card: text, blank-padded.
std::string card(const std::string& text) {
    std::string c = text.substr(0, 80);
    c.resize(80, ' ');
    return c;
}

// A value right-justified so that its last character is in the given 1-based column.
std::string cardValue(const std::string& keyword, const std::string& value, int lastColumn) {
    std::string c = card(keyword);
    c.replace(static_cast<size_t>(lastColumn) - value.size(), value.size(), value);
    return c;
}

// Cards followed by blank cards up to total cards.
std::string header(std::vector<std::string> cards, size_t total) {
    std::string out;
    for (auto& c : cards) out += c;
    while (out.size() < total * 80) out += card("");
    return out;
}

std::string bigEndian(const std::vector<int>& samples) {
    std::string out;
    for (int v : samples) {
        out.push_back(static_cast<char>((v >> 8) & 0xFF));
        out.push_back(static_cast<char>(v & 0xFF));
    }
    return out;
}

struct Decoded {
    int width = -1, height = -1, cards = -1, bzero = -1;
    IntPlane plane;
    std::string trace;
};

Decoded decode(const std::string& bytes, char* headerBuffer = nullptr) {
    Decoded d;
    d.trace = captureStdout([&] {
        DecodeFits(u8(bytes), bytes.size(), headerBuffer, d.width, d.height, d.cards, d.bzero, d.plane);
    });
    return d;
}

const std::string kSimple = card("SIMPLE  =                    T");
const std::string kEnd = card("END");

struct LayoutCase {
    const char* name;
    std::string bytes;
    int width, height, cards, bzero;
};

TEST(DecodeFits, HeaderLayouts) {
    std::vector<std::string> ten;
    ten.push_back(kSimple);
    ten.push_back(cardValue("NAXIS1  =", "3", 30));
    ten.push_back(cardValue("NAXIS2  =", "2", 30));
    for (int i = 0; i < 6; ++i) ten.push_back(card("HISTORY filler"));
    ten.push_back(kEnd);
    std::vector<std::string> forty = ten;
    forty.pop_back();
    while (forty.size() < 39) forty.push_back(card("COMMENT more"));
    forty.push_back(kEnd);
    std::vector<std::string> seventyTwo = forty;
    seventyTwo.pop_back();
    while (seventyTwo.size() < 71) seventyTwo.push_back(card("COMMENT more"));
    seventyTwo.push_back(kEnd);

    const LayoutCase cases[] = {
        {"ten cards in one block", header(ten, 36), 3, 2, 36, 0},
        {"END in card 40", header(forty, 72), 3, 2, 72, 0},
        {"END as card 72", header(seventyTwo, 72), 3, 2, 72, 0},
        {"ENDTIME ends the header",
         header({cardValue("NAXIS1  =", "1", 30), cardValue("NAXIS2  =", "1", 30), card("ENDTIME = '12:00'")},
                36),
         1, 1, 36, 0},
        {"right-justified 512 and 1000",
         header({cardValue("NAXIS1  =", "512", 30), cardValue("NAXIS2  =", "1000", 30), kEnd}, 36), 512, 1000,
         36, 0},
        {"five digits keep the last four",
         header({cardValue("NAXIS1  =", "10240", 30), cardValue("NAXIS2  =", "1", 30), kEnd}, 36), 240, 1, 36,
         0},
        {"left-justified value is misread",
         header({card("NAXIS1  = 512"), cardValue("NAXIS2  =", "2", 30), kEnd}, 36), 0, 2, 36, 0},
        {"value ending in column 29 gains a zero",
         header({cardValue("NAXIS1  =", "50", 29), cardValue("NAXIS2  =", "1", 30), kEnd}, 36), 500, 1, 36,
         0},
        {"BZERO with eight decimals",
         header({cardValue("BZERO   =", "32768.00000000", 30), cardValue("NAXIS1  =", "1", 30), kEnd}, 36), 1,
         0, 36, 32768},
        {"BZERO integer right-justified reads 0",
         header({cardValue("BZERO   =", "32768", 30), cardValue("NAXIS2  =", "1", 30), kEnd}, 36), 0, 1, 36,
         0},
        {"duplicate keywords are summed",
         header({cardValue("NAXIS1  =", "300", 30), cardValue("NAXIS1  =", "200", 30),
                 cardValue("NAXIS2  =", "1", 30), cardValue("BZERO   =", "1.00000000", 30),
                 cardValue("BZERO   =", "2.50000000", 30), kEnd},
                36),
         500, 1, 36, 3},
        {"keyword must match all eight characters",
         header({cardValue("NAXIS1 X=", "300", 30), cardValue("NAXIS1=", "300", 30),
                 cardValue("NAXIS2  =", "1", 30), kEnd},
                36),
         0, 1, 36, 0},
        {"BITPIX is ignored",
         header({cardValue("BITPIX  =", "-32", 30), cardValue("NAXIS1  =", "2", 30),
                 cardValue("NAXIS2  =", "2", 30), kEnd},
                36),
         2, 2, 36, 0},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = c.bytes;
        std::vector<int> samples;
        for (int i = 0; i < c.width * c.height; ++i)
            samples.push_back(static_cast<int>((i * 7919LL) % 65536));
        bytes += bigEndian(samples);
        std::vector<char> buffer(kFitsHeaderBufferBytes, 'Q');
        Decoded d = decode(bytes, buffer.data());
        EXPECT_EQ(d.trace, "");
        EXPECT_EQ(d.width, c.width);
        EXPECT_EQ(d.height, c.height);
        EXPECT_EQ(d.cards, c.cards);
        EXPECT_EQ(d.bzero, c.bzero);
        // The cards consumed are copied; the rest of the caller's buffer is left alone.
        EXPECT_EQ(std::string(buffer.data(), static_cast<size_t>(c.cards) * 80),
                  c.bytes.substr(0, c.cards * 80));
        EXPECT_EQ(std::string(buffer.data() + c.cards * 80, 8000 - c.cards * 80),
                  std::string(8000 - c.cards * 80, 'Q'));
        // Data start right after the cards consumed, row by row.
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) ASSERT_EQ(d.plane[x][y], samples[y * c.width + x]);
    }
}

TEST(DecodeFits, SampleBytesAndOffsetFold) {
    const std::string h =
        header({cardValue("NAXIS1  =", "2", 30), cardValue("NAXIS2  =", "1", 30), kEnd}, 36);
    Decoded d = decode(h + std::string("\x80\x00\x00\x05", 4));
    EXPECT_EQ(d.plane[0][0], 32768);
    EXPECT_EQ(d.plane[1][0], 5);
    ToggleOffset(32768, d.width, d.height, d.plane);
    EXPECT_EQ(d.plane[0][0], 0);
    EXPECT_EQ(d.plane[1][0], 32773);
}

TEST(DecodeFits, BytesPastTheEndRead255) {
    const std::string h =
        header({cardValue("NAXIS1  =", "3", 30), cardValue("NAXIS2  =", "2", 30), kEnd}, 36);
    struct Case {
        std::string data;
        std::vector<int> expected;  // row-major
    };
    const Case cases[] = {
        {"", {65535, 65535, 65535, 65535, 65535, 65535}},
        {std::string("\x01\x02\x03", 3), {0x0102, 0x03FF, 65535, 65535, 65535, 65535}},
        {std::string("\x00\x01\x00\x02\x00\x03\x00\x04", 8), {1, 2, 3, 4, 65535, 65535}},
        {std::string("\x00\x01\x00\x02\x00\x03\x00\x04\x00\x05\x00\x06\x09", 13), {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        Decoded d = decode(h + c.data);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) EXPECT_EQ(d.plane[x][y], c.expected[y * 3 + x]) << x << "," << y;
    }
    // END present but the block cut short: the missing header bytes read 255 as well.
    std::vector<char> buffer(kFitsHeaderBufferBytes, 0);
    const std::string cut = h.substr(0, 3 * 80 + 10);
    Decoded d = decode(cut, buffer.data());
    EXPECT_EQ(d.cards, 36);
    EXPECT_EQ(static_cast<uint8_t>(buffer[3 * 80 + 10]), 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(buffer[36 * 80 - 1]), 0xFF);
    EXPECT_EQ(d.plane[2][1], 65535);
}

TEST(DecodeFits, RefusesHeadersWithoutEnd) {
    std::vector<std::string> seventyThree(72, card("COMMENT x"));
    seventyThree.push_back(kEnd);
    std::vector<std::string> hundred(100, card("COMMENT x"));
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"one byte", "E"},
        {"headerless", std::string(100, '\x11')},
        {"truncated header", header({kSimple, card("NAXIS1  =")}, 30)},
        {"END after card 72", header(seventyThree, 73)},
        {"no END in 100 cards", header(hundred, 100) + std::string(4000, '\0')},
        {"END not at the card start", header({kSimple, card(" END")}, 36)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        std::vector<char> buffer(kFitsHeaderBufferBytes + 16, 'Q');
        int w = 0, h = 0, n = 0, z = 0;
        IntPlane plane;
        std::string trace;
        EXPECT_THROW(trace = captureStdout(
                         [&] { DecodeFits(u8(bytes), bytes.size(), buffer.data(), w, h, n, z, plane); }),
                     FileError);
        // Never more than 72 cards stored.
        EXPECT_EQ(std::string(buffer.data() + 72 * 80, buffer.size() - 72 * 80),
                  std::string(buffer.size() - 72 * 80, 'Q'));
        EXPECT_FALSE(plane.valid());
    }
}

TEST(DecodeFits, OversizedImageTracesThenRefuses) {
    struct Case {
        std::vector<std::string> naxis1, naxis2;
        int width, height;
        bool refused;
    };
    const Case cases[] = {
        {{"9999", "6001"}, {"2"}, 16000, 2, false},
        {{"9999", "6002"}, {"3"}, 16001, 3, true},
        {{"7"}, {"9999", "9999"}, 7, 19998, true},
    };
    for (const Case& c : cases) {
        std::vector<std::string> cards;
        for (auto& v : c.naxis1) cards.push_back(cardValue("NAXIS1  =", v, 30));
        for (auto& v : c.naxis2) cards.push_back(cardValue("NAXIS2  =", v, 30));
        cards.push_back(kEnd);
        const std::string bytes = header(cards, 36);
        int w = 0, h = 0, n = 0, z = 0;
        IntPlane plane;
        testing::internal::CaptureStdout();
        bool threw = false;
        try {
            DecodeFits(u8(bytes), bytes.size(), nullptr, w, h, n, z, plane);
        } catch (const FileError&) {
            threw = true;
        }
        std::fflush(stdout);
        const std::string trace = testing::internal::GetCapturedStdout();
        EXPECT_EQ(threw, c.refused);
        if (c.refused) {
            EXPECT_EQ(trace, std::to_string(c.width) + " " + std::to_string(c.height) + "\nalloc error !!\n");
            EXPECT_FALSE(plane.valid());
        } else {
            EXPECT_EQ(trace, "");
            EXPECT_EQ(w, c.width);
            EXPECT_EQ(plane[c.width - 1][c.height - 1], 65535);
        }
    }
}

TEST(ReadFits, MatchesLiteralReaderOnRandomFiles) {
    std::mt19937 rng(2024);
    // The last three span several of the reader's bands (full and partial, wide rows).
    const std::pair<int, int> sizes[] = {{1, 1},   {1, 17},   {17, 1},  {3, 5},      {64, 64},
                                         {65, 63}, {131, 77}, {200, 3}, {1000, 150}, {9000, 40}};
    TempFile file("r.fit");
    for (const auto& [w, h] : sizes) {
        IntPlane source = codec_test::randomPlane(w, h, 0, 65535, rng);
        ASSERT_TRUE(codec_test::literalWriteFits(file.path(), w, h, source));
        const std::string full = codec_test::readBytes(file.path());
        // Whole file, cut inside the data (odd and even), cut just after the header.
        for (size_t cut :
             {full.size(), size_t{2880} + (full.size() - 2880) / 3, size_t{2880} + 1, size_t{2880}}) {
            codec_test::writeBytes(file.path(), full.substr(0, cut));
            const codec_test::LiteralFits expected = codec_test::literalReadFits(file.path());
            ASSERT_EQ(expected.status, 0);
            std::vector<char> buffer(kFitsHeaderBufferBytes, 0);
            int rw = 0, rh = 0, rn = 0, rz = -1;
            IntPlane plane;
            ASSERT_EQ(ReadFits(file.path(), buffer.data(), rw, rh, rn, rz, plane), 0);
            ASSERT_EQ(rw, expected.width);
            ASSERT_EQ(rh, expected.height);
            EXPECT_EQ(rn, expected.cards);
            EXPECT_EQ(rz, expected.bzero);
            EXPECT_EQ(std::vector<char>(buffer.begin(), buffer.begin() + rn * 80),
                      std::vector<char>(expected.header.begin(), expected.header.begin() + rn * 80));
            ASSERT_EQ(codec_test::samplesOf(plane, rw, rh), expected.samples)
                << w << "x" << h << " cut " << cut;
            const std::string cutBytes = full.substr(0, cut);
            ASSERT_EQ(DecodeFits(u8(cutBytes), cut, nullptr, rw, rh, rn, rz, plane), 0);
            ASSERT_EQ(codec_test::samplesOf(plane, rw, rh), expected.samples) << "in memory";
        }
    }
}

// Every SIMD level this processor has against plain loops over the same bytes.
TEST(FitsTransposition, EverySimdLevelMatchesPlainLoops) {
    std::mt19937 rng(11);
    const std::pair<int, int> sizes[] = {{1, 1},     {8, 8},    {9, 7},     {64, 64}, {65, 129},
                                         {200, 16},  {16, 200}, {7, 300},   {27, 9},  {40, 17},
                                         {1000, 11}, {95, 8},   {21, 2100}, {31, 47}};
    for (SimdLevel level : SupportedSimdLevels()) {
        for (const auto& [w, h] : sizes) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " " + SimdLevelName(level));
            IntPlane plane = codec_test::randomPlane(w, h, INT_MIN, INT_MAX, rng);
            const size_t stride = 2 * static_cast<size_t>(w);
            std::vector<uint8_t> bytes(stride * h);
            hv_detail::ColumnsToBigEndianRowsOn(level, plane.data(), h, w, 0, h, bytes.data(), stride);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const int v = plane[x][y];
                    const size_t at = y * stride + 2 * x;
                    ASSERT_EQ(bytes[at], static_cast<uint8_t>((v / 256) & 0xFF));
                    ASSERT_EQ(bytes[at + 1], static_cast<uint8_t>(v & 0xFF));
                }
            }
            IntPlane back = MakePlane(w, h);
            hv_detail::BigEndianRowsToColumnsOn(level, bytes.data(), stride, w, 0, h, back.data(), h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(back[x][y], bytes[y * stride + 2 * x] * 256 + bytes[y * stride + 2 * x + 1]);
        }
    }
}

TEST(ReadFits, UnopenableFileTracesAndThrows) {
    const char* path = "/nonexistent-dir/none.fit";
    int w, h, n, z;
    IntPlane plane;
    testing::internal::CaptureStdout();
    EXPECT_THROW(ReadFits(path, nullptr, w, h, n, z, plane), FileError);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "file open error    /nonexistent-dir/none.fit\n");
}

TEST(ReadFits, ErrorsNameTheFile) {
    TempFile file("empty.fit");
    codec_test::writeBytes(file.path(), "");
    int w, h, n, z;
    IntPlane plane;
    try {
        ReadFits(file.path(), nullptr, w, h, n, z, plane);
        ADD_FAILURE() << "empty file accepted";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(file.path()), std::string::npos);
    }
}

// ---- Writer ----

std::string cardOf(const std::vector<uint8_t>& bytes, int n) {
    return std::string(reinterpret_cast<const char*>(bytes.data()) + n * 80, 80);
}

TEST(EncodeFits, SizeCardColumns) {
    struct Case {
        int width, height;
        int firstColumn1, firstColumn2;  // 1-based column of the first digit
    };
    const Case cases[] = {
        {640, 480, 28, 28}, {1200, 800, 27, 28}, {1000, 1000, 27, 27},
        {50, 3, 28, 28},    {999, 1000, 28, 27}, {12345, 1, 27, 28},
    };
    for (const Case& c : cases) {
        IntPlane plane = MakePlane(c.width, c.height);
        const std::vector<uint8_t> bytes = EncodeFits(c.width, c.height, plane);
        EXPECT_EQ(bytes.size(), 2880u + 2u * c.width * c.height + 5312u);
        const std::string w = std::to_string(c.width), h = std::to_string(c.height);
        std::string expect1 = card("NAXIS1  =");
        expect1.replace(c.firstColumn1 - 1, w.size(), w);
        std::string expect2 = card("NAXIS2  =");
        expect2.replace(c.firstColumn2 - 1, h.size(), h);
        EXPECT_EQ(cardOf(bytes, 3), expect1);
        EXPECT_EQ(cardOf(bytes, 4), expect2);
    }
}

TEST(EncodeFits, FixedCardsAndTrailer) {
    IntPlane plane = MakePlane(2, 2);
    const std::vector<uint8_t> bytes = EncodeFits(2, 2, plane);
    const char* fixed[] = {"SIMPLE  =                    T",
                           "BITPIX  =                   16",
                           "NAXIS   =                    2",
                           nullptr,
                           nullptr,
                           "BZERO   =           0.00000000",
                           "BSCALE  =           1.00000000",
                           "COMMENT = 'Arranged by VORTAN'",
                           "",
                           "END"};
    for (int n = 0; n < 36; ++n) {
        if (n < 10 && fixed[n] == nullptr) continue;
        EXPECT_EQ(cardOf(bytes, n), card(n < 10 ? fixed[n] : "")) << "card " << n;
    }
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 5312, bytes.end()), std::vector<uint8_t>(5312, 0));
}

TEST(EncodeFits, SampleBytes) {
    const std::pair<int, std::string> cases[] = {
        {1023, std::string("\x03\xFF", 2)},    {0, std::string("\x00\x00", 2)},
        {65535, std::string("\xFF\xFF", 2)},   {-1, std::string("\x00\xFF", 2)},
        {65536, std::string("\x00\x00", 2)},   {-257, std::string("\xFF\xFF", 2)},
        {-256, std::string("\xFF\x00", 2)},    {INT_MIN, std::string("\x00\x00", 2)},
        {INT_MAX, std::string("\xFF\xFF", 2)}, {-32768, std::string("\x80\x00", 2)},
        {32768, std::string("\x80\x00", 2)},   {70000, std::string("\x11\x70", 2)},
    };
    IntPlane plane = MakePlane(1, 1);
    for (const auto& [value, expected] : cases) {
        plane[0][0] = value;
        const std::vector<uint8_t> bytes = EncodeFits(1, 1, plane);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 2880, 2), expected) << value;
    }
}

TEST(WriteFits, MatchesLiteralWriterAndReadsBack) {
    std::mt19937 rng(99);
    const std::pair<int, int> sizes[] = {{1, 1},     {1, 23},   {23, 1},   {0, 5},   {5, 0},
                                         {100, 100}, {129, 67}, {1000, 3}, {1001, 2}};
    TempFile fast("fast.fit");
    TempFile literal("literal.fit");
    for (const auto& [w, h] : sizes) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        IntPlane plane = codec_test::randomPlane(w, h, -70000, 140000, rng);
        ASSERT_EQ(WriteFits(fast.path(), w, h, plane), 0);
        ASSERT_TRUE(codec_test::literalWriteFits(literal.path(), w, h, plane));
        const std::string bytes = codec_test::readBytes(fast.path());
        ASSERT_EQ(bytes, codec_test::readBytes(literal.path()));
        const std::vector<uint8_t> encoded = EncodeFits(w, h, plane);
        ASSERT_EQ(bytes, std::string(encoded.begin(), encoded.end()));

        // Values 0..65535 come back unchanged when both sides have three or four digits.
        if (w >= 100 && h >= 100 && w < 10000 && h < 10000) {
            IntPlane in = codec_test::randomPlane(w, h, 0, 65535, rng);
            WriteFits(fast.path(), w, h, in);
            int rw, rh, rn, rz;
            IntPlane back;
            ReadFits(fast.path(), nullptr, rw, rh, rn, rz, back);
            EXPECT_EQ(rw, w);
            EXPECT_EQ(rh, h);
            EXPECT_EQ(rn, 36);
            EXPECT_EQ(rz, 0);
            EXPECT_EQ(codec_test::samplesOf(back, w, h), codec_test::samplesOf(in, w, h));
        }
    }
}

TEST(EncodeFits, WindowOfALargerPlane) {
    // Width and height below the plane's own: the columns keep the plane's stride.
    std::mt19937 rng(3);
    TempFile literal("window.fit");
    for (const auto& [pw, ph, w, h] : {std::array<int, 4>{70, 70, 67, 65}, std::array<int, 4>{9, 40, 8, 17},
                                       std::array<int, 4>{130, 9, 128, 8}}) {
        IntPlane plane = codec_test::randomPlane(pw, ph, INT_MIN, INT_MAX, rng);
        ASSERT_TRUE(codec_test::literalWriteFits(literal.path(), w, h, plane));
        const std::vector<uint8_t> bytes = EncodeFits(w, h, plane);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), codec_test::readBytes(literal.path()));
    }
}

TEST(ReadFits, DevicesAndDirectoriesAreRefused) {
    for (const char* path : {"/dev/null", "/tmp"}) {
        int w, h, n, z;
        IntPlane plane;
        std::string trace;
        EXPECT_THROW(trace = captureStdout([&] { ReadFits(path, nullptr, w, h, n, z, plane); }), FileError)
            << path;
        EXPECT_FALSE(plane.valid());
    }
}

TEST(WriteFits, NarrowWidthReadsBackTenfold) {
    TempFile file("narrow.fit");
    IntPlane plane = MakePlane(50, 1);
    WriteFits(file.path(), 50, 1, plane);
    int w, h, n, z;
    IntPlane back;
    ReadFits(file.path(), nullptr, w, h, n, z, back);
    EXPECT_EQ(w, 500);
    EXPECT_EQ(h, 100);  // a one-digit height gains two zeros
}

TEST(WriteFits, UncreatableFileTracesAndThrows) {
    IntPlane plane = MakePlane(1, 1);
    testing::internal::CaptureStdout();
    EXPECT_THROW(WriteFits("/nonexistent-dir/out.fit", 1, 1, plane), FileError);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "file open error    /nonexistent-dir/out.fit\n");
}

TEST(WriteFits, DiskFullIsAnError) {
    IntPlane plane = MakePlane(300, 300);
    std::string trace;
    EXPECT_THROW(trace = captureStdout([&] { WriteFits("/dev/full", 300, 300, plane); }), FileError);
    struct stat st {};
    EXPECT_TRUE(stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode));  // written in place, never replaced
}

TEST(WriteFits, FailedWriteKeepsTheOldFileAndLeavesNothingBehind) {
    // A file-size limit makes the write fail after the file was created, as a full disk does.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    const IntPlane plane = MakePlane(200, 200);
    for (const std::string& before : {std::string(), std::string("an older picture")}) {
        TempFile file("limited.fit");
        if (!before.empty()) codec_test::writeBytes(file.path(), before);
        struct rlimit limited = old;
        limited.rlim_cur = 8192;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        std::string message;
        try {
            WriteFits(file.path(), 200, 200, plane);
        } catch (const FileError& e) {
            message = e.what();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_NE(message.find(std::string(file.path()) + " (File too large)"), std::string::npos) << message;
        EXPECT_EQ(codec_test::fileExists(file.path()), !before.empty());
        EXPECT_EQ(codec_test::readBytes(file.path()), before);
        EXPECT_EQ(codec_test::entriesBeside(file.path()), before.empty() ? 0 : 1);  // no temporary file
    }
    signal(SIGXFSZ, oldHandler);
}

TEST(WriteFits, ReplacesThroughLinksKeepingTheMode) {
    TempFile file("old.fit");
    codec_test::writeBytes(file.path(), "an older picture");
    ASSERT_EQ(chmod(file.path(), 0640), 0);
    const std::string link = std::string(file.path()) + ".link";
    ASSERT_EQ(symlink(file.path(), link.c_str()), 0);
    const IntPlane plane = MakePlane(3, 2);
    WriteFits(link.c_str(), 3, 2, plane);
    const std::vector<uint8_t> expected = EncodeFits(3, 2, plane);
    EXPECT_EQ(codec_test::readBytes(file.path()), std::string(expected.begin(), expected.end()));
    struct stat st {};
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(file.path(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(codec_test::entriesBeside(file.path()), 2);
    std::remove(link.c_str());
}

TEST(WriteFits, RefusesSizesBeyondThePlane) {
    IntPlane plane = MakePlane(4, 4);
    EXPECT_THROW(EncodeFits(5, 4, plane), HvError);
    EXPECT_THROW(EncodeFits(4, 5, plane), HvError);
    EXPECT_THROW(EncodeFits(-1, 4, plane), HvError);
    // A smaller window of the plane is fine.
    EXPECT_EQ(EncodeFits(2, 3, plane).size(), 2880u + 12u + 5312u);
}

}  // namespace
