#include "results/qt/results_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include "core/errors.h"

namespace {

[[noreturn]] void NotAReport(const std::string& source, const std::string& why) {
    throw FileError(source + ": not a report of 'halvane2-cli bench --json' (" + why + ")");
}

std::string Text(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toString().toStdString();
}

}  // namespace

BenchResult ResultFromBenchJson(const QByteArray& json, const std::string& source) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) NotAReport(source, error.errorString().toStdString());
    const QJsonObject root = doc.object();
    const QJsonArray runs = root.value(QStringLiteral("runs")).toArray();
    if (runs.isEmpty()) NotAReport(source, "no runs");

    BenchResult r;
    r.source = source;
    const QJsonObject program = root.value(QStringLiteral("program")).toObject();
    r.program = {Text(program, "version"), Text(program, "build_type"), Text(program, "compiler")};
    const QJsonObject machine = root.value(QStringLiteral("machine")).toObject();
    r.machine.cpu = Text(machine, "cpu");
    r.machine.logicalCpus = machine.value(QStringLiteral("logical_cpus")).toInt();
    r.machine.os = machine.contains(QStringLiteral("os")) ? Text(machine, "os") : Text(machine, "os_detail");
    r.machine.kernel = Text(machine, "kernel");
    r.date =
        root.contains(QStringLiteral("date")) ? Text(root, "date") : Text(runs.first().toObject(), "date");
    r.repeat = root.contains(QStringLiteral("repeat")) ? Text(root, "repeat") : std::to_string(runs.size());
    r.stable = root.value(QStringLiteral("stable")).toBool();

    for (const QJsonValue& value : runs) {
        const QJsonObject o = value.toObject();
        const QJsonObject ms = o.value(QStringLiteral("ms")).toObject();
        const QJsonObject us = o.value(QStringLiteral("us")).toObject();
        RunFigures f;
        f.run = o.value(QStringLiteral("run")).toInt();
        if (f.run < 1) NotAReport(source, "a run without its number");
        for (int k = 0; k < kStageCount; ++k) {
            const QString key = QString::fromUtf8(kStages[k].jsonKey);
            if (!ms.value(key).isDouble() || !us.value(key).isDouble())
                NotAReport(source, "run " + std::to_string(f.run) + " lacks '" + kStages[k].jsonKey + "'");
            f.ms[k] = ms.value(key).toInt();
            f.us[k] = static_cast<int64_t>(us.value(key).toDouble());
        }
        f.score = o.value(QStringLiteral("score")).toInt();
        bool ok = false;
        f.checksum = o.value(QStringLiteral("checksum")).toString().toULongLong(&ok, 16);
        if (!ok) NotAReport(source, "run " + std::to_string(f.run) + " has no checksum");
        f.checksumState = CheckChecksum(f.run, f.checksum);
        if (r.machine.memoryMb == 0)
            r.machine.memoryMb = o.value(QStringLiteral("memory_installed_mb")).toInteger();
        r.runs.push_back(f);
    }
    return r;
}

QJsonObject RangeToJson(const std::optional<Range>& range) {
    if (!range) return {{"median", QJsonValue()}, {"min", QJsonValue()}, {"max", QJsonValue()}};
    return {{"median", range->median}, {"min", range->min}, {"max", range->max}};
}

QJsonObject ResultSummaryToJson(const BenchResult& r) {
    const std::optional<Range> total = FigureRange(r, static_cast<int>(Stage::Total));
    return {
        {"id", r.id},
        {"date", QString::fromStdString(r.date)},
        {"program", QJsonObject{{"version", QString::fromStdString(r.program.version)},
                                {"build_type", QString::fromStdString(r.program.buildType)},
                                {"compiler", QString::fromStdString(r.program.compiler)}}},
        {"machine", QJsonObject{{"cpu", QString::fromStdString(r.machine.cpu)},
                                {"logical_cpus", r.machine.logicalCpus},
                                {"memory_mb", r.machine.memoryMb},
                                {"os", QString::fromStdString(r.machine.os)},
                                {"kernel", QString::fromStdString(r.machine.kernel)}}},
        {"repeat", QString::fromStdString(r.repeat)},
        {"stable", r.stable},
        {"runs", static_cast<int>(r.runs.size())},
        {"valid_runs", CountingRuns(r)},
        {"total_ms", RangeToJson(total)},
        {"score", RangeToJson(FigureRange(r, kScoreFigure))},
        {"spread", total ? QJsonValue(RelativeSpread(*total)) : QJsonValue()},
    };
}

QJsonObject CompareToJson(const std::vector<BenchResult>& results, const std::vector<CompareRow>& rows) {
    QJsonArray sources;
    for (const BenchResult& r : results) {
        QJsonObject o = ResultSummaryToJson(r);
        o.insert(QStringLiteral("source"), QString::fromStdString(r.source));
        o.insert(QStringLiteral("label"), QString::fromStdString(ResultLabel(r)));
        if (r.id == 0) o.insert(QStringLiteral("id"), QJsonValue());
        sources.append(o);
    }
    QJsonArray figures;
    for (const CompareRow& row : rows) {
        QJsonArray cells;
        for (const CompareCell& cell : row.cells) {
            QJsonObject o = RangeToJson(cell.range);
            o.insert(QStringLiteral("ratio"), cell.ratio ? QJsonValue(*cell.ratio) : QJsonValue());
            o.insert(QStringLiteral("inside_noise"),
                     cell.range && row.cells[0].range ? QJsonValue(cell.insideNoise) : QJsonValue());
            cells.append(o);
        }
        figures.append(QJsonObject{{"key", QString::fromStdString(row.figure.key)},
                                   {"caption", QString::fromStdString(row.figure.caption)},
                                   {"unit", QString::fromStdString(row.figure.unit)},
                                   {"results", cells}});
    }
    return {{"results", sources}, {"figures", figures}};
}
