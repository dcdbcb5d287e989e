// halvane2-cli results and compare: the recorded invocations, and results side by side.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "app/cli/cli_support.h"
#include "app/cli/command_line.h"
#include "core/errors.h"
#include "results/qt/results_chart.h"
#include "results/qt/results_json.h"
#include "results/qt/results_store.h"

const CliHelp kResultsHelp = {
    "results", "results [--db PATH] [--json]",
    "Lists the invocations recorded with 'bench --record', newest first: id, date, machine, runs,\n"
    "how they were repeated, median total and score, and the spread of the totals (max - min over\n"
    "the median). Runs whose checksum is not the known one are counted apart and left out."};
const CliHelp kCompareHelp = {
    "compare", "compare A B [...] [--db PATH] [--json] [--chart FILE.png|FILE.svg]",
    "Compares results: each of A, B, ... is a recorded invocation's id or a file written by\n"
    "'bench --json'. For every stage, the total and the score it prints the medians side by side,\n"
    "the ratio to A, and whether the range (min to max) overlaps A's: a difference inside the noise."};

namespace {

const QString kDbHelp =
    QStringLiteral("the results database (default: $XDG_DATA_HOME/halvane2/results.sqlite)");

QString DbPath(const CliCommand& command) {
    return command.isSet(QStringLiteral("db")) ? QString::fromStdString(command.value(QStringLiteral("db")))
                                               : ResultsStore::defaultPath();
}

// Results and compare need Qt's plugins (the SQL driver) and, for a chart, its fonts: an offscreen
// application.
std::unique_ptr<QGuiApplication> MakeApplication() {
    static int argc = 1;
    static char arg0[] = "halvane2-cli";
    static char* argv[] = {arg0, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    return std::make_unique<QGuiApplication>(argc, argv);
}

void PrintJson(const QJsonDocument& doc) {
    std::fputs(doc.toJson(QJsonDocument::Indented).constData(), stdout);
}

}  // namespace

int RunResultsCli(const CliArgs& args) {
    CliCommand command(kResultsHelp);
    command.addOption({QStringLiteral("db")}, kDbHelp, QStringLiteral("PATH"));
    command.addOption({QStringLiteral("json")},
                      QStringLiteral("a JSON list of objects, each with an \"id\""));
    return command.run(args, [&command] {
        if (!command.arguments().empty()) throw CliUsageError{QStringLiteral("takes no plain arguments")};
        const auto app = MakeApplication();
        const QString path = DbPath(command);
        std::vector<BenchResult> results;
        // A database that does not exist yet is not made by looking at it.
        if (QFileInfo::exists(path)) results = ResultsStore(path).all();
        if (command.isSet(QStringLiteral("json"))) {
            QJsonArray list;
            for (const BenchResult& r : results) list.append(ResultSummaryToJson(r));
            PrintJson(QJsonDocument(list));
        } else if (results.empty()) {
            std::printf("No results recorded in %s yet ('halvane2-cli bench --record' adds them).\n",
                        path.toLocal8Bit().constData());
        } else {
            std::fputs(ResultsText(results).c_str(), stdout);
        }
        return 0;
    });
}

int RunCompareCli(const CliArgs& args) {
    CliCommand command(kCompareHelp);
    command.addOption({QStringLiteral("db")}, kDbHelp, QStringLiteral("PATH"));
    command.addOption({QStringLiteral("json")}, QStringLiteral("print the comparison as JSON"));
    command.addOption({QStringLiteral("chart")}, QStringLiteral("also draw a bar chart of the stage medians"),
                      QStringLiteral("FILE.png|FILE.svg"));
    return command.run(args, [&command] {
        const std::vector<std::string> names = command.arguments();
        const QString chart = QString::fromStdString(command.value(QStringLiteral("chart")));
        if (names.size() < 2) throw CliUsageError{QStringLiteral("needs at least two results")};
        if (command.isSet(QStringLiteral("chart")) && !IsChartPath(chart))
            throw CliUsageError{QStringLiteral("--chart takes a .png or .svg file")};
        const auto app = MakeApplication();
        const QString path = DbPath(command);
        std::unique_ptr<ResultsStore> store;
        std::vector<BenchResult> results;
        for (const std::string& name : names) {
            const QString file = QString::fromStdString(name);
            if (QFileInfo(file).isFile()) {
                QFile in(file);
                if (!in.open(QIODevice::ReadOnly)) throw FileError(name + ": cannot be read");
                results.push_back(ResultFromBenchJson(in.readAll(), name));
                continue;
            }
            bool isId = false;
            const long long id =
                QString(file).remove(QRegularExpression(QStringLiteral("^#"))).toLongLong(&isId);
            if (!isId) throw FileError(name + ": neither a file nor a recorded id");
            if (!QFileInfo::exists(path))
                throw FileError(path.toStdString() + ": no results recorded yet (looked for id " +
                                std::to_string(id) + ")");
            if (!store) store = std::make_unique<ResultsStore>(path);
            results.push_back(store->load(id));
        }
        const std::vector<CompareRow> rows = Compare(results);
        if (command.isSet(QStringLiteral("json")))
            PrintJson(QJsonDocument(CompareToJson(results, rows)));
        else
            std::fputs(CompareText(results, rows).c_str(), stdout);
        if (!chart.isEmpty()) WriteResultsChart(chart, results);
        return 0;
    });
}
