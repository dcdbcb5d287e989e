// halvane2-cli bench: the benchmark command headless, answering Yes and reading the result window.
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
    "window's rows: caption, value and unit, one row per line.\n"
    "\n"
    "  --json             print one JSON object (program, machine, runs, summary) instead\n"
    "  --repeat N         run N times in one process; the random sequence continues from run to run\n"
    "  --keep-images DIR  move the sixteen scratch images into DIR after the timing (with --repeat,\n"
    "                     run k goes to DIR/k); files of the same names there are replaced\n"
    "  --help             this text\n";

// The figure keys, in the order of the report.
const char* const kKeys[] = {"file_access", "display", "memory", "composite", "convolution", "total"};
constexpr int kKeyCount = 6;

struct RunRecord {
    QList<Tpanel::Row> rows;
    BenchmarkReport report;
    QString date, os, available, installed;
    QString seconds[kKeyCount];
};

int32_t MsOf(const BenchmarkReport& r, int k) {
    const int32_t v[] = {r.fileAccessMs, r.displayMs, r.memoryMs, r.compositeMs, r.convolutionMs, r.totalMs};
    return v[k];
}
int64_t UsOf(const BenchmarkReport& r, int k) {
    const int64_t v[] = {r.fileAccessUs, r.displayUs, r.memoryUs, r.compositeUs, r.convolutionUs, r.totalUs};
    return v[k];
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (c < 0x20)
                    out += FormatText("\\u%04x", c);
                else
                    out += static_cast<char>(c);
        }
    }
    return out + "\"";
}
std::string JsonString(const QString& text) {
    return JsonString(text.toStdString());
}

// A label's figure as a JSON number (the text itself when it is not a plain integer).
std::string JsonFigure(const QString& text) {
    bool ok = false;
    const long long v = text.toLongLong(&ok);
    return ok ? FormatInt(v) : JsonString(text);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string SummaryObject(const std::vector<double>& values) {
    return "{\"median\": " + FormatReal(Median(values)) +
           ", \"min\": " + FormatReal(*std::min_element(values.begin(), values.end())) +
           ", \"max\": " + FormatReal(*std::max_element(values.begin(), values.end())) + "}";
}

std::string CpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("model name", 0) == 0) {
            const size_t colon = line.find(':');
            if (colon != std::string::npos) {
                size_t start = line.find_first_not_of(' ', colon + 1);
                return start == std::string::npos ? std::string() : line.substr(start);
            }
        }
    }
    return {};
}

std::string JsonReport(const std::vector<RunRecord>& runs, const OsVersionInfo& os) {
    std::string j = "{\n";
    j += "  \"program\": {\"name\": \"HALVANE-2\", \"version\": " + JsonString(std::string(HV_VERSION)) +
         ", \"build_type\": " + JsonString(std::string(HV_BUILD_TYPE)) +
         ", \"compiler\": " + JsonString(std::string(HV_COMPILER)) + "},\n";
    std::string detail = os.systemName;
    if (!os.kernelRelease.empty()) detail += (detail.empty() ? "" : " ") + os.kernelRelease;
    j += "  \"machine\": {\"cpu\": " + JsonString(CpuModel()) +
         ", \"logical_cpus\": " + FormatInt(std::thread::hardware_concurrency()) +
         ", \"os_detail\": " + JsonString(detail) + "},\n";
    j += "  \"runs\": [\n";
    for (size_t i = 0; i < runs.size(); ++i) {
        const RunRecord& r = runs[i];
        std::string ms, us, sec;
        for (int k = 0; k < kKeyCount; ++k) {
            const std::string sep = k ? ", " : "";
            ms += sep + "\"" + kKeys[k] + "\": " + FormatInt(MsOf(r.report, k));
            us += sep + "\"" + kKeys[k] + "\": " + FormatInt(UsOf(r.report, k));
            sec += sep + "\"" + kKeys[k] + "\": " + JsonString(r.seconds[k]);
        }
        j += "    {\"run\": " + FormatInt(static_cast<long long>(i + 1)) +
             ", \"date\": " + JsonString(r.date) + ", \"os\": " + JsonString(r.os) +
             ", \"memory_available_mb\": " + JsonFigure(r.available) +
             ", \"memory_installed_mb\": " + JsonFigure(r.installed) + ",\n";
        j += "     \"ms\": {" + ms + "},\n";
        j += "     \"us\": {" + us + "},\n";
        j += "     \"seconds\": {" + sec + "},\n";
        j += "     \"score\": " + FormatInt(r.report.score) +
             ", \"checksum\": " + JsonString(ChecksumText(r.report.checksum)) + "}";
        j += i + 1 < runs.size() ? ",\n" : "\n";
    }
    j += "  ],\n";
    j += "  \"summary\": {\"ms\": {";
    for (int k = 0; k < kKeyCount; ++k) {
        std::vector<double> values;
        for (const RunRecord& r : runs) values.push_back(MsOf(r.report, k));
        j += std::string(k ? ", " : "") + "\"" + kKeys[k] + "\": " + SummaryObject(values);
    }
    std::vector<double> scores;
    for (const RunRecord& r : runs) scores.push_back(r.report.score);
    j += "}, \"score\": " + SummaryObject(scores) + "}\n}\n";
    return j;
}

void PrintRows(const RunRecord& run) {
    for (const Tpanel::Row& row : run.rows) {
        QString line = row.caption;
        for (const QString& part : {row.value, row.unit})
            if (!part.isEmpty()) line += QStringLiteral(" ") + part;
        std::printf("%s\n", line.toStdString().c_str());
    }
}

int Fail(const std::string& message) {
    PrintCliError("bench", message);
    return 1;
}

}  // namespace

int RunBenchCli(const CliArgs& args) {
    bool json = false;
    int repeat = 1;
    std::string keepDir;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::printf("Usage: halvane2-cli %s\n\n%s", kBenchUsage, kBenchHelp);
            return 0;
        } else if (a == "--json") {
            json = true;
        } else if (a == "--repeat") {
            if (i + 1 >= args.size()) return Fail("--repeat needs a count");
            try {
                repeat = ParseInt(args[++i]);
            } catch (const HvError& e) {
                return Fail(e.what());
            }
            if (repeat < 1) return Fail("--repeat needs a count of at least 1");
        } else if (a == "--keep-images") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return Fail("--keep-images needs a directory");
            keepDir = args[++i];
        } else {
            return Fail("unknown argument '" + a + "'\nUsage: halvane2-cli " + std::string(kBenchUsage));
        }
    }

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
        const QLabel* seconds[kKeyCount] = {panel->Label7, panel->Label30, panel->Label8,
                                            panel->Label9, panel->Label10, panel->Label19};
        for (int k = 0; k < kKeyCount; ++k) current.seconds[k] = seconds[k]->text();
    };

    std::vector<RunRecord> runs;
    for (int run = 1; run <= repeat; ++run) {
        BenchmarkOptions options;
        if (!keepDir.empty())
            options.keepImagesDir = repeat > 1 ? keepDir + "/" + std::to_string(run) : keepDir;
        form.setBenchmarkOptions(options);
        platform.yesNoAnswers.push_back(true);
        current = RunRecord();
        if (const std::optional<QString> error = session.run(&TMainForm::N10Click))
            return Fail(error->toStdString());
        current.report = form.lastBenchmarkReport();
        if (!current.report.completed || current.rows.isEmpty())
            return Fail("the benchmark did not complete");
        runs.push_back(current);
        // Each run leaves twelve windows; close them so that every run starts from the same state.
        for (TChild* child : form.imageWindowsMostRecentFirst()) form.closeImageWindow(child);
        if (!json) {
            if (repeat > 1) std::printf("%s[%d]\n", run > 1 ? "\n" : "", run);
            PrintRows(current);
        }
    }
    if (json) std::fputs(JsonReport(runs, platform.osVersion()).c_str(), stdout);
    std::fflush(stdout);
    return 0;
}
