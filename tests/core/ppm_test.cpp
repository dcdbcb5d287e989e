#include "core/ppm.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codec_support.h"
#include "core/errors.h"

namespace {

using codec_test::captureStdout;
using codec_test::TempFile;
using codec_test::u8;

struct Decoded {
    int width = -1, height = -1;
    IntPlane red, green, blue;
    std::string trace;
};

Decoded decode(const std::string& bytes) {
    Decoded d;
    d.trace =
        captureStdout([&] { DecodePpm(u8(bytes), bytes.size(), d.width, d.height, d.red, d.green, d.blue); });
    return d;
}

const std::string kSixBytes = std::string("\x0a\x14\x1e\x28\x32\x3c", 6);  // 10 20 30 40 50 60

TEST(DecodePpm, TwoPixelsWithAndWithoutComment) {
    struct Case {
        const char* name;
        std::string header;
        std::string trace;
    };
    const Case cases[] = {
        {"plain", "P6\n2 1\n255\n",
         "declared\n2 P6\nextended  unsigned char 1D \n2 P6\n2 1 6\n1 2\nopened head\nextended\nreading "
         "...\n"},
        {"lone # comment", "P6\n# made by hand\n2 1\n255\n",
         "declared\n# P6\n made by hand\n\nif\nextended  unsigned char 1D \n# P6\n made by hand\n\nif\n"
         "2 1 6\n1 2\nopened head\nextended\nreading ...\n"},
        {"comment with tab, blanks between words", "P6 #\tx y\n 2\t1  255 ",
         "declared\n# P6\n\tx y\n\nif\nextended  unsigned char 1D \n# P6\n\tx y\n\nif\n"
         "2 1 6\n1 2\nopened head\nextended\nreading ...\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = decode(c.header + kSixBytes);
        EXPECT_EQ(d.trace, c.trace);
        ASSERT_EQ(d.width, 2);
        ASSERT_EQ(d.height, 1);
        EXPECT_EQ(d.red[0][0], 10);
        EXPECT_EQ(d.green[0][0], 20);
        EXPECT_EQ(d.blue[0][0], 30);
        EXPECT_EQ(d.red[1][0], 40);
        EXPECT_EQ(d.green[1][0], 50);
        EXPECT_EQ(d.blue[1][0], 60);
    }
}

TEST(DecodePpm, CrLfShiftsTheRasterByOne) {
    Decoded d = decode("P6\n2 1\n255\r\n" + kSixBytes);
    EXPECT_EQ(d.red[0][0], '\n');
    EXPECT_EQ(d.green[0][0], 10);
    EXPECT_EQ(d.blue[0][0], 20);
    EXPECT_EQ(d.red[1][0], 30);
    EXPECT_EQ(d.blue[1][0], 50);
}

TEST(DecodePpm, ShortRasterKeepsZeroFill) {
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"P6 2 2 255\n", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"P6 2 2 255", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"P6 2 2 255\n\x01\x02\x03\x04", {1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"P6 2 2 255\n" + std::string(12, '\x07') + "extra", {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7}},
    };
    for (const auto& [bytes, expected] : cases) {
        Decoded d = decode(bytes);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 2; ++x) {
                const size_t k = static_cast<size_t>(y * 2 + x) * 3;
                EXPECT_EQ(d.red[x][y], expected[k]);
                EXPECT_EQ(d.green[x][y], expected[k + 1]);
                EXPECT_EQ(d.blue[x][y], expected[k + 2]);
            }
        }
    }
}

TEST(DecodePpm, RefusesDamagedHeadersBeforeAllocating) {
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"magic only", "P6\n"},
        {"comment without blank", "P6\n#comment\n2 1\n255\n"},
        {"second comment line", "P6\n# one\n# two\n2 1\n255\n"},
        {"width not a number", "P6\nab 1\n255\n"},
        {"height missing", "P6\n2\n"},
        {"maximum missing", "P6\n2 1\n"},
        {"maximum not a number", "P6\n2 1 x\n"},
        {"zero width", "P6\n0 1\n255\n"},
        {"zero height", "P6\n3 0\n255\n"},
        {"negative width", "P6\n-2 1\n255\n"},
        {"width beyond int", "P6\n99999999999 1\n255\n"},
        {"raster size overflows", "P6\n40000 40000\n255\n"},
        {"raster size just over int", "P6\n715827883 1\n255\n"},
        {"raster size over 64 bits", "P6\n2147483647 2147483647\n255\n\x01\x02\x03"},
        {"long comment runs into the sizes", "P6\n# " + std::string(300, 'c') + "\n2 1\n255\n"},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        int w = 0, h = 0;
        IntPlane r, g, b;
        testing::internal::CaptureStdout();
        EXPECT_THROW(DecodePpm(u8(bytes), bytes.size(), w, h, r, g, b), FileError);
        std::fflush(stdout);
        const std::string trace = testing::internal::GetCapturedStdout();
        EXPECT_EQ(trace.rfind("declared\n", 0), 0u);
        EXPECT_EQ(trace.find("extended"), std::string::npos) << trace;  // nothing was allocated
        EXPECT_FALSE(r.valid());
    }
}

TEST(DecodePpm, SignsAndBlanksInSizes) {
    // Sizes read like scanf's %d: a leading sign, any blanks between; the maximum is read, not used.
    const std::pair<std::string, int> cases[] = {{"P6 +1 1 255 ", 1}, {"P6\n\n\n4\n3\n-7\n", 4}};
    for (const auto& [bytes, width] : cases) {
        Decoded d = decode(bytes + std::string(36, '\x05'));
        EXPECT_EQ(d.width, width);
        EXPECT_EQ(d.red[width - 1][d.height - 1], 5);
    }
}

std::string randomPpm(int w, int h, bool comment, std::mt19937& rng) {
    const char* blanks[] = {" ", "\n", "\t", "  \n", "\r\n "};
    std::uniform_int_distribution<int> pick(0, 4);
    std::string s = "P6";
    s += blanks[pick(rng)];
    if (comment) s += "# some words " + std::to_string(rng() % 1000) + "\n";
    s += std::to_string(w) + blanks[pick(rng)] + std::to_string(h) + blanks[pick(rng)] + "255";
    s += (rng() % 2) ? "\n" : " ";
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < w * h * 3; ++i) s.push_back(static_cast<char>(byte(rng)));
    return s;
}

TEST(ReadPpm, MatchesLiteralReaderOnRandomFiles) {
    std::mt19937 rng(5);
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 31}, {31, 1}, {7, 9}, {64, 65}, {130, 67}};
    TempFile file("r.ppm");
    for (const auto& [w, h] : sizes) {
        for (bool comment : {false, true}) {
            const std::string full = randomPpm(w, h, comment, rng);
            for (size_t cut :
                 {full.size(), full.size() - 1, full.size() - static_cast<size_t>(w * h * 3) / 2}) {
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " cut " + std::to_string(cut));
                codec_test::writeBytes(file.path(), full.substr(0, cut));
                codec_test::LiteralPpm expected;
                const std::string expectedTrace =
                    captureStdout([&] { expected = codec_test::literalReadPpm(file.path()); });
                ASSERT_EQ(expected.status, 0);
                Decoded d;
                d.trace =
                    captureStdout([&] { ReadPpm(file.path(), d.width, d.height, d.red, d.green, d.blue); });
                EXPECT_EQ(d.trace, expectedTrace);
                ASSERT_EQ(d.width, expected.width);
                ASSERT_EQ(d.height, expected.height);
                EXPECT_EQ(codec_test::samplesOf(d.red, d.width, d.height), expected.red);
                EXPECT_EQ(codec_test::samplesOf(d.green, d.width, d.height), expected.green);
                EXPECT_EQ(codec_test::samplesOf(d.blue, d.width, d.height), expected.blue);
            }
        }
    }
}

TEST(ReadPpm, UnopenableFileTracesAndThrows) {
    int w, h;
    IntPlane r, g, b;
    testing::internal::CaptureStdout();
    EXPECT_THROW(ReadPpm("/nonexistent-dir/a.ppm", w, h, r, g, b), FileError);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "declared\nCouldn't find /nonexistent-dir/a.ppm\n");
}

}  // namespace
