// The platform's rules that need no display, and the scripted platform's answers.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <QWidget>

#include "platform/file_filter.h"
#include "platform/local_time.h"
#include "platform/scripted_platform.h"

namespace {
TEST(FileFilter, FilterListBecomesQtNameFilters) {
    struct Case {
        const char* in;
        QStringList out;
    };
    const Case cases[] = {
        {"Bitmap|*.bmp", {"Bitmap (*.bmp)"}},
        {"FITS|*.fit;*.fts;*.fits|PPM|*.ppm", {"FITS (*.fit *.fts *.fits)", "PPM (*.ppm)"}},
        {"All|*.*|", {"All (*.*)"}},
        {"BMP (*.bmp)|*.bmp", {"BMP (*.bmp) (*.bmp)"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ToQtNameFilters(QString::fromUtf8(c.in)), c.out) << c.in;
}

TEST(LocalTime, LocaleFormatsWithoutTimeZone) {
    const QLocale c = QLocale::c();
    const LocalDateTime t = MakeLocalDateTime(QDateTime(QDate(2026, 12, 8), QTime(13, 2, 3)), c);
    EXPECT_EQ(t.shortDate, c.toString(QDate(2026, 12, 8), QLocale::ShortFormat).toStdString());
    EXPECT_EQ(t.longTime, "13:02:03");
    EXPECT_FALSE(t.midnight);
    const LocalDateTime m = MakeLocalDateTime(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 0)), c);
    EXPECT_TRUE(m.midnight);
    const LocalDateTime ms = MakeLocalDateTime(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 0, 1)), c);
    EXPECT_FALSE(ms.midnight);
    const LocalDateTime ja = MakeLocalDateTime(QDateTime(QDate(2026, 12, 8), QTime(9, 5, 7)),
                                               QLocale(QLocale::Japanese, QLocale::Japan));
    EXPECT_EQ(ja.shortDate, "2026/12/08");
    EXPECT_NE(ja.longTime.find("9"), std::string::npos);
    EXPECT_EQ(ja.longTime.find("JST"), std::string::npos);
}

TEST(ScriptedPlatform, AnswersInOrderThenDefaults) {
    ScriptedPlatform p;
    p.yesNoAnswers = {true, false};
    p.defaultYes = true;
    EXPECT_TRUE(p.askYesNo(nullptr, "a", "c"));
    EXPECT_FALSE(p.askYesNo(nullptr, "b", "c"));
    EXPECT_TRUE(p.askYesNo(nullptr, "c", "c"));
    EXPECT_EQ(p.questions, (std::vector<QString>{"a", "b", "c"}));

    p.openAnswers.push_back(FileDialogResult{"/tmp/x.fit", 2});
    const auto first = p.getOpenFile(nullptr, {"開く", "FITS|*.fit", 2});
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->path, "/tmp/x.fit");
    EXPECT_EQ(first->filterIndex, 2);
    EXPECT_FALSE(p.getOpenFile(nullptr, {}).has_value());  // cancelled when the script runs out
    EXPECT_EQ(p.openRequests.size(), 2u);
    EXPECT_EQ(p.openRequests[0].filter, "FITS|*.fit");

    int ticks = 0;
    p.tick = [&] { return static_cast<uint32_t>(0xFFFFFFF0u + 10u * ticks++); };
    const uint32_t t0 = p.tickCount();
    const uint32_t t1 = p.tickCount();
    EXPECT_EQ(static_cast<uint32_t>(t1 - t0), 10u);  // differences in 32 bits across the wrap
    p.setBusy(true);
    p.setBusy(false);
    EXPECT_EQ(p.busyDepth, 0);
    EXPECT_EQ(p.busyCalls, 1);
}
}  // namespace
