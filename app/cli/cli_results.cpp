// halvane2-cli results and compare: the recorded invocations, and results side by side.
#include <QCommandLineParser>
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
#include "core/errors.h"
#include "results/qt/results_chart.h"
#include "results/qt/results_json.h"
#include "results/qt/results_store.h"

const char* const kResultsUsage = "results [--db PATH] [--json]";
const char* const kCompareUsage = "compare A B [...] [--db PATH] [--json] [--chart FILE.png|FILE.svg]";

namespace {

const char* const kResultsHelp =
    "Lists the invocations recorded with 'bench --record', newest first: id, date, machine, runs,\n"
    "how they were repeated, median total and score, and the spread of the totals (max - min over\n"
    "the median). Runs whose checksum is not the known one are counted apart and left out.";
const char* const kCompareHelp =
    "Compares results: each of A, B, ... is a recorded invocation's id or a file written by\n"
    "'bench --json'. For every stage, the total and the score it prints the medians side by side,\n"
    "the ratio to A, and whether the range (min to max) overlaps A's: a difference inside the noise.";

QCommandLineOption DbOption() {
    return {QStringLiteral("db"),
            QStringLiteral("the results database (default: %1)").arg(ResultsStore::defaultPath()),
            QStringLiteral("PATH")};
}

int UsageError(const char* name, const char* usage, const QString& message) {
    std::fprintf(stderr, "halvane2-cli %s: %s\nUsage: halvane2-cli %s\n", name,
                 message.toLocal8Bit().constData(), usage);
    return 2;
}

// Parses the subcommand's arguments; prints help or a usage error. Returns the exit status when
// the subcommand ends here.
std::optional<int> Parse(QCommandLineParser& parser, const char* name, const char* usage, const char* help,
                         const CliArgs& args) {
    parser.setApplicationDescription(QString::fromUtf8(help));
    const QCommandLineOption helpOption = parser.addHelpOption();
    QStringList arguments = {QStringLiteral("halvane2-cli %1").arg(QString::fromLatin1(name))};
    for (const std::string& a : args) arguments << QString::fromStdString(a);
    if (!parser.parse(arguments)) return UsageError(name, usage, parser.errorText());
    if (parser.isSet(helpOption)) {
        std::printf("%s", parser.helpText().toLocal8Bit().constData());
        return 0;
    }
    return std::nullopt;
}

int Fail(const char* name, const std::string& message) {
    std::fprintf(stderr, "halvane2-cli %s: %s\n", name, message.c_str());
    return 1;
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
    QCommandLineParser parser;
    parser.addOption(DbOption());
    parser.addOption({QStringLiteral("json"), QStringLiteral("a JSON list of objects, each with an \"id\"")});
    if (const std::optional<int> done = Parse(parser, "results", kResultsUsage, kResultsHelp, args))
        return *done;
    if (!parser.positionalArguments().isEmpty())
        return UsageError("results", kResultsUsage, QStringLiteral("takes no arguments besides its options"));
    const auto app = MakeApplication();
    const QString path =
        parser.isSet(QStringLiteral("db")) ? parser.value(QStringLiteral("db")) : ResultsStore::defaultPath();
    try {
        std::vector<BenchResult> results;
        // A database that does not exist yet is not made by looking at it.
        if (QFileInfo::exists(path)) results = ResultsStore(path).all();
        if (parser.isSet(QStringLiteral("json"))) {
            QJsonArray list;
            for (const BenchResult& r : results) list.append(ResultSummaryToJson(r));
            PrintJson(QJsonDocument(list));
        } else if (results.empty()) {
            std::printf("No results recorded in %s yet ('halvane2-cli bench --record' adds them).\n",
                        path.toLocal8Bit().constData());
        } else {
            std::fputs(ResultsText(results).c_str(), stdout);
        }
    } catch (const HvError& e) {
        return Fail("results", e.what());
    }
    return 0;
}

int RunCompareCli(const CliArgs& args) {
    QCommandLineParser parser;
    parser.addOption(DbOption());
    parser.addOption({QStringLiteral("json"), QStringLiteral("print the comparison as JSON")});
    parser.addOption({QStringLiteral("chart"), QStringLiteral("also draw a bar chart of the stage medians"),
                      QStringLiteral("FILE.png|FILE.svg")});
    parser.addPositionalArgument(QStringLiteral("A"), QStringLiteral("a recorded id or a bench --json file"));
    parser.addPositionalArgument(QStringLiteral("B"), QStringLiteral("more results to compare with A"),
                                 QStringLiteral("B [...]"));
    if (const std::optional<int> done = Parse(parser, "compare", kCompareUsage, kCompareHelp, args))
        return *done;
    const QStringList names = parser.positionalArguments();
    const QString chart = parser.value(QStringLiteral("chart"));
    if (names.size() < 2)
        return UsageError("compare", kCompareUsage, QStringLiteral("needs at least two results"));
    if (parser.isSet(QStringLiteral("chart")) && !IsChartPath(chart))
        return UsageError("compare", kCompareUsage, QStringLiteral("--chart takes a .png or .svg file"));
    const auto app = MakeApplication();
    const QString path =
        parser.isSet(QStringLiteral("db")) ? parser.value(QStringLiteral("db")) : ResultsStore::defaultPath();
    try {
        std::unique_ptr<ResultsStore> store;
        std::vector<BenchResult> results;
        for (const QString& name : names) {
            if (QFileInfo(name).isFile()) {
                QFile file(name);
                if (!file.open(QIODevice::ReadOnly)) throw FileError(name.toStdString() + ": cannot be read");
                results.push_back(ResultFromBenchJson(file.readAll(), name.toStdString()));
                continue;
            }
            bool isId = false;
            const long long id =
                QString(name).remove(QRegularExpression(QStringLiteral("^#"))).toLongLong(&isId);
            if (!isId) throw FileError(name.toStdString() + ": neither a file nor a recorded id");
            if (!QFileInfo::exists(path))
                throw FileError(path.toStdString() + ": no results recorded yet (looked for id " +
                                std::to_string(id) + ")");
            if (!store) store = std::make_unique<ResultsStore>(path);
            results.push_back(store->load(id));
        }
        const std::vector<CompareRow> rows = Compare(results);
        if (parser.isSet(QStringLiteral("json")))
            PrintJson(QJsonDocument(CompareToJson(results, rows)));
        else
            std::fputs(CompareText(results, rows).c_str(), stdout);
        if (!chart.isEmpty()) WriteResultsChart(chart, results);
    } catch (const HvError& e) {
        return Fail("compare", e.what());
    }
    return 0;
}
