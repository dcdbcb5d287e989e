// halvane2-cli show, info, probe and measure, run as the program: their output lines, exit status
// and error reports.
#include <gtest/gtest.h>

#include "core/bmp.h"
#include "shell/bitmap_io.h"
#include "tests/cli/cli_runner.h"
#include "tests/open/open_support.h"

namespace {

using namespace opentest;

using Result = clitest::CliResult;

class CliImage : public ::testing::Test {
  protected:
    CliImage() : m_dir("cli") {}

    std::string path(const std::string& name) const { return m_dir.path(name); }
    std::string file(const std::string& name, const std::vector<uint8_t>& bytes) {
        writeFile(path(name), bytes);
        return path(name);
    }

    static Result cli(const std::string& arguments) { return clitest::RunCli(arguments); }

    // A 30 x 30 sample image: grid mean 1000, grid minimum 900; raw value 4660 at (15, 15), a bright
    // spot of 1410 (level 255) at (3, 25).
    std::string fits() {
        return file("stars.fts", fitsFile(30, 30, [](int x, int y) {
                        if (x == 10 && y == 10) return storedFor(900);
                        if (x == 18 && y == 18) return storedFor(1100);
                        if (x == 15 && y == 15) return storedFor(4660);
                        if (x == 3 && y == 25) return storedFor(1410);
                        return storedFor(1000);
                    }));
    }
    // A colour bitmap where pixel (x, y) has red x, green y, blue x + y.
    std::string bitmap(const std::string& name = "colour.bmp") {
        Picture p(120, 60);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 120; ++x) p.setPixelValue(x, y, JoinColour(x + y, y, x));
        return file(name, EncodeBmp(p));
    }

  private:
    TempDir m_dir;
};

TEST_F(CliImage, InfoOfEachKind) {
    const std::string ppm = file("colour.ppm", ppmFile(4, 2, [](int x, int y) {
                                     return Rgb{uint8_t(x), uint8_t(y), 9};
                                 }));
    const struct {
        std::string args;
        std::string out;
    } cases[] = {
        {"info " + fits(),
         "FilterI: 2\nDemX: 30\nDemY: 30\nAverage: 1000\nMinimum: 900\nEdit2: 1000\nEdit3: 900\n"},
        {"info " + bitmap(), "FilterI: 1\nDemX: 120\nDemY: 60\n"},
        {"info " + ppm, "FilterI: 3\nDemX: 4\nDemY: 2\n"},  // the reader's trace is not on stdout
        {"info --as bmp " + bitmap("bitmap.fits"), "FilterI: 1\nDemX: 120\nDemY: 60\n"},
    };
    for (const auto& c : cases) {
        const Result r = cli(c.args);
        EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << c.args;
        EXPECT_EQ(r.err.find("QCommandLineParser"), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_NE(cli("info " + ppm).err.find("opened head"), std::string::npos);
}

TEST_F(CliImage, ProbeAndMeasure) {
    const std::string sample = fits();
    const std::string colour = bitmap();
    const std::string ppm = file("grey.ppm", ppmFile(30, 30, [](int, int) { return Rgb{80, 80, 80}; }));
    const struct {
        std::string args;
        std::string out;
    } cases[] = {
        {"probe " + sample + " 15 15", "Intensity = 4660   (15,15)\n"},
        {"probe " + sample + " 30 31 --zoom 2", "Intensity = 4660   (30,31)\n"},
        {"probe " + colour + " 101 51 --zoom 2", "R=50  G=25  B=75   (101,51)\n"},
        {"probe --zoom 0.5 " + colour + " 10 5", "R=20  G=10  B=30   (10,5)\n"},
        {"probe " + ppm + " 3 3", ""},  // a PPM window leaves the probe's text alone
        {"measure " + sample + " 15 15", "MAX = 255 , MIN = 0\nFWHM = 0.6 pxls\n"},
        {"measure " + sample + " 15 15 --button right", "MAX = -1 , MIN = 256\nFWHM = 0.0 pxls\n"},
        {"measure " + ppm + " 15 15", "MAX = 80 , MIN = 80\nFWHM = 6.2 pxls\n"},
    };
    for (const auto& c : cases) {
        const Result r = cli(c.args);
        EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << c.args;
    }
}

TEST_F(CliImage, ShowWritesTheDisplayAsTheSaveCommandDoes) {
    const std::string out = path("shown.bmp");
    const Result r = cli("show " + fits() + " " + out);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const Picture shown = LoadBitmapPicture(QString::fromStdString(out));
    ASSERT_EQ(shown.width(), 30);
    const struct {
        int x, y, level;
    } levels[] = {{10, 10, 0}, {0, 0, 50}, {18, 18, 100}, {3, 25, 255}, {15, 15, 255}};
    for (const auto& l : levels) EXPECT_EQ(shown.pixelValue(l.x, l.y), JoinColour(l.level, l.level, l.level));

    const std::string copy = path("copy-without-extension");
    const std::string colour = bitmap();
    ASSERT_EQ(cli("show " + colour + " " + copy).status, 0);
    EXPECT_EQ(readFile(copy), readFile(colour));  // the writer's own bitmap comes back byte for byte
}

// Failures of the command exit with 1, command lines that cannot be used with 2 and the usage.
TEST_F(CliImage, ErrorsGoToStderrWithTheirStatus) {
    const std::string colour = bitmap();
    std::vector<uint8_t> longHeader = {'P', '6', ' '};
    longHeader.insert(longHeader.end(), 100000, '9');
    for (const char c : std::string(" 4 255\n")) longHeader.push_back(static_cast<uint8_t>(c));
    const std::string longWord = file("long.ppm", longHeader);
    const struct {
        std::string args;
        int status;
    } cases[] = {
        {"info " + path("missing.fts"), 1},  // the reader's message box
        {"info --as ppm " + fits(), 1},      // a FITS file read as PPM: no sizes in its header
        {"show " + colour + " " + path("no/such/folder.bmp"), 1},
        // A trace line 100,000 characters long is still being written when the header is refused.
        {"apply " + longWord + " " + path("out.bmp") + " blur 1", 1},
        {"info " + longWord, 1},
        {"info --as tiff " + colour, 2},
        {"info " + path("picture.tiff"), 2},       // no kind from the extension
        {"probe " + colour + " 1", 2},             // too few arguments
        {"probe " + colour + " x 1", 2},           // not an integer
        {"probe " + colour + " 1 1 --zoom 3", 2},  // not reachable with the steps
        {"probe " + colour + " 1 1 --zoom 32", 2},
        {"measure " + colour + " 1 1 --button middle", 2},
        {"show " + colour, 2},
        {"info --frobnicate " + colour, 2},
        {"frobnicate", 2},
    };
    for (const auto& c : cases) {
        const Result r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        // The message starts a line of its own; a usage error adds the usage.
        EXPECT_TRUE(r.err.rfind("halvane2-cli", 0) == 0 || r.err.find("\nhalvane2-cli") != std::string::npos)
            << c.args << "\n"
            << r.err.substr(0, 200);
        EXPECT_EQ(r.err.find("Usage: halvane2-cli ") != std::string::npos, c.status == 2) << c.args << r.err;
    }
}

// A save that fails part way (here past a file-size limit, which the program turns from a signal
// into a write error) ends with status 1 and a message, and leaves the old file byte for byte.
TEST_F(CliImage, FailedSaveKeepsTheOldFile) {
    const std::string colour = bitmap();  // 21,654 bytes as a bitmap
    const std::vector<uint8_t> old(100, 'o');
    for (const std::string command : {"show", "apply"}) {
        SCOPED_TRACE(command);
        const std::string target = file("old.bmp", old);
        const Result r = clitest::RunShell("ulimit -f 8; exec '" HV_CLI_PATH "' " + command + " " + colour +
                                           " " + target + (command == "apply" ? " negative" : ""));
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(target + " (File too large)"), std::string::npos) << r.err;
        EXPECT_EQ(readFile(target), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(path("")), fs::directory_iterator()), 2);
    }
}

TEST_F(CliImage, HelpForEachSubcommand) {
    for (const char* name : {"show", "info", "probe", "measure"}) {
        const Result r = cli(std::string(name) + " --help");
        EXPECT_EQ(r.status, 0) << name;
        EXPECT_EQ(r.out.rfind(std::string("Usage: halvane2-cli ") + name, 0), 0u) << r.out;
        EXPECT_NE(r.out.find("--as"), std::string::npos);
    }
    const Result tool = cli("--help");
    EXPECT_EQ(tool.status, 0);
    for (const char* usage : {"show [--as", "info [--as", "probe [--as", "measure [--as"})
        EXPECT_NE(tool.out.find(usage), std::string::npos) << usage;
}

}  // namespace
