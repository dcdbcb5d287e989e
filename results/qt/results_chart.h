// The results chart: one group per result, labelled with its machine and date, one bar per stage
// at its median with a whisker from the minimum to the maximum (runs that count only).
#pragma once

#include <QSize>
#include <QString>
#include <vector>

#include "results/results.h"

class QPainter;

inline constexpr QSize kChartSize(1200, 700);

// Draws the chart into (0, 0) .. size.
void DrawResultsChart(QPainter& painter, const QSize& size, const std::vector<BenchResult>& results);
// Whether the path names a chart format we write (.png or .svg, any case).
bool IsChartPath(const QString& path);
// Writes the chart of kChartSize as PNG or SVG (by the suffix), replacing the file only when the
// whole chart is written. FileError when it cannot be.
void WriteResultsChart(const QString& path, const std::vector<BenchResult>& results);
