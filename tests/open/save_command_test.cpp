// The save commands: the dialog, what is written (the display, as a 24-bit bitmap, under the typed
// name, replacing an older file), the captions, and a failed write.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <iterator>

#include "core/bmp.h"
#include "core/errors.h"
#include "edits/edits.h"
#include "shell/bitmap_io.h"
#include "tests/open/open_support.h"
#include "tests/support/gui_fixture.h"

namespace {

using namespace opentest;

class SaveCommand : public GuiFixture {
  protected:
    SaveCommand() : m_dir("save") {}
    std::string path(const std::string& name) const { return m_dir.path(name); }
    void save(void (TMainForm::*handler)(), const std::string& target, int filterIndex) {
        platform().saveAnswers.push_back(FileDialogResult{QString::fromStdString(target), filterIndex});
        run(handler);
    }
    TChild* openFile(const std::string& name, const std::vector<uint8_t>& bytes, int filterIndex) {
        writeFile(path(name), bytes);
        platform().openAnswers.push_back(FileDialogResult{QString::fromStdString(path(name)), filterIndex});
        run(&TMainForm::OpenButtonClick);
        hvtest::ProcessEvents();
        return mainForm().ActiveImageWindow();
    }

  private:
    TempDir m_dir;
};

TEST_F(SaveCommand, NothingWithoutWindowOrWhenCancelled) {
    run(&TMainForm::Save1Click);
    run(&TMainForm::SaveButtonClick);
    EXPECT_TRUE(platform().saveRequests.empty());  // no window: no dialog either

    TChild* w = makeWindow(kColourWindow, colourPattern(5, 5));
    w->setCaption("old");
    run(&TMainForm::SaveButtonClick);  // cancelled
    ASSERT_EQ(platform().saveRequests.size(), 1u);
    EXPECT_EQ(platform().saveRequests[0].title, QStringLiteral("Save an Image"));
    EXPECT_EQ(platform().saveRequests[0].filter,
              QStringLiteral("ビットマップ(*.bmp)|*.bmp|フィッツ(*.fts,*.fit,*.fits)|*.fts;*.fit;*.fits"));
    EXPECT_EQ(platform().saveRequests[0].filterIndex, 1);
    EXPECT_EQ(w->caption(), QStringLiteral("old"));
    EXPECT_TRUE(platform().errors().empty());
}

TEST_F(SaveCommand, WritesTheDisplayUnderTheTypedNameWithEachCaptionRule) {
    const Picture stored = colourPattern(13, 6);
    TChild* w = makeWindow(kColourWindow, stored);
    w->setCaption("before");
    w->image().draw(MirrorOf(stored));  // the display differs from the stored image
    const struct {
        void (TMainForm::*handler)();
        const char* name;
        int filterIndex;
        const char* caption;  // afterwards
    } cases[] = {
        {&TMainForm::Save1Click, "menu.bmp", 1, "before"},
        {&TMainForm::Save1Click, "as-fits.fts", 2, "before"},
        {&TMainForm::SaveButtonClick, "button.bmp", 1, "button.bmp"},
        {&TMainForm::SaveButtonClick, "no_extension", 2, "no_extension"},
    };
    writeFile(path("menu.bmp"), std::vector<uint8_t>(5000, 'o'));  // an older, longer file
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        save(c.handler, path(c.name), c.filterIndex);
        ASSERT_TRUE(platform().errors().empty()) << platform().errors()[0].toStdString();
        EXPECT_EQ(readFile(path(c.name)), EncodeBmp(w->image()));
        EXPECT_TRUE(LoadBitmapPicture(QString::fromStdString(path(c.name))).samePixels(MirrorOf(stored)));
        EXPECT_EQ(w->caption(), QString::fromUtf8(c.caption));
    }
    EXPECT_FALSE(fs::exists(path("no_extension.bmp")));
    run(&TMainForm::Save1Click);                               // cancelled
    EXPECT_EQ(platform().saveRequests.back().filterIndex, 2);  // the last entry chosen is offered again
}

TEST_F(SaveCommand, SampleWindowSavesItsGreyDisplayNotTheSamples) {
    const auto grid = [](int x, int y) {
        return storedFor(x == 10 && y == 10 ? 900 : (x + y) % 5 == 0 ? 1100 : 1000);
    };
    TChild* w = openFile("stars.fts", fitsFile(30, 30, grid), 2);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->state.FilterI, "2");
    save(&TMainForm::Save1Click, path("stars-saved.fts"), 2);
    ASSERT_TRUE(platform().errors().empty());
    const Picture saved = LoadBitmapPicture(QString::fromStdString(path("stars-saved.fts")));
    EXPECT_TRUE(saved.samePixels(w->image()));
    EXPECT_FALSE(saved.samePixels(w->imageZm()));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const ColourParts c = SplitColour(saved.pixelValue(x, y));
            EXPECT_TRUE(c.blue == c.green && c.green == c.red) << x << "," << y;
        }
}

// A save that fails (a missing folder; a write past a file-size limit, as on a full disk) names
// the file and the reason, and leaves the folder as it was: an old file byte for byte, no partial
// or temporary file. A device is written in place, never replaced by a file.
TEST_F(SaveCommand, FailedWriteShowsAMessageAndChangesNothing) {
    TChild* w = makeWindow(kColourWindow, colourPattern(100, 100));
    w->setCaption("kept");
    const std::vector<uint8_t> old(20, 'o');
    writeFile(path("old.bmp"), old);
    const struct {
        const char* name;
        rlim_t limit;  // bytes a file may have; 0 for none
        const char* reason;
    } cases[] = {
        {"no-such-folder/out.bmp", 0, "No such file or directory"},
        {"new.bmp", 1000, "File too large"},
        {"old.bmp", 1000, "File too large"},
    };
    const auto entries = [&] {
        return std::distance(fs::directory_iterator(path("")), fs::directory_iterator());
    };
    rlimit unlimited{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // as the program has it
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform().messages.clear();
        const std::string target = path(c.name);
        const auto entriesBefore = entries();
        rlimit limited = unlimited;
        if (c.limit) limited.rlim_cur = c.limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        save(&TMainForm::SaveButtonClick, target, 1);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        ASSERT_EQ(platform().errors().size(), 1u);
        EXPECT_NE(platform().errors()[0].toStdString().find(target + " (" + c.reason + ")"),
                  std::string::npos)
            << platform().errors()[0].toStdString();
        EXPECT_EQ(w->caption(), QStringLiteral("kept"));
        const bool existed = target == path("old.bmp");
        EXPECT_EQ(fs::exists(target), existed);
        EXPECT_EQ(readFile(target), existed ? old : std::vector<uint8_t>());
        EXPECT_EQ(entries(), entriesBefore);
    }
    std::signal(SIGXFSZ, oldHandler);

    platform().messages.clear();
    save(&TMainForm::Save1Click, "/dev/null", 1);
    EXPECT_TRUE(platform().errors().empty());
    struct stat st {};
    EXPECT_TRUE(stat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));
}

TEST_F(SaveCommand, EmptyWindowWritesNothing) {
    TChild* w = mainForm().CreateImageWindow(0);  // as the menu open leaves it after a failed load
    ASSERT_TRUE(w->image().isNull());
    save(&TMainForm::SaveButtonClick, path("empty.bmp"), 1);
    EXPECT_TRUE(platform().errors().empty());
    EXPECT_FALSE(fs::exists(path("empty.bmp")));
    EXPECT_EQ(w->caption(), QStringLiteral("empty.bmp"));
}

}  // namespace
