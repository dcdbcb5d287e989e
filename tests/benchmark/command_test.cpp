// 計測開始 headless: the confirmation, the sixteen windows, the result window, the cleanup.
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>

#include "benchmark/ui/forms.h"
#include "benchmark/workload.h"
#include "core/numtext.h"
#include "tests/benchmark/reference.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

class BenchmarkCommandTest : public GuiFixture {
  protected:
    void SetUp() override {
        GuiFixture::SetUp();
        m_oldDir = fs::current_path();
        fs::current_path(m_scratch.dir());
        std::ofstream(m_scratch.dir() / "0.fit") << "the user's own file";
        ProcessRandom() = BenchRandom(1);

        // One millisecond per reading of the tick counter: the figures count the readings.
        auto counter = std::make_shared<uint32_t>(1000);
        platform().tick = [counter] { return (*counter)++; };
        OsVersionInfo os;
        os.platformId = kPlatformIdOther;
        os.systemName = "Debian GNU/Linux 12 (bookworm)";
        platform().fixedOsVersion = os;
        platform().fixedMemoryStatus = MemoryStatus{2147483648ull, 999999ull};
        platform().fixedDateTime = LocalDateTime{"2026/12/08", "1:02:03", false};
        platform().modalHandlers[QStringLiteral("Tpanel")] = [this](QWidget* w) {
            auto* panel = qobject_cast<Tpanel*>(w);
            ASSERT_NE(panel, nullptr);
            m_rows = panel->rows();
        };
    }
    void TearDown() override {
        fs::current_path(m_oldDir);
        GuiFixture::TearDown();
    }

    std::vector<std::string> entries() const { return m_scratch.entries(); }
    std::string userFile() const {
        std::ifstream in(m_scratch.dir() / "0.fit");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    Tpanel& panel() { return *windows().panel; }
    TChild* windowCaptioned(const QString& caption) {
        for (TChild* child : mainForm().imageWindowsMostRecentFirst())
            if (child->caption() == caption) return child;
        return nullptr;
    }

    hvtest::ScratchDir m_scratch{"bench-gui"};
    fs::path m_oldDir;
    QList<Tpanel::Row> m_rows;
};

TEST_F(BenchmarkCommandTest, AnsweringNoChangesNothing) {
    platform().yesNoAnswers.push_back(false);
    run(&TMainForm::N10Click);
    ASSERT_EQ(platform().questions.size(), 1u);
    EXPECT_EQ(platform().questions[0], QStringLiteral("計測を開始します。"));
    EXPECT_TRUE(platform().errors().empty());
    EXPECT_TRUE(platform().modalShown.empty());
    EXPECT_TRUE(mainForm().imageWindowsMostRecentFirst().isEmpty());
    EXPECT_EQ(panel().Label17->text(), QStringLiteral("YYYY/MM/DD"));
    EXPECT_EQ(ProcessRandom().state(), 1u);
    EXPECT_FALSE(mainForm().lastBenchmarkReport().completed);
    EXPECT_EQ(entries(), std::vector<std::string>{"0.fit"});
}

TEST_F(BenchmarkCommandTest, FullRunLeavesTwelveFilledWindowsAndShowsTheResult) {
    platform().yesNoAnswers.push_back(true);
    run(&TMainForm::N10Click);
    hvtest::ProcessEvents();
    ASSERT_TRUE(platform().errors().empty()) << platform().errors().front().toStdString();
    EXPECT_EQ(platform().modalShown, std::vector<QString>{QStringLiteral("Tpanel")});
    EXPECT_EQ(platform().busyDepth, 0);

    // Twelve windows remain: the four most recently made (15.fit down to 12.fit) were closed.
    const QList<TChild*> windows = mainForm().imageWindowsMostRecentFirst();
    ASSERT_EQ(windows.size(), 12);
    for (int i = 0; i < 16; ++i) {
        TChild* child = windowCaptioned(QString::number(i) + QStringLiteral(".fit"));
        EXPECT_EQ(child != nullptr, i < 12) << i;
        if (!child) continue;
        EXPECT_EQ(child->state.ZomN, "1.00");
        EXPECT_EQ(child->state.ColN, "1");
        EXPECT_EQ(child->state.UndoFlg, "0");
        EXPECT_EQ(child->state.FilterI, "2");
        EXPECT_EQ(child->state.DemX, "1000");
        EXPECT_EQ(child->state.DemY, "1000");
        EXPECT_EQ(child->image().width(), 1000);
        EXPECT_EQ(child->imageZm().height(), 1000);
    }
    EXPECT_EQ(mainForm().toolStrip().Edit1->text(), QStringLiteral("100.0%"));

    // The first window shows the first image of the process, scaled to its display levels.
    IntPlane image = MakePlane(1000, 1000);
    benchref::Random random;
    benchref::Generate(image, random);
    ToggleOffset(32768, 1000, 1000, image);
    const benchref::Stats stats = benchref::Statistics(image, 1000, 1000);
    TChild* first = windowCaptioned(QStringLiteral("0.fit"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->state.Average, FormatReal(stats.mean));
    EXPECT_EQ(first->state.Minimum, FormatInt(stats.minimum));
    int mismatches = 0;
    for (int y = 0; y < 1000 && mismatches < 5; ++y)
        for (int x = 0; x < 1000 && mismatches < 5; ++x) {
            const int level = benchref::Level(image[x][y], stats.minimum, stats.mean, 50);
            const uint8_t* grey = first->image().row(y) + 3 * x;
            if (grey[0] != level || grey[1] != level || grey[2] != level ||
                first->imageZm().pixelValue(x, y) != level) {
                ADD_FAILURE() << "pixel " << x << "," << y << " level " << level;
                ++mismatches;
            }
        }

    // The scratch directory is gone and the user's 0.fit is as it was.
    EXPECT_EQ(entries(), std::vector<std::string>{"0.fit"});
    EXPECT_EQ(userFile(), "the user's own file");

    // The result window, row by row; with one millisecond per tick reading every figure is the
    // number of readings its intervals span.
    const BenchmarkReport& report = mainForm().lastBenchmarkReport();
    ASSERT_TRUE(report.completed);
    EXPECT_EQ(report.figures.ms, (std::array<int32_t, kStageCount>{32, 16, 1, 16, 1, 133}));
    const auto seconds = [](int ms) { return QString::fromStdString(SecondsText(ms)); };
    struct Expected {
        const char* caption;
        QString value;
        const char* unit;
    };
    const Expected expected[] = {
        {"測定結果  V2 ", "", ""},
        {"測定日時", "2026/12/08 1:02:03", ""},
        {"OS", "OS不明", ""},
        {"使用可能メモリ", "0/2147", "MB(残存/搭載)"},
        {"ファイルアクセス", seconds(32), "秒"},
        {"画像表示", seconds(16), "秒"},
        {"メモリ確保", seconds(1), "秒"},
        {"コンポジット", seconds(16), "秒"},
        {"コンボリューション", seconds(1), "秒"},
        {"トータル所要時間", seconds(133), "秒"},
        {"総合処理能力", QString::number(ScoreFromSeconds(MillisecondsToSeconds(133))), "ポイント"},
    };
    ASSERT_EQ(m_rows.size(), 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(m_rows[i].caption, QString::fromUtf8(expected[i].caption)) << i;
        EXPECT_EQ(m_rows[i].value, expected[i].value) << i;
        EXPECT_EQ(m_rows[i].unit, QString::fromUtf8(expected[i].unit)) << i;
    }
    EXPECT_EQ(seconds(133), QStringLiteral("0.133"));
    EXPECT_EQ(report.figures.score % 4, 0);
    EXPECT_EQ(panel().Label11->text(), QString::number(report.figures.score));
}

TEST_F(BenchmarkCommandTest, SecondRunContinuesTheSequence) {
    platform().yesNoAnswers = {true, true};
    run(&TMainForm::N10Click);
    TChild* firstRun = windowCaptioned(QStringLiteral("0.fit"));
    ASSERT_NE(firstRun, nullptr);
    const Picture firstImage = firstRun->imageZm();
    const uint64_t firstChecksum = mainForm().lastBenchmarkReport().figures.checksum;
    run(&TMainForm::N10Click);
    hvtest::ProcessEvents();
    ASSERT_TRUE(platform().errors().empty());
    EXPECT_EQ(mainForm().imageWindowsMostRecentFirst().size(), 24);
    TChild* secondRun = nullptr;
    for (TChild* child : mainForm().imageWindowsMostRecentFirst())
        if (child != firstRun && child->caption() == QStringLiteral("0.fit")) secondRun = child;
    ASSERT_NE(secondRun, nullptr);
    EXPECT_FALSE(secondRun->imageZm().samePixels(firstImage));
    EXPECT_NE(mainForm().lastBenchmarkReport().figures.checksum, firstChecksum);
    BenchRandom expected(1);
    expected.skip(32ull * kBenchRandomPerImage);
    EXPECT_EQ(ProcessRandom().state(), expected.state());
}

TEST_F(BenchmarkCommandTest, ScratchFailuresStopTheRunWithoutAResult) {
    struct Case {
        const char* name;
        WorkloadOptions options;
    };
    WorkloadOptions noDirectory;
    noDirectory.scratchParents = {"/proc", "/nonexistent-hv-dir"};
    WorkloadOptions unwritable;
    unwritable.scratchParents = {m_scratch.dir().string()};
    unwritable.scratchPathOverride = [](int i) {
        return "/nonexistent-hv-dir/" + std::to_string(i) + ".fit";
    };
    const Case cases[] = {{"no scratch directory", noDirectory}, {"file cannot be created", unwritable}};
    for (const Case& c : cases) {
        platform().messages.clear();
        platform().yesNoAnswers.push_back(true);
        mainForm().setBenchmarkOptions(c.options);
        run(&TMainForm::N10Click);
        const std::vector<QString> errors = platform().errors();
        ASSERT_EQ(errors.size(), 1u) << c.name;
        EXPECT_TRUE(errors[0].startsWith(QStringLiteral("計測を中止しました"))) << errors[0].toStdString();
        EXPECT_TRUE(platform().modalShown.empty()) << c.name;
        EXPECT_TRUE(mainForm().imageWindowsMostRecentFirst().isEmpty()) << c.name;
        EXPECT_EQ(platform().busyDepth, 0) << c.name;
        EXPECT_EQ(entries(), std::vector<std::string>{"0.fit"}) << c.name;
        EXPECT_EQ(panel().Label11->text(), QStringLiteral("0")) << c.name;  // the placeholder: no score
    }
    EXPECT_EQ(userFile(), "the user's own file");
}

}  // namespace
