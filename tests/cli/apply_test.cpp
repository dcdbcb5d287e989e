// halvane2-cli apply, run as a process on bitmaps it reads and writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/errors.h"
#include "edits/edits.h"
#include "filters/filters.h"
#include "shell/bitmap_io.h"
#include "shell/image_files.h"
#include "tests/cli/cli_runner.h"
#include "tests/filters/reference.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/scratch_dir.h"
#include "view/view_ops.h"

namespace {

namespace fs = std::filesystem;

class ApplyCli : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { hvtest::EnsureApplication(); }

    void SetUp() override {
        m_input = ref::randomPicture(21, 15, 99);
        SaveBitmapPicture(QString::fromStdString(path("in.bmp")), m_input);
    }

    std::string path(const std::string& name) const { return m_dir.path(name); }
    const Picture& input() const { return m_input; }

    static clitest::CliResult apply(const std::string& args) { return clitest::RunCli("apply " + args); }
    // apply with the options, from the named input file to out.bmp (removed first), then the commands.
    clitest::CliResult applyToOut(const std::string& options, const std::string& in,
                                  const std::string& commands) const {
        fs::remove(path("out.bmp"));
        return apply(options + " " + path(in) + " " + path("out.bmp") + " " + commands);
    }

    Picture load(const std::string& name) const {
        return LoadBitmapPicture(QString::fromStdString(path(name)));
    }

  private:
    hvtest::ScratchDir m_dir{"apply"};
    Picture m_input;
};

Picture contrasted(const Picture& stored, const char* factorText) {
    Picture display = stored;
    ContrastStep(stored, display, factorText, true);
    return display;
}

Picture cancelled(Picture p, int cw, int ch, GmcParams params) {
    GuideMissCancel(p, cw, ch, params);
    return p;
}

TEST_F(ApplyCli, SequencesGiveWhatTheFiltersGive) {
    const int w = input().width(), h = input().height();
    struct Case {
        std::string commands;
        std::function<Picture(const Picture&)> expected;
        std::string options = "";
    } cases[] = {
        {"blur 1", [](const Picture& p) { return BlurPicture(p, 1.0); }},
        {"edge 4", [](const Picture& p) { return EdgeEnhance(p, 4.0); }},
        {"gamma 2", [](const Picture& p) { return GammaCurve(p, 2.0); }},
        {"solarize", [](const Picture& p) { return Solarize(p); }},
        {"sabattier 128", [](const Picture& p) { return Sabattier(p, 128.0); }},
        {"gmc 0 1 0.2 0",
         [&](const Picture& p) {
             return cancelled(p, w, h, {0, 1, 0.2, 0});
         }},
        {"gmc 30 2 1.5 120",
         [&](const Picture& p) {
             return cancelled(p, w, h, {30, 2, 1.5, 120});
         }},
        // The canceller builds on the display; a later filter starts again from the stored image.
        {"gmc 0 1 0.2 0 gmc 0 1 0.2 0",
         [&](const Picture& p) {
             return cancelled(cancelled(p, w, h, {0, 1, 0.2, 0}), w, h, {0, 1, 0.2, 0});
         }},
        {"gmc 0 1 0.2 0 blur 1", [](const Picture& p) { return BlurPicture(p, 1.0); }},
        {"blur 1 edge 4", [](const Picture& p) { return EdgeEnhance(p, 4.0); }},
        // The coma correction's exponent is the gamma dialog's field, left by an earlier gamma.
        {"coma 100 100 0.5", [](const Picture& p) { return GammaCurve(p, 2.0); }, "--gamma-field 2"},
        {"gamma 0.5 coma 1 2 3", [](const Picture& p) { return GammaCurve(p, 0.5); }},
        {"coma 5 5 5", [](const Picture& p) { return GammaCurve(p, 1.0); }},
        // The canceller at 200 %: the control is twice the picture.
        {"zoom-in gmc 45 1 0.2 100",
         [&](const Picture& p) {
             return cancelled(p, 2 * w, 2 * h, {45, 1, 0.2, 100});
         }},
        {"negative gamma 2", [](const Picture& p) { return GammaCurve(NegativeOf(p), 2.0); }},
        // A flip redraws from the stored image, so the second shows the flipped picture again.
        {"flip flip", [](const Picture& p) { return FlipOf(p); }},
        {"flip edge 4", [](const Picture& p) { return EdgeEnhance(p, 4.0); }},
        // "L" then "H" comes back to a factor of exactly 1; a one-cell blur redraws the stored image.
        {"contrast-down contrast-up", [](const Picture& p) { return p; }},
        {"contrast-up blur 0.3", [](const Picture& p) { return p; }},
        // The contrast factor is kept in the window: the second "H" applies 1.1 * 1.1 to the stored
        // image, whatever was drawn between; a flip before it is discarded.
        {"contrast-up blur 0.3 flip contrast-up", [](const Picture& p) { return contrasted(p, "1.1"); }},
        {"flip contrast-up", [](const Picture& p) { return contrasted(p, "1.0"); }},
        {"zoom-in zoom-out gmc 0 1 0.2 0",
         [&](const Picture& p) {
             return cancelled(p, w, h, {0, 1, 0.2, 0});
         }},
    };
    for (const Case& c : cases) {
        const clitest::CliResult r = applyToOut(c.options, "in.bmp", c.commands);
        ASSERT_EQ(r.status, 0) << c.commands << ": " << r.err;
        const Picture got = load("out.bmp");
        EXPECT_TRUE(got.samePixels(c.expected(input()))) << c.commands;
    }
}

// A PPM window: the edge filter leaves it, the Sabattier effect and the canceller act on it.
TEST_F(ApplyCli, PpmWindowsTakeOnlyTheFiltersForEveryKind) {
    const int w = input().width(), h = input().height();
    {
        std::ofstream ppm(path("in.ppm"), std::ios::binary);
        ppm << "P6\n" << w << " " << h << "\n255\n";
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c : {2, 1, 0}) ppm.put(static_cast<char>(input().row(y)[3 * x + c]));
    }
    struct Case {
        std::string options, commands;
        std::function<Picture(const Picture&)> expected;
    } cases[] = {
        {"", "edge 4", [](const Picture& p) { return p; }},
        {"--as ppm", "blur 2 gamma 3 solarize", [](const Picture& p) { return p; }},
        {"", "sabattier 100", [](const Picture& p) { return Sabattier(p, 100.0); }},
        {"--as ppm", "gmc 0 1 0.2 0",
         [&](const Picture& p) {
             return cancelled(p, w, h, {0, 1, 0.2, 0});
         }},
    };
    for (const Case& c : cases) {
        const clitest::CliResult r = applyToOut(c.options, "in.ppm", c.commands);
        ASSERT_EQ(r.status, 0) << c.commands << ": " << r.err;
        EXPECT_TRUE(load("out.bmp").samePixels(c.expected(input()))) << c.commands;
        // The reader's trace lines go to standard error; standard output names the file written.
        EXPECT_EQ(r.out, path("out.bmp") + "\n") << c.commands;
    }
}

TEST_F(ApplyCli, RgbSplitWritesEveryWindowItMade) {
    const clitest::CliResult r = apply(path("in.bmp") + " " + path("out.bmp") + " rgb-split gamma 2");
    ASSERT_EQ(r.status, 0) << r.err;
    struct Case {
        const char* file;
        int channel;
        bool gamma;
    } cases[] = {{"out.bmp", 2, true},
                 {"out-Red.bmp", 2, true},
                 {"out-Green.bmp", 1, false},
                 {"out-Blue.bmp", 0, false}};
    for (const Case& c : cases) {
        const Picture grey = ChannelOf(input(), c.channel);
        EXPECT_TRUE(load(c.file).samePixels(c.gamma ? GammaCurve(grey, 2.0) : grey)) << c.file;
        EXPECT_NE(r.out.find(c.file), std::string::npos) << c.file;
    }
}

TEST_F(ApplyCli, RefusalsAndErrorsEndWithTheirStatus) {
    const std::string io = path("in.bmp") + " " + path("out.bmp") + " ";
    struct Case {
        std::string args;
        std::string message;  // on standard error
        int status;           // 1: the command failed, 2: the command line cannot be used
    } cases[] = {
        {io + "edge 5.5", msg::kEdgeRange, 1},
        {io + "blur 0", msg::kPositiveNumber, 1},
        {io + "gamma -1", msg::kGammaPositive, 1},
        {io + "gmc 0 1 0.2 x", "'x' は整数ではありません", 1},
        {io + "coma 10.5 1 1", "'10.5' は整数ではありません", 1},
        {io + "sabattier 0", msg::kInvalidOperation, 1},  // not reached: the random first byte decides below
        {io + "dance", "unknown command 'dance'", 2},
        {io + "blur", "'blur' takes 1 argument", 2},
        {io, "no command given", 2},
        {"--as tiff " + io + "blur 1", "--as takes bmp, fits or ppm", 2},
        {path("in.bmp"), "IN and OUT are required", 2},
        {path("in.xyz") + " " + path("out.bmp") + " blur 1", "cannot tell the kind of", 2},
    };
    const int firstByte = input().row(0)[0];
    for (Case c : cases) {
        if (c.args.find("sabattier 0") != std::string::npos && firstByte != 0) c.message = msg::kDivideByZero;
        fs::remove(path("out.bmp"));
        const clitest::CliResult r = apply(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos)
            << c.args << ": " << r.err << " first byte " << firstByte;
        EXPECT_FALSE(fs::exists(path("out.bmp"))) << c.args;
    }
    const clitest::CliResult help = apply("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("gmc DIRECTION FLOW BLUR THRESHOLD"), std::string::npos);
}

}  // namespace
