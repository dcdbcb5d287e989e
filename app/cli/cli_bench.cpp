// halvane2-cli bench: the benchmark command headless, answering Yes and reading the result window.
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
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
#include "results/qt/results_chart.h"
#include "results/qt/results_json.h"
#include "results/qt/results_store.h"
#include "results/results.h"
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

const CliHelp kBenchHelp = {
    "bench",
    "bench [--json] [--repeat N|auto] [--keep-images DIR] [--record [--db PATH]] [--chart FILE.png|FILE.svg]",
    "Runs the benchmark (計測開始) once or several times without a display and prints the result\n"
    "window's rows: caption, value and unit, one row per line. Each run's checksum is compared with\n"
    "the known checksum of its run number; a run whose checksum differs is marked not valid and\n"
    "counts in no median.\n"};

namespace {

struct RunRecord {
    QList<Tpanel::Row> rows;
    WorkloadFigures figures;
    ChecksumState checksum = ChecksumState::Unchecked;
    QString date, os, available, installed;
    QString seconds[kStageCount];  // the window's texts
};

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

// The invocation as it is kept: this program, this machine, the runs with their checked checksums.
BenchResult KeptResult(const std::vector<RunRecord>& runs, ScriptedPlatform& platform,
                       const std::string& repeat, bool stable) {
    BenchResult r;
    r.source = "this invocation";
    r.date = QDateTime::currentDateTime()
                 .toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
                 .toString(Qt::ISODate)
                 .toStdString();
    r.program = {HV_VERSION, HV_BUILD_TYPE, HV_COMPILER};
    const OsVersionInfo os = platform.osVersion();
    r.machine = {CpuModel().toStdString(), static_cast<int>(std::thread::hardware_concurrency()),
                 MemoryMegabytes(platform.memoryStatus().totalPhysicalBytes), os.systemName,
                 os.kernelRelease};
    r.repeat = repeat;
    r.stable = stable;
    for (size_t i = 0; i < runs.size(); ++i) {
        const WorkloadFigures& f = runs[i].figures;
        r.runs.push_back({static_cast<int>(i + 1), f.ms, f.us, f.score, f.checksum, runs[i].checksum});
    }
    return r;
}

QJsonValue ValidJson(ChecksumState state) {
    return state == ChecksumState::Unchecked ? QJsonValue() : QJsonValue(state == ChecksumState::Valid);
}

// Medians and ranges over the runs whose checksum is not known to differ.
QJsonObject Summary(const std::vector<RunRecord>& runs,
                    const std::function<double(const RunRecord&)>& figure) {
    std::vector<double> values;
    for (const RunRecord& r : runs)
        if (r.checksum != ChecksumState::Invalid) values.push_back(figure(r));
    return RangeToJson(Summarize(values));
}

QJsonDocument JsonReport(const std::vector<RunRecord>& runs, const BenchResult& kept, const OsVersionInfo& os,
                         std::optional<long long> recordedId) {
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
                                    {"checksum", QString::fromStdString(ChecksumText(r.figures.checksum))},
                                    {"valid", ValidJson(r.checksum)}});
    }
    QJsonObject summaryMs;
    for (int k = 0; k < kStageCount; ++k)
        summaryMs[QString::fromLatin1(kStages[k].jsonKey)] =
            Summary(runs, [k](const RunRecord& r) { return r.figures.ms[k]; });
    return QJsonDocument(QJsonObject{
        {"program", QJsonObject{{"name", "HALVANE-2"},
                                {"version", HV_VERSION},
                                {"build_type", HV_BUILD_TYPE},
                                {"compiler", HV_COMPILER}}},
        {"machine", QJsonObject{{"cpu", QString::fromStdString(kept.machine.cpu)},
                                {"logical_cpus", kept.machine.logicalCpus},
                                {"memory_mb", kept.machine.memoryMb},
                                {"os", QString::fromStdString(kept.machine.os)},
                                {"kernel", QString::fromStdString(kept.machine.kernel)},
                                {"os_detail", QString::fromStdString(detail)}}},
        {"date", QString::fromStdString(kept.date)},
        {"repeat", QString::fromStdString(kept.repeat)},
        {"stable", kept.repeat == "auto" ? QJsonValue(kept.stable) : QJsonValue()},
        {"recorded_id", recordedId ? QJsonValue(*recordedId) : QJsonValue()},
        {"runs", runArray},
        {"summary",
         QJsonObject{{"ms", summaryMs},
                     {"score", Summary(runs, [](const RunRecord& r) { return r.figures.score; })}}},
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
    const bool automatic = command.value(QStringLiteral("repeat")) == "auto";
    int repeat = 1;
    if (command.isSet(QStringLiteral("repeat")) && !automatic) {
        try {
            repeat = ParseInt(command.value(QStringLiteral("repeat")));
        } catch (const HvError& e) {
            throw CliUsageError{QStringLiteral("--repeat: ") + QString::fromUtf8(e.what())};
        }
        if (repeat < 1) throw CliUsageError{QStringLiteral("--repeat needs a count of at least 1, or auto")};
    }
    const std::string keepDir = command.value(QStringLiteral("keep-images"));
    if (command.isSet(QStringLiteral("keep-images")) && keepDir.empty())
        throw CliUsageError{QStringLiteral("--keep-images needs a directory")};
    const bool record = command.isSet(QStringLiteral("record"));
    if (command.isSet(QStringLiteral("db")) && !record)
        throw CliUsageError{QStringLiteral("--db goes with --record")};
    const QString chart = QString::fromStdString(command.value(QStringLiteral("chart")));
    if (command.isSet(QStringLiteral("chart")) && !IsChartPath(chart))
        throw CliUsageError{QStringLiteral("--chart takes a .png or .svg file")};
    if (!command.arguments().empty()) throw CliUsageError{QStringLiteral("takes no plain arguments")};

    qInstallMessageHandler(QuietQtMessages);
    CliSession session;
    // The database is opened (made, upgraded, or refused) before the first run.
    std::unique_ptr<ResultsStore> store;
    if (record)
        store = std::make_unique<ResultsStore>(
            command.isSet(QStringLiteral("db")) ? QString::fromStdString(command.value(QStringLiteral("db")))
                                                : ResultsStore::defaultPath());
    if (store) store->checkWritable();
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
    const auto runOnce = [&](int run) {
        WorkloadOptions options;
        if (!keepDir.empty())
            options.keepImagesDir = repeat > 1 || automatic ? keepDir + "/" + std::to_string(run) : keepDir;
        form.setBenchmarkOptions(options);
        platform.yesNoAnswers.push_back(true);
        current = RunRecord();
        session.mustRun(&TMainForm::N10Click);
        const BenchmarkReport& report = form.lastBenchmarkReport();
        if (!report.completed || current.rows.isEmpty()) throw HvError("the benchmark did not complete");
        current.figures = report.figures;
        current.checksum = CheckChecksum(run, report.figures.checksum);
        runs.push_back(current);
        // Each run leaves twelve windows; close them so that every run starts from the same state.
        for (TChild* child : form.imageWindowsMostRecentFirst()) form.closeImageWindow(child);
        if (!json) {
            if (repeat > 1 || automatic) std::printf("%s[%d]\n", run > 1 ? "\n" : "", run);
            PrintRows(current);
            if (current.checksum == ChecksumState::Invalid)
                std::printf(
                    "checksum %s is not the known checksum of run %d: this run is not valid and counts in "
                    "no median\n",
                    ChecksumText(report.figures.checksum).c_str(), run);
            std::fflush(stdout);
        }
        return RunFigures{run,
                          current.figures.ms,
                          current.figures.us,
                          current.figures.score,
                          current.figures.checksum,
                          current.checksum};
    };
    bool stable = false;
    if (automatic) {
        std::vector<RunFigures> figures;
        stable = RepeatUntilStable(RepeatRule{}, runOnce, figures);
    } else {
        for (int run = 1; run <= repeat; ++run) runOnce(run);
    }

    BenchResult kept = KeptResult(runs, platform, automatic ? "auto" : std::to_string(repeat), stable);
    std::optional<long long> recordedId;
    if (store) {
        recordedId = store->record(kept);
        kept.id = *recordedId;
        kept.source = "#" + std::to_string(kept.id);
    }
    if (!chart.isEmpty()) WriteResultsChart(chart, {kept});
    if (json) {
        std::fputs(JsonReport(runs, kept, platform.osVersion(), recordedId).toJson().constData(), stdout);
    } else {
        if (automatic) {
            const RepeatRule rule;
            std::printf("\n%d runs: %s\n", static_cast<int>(runs.size()),
                        stable ? FormatText("stable (the last %d totals within %g %% of their median)",
                                            rule.window, 100 * rule.maxSpread)
                                     .c_str()
                               : FormatText("not stable (no %d totals in a row within %g %% of their median)",
                                            rule.window, 100 * rule.maxSpread)
                                     .c_str());
        }
        if (recordedId)
            std::printf("recorded as %lld in %s\n", *recordedId,
                        QFileInfo(store->path()).absoluteFilePath().toLocal8Bit().constData());
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace

int RunBenchCli(const CliArgs& args) {
    CliCommand command(kBenchHelp);
    command.addOption({QStringLiteral("json")},
                      QStringLiteral("print one JSON object (program, machine, runs, summary) instead"));
    command.addOption(
        {QStringLiteral("repeat")},
        QStringLiteral("run N times in one process; the random sequence continues from run to run.\n"
                       "auto: repeat until the last five totals lie within 3 % of their median\n"
                       "(at least 5 runs, at most 50)"),
        QStringLiteral("N|auto"));
    command.addOption(
        {QStringLiteral("keep-images")},
        QStringLiteral("move the sixteen scratch images into DIR after the timing (with --repeat,\n"
                       "run k goes to DIR/k); files of the same names there are replaced"),
        QStringLiteral("DIR"));
    command.addOption({QStringLiteral("record")},
                      QStringLiteral("keep the invocation and its runs in the results database"));
    command.addOption(
        {QStringLiteral("db")},
        QStringLiteral("the results database (default: $XDG_DATA_HOME/halvane2/results.sqlite)"),
        QStringLiteral("PATH"));
    command.addOption({QStringLiteral("chart")}, QStringLiteral("draw a bar chart of the stage medians"),
                      QStringLiteral("FILE.png|FILE.svg"));
    return command.run(args, [&command] { return RunBench(command); });
}
