// halvane2-cli bench: the benchmark command headless, answering Yes and reading the result window.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/cli.h"
#include "app/cli/cli_support.h"
#include "app/cli/command_line.h"
#include "app/cli/session.h"
#include "benchmark/ui/benchmark_command.h"
#include "benchmark/ui/forms.h"
#include "benchmark/workload.h"
#include "core/errors.h"
#include "core/numtext.h"
#include "shell/mainform.h"
#include "view/ui/child.h"

#ifndef HV_VERSION
#define HV_VERSION "unknown"
#endif
#ifndef HV_BUILD_TYPE
#define HV_BUILD_TYPE "unknown"
#endif
#ifndef HV_COMPILER
#define HV_COMPILER "unknown"
#endif

const char* const kBenchUsage = "bench [--json] [--repeat N] [--keep-images DIR]";

namespace {

const char* const kBenchHelp =
    "Runs the benchmark (計測開始) once or several times without a display and prints the result\n"
    "window's rows: caption, value and unit, one row per line.\n";

struct RunRecord {
    QList<Tpanel::Row> rows;
    WorkloadFigures figures;
    QString date, os, available, installed;
    QString seconds[kStageCount];  // the window's texts
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QJsonObject Summary(const std::vector<double>& values) {
    return {{"median", Median(values)},
            {"min", *std::min_element(values.begin(), values.end())},
            {"max", *std::max_element(values.begin(), values.end())}};
}

// A label's figure as a JSON number (the text itself when it is not a plain integer).
QJsonValue Figure(const QString& text) {
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    return ok ? QJsonValue(v) : QJsonValue(text);
}

QString CpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("model name", 0) == 0) {
            const size_t colon = line.find(':');
            if (colon != std::string::npos) {
                const size_t start = line.find_first_not_of(' ', colon + 1);
                return start == std::string::npos ? QString() : QString::fromStdString(line.substr(start));
            }
        }
    }
    return {};
}

QJsonDocument JsonReport(const std::vector<RunRecord>& runs, const OsVersionInfo& os) {
    std::string detail = os.systemName;
    if (!os.kernelRelease.empty()) detail += (detail.empty() ? "" : " ") + os.kernelRelease;
    QJsonArray runArray;
    for (size_t i = 0; i < runs.size(); ++i) {
        const RunRecord& r = runs[i];
        QJsonObject ms, us, seconds;
        for (int k = 0; k < kStageCount; ++k) {
            const QString key = QString::fromLatin1(kStages[k].jsonKey);
            ms[key] = r.figures.ms[k];
            us[key] = static_cast<qint64>(r.figures.us[k]);
            seconds[key] = r.seconds[k];
        }
        runArray.append(QJsonObject{{"run", static_cast<int>(i + 1)},
                                    {"date", r.date},
                                    {"os", r.os},
                                    {"memory_available_mb", Figure(r.available)},
                                    {"memory_installed_mb", Figure(r.installed)},
                                    {"ms", ms},
                                    {"us", us},
                                    {"seconds", seconds},
                                    {"score", r.figures.score},
                                    {"checksum", QString::fromStdString(ChecksumText(r.figures.checksum))}});
    }
    QJsonObject summaryMs;
    for (int k = 0; k < kStageCount; ++k) {
        std::vector<double> values;
        for (const RunRecord& r : runs) values.push_back(r.figures.ms[k]);
        summaryMs[QString::fromLatin1(kStages[k].jsonKey)] = Summary(values);
    }
    std::vector<double> scores;
    for (const RunRecord& r : runs) scores.push_back(r.figures.score);
    return QJsonDocument(QJsonObject{
        {"program", QJsonObject{{"name", "HALVANE-2"},
                                {"version", HV_VERSION},
                                {"build_type", HV_BUILD_TYPE},
                                {"compiler", HV_COMPILER}}},
        {"machine", QJsonObject{{"cpu", CpuModel()},
                                {"logical_cpus", static_cast<int>(std::thread::hardware_concurrency())},
                                {"os_detail", QString::fromStdString(detail)}}},
        {"runs", runArray},
        {"summary", QJsonObject{{"ms", summaryMs}, {"score", Summary(scores)}}},
    });
}

void PrintRows(const RunRecord& run) {
    for (const Tpanel::Row& row : run.rows) {
        QString line = row.caption;
        for (const QString& part : {row.value, row.unit})
            if (!part.isEmpty()) line += QStringLiteral(" ") + part;
        std::printf("%s\n", line.toStdString().c_str());
    }
}

int RunBench(const CliCommand& command) {
    const bool json = command.isSet(QStringLiteral("json"));
    int repeat = 1;
    if (command.isSet(QStringLiteral("repeat"))) {
        try {
            repeat = ParseInt(command.value(QStringLiteral("repeat")));
        } catch (const HvError& e) {
            throw CliUsageError{QStringLiteral("--repeat: ") + QString::fromUtf8(e.what())};
        }
        if (repeat < 1) throw CliUsageError{QStringLiteral("--repeat needs a count of at least 1")};
    }
    const std::string keepDir = command.value(QStringLiteral("keep-images"));
    if (command.isSet(QStringLiteral("keep-images")) && keepDir.empty())
        throw CliUsageError{QStringLiteral("--keep-images needs a directory")};
    if (!command.arguments().empty()) throw CliUsageError{QStringLiteral("takes no plain arguments")};

    qInstallMessageHandler(QuietQtMessages);
    CliSession session;
    ScriptedPlatform& platform = session.platform();
    TMainForm& form = session.mainForm();
    RunRecord current;
    platform.modalHandlers[QStringLiteral("Tpanel")] = [&current](QWidget* window) {
        auto* panel = qobject_cast<Tpanel*>(window);
        if (!panel) return;
        current.rows = panel->rows();
        current.date = panel->Label17->text();
        current.os = panel->Label23->text();
        current.available = panel->Label25->text();
        current.installed = panel->Label27->text();
        for (int k = 0; k < kStageCount; ++k) current.seconds[k] = panel->stageLabels[k].value->text();
    };

    std::vector<RunRecord> runs;
    for (int run = 1; run <= repeat; ++run) {
        WorkloadOptions options;
        if (!keepDir.empty())
            options.keepImagesDir = repeat > 1 ? keepDir + "/" + std::to_string(run) : keepDir;
        form.setBenchmarkOptions(options);
        platform.yesNoAnswers.push_back(true);
        current = RunRecord();
        session.mustRun(&TMainForm::N10Click);
        const BenchmarkReport& report = form.lastBenchmarkReport();
        if (!report.completed || current.rows.isEmpty())
            return command.failure(QStringLiteral("the benchmark did not complete"));
        current.figures = report.figures;
        runs.push_back(current);
        // Each run leaves twelve windows; close them so that every run starts from the same state.
        for (TChild* child : form.imageWindowsMostRecentFirst()) form.closeImageWindow(child);
        if (!json) {
            if (repeat > 1) std::printf("%s[%d]\n", run > 1 ? "\n" : "", run);
            PrintRows(current);
        }
    }
    if (json) std::fputs(JsonReport(runs, platform.osVersion()).toJson().constData(), stdout);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int RunBenchCli(const CliArgs& args) {
    CliCommand command("bench", kBenchUsage, kBenchHelp);
    command.addOption({QStringLiteral("json")},
                      QStringLiteral("print one JSON object (program, machine, runs, summary) instead"));
    command.addOption(
        {QStringLiteral("repeat")},
        QStringLiteral("run N times in one process; the random sequence continues from run to run"),
        QStringLiteral("N"));
    command.addOption(
        {QStringLiteral("keep-images")},
        QStringLiteral("move the sixteen scratch images into DIR after the timing (with --repeat,\n"
                       "run k goes to DIR/k); files of the same names there are replaced"),
        QStringLiteral("DIR"));
    return command.run(args, [&command] { return RunBench(command); });
}
