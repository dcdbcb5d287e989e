// The open commands on the real main window over a scripted platform: every branch's fields and
// pictures, the dialog, the refusals and the mended faults.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "core/bmp.h"
#include "core/errors.h"
#include "tests/core/bmp_samples.h"
#include "tests/open/open_support.h"
#include "tests/support/gui_fixture.h"
#include "view/ui/updown.h"
#include "view/view_ops.h"

namespace {

using namespace opentest;

class OpenCommand : public GuiFixture {
  protected:
    OpenCommand() : m_dir("open") {}

    std::string file(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = m_dir.path(name);
        writeFile(path, bytes);
        return path;
    }
    // Chooses the file with the given filter index in the open dialog and runs the command; the
    // active image window afterwards.
    TChild* open(const std::string& path, int filterIndex,
                 void (TMainForm::*handler)() = &TMainForm::OpenButtonClick) {
        platform().openAnswers.push_back(FileDialogResult{QString::fromStdString(path), filterIndex});
        run(handler);
        hvtest::ProcessEvents();
        return mainForm().ActiveImageWindow();
    }
    int windowCount() { return static_cast<int>(mainForm().imageWindowsMostRecentFirst().size()); }
    ToolStrip& strip() { return mainForm().toolStrip(); }
    std::string scratch(const std::string& name) const { return m_dir.path(name); }

  private:
    TempDir m_dir;
};

TEST_F(OpenCommand, DialogTitleFilterAndRememberedIndex) {
    run(&TMainForm::OpenButtonClick);  // no answer queued: cancelled
    ASSERT_EQ(platform().openRequests.size(), 1u);
    EXPECT_EQ(platform().openRequests[0].title, QStringLiteral("Open an Image for Viewing"));
    EXPECT_EQ(platform().openRequests[0].filter,
              QStringLiteral("ビットマップ(*.bmp)|*.bmp|フィッツ(*.fit,*.fts,*.fits)|*.fts;*.fit;*.fits|"
                             "ポータブル(*.ppm)|*.ppm"));
    EXPECT_EQ(platform().openRequests[0].filterIndex, 1);
    EXPECT_EQ(windowCount(), 0);
    EXPECT_TRUE(platform().errors().empty());

    const std::string ppm = file("a.ppm", ppmFile(2, 2, [](int x, int y) {
                                     return Rgb{uint8_t(x), uint8_t(y), 7};
                                 }));
    open(ppm, 3);
    run(&TMainForm::OpenButtonClick);
    ASSERT_EQ(platform().openRequests.size(), 3u);
    EXPECT_EQ(platform().openRequests[2].filterIndex, 3);  // the last chosen entry is offered again
    run(&TMainForm::Open1Click);                           // the menu variant shares the dialog
    EXPECT_EQ(platform().openRequests[3].filterIndex, 3);
    EXPECT_EQ(windowCount(), 1);
}

TEST_F(OpenCommand, BitmapBranchFields) {
    const Picture pic = colourPattern(200, 150);
    strip().UpDown1->setPosition(40);
    strip().UpDown2->setPosition(-30);
    strip().Edit2->setText("x");
    TChild* w = open(file("colour.bmp", EncodeBmp(pic)), 1);
    ASSERT_TRUE(platform().errors().empty()) << platform().errors()[0].toStdString();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->caption(), QStringLiteral("colour.bmp"));
    EXPECT_EQ(hvtest::StateText(w->state),
              "DemX=200|DemY=150|ColN=1|ZomN=1.00|UndoFlg=0|Contrast=1.0|Average= "
              "|Minimum=|FilterI=1|MAX=255|MIN=0");
    EXPECT_TRUE(w->image().samePixels(pic));
    EXPECT_TRUE(w->imageZm().samePixels(pic));
    EXPECT_EQ(w->imageControlSize(), QSize(200, 150));
    EXPECT_EQ(w->clientSize(), QSize(200, 150));
    EXPECT_EQ(strip().Edit1->text(), QStringLiteral("100.0%"));
    EXPECT_EQ(strip().Edit2->text(), QStringLiteral("255"));
    EXPECT_EQ(strip().Edit3->text(), QStringLiteral("0"));
    EXPECT_EQ(strip().UpDown1->position(), 255);
    EXPECT_EQ(strip().UpDown2->position(), 0);
}

TEST_F(OpenCommand, EveryBitmapKindReadsItsPixels) {
    for (const bmp_samples::Sample& sample : bmp_samples::allKinds()) {
        SCOPED_TRACE(sample.name);
        TChild* w = open(file("kind.bmp", sample.bytes), 1);
        ASSERT_TRUE(platform().errors().empty()) << platform().errors()[0].toStdString();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->image().samePixels(sample.expected));
        EXPECT_TRUE(w->imageZm().samePixels(sample.expected));
        mainForm().closeImageWindow(w);
        hvtest::ProcessEvents();
    }
}

TEST_F(OpenCommand, TwoOpensOfOneBitmapGiveTwoWindows) {
    const Picture pic = colourPattern(30, 20);
    const std::string path = file("twice.bmp", EncodeBmp(pic));
    TChild* first = open(path, 1);
    TChild* second = open(path, 1);
    ASSERT_EQ(windowCount(), 2);
    ASSERT_NE(first, second);
    EXPECT_EQ(first->caption(), second->caption());
    second->image().setPixelValue(0, 0, 0x123456);  // the pictures are the windows' own
    EXPECT_TRUE(first->image().samePixels(pic));
}

TEST_F(OpenCommand, SampleBranchStatisticsLevelsAndRawValues) {
    // 30 x 30: only x, y in {10, 14, 18} are sampled. Grid mean 1000, grid minimum 900; the
    // off-grid extremes 100 and 5000 are not sampled.
    const auto value = [](int x, int y) -> int {
        if (x == 10 && y == 10) return 900;
        if (x == 18 && y == 18) return 1100;
        if (y == 0 && x == 0) return 0;      // stored 0x80 0x00
        if (y == 0 && x == 1) return 65535;  // stored 0x7F 0xFF
        if (y == 0 && x == 2) return 1410;
        if (y == 0 && x == 3) return 1420;
        if (y == 0 && x == 4) return 800;
        if (y == 1 && x == 0) return 100;
        if (y == 29 && x == 29) return 5000;
        return 1000;
    };
    const std::vector<uint8_t> bytes = fitsFile(30, 30, [&](int x, int y) { return storedFor(value(x, y)); });
    ASSERT_EQ(bytes[2880], 0x80);  // the first sample as the file stores it
    ASSERT_EQ(bytes[2881], 0x00);
    ASSERT_EQ(bytes[2882], 0x7F);
    ASSERT_EQ(bytes[2883], 0xFF);
    strip().UpDown1->setPosition(70);
    strip().UpDown2->setPosition(-20);
    TChild* w = open(file("stars.fts", bytes), 2);
    ASSERT_TRUE(platform().errors().empty()) << platform().errors()[0].toStdString();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->caption(), QString());
    EXPECT_EQ(hvtest::StateText(w->state),
              "DemX=30|DemY=30|ColN=1|ZomN=1.00|UndoFlg=0|Contrast=1.0|Average=1000|Minimum=900|FilterI=2|"
              "MAX=|MIN=");
    EXPECT_EQ(strip().Edit1->text(), QStringLiteral("100.0%"));
    EXPECT_EQ(strip().Edit2->text(), QStringLiteral("1000"));
    EXPECT_EQ(strip().Edit3->text(), QStringLiteral("900"));
    EXPECT_EQ(strip().UpDown1->position(), 70);
    EXPECT_EQ(strip().UpDown2->position(), -20);
    const QSize frame = mainForm().frameClientSize();
    EXPECT_EQ(w->clientSize(), QSize(frame.width() - 50, frame.height() - 100));

    // Display levels (x, y, level): minimum 0, mean 50, clamped at both ends; row 0 on top.
    const struct {
        int x, y, level;
    } levels[] = {{10, 10, 0}, {5, 5, 50}, {18, 18, 100}, {2, 0, 255}, {3, 0, 255},
                  {4, 0, 0},   {0, 1, 0},  {29, 29, 255}, {0, 0, 0},   {1, 0, 255}};
    for (const auto& l : levels)
        EXPECT_EQ(w->image().pixelValue(l.x, l.y), JoinColour(l.level, l.level, l.level))
            << l.x << "," << l.y;
    // Raw values: blue 0, green the high byte, red the low byte.
    const struct {
        int x, y, green, red;
    } raws[] = {{0, 0, 0, 0}, {1, 0, 255, 255}, {10, 10, 3, 132}, {29, 29, 19, 136}, {0, 1, 0, 100}};
    for (const auto& r : raws) {
        const uint8_t* p = w->imageZm().row(r.y) + 3 * r.x;
        EXPECT_EQ(p[0], 0);
        EXPECT_EQ(p[1], r.green) << r.x << "," << r.y;
        EXPECT_EQ(p[2], r.red) << r.x << "," << r.y;
    }
}

TEST_F(OpenCommand, PpmBranchFieldsAndRowOrder) {
    const auto pixel = [](int x, int y) {
        return Rgb{uint8_t(10 * x + y), uint8_t(100 + y), uint8_t(200 + x)};
    };
    strip().UpDown1->setPosition(40);
    strip().Edit2->setText("77");
    TChild* w = open(file("colour.ppm", ppmFile(150, 120, pixel)), 3);
    ASSERT_TRUE(platform().errors().empty()) << platform().errors()[0].toStdString();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->caption(), QString());
    EXPECT_EQ(
        hvtest::StateText(w->state),
        "DemX=150|DemY=120|ColN=1|ZomN=1.00|UndoFlg=0|Contrast=1.0|Average= |Minimum=|FilterI=3|MAX=|MIN=");
    EXPECT_EQ(w->clientSize(), QSize(150, 120));
    EXPECT_EQ(strip().Edit1->text(), QStringLiteral("100.0%"));
    EXPECT_EQ(strip().Edit2->text(), QStringLiteral("255"));
    EXPECT_EQ(strip().Edit3->text(), QStringLiteral("0"));
    EXPECT_EQ(strip().UpDown1->position(), 40);
    for (int y : {0, 1, 119})
        for (int x : {0, 7, 149}) {
            const Rgb c = pixel(x, y);
            EXPECT_EQ(w->image().pixelValue(x, y), JoinColour(c.b, c.g, c.r)) << x << "," << y;
        }
    EXPECT_TRUE(w->imageZm().samePixels(w->image()));
}

TEST_F(OpenCommand, RefusedSampleImagesMakeNoWindow) {
    open(file("keep.bmp", EncodeBmp(colourPattern(8, 8))), 1);
    ASSERT_EQ(windowCount(), 1);
    const struct {
        const char* name;
        int w, h;
        int value;  // every sample
    } cases[] = {{"flat.fts", 40, 40, 1234}, {"narrow.fts", 20, 100, 1234}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform().messages.clear();
        open(file(c.name, fitsFile(c.w, c.h, [&](int, int) { return storedFor(c.value); })), 2);
        ASSERT_EQ(platform().errors().size(), 1u);
        EXPECT_EQ(platform().errors()[0], QString::fromUtf8(msg::kInvalidOperation));
        EXPECT_EQ(windowCount(), 1);
    }
}

TEST_F(OpenCommand, FilterIndexNotExtensionDecides) {
    const Picture pic = colourPattern(12, 10);
    TChild* w = open(file("really-a-bitmap.fits", EncodeBmp(pic)), 1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->state.FilterI, "1");
    EXPECT_TRUE(w->image().samePixels(pic));

    const auto grid = [](int x, int y) { return storedFor(x == 10 && y == 10 ? 500 : 1000); };
    open(file("really-fits.bmp", fitsFile(30, 30, grid)), 2);
    ASSERT_EQ(windowCount(), 2);
    EXPECT_EQ(mainForm().ActiveImageWindow()->state.FilterI, "2");

    // A PPM file under the bitmap entry goes to the bitmap reader, which refuses it.
    platform().messages.clear();
    open(file("picture.ppm", ppmFile(4, 4, [](int, int) { return Rgb{1, 2, 3}; })), 1);
    ASSERT_EQ(platform().errors().size(), 1u);
    EXPECT_FALSE(platform().errors()[0].isEmpty());
    EXPECT_EQ(windowCount(), 2);
}

TEST_F(OpenCommand, UnreadableFilesShowAMessageAndKeepTheOtherWindows) {
    const Picture pic = colourPattern(16, 16);
    TChild* kept = open(file("keep.bmp", EncodeBmp(pic)), 1);
    ASSERT_NE(kept, nullptr);

    // Two NAXIS1 cards add up: 9000 + 9000 is over the reader's 16000.
    char extra[81];
    std::snprintf(extra, sizeof extra, "NAXIS1  = %20d", 9000);
    const std::vector<uint8_t> oversize = fitsFile(9000, 1, [](int, int) { return storedFor(1); }, {extra});
    // A bitmap that is not there is named as such, like the codecs' files, not as unreadable data.
    const std::string missingBitmap = scratch("missing.bmp");
    const std::string cannotOpenBitmap = "ファイルを開けません: " + missingBitmap;
    const std::string fifo = scratch("no-writer.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        const char* what;
        std::string path;
        int filterIndex;
        const char* trace;              // the reader's trace line, when it writes one
        const char* message = nullptr;  // part of the message, where it is the system's own
    } cases[] = {
        {"missing FITS", scratch("missing.fts"), 2, "file open error    "},
        {"oversize FITS", file("oversize.fts", oversize), 2, "alloc error !!\n"},
        {"missing PPM", scratch("missing.ppm"), 3, "Couldn't find "},
        {"PPM without sizes", file("nosize.ppm", {'P', '6', '\n', 'x', 'y', '\n'}), 3, nullptr},
        {"missing bitmap", missingBitmap, 1, nullptr, cannotOpenBitmap.c_str()},
        {"garbage bitmap", file("garbage.bmp", {'n', 'o', 't', ' ', 'b', 'm', 'p'}), 1, nullptr},
        {"huge bitmap header", file("huge.bmp", bmp_samples::header(20000, 20000, 24, 0, 0, {}, 0)), 1,
         nullptr, "画像が大きすぎます (20000 x 20000)"},
        // Neither waited for nor read without end: the window never freezes.
        {"FIFO without a writer as bitmap", fifo, 1, nullptr},
        {"FIFO without a writer as FITS", fifo, 2, nullptr},
        {"FIFO without a writer as PPM", fifo, 3, nullptr},
        {"endless zeros as bitmap", "/dev/zero", 1, nullptr},
        {"endless zeros as FITS", "/dev/zero", 2, nullptr},
        {"endless zeros as PPM", "/dev/zero", 3, nullptr},
        {"a folder as FITS", scratch(""), 2, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform().messages.clear();
        testing::internal::CaptureStdout();
        open(c.path, c.filterIndex);
        const std::string out = testing::internal::GetCapturedStdout();
        ASSERT_EQ(platform().errors().size(), 1u);
        EXPECT_FALSE(platform().errors()[0].isEmpty());
        if (c.trace) {
            EXPECT_NE(out.find(c.trace), std::string::npos) << out;
        }
        if (c.message) {
            EXPECT_EQ(platform().errors()[0].toStdString(), c.message);
        }
        EXPECT_EQ(windowCount(), 1);
        EXPECT_EQ(mainForm().ActiveImageWindow(), kept);
        EXPECT_TRUE(kept->image().samePixels(pic));
    }
}

// Files named on the command line, or dropped on the workbench, open by their extension in any case;
// each failure names its file and the next file still opens.
TEST_F(OpenCommand, FilesOpenByExtensionAndEachFailureNamesItsFile) {
    const std::vector<uint8_t> bmp = EncodeBmp(colourPattern(4, 3));
    const std::vector<uint8_t> fits =
        fitsFile(30, 30, [](int x, int y) { return storedFor(900 + 10 * ((x + y) % 5)); });
    const std::vector<uint8_t> flat = fitsFile(30, 30, [](int, int) { return storedFor(500); });
    const std::vector<uint8_t> ppm = ppmFile(2, 2, [](int, int) { return Rgb{1, 2, 3}; });
    const struct {
        std::string path;
        int kind;  // 0: refused
    } cases[] = {
        {file("a.BMP", bmp), kColourWindow},
        {file("b.Fits", fits), kSampleWindow},
        {file("c.fit", fits), kSampleWindow},
        {file("d.FTS", fits), kSampleWindow},
        {file("e.pPm", ppm), kPpmWindow},
        {file("f.txt", bmp), 0},
        {scratch("missing.fits"), 0},
        {file("flat.fits", flat), 0},
        {file("fits", fits), 0},
    };
    QStringList paths;
    for (const auto& c : cases) paths << QString::fromStdString(c.path);
    for (const bool dropped : {false, true}) {
        SCOPED_TRACE(dropped ? "dropped" : "command line");
        for (TChild* w : mainForm().imageWindowsMostRecentFirst()) mainForm().closeImageWindow(w);
        platform().messages.clear();
        testing::internal::CaptureStdout();
        if (dropped) {
            QMimeData data;
            QList<QUrl> urls;
            for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
            data.setUrls(urls);
            // A drop reaches the window that accepted the drag's entry.
            const auto drag = [&] {
                QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
                enter.setAccepted(false);
                QCoreApplication::sendEvent(&mainForm(), &enter);
                QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
                QCoreApplication::sendEvent(&mainForm(), &drop);
                return enter.isAccepted();
            };
            EXPECT_FALSE(drag());  // the fixed layout takes no drops
            hvtest::ProcessEvents();
            EXPECT_EQ(windowCount(), 0);
            mainForm().showWorkbench();
            EXPECT_TRUE(drag());
        } else {
            mainForm().openFiles(paths);
        }
        hvtest::ProcessEvents();
        testing::internal::GetCapturedStdout();
        std::vector<int> kinds;
        for (TChild* w : mainForm().imageWindowsMostRecentFirst())
            kinds.insert(kinds.begin(), WindowKind(w->state));
        std::vector<int> expected;
        std::vector<std::string> refused;
        for (const auto& c : cases) (c.kind ? expected.push_back(c.kind) : refused.push_back(c.path));
        EXPECT_EQ(kinds, expected);
        ASSERT_EQ(platform().errors().size(), refused.size());
        for (size_t i = 0; i < refused.size(); ++i)
            EXPECT_NE(platform().errors()[i].toStdString().find(refused[i]), std::string::npos)
                << platform().errors()[i].toStdString();
    }
    EXPECT_EQ(mainForm().openFilterIndex, 2);  // as if chosen in the dialog: the last file's entry
}

// Rows missing at the end of an uncompressed file read as zero bytes: black, or the palette's first
// colour.
TEST_F(OpenCommand, TruncatedBitmapsReadTheMissingRowsAsZeros) {
    const int w = 9, h = 3;
    const struct {
        bmp_samples::Sample sample;
        int rowBytes;
        bool palette;
    } cases[] = {{bmp_samples::trueColour24(w, h, false), 28, false},
                 {bmp_samples::palettized(8, w, h), 12, true},
                 {bmp_samples::packed(32, {0xff0000, 0x00ff00, 0x0000ff}, false, "32-bit", w, h), 36, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sample.name);
        std::vector<uint8_t> bytes = c.sample.bytes;
        bytes.resize(bytes.size() - 2 * c.rowBytes + 5);  // the bottom row and five bytes of the next
        TChild* win = open(file("truncated.bmp", bytes), 1);
        ASSERT_TRUE(platform().errors().empty()) << platform().errors()[0].toStdString();
        ASSERT_NE(win, nullptr);
        const bmp_samples::Rgb zero = c.palette ? bmp_samples::paletteColour(0) : bmp_samples::Rgb{0, 0, 0};
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(win->image().pixelValue(x, 2), c.sample.expected.pixelValue(x, 2)) << x;
            EXPECT_EQ(win->image().pixelValue(x, 0), JoinColour(zero.b, zero.g, zero.r)) << x;
        }
        mainForm().closeImageWindow(win);
        hvtest::ProcessEvents();
    }
}

// Larger than Qt's default allocation limit for its reader (256 MiB as 32-bit pixels).
TEST_F(OpenCommand, BitmapBeyondTheReaderDefaultLimitOpens) {
    const int w = 8200, h = 8200;
    const std::string path = scratch("large.bmp");
    {
        // 16 bits per pixel, all black: the pixel rows are a hole in a sparse file.
        std::vector<uint8_t> head = bmp_samples::header(w, h, 16, 0, 0, {}, static_cast<uint32_t>(2 * w * h));
        writeFile(path, head);
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(head.size()) + 2LL * w * h), 0);
    }
    TChild* win = open(path, 1);
    ASSERT_TRUE(platform().errors().empty()) << platform().errors()[0].toStdString();
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(win->state.DemX, "8200");
    EXPECT_EQ(win->image().pixelValue(w - 1, h - 1), 0);
}

TEST_F(OpenCommand, MenuVariantLoadsByExtension) {
    const Picture pic = colourPattern(40, 30);
    TChild* w = open(file("menu.bmp", EncodeBmp(pic)), 3, &TMainForm::Open1Click);  // the index is ignored
    ASSERT_TRUE(platform().errors().empty()) << platform().errors()[0].toStdString();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->caption(), QStringLiteral("menu.bmp"));
    EXPECT_TRUE(w->image().samePixels(pic));
    EXPECT_EQ(w->clientSize(), QSize(40, 30));
    EXPECT_EQ(w->state.FilterI, "");  // no field is written
    EXPECT_EQ(w->state.DemX, "0");
    EXPECT_EQ(w->state.ZomN, "0");

    // A FITS file is no picture format: the error shows and the empty window stays.
    open(file("menu.fts", fitsFile(30, 30, [](int, int) { return storedFor(5); })), 2,
         &TMainForm::Open1Click);
    ASSERT_EQ(platform().errors().size(), 1u);
    ASSERT_EQ(windowCount(), 2);
    EXPECT_TRUE(mainForm().ActiveImageWindow()->image().isNull());

    // The extension decides: bitmap bytes named .png are refused by the PNG reader, while a PPM
    // file is one of the picture formats the platform reads.
    open(file("bitmap.png", EncodeBmp(pic)), 1, &TMainForm::Open1Click);
    EXPECT_EQ(platform().errors().size(), 2u);
    EXPECT_EQ(windowCount(), 3);
    const auto colour = [](int x, int y) { return Rgb{uint8_t(40 * x), uint8_t(50 * y), 3}; };
    open(file("menu.ppm", ppmFile(5, 4, colour)), 1, &TMainForm::Open1Click);
    EXPECT_EQ(platform().errors().size(), 2u);
    TChild* ppm = mainForm().ActiveImageWindow();
    ASSERT_EQ(windowCount(), 4);
    EXPECT_EQ(ppm->caption(), QStringLiteral("menu.ppm"));
    EXPECT_EQ(ppm->image().pixelValue(4, 3), JoinColour(3, 150, 160));
}

}  // namespace
