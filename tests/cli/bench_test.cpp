// halvane2-cli bench as a user runs it: the JSON report, the kept images, the errors.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <filesystem>
#include <string>

#include "benchmark/workload.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

using clitest::CliResult;

QStringList Keys(const QJsonObject& o) {
    QStringList keys = o.keys();
    keys.sort();
    return keys;
}

class CliBench : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directory(m_dir / "work"); }
    hvtest::ScratchDir m_scratch{"cli-bench"};
    const fs::path m_dir = m_scratch.dir();
};

TEST_F(CliBench, JsonReportOfTwoRunsWithKeptImages) {
    const CliResult o = clitest::RunCli("bench --json --repeat 2 --keep-images ../kept", m_dir / "work");
    ASSERT_EQ(o.status, 0) << o.err;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(o.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << o.out;
    const QJsonObject root = doc.object();
    EXPECT_EQ(Keys(root), (QStringList{"date", "machine", "program", "recorded_id", "repeat", "runs",
                                       "stable", "summary"}));
    EXPECT_EQ(root["repeat"].toString(), "2");
    EXPECT_EQ(Keys(root["program"].toObject()), (QStringList{"build_type", "compiler", "name", "version"}));
    EXPECT_EQ(root["program"].toObject()["name"].toString(), QStringLiteral("HALVANE-2"));
    EXPECT_EQ(Keys(root["machine"].toObject()),
              (QStringList{"cpu", "kernel", "logical_cpus", "memory_mb", "os", "os_detail"}));
    EXPECT_GE(root["machine"].toObject()["logical_cpus"].toInt(), 1);

    const QStringList figureKeys{"composite", "convolution", "display", "file_access", "memory", "total"};
    const QJsonArray runs = root["runs"].toArray();
    ASSERT_EQ(runs.size(), 2);
    // The first run of a process computes what the workload computes from the generator's start.
    BenchRandom random(1);
    const WorkloadFigures first =
        RunWorkload(random, WorkloadClock{[n = 0u]() mutable { return n++; }}, [](ShownImage&) {});
    for (int i = 0; i < 2; ++i) {
        const QJsonObject run = runs[i].toObject();
        EXPECT_EQ(Keys(run), (QStringList{"checksum", "date", "memory_available_mb", "memory_installed_mb",
                                          "ms", "os", "run", "score", "seconds", "us", "valid"}));
        EXPECT_EQ(run["valid"].toBool(), true);
        EXPECT_EQ(run["run"].toInt(), i + 1);
        EXPECT_EQ(run["os"].toString(), QStringLiteral("OS不明"));
        EXPECT_TRUE(run["memory_installed_mb"].isDouble());
        EXPECT_LE(run["memory_available_mb"].toDouble(), run["memory_installed_mb"].toDouble());
        const QJsonObject ms = run["ms"].toObject(), us = run["us"].toObject(),
                          seconds = run["seconds"].toObject();
        EXPECT_EQ(Keys(ms), figureKeys);
        EXPECT_EQ(Keys(us), figureKeys);
        EXPECT_EQ(Keys(seconds), figureKeys);
        for (const QString& key : figureKeys)
            EXPECT_EQ(seconds[key].toString().toStdString(), SecondsText(ms[key].toInt()))
                << key.toStdString();
        EXPECT_EQ(run["score"].toInt(), ScoreFromSeconds(MillisecondsToSeconds(ms["total"].toInt())));
        EXPECT_GT(us["total"].toDouble(), 0);
        const std::string checksum = run["checksum"].toString().toStdString();
        EXPECT_EQ(checksum.size(), 16u);
        if (i == 0)
            EXPECT_EQ(checksum, ChecksumText(first.checksum));
        else
            EXPECT_NE(checksum, runs[0].toObject()["checksum"].toString().toStdString());
        for (int f = 0; f < 16; ++f)
            EXPECT_TRUE(fs::exists(m_dir / "kept" / std::to_string(i + 1) / (std::to_string(f) + ".fit")))
                << f;
    }
    const QJsonObject summary = root["summary"].toObject();
    EXPECT_EQ(Keys(summary), (QStringList{"ms", "score"}));
    for (const QString& key : figureKeys) {
        const QJsonObject s = summary["ms"].toObject()[key].toObject();
        const double a = runs[0].toObject()["ms"].toObject()[key].toDouble();
        const double b = runs[1].toObject()["ms"].toObject()[key].toDouble();
        EXPECT_EQ(s["min"].toDouble(), std::min(a, b)) << key.toStdString();
        EXPECT_EQ(s["max"].toDouble(), std::max(a, b)) << key.toStdString();
        EXPECT_EQ(s["median"].toDouble(), (a + b) / 2) << key.toStdString();
    }
    EXPECT_TRUE(fs::is_empty(m_dir / "work"));
}

TEST_F(CliBench, TextReportHasTheWindowsRows) {
    const CliResult o = clitest::RunCli("bench", m_dir / "work");
    ASSERT_EQ(o.status, 0) << o.err;
    const QStringList lines = QString::fromStdString(o.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 11) << o.out;
    const char* const starts[] = {"測定結果  V2",      "測定日時 ",         "OS OS不明",
                                  "使用可能メモリ ",   "ファイルアクセス ", "画像表示 ",
                                  "メモリ確保 ",       "コンポジット ",     "コンボリューション ",
                                  "トータル所要時間 ", "総合処理能力 "};
    for (int i = 0; i < 11; ++i)
        EXPECT_TRUE(lines[i].startsWith(QString::fromUtf8(starts[i]))) << lines[i].toStdString();
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral(" MB(残存/搭載)")));
    for (int i = 4; i < 10; ++i) EXPECT_TRUE(lines[i].endsWith(QStringLiteral(" 秒"))) << i;
    EXPECT_TRUE(lines[10].endsWith(QStringLiteral(" ポイント")));
    EXPECT_TRUE(fs::is_empty(m_dir / "work"));
}

TEST_F(CliBench, BadArgumentsAreUsageErrors) {
    const char* const cases[] = {"bench --repeat 0", "bench --repeat x", "bench --repeat",
                                 "bench --frobnicate", "bench --keep-images"};
    for (const char* args : cases) {
        const CliResult o = clitest::RunCli(args, m_dir / "work");
        EXPECT_EQ(o.status, 2) << args;
        EXPECT_TRUE(o.out.empty()) << args;
        EXPECT_NE(o.err.find("halvane2-cli bench:"), std::string::npos) << args;
        EXPECT_NE(o.err.find("Usage: halvane2-cli bench"), std::string::npos) << args;
    }
    const CliResult help = clitest::RunCli("bench --help", m_dir / "work");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--keep-images"), std::string::npos);
}

}  // namespace
