// halvane2-cli bench --record, results and compare as a user runs them, each test over a database
// and files of its own.
#include <gtest/gtest.h>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSvgRenderer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "results/results.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

using clitest::CliResult;

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class ResultsCli : public ::testing::Test {
  protected:
    void SetUp() override {
        // The default database lies under the test's folder too.
        setenv("XDG_DATA_HOME", (m_dir / "data").c_str(), 1);
        m_db = (m_dir / "data" / "halvane2" / "results.sqlite").string();
    }
    // The tool in the test's folder; "DB" in the arguments stands for the test's database.
    CliResult Tool(std::string args) const {
        for (size_t at; (at = args.find("DB")) != std::string::npos;) args.replace(at, 2, "'" + m_db + "'");
        return clitest::RunCli(args, m_dir);
    }
    // A shell command line in the test's folder, with $CLI the tool and $DB the database; its output.
    std::string Shell(const std::string& line) const {
        const std::string command = "cd '" + m_dir.string() + "' && CLI='" HV_CLI_PATH "' DB='" + m_db +
                                    "' QT_QPA_PLATFORM=offscreen sh -c '" + line + "' 2>&1";
        std::string out;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        if (pipe) pclose(pipe);
        return out;
    }
    QJsonDocument Json(const std::string& args) const {
        const CliResult o = Tool(args);
        EXPECT_EQ(o.status, 0) << args << "\n" << o.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(o.out));
    }

    hvtest::ScratchDir m_scratch{"results"};
    const fs::path m_dir = m_scratch.dir();
    std::string m_db;
};

TEST_F(ResultsCli, RecordingTwiceGivesTwoInvocationsInTheInvocationAndRunTables) {
    ASSERT_EQ(Tool("bench --record --repeat 2").status, 0);  // to the default database
    const CliResult second = Tool("bench --record --db DB");
    ASSERT_EQ(second.status, 0) << second.err;
    const QJsonArray list = Json("results --db DB --json").array();
    ASSERT_EQ(list.size(), 2);
    const QJsonObject newest = list[0].toObject(), oldest = list[1].toObject();
    EXPECT_GT(newest["id"].toInteger(), oldest["id"].toInteger());
    EXPECT_EQ(newest["runs"].toInt(), 1);
    EXPECT_EQ(oldest["runs"].toInt(), 2);
    EXPECT_EQ(oldest["valid_runs"].toInt(), 2);
    EXPECT_GT(oldest["score"].toObject()["median"].toDouble(), 0);
    EXPECT_NE(oldest["machine"].toObject()["cpu"].toString(), QString());

    const std::string tables = Shell(
        "sqlite3 \"$DB\" .tables \"PRAGMA user_version\" "
        "\"SELECT count(*), sum(valid) FROM run\" "
        "\"SELECT i.repeat_mode, r.run, r.total_ms > 0, r.total_us > 0, length(r.checksum) FROM invocation i "
        "JOIN run r ON r.invocation_id = i.id ORDER BY i.id, r.run\"");
    EXPECT_EQ(tables, "invocation  run       \n1\n3|3\n2|1|1|1|16\n2|2|1|1|16\n1|1|1|1|16\n");
    // The plain listing names both, newest first.
    const CliResult text = Tool("results --db DB");
    EXPECT_LT(text.out.find("\n" + std::to_string(newest["id"].toInteger()) + " "),
              text.out.find("\n" + std::to_string(oldest["id"].toInteger()) + " "))
        << text.out;
}

TEST_F(ResultsCli, TwoProgramsRecordingAtOnceLoseNothing) {
    const std::string statuses = Shell(
        "for k in 1 2 3; do (\"$CLI\" bench --record --db \"$DB\" --repeat 2 >/dev/null; echo $? >status$k) "
        "& done; "
        "wait; cat status1 status2 status3");
    EXPECT_EQ(statuses, "0\n0\n0\n");
    const QJsonArray list = Json("results --db DB --json").array();
    ASSERT_EQ(list.size(), 3);
    for (const QJsonValue& v : list) EXPECT_EQ(v.toObject()["runs"].toInt(), 2);
}

TEST_F(ResultsCli, RepeatAutoStopsWhereTheRuleSaysAndReportsIt) {
    const QJsonObject doc = Json("bench --json --repeat auto").object();
    EXPECT_EQ(doc["repeat"].toString(), "auto");
    // The rule applied to the reported runs finishes exactly at the last of them.
    RepeatWatch watch;
    const QJsonArray runs = doc["runs"].toArray();
    for (int i = 0; i < runs.size(); ++i) {
        EXPECT_FALSE(watch.finished()) << "run " << i + 1;
        RunFigures f;
        f.us[static_cast<int>(Stage::Total)] = runs[i]["us"]["total"].toInteger();
        f.checksumState = runs[i]["valid"].toBool() ? ChecksumState::Valid : ChecksumState::Invalid;
        watch.add(f);
    }
    EXPECT_TRUE(watch.finished());
    EXPECT_EQ(doc["stable"].toBool(), watch.stable());
}

TEST_F(ResultsCli, FilesThatAreNotOurDatabaseAreRefusedUnchanged) {
    struct Case {
        const char* name;
        const char* make;  // shell commands that make $DB
        const char* message;
    };
    const Case cases[] = {
        {"text file", "printf \"my notes\\n\" >\"$DB\"", "not an SQLite database"},
        {"another program's database", "sqlite3 \"$DB\" \"CREATE TABLE t(x); INSERT INTO t VALUES (1)\"",
         "another program"},
        {"newer schema",
         "\"$CLI\" bench --record --db \"$DB\" >/dev/null && sqlite3 \"$DB\" \"PRAGMA user_version = 2\"",
         "newer HALVANE-2 (schema version 2"},
        {"damaged",
         "\"$CLI\" bench --record --db \"$DB\" --repeat 3 >/dev/null && "
         "printf \"%4096s\" x | dd of=\"$DB\" bs=1 seek=4096 conv=notrunc 2>/dev/null",
         "damaged"},
    };
    for (const Case& c : cases) {
        fs::remove_all(m_dir / "data");
        fs::create_directories(fs::path(m_db).parent_path());
        ASSERT_EQ(Shell(std::string(c.make) + " && echo made"), "made\n") << c.name;
        const std::string before = clitest::ReadText(m_db);
        for (const char* command : {"results --db DB", "bench --record --db DB", "compare 1 2 --db DB"}) {
            const CliResult o = Tool(command);
            EXPECT_EQ(o.status, 1) << c.name << ": " << command;
            EXPECT_NE(o.err.find(c.message), std::string::npos) << c.name << ": " << command << "\n" << o.err;
            EXPECT_EQ(o.out, "") << c.name << ": " << command;  // the benchmark did not run
        }
        EXPECT_EQ(clitest::ReadText(m_db), before) << c.name;
        EXPECT_FALSE(fs::exists(m_db + "-journal")) << c.name;
    }
}

// A bench --json report whose runs have these totals and scores; the run numbers from 1, with
// their known checksums unless the run is marked false.
std::string Report(const std::vector<std::tuple<int, int, bool>>& runs) {
    QJsonArray list;
    int number = 0;
    for (const auto& [totalMs, score, valid] : runs) {
        QJsonObject ms, us;
        for (const StageInfo& s : kStages) {
            const bool total = s.stage == Stage::Total;
            ms[s.jsonKey] = total ? totalMs : 1;
            us[s.jsonKey] = total ? totalMs * 1000 : 1000;
        }
        const uint64_t checksum = *KnownChecksum(++number) ^ (valid ? 0 : 1);
        list.append(QJsonObject{{"run", number},
                                {"date", "8 Dec 2026 05:00:00"},
                                {"ms", ms},
                                {"us", us},
                                {"score", score},
                                {"checksum", QString::fromStdString(ChecksumText(checksum))}});
    }
    return QJsonDocument(QJsonObject{{"machine", QJsonObject{{"cpu", "Test CPU"}}}, {"runs", list}})
        .toJson()
        .toStdString();
}

TEST_F(ResultsCli, CompareOfTwoReportsGivesTheirRatiosAndCharts) {
    WriteFile(m_dir / "a.json", Report({{100, 400, true}, {120, 300, true}, {110, 350, true}}));
    WriteFile(m_dir / "b.json", Report({{200, 200, true}, {1, 9000, false}, {220, 180, true}}));
    const QJsonObject doc = Json("compare a.json b.json --json --chart chart.png").object();
    const QJsonArray figures = doc["figures"].toArray();
    ASSERT_EQ(figures.size(), kFigureCount);
    const QJsonObject total = figures[static_cast<int>(Stage::Total)].toObject();
    const QJsonObject score = figures[kScoreFigure].toObject();
    EXPECT_EQ(total["key"].toString(), "total");
    EXPECT_DOUBLE_EQ(total["results"][1]["ratio"].toDouble(), 210.0 / 110);
    EXPECT_FALSE(total["results"][1]["inside_noise"].toBool());
    EXPECT_DOUBLE_EQ(score["results"][1]["ratio"].toDouble(), 190.0 / 350);
    EXPECT_TRUE(figures[0].toObject()["results"][1]["inside_noise"].toBool());
    EXPECT_EQ(doc["results"][1]["valid_runs"].toInt(), 2);
    EXPECT_EQ(doc["results"][1]["source"].toString(), "b.json");

    const CliResult text = Tool("compare a.json b.json --chart chart.svg");
    EXPECT_NE(text.out.find("1.909  differs"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("3 runs (1 not valid)"), std::string::npos) << text.out;
    EXPECT_EQ(QImageReader(QString::fromStdString((m_dir / "chart.png").string())).size(), QSize(1200, 700));
    EXPECT_EQ(QImageReader(QString::fromStdString((m_dir / "chart.png").string())).format(), "png");
    QSvgRenderer svg(QString::fromStdString((m_dir / "chart.svg").string()));
    EXPECT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBoxF(), QRectF(0, 0, 1200, 700));
    EXPECT_NE(clitest::ReadText(m_dir / "chart.svg").find("width=\"317.5mm\" height=\"185.208mm\""),
              std::string::npos);

    struct Bad {
        const char* args;
        int status;
        const char* message;
    };
    const Bad bad[] = {
        {"compare a.json", 2, "needs at least two results"},
        {"compare a.json b.json --chart chart.gif", 2, ".png or .svg"},
        {"compare a.json missing.json", 1, "neither a file nor a recorded id"},
        {"compare a.json chart.svg", 1, "not a report of"},
    };
    for (const Bad& b : bad) {
        const CliResult o = Tool(b.args);
        EXPECT_EQ(o.status, b.status) << b.args;
        EXPECT_NE(o.err.find(b.message), std::string::npos) << b.args << "\n" << o.err;
    }
}

}  // namespace
