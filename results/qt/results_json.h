// Results as JSON: reading the report `halvane2-cli bench --json` writes, and the objects that
// `results --json` and `compare --json` print.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <string>
#include <vector>

#include "results/results.h"

// The report of bench --json as a result. Each run's checksum is checked against its run number.
// FileError when the text is not such a report.
BenchResult ResultFromBenchJson(const QByteArray& json, const std::string& source);

QJsonObject RangeToJson(const std::optional<Range>& range);  // {median, min, max} or null fields
// One recorded invocation without its runs: id, date, program, machine, repeat, stable, runs,
// valid_runs, total_ms, score, spread.
QJsonObject ResultSummaryToJson(const BenchResult& result);
// The results with, per figure, each result's range, ratio to the first and whether it is inside
// the noise.
QJsonObject CompareToJson(const std::vector<BenchResult>& results, const std::vector<CompareRow>& rows);
