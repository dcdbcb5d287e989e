#include "results/qt/results_chart.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "core/errors.h"
#include "core/numtext.h"

namespace {

// The five timed stages (the total is in each group's label).
constexpr int kBars = kStageCount - 1;
const QColor kBarColours[kBars] = {QColor(0x4e79a7), QColor(0xf28e2b), QColor(0x59a14f), QColor(0xe15759),
                                   QColor(0x76b7b2)};

// A round step giving about five grid lines up to top.
double GridStep(double top) {
    if (top <= 0) return 1;
    const double rough = top / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * magnitude >= rough) return m * magnitude;
    return 10 * magnitude;
}

QString Ms(double value) {
    return QString::fromStdString(FormatText(value < 10 ? "%.1f" : "%.0f", value));
}

}  // namespace

void DrawResultsChart(QPainter& p, const QSize& size, const std::vector<BenchResult>& results) {
    const int w = size.width(), h = size.height();
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(15);
    p.setFont(font);

    // Title and legend.
    QFont titleFont = font;
    titleFont.setPixelSize(20);
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(Qt::black);
    p.drawText(QRect(24, 12, w - 48, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("HALVANE-2: stage medians in ms, whiskers from min to max"));
    p.setFont(font);
    int x = 24;
    for (int s = 0; s < kBars; ++s) {
        const QString caption = QString::fromUtf8(kStages[s].caption);
        p.fillRect(QRect(x, 52, 16, 16), kBarColours[s]);
        p.drawText(QRect(x + 22, 48, 300, 24), Qt::AlignLeft | Qt::AlignVCenter, caption);
        x += 22 + p.fontMetrics().horizontalAdvance(caption) + 28;
    }

    const QRect plot(90, 96, w - 90 - 30, h - 96 - 150);
    double top = 0;
    std::vector<std::array<std::optional<Range>, kBars>> ranges;
    for (const BenchResult& r : results) {
        ranges.emplace_back();
        for (int s = 0; s < kBars; ++s) {
            ranges.back()[s] = FigureRange(r, s);
            if (ranges.back()[s]) top = std::max(top, ranges.back()[s]->max);
        }
    }
    const double step = GridStep(top);
    const double axisTop = std::max(step, std::ceil(top / step) * step);
    const auto yOf = [&](double v) { return plot.bottom() - v / axisTop * plot.height(); };

    // Grid and axis.
    for (double v = 0; v <= axisTop + step / 2; v += step) {
        const double y = yOf(v);
        p.setPen(QPen(v == 0 ? Qt::black : QColor(0xdddddd), 1));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y - 10, plot.left() - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                   step < 1 ? Ms(v) : QString::number(v, 'f', 0));
    }
    p.save();
    p.translate(18, plot.center().y());
    p.rotate(-90);
    p.drawText(QRect(-100, -10, 200, 20), Qt::AlignCenter, QStringLiteral("ms"));
    p.restore();

    const int groups = std::max<int>(1, static_cast<int>(results.size()));
    const double groupWidth = static_cast<double>(plot.width()) / groups;
    const double barWidth = std::min(70.0, groupWidth * 0.8 / kBars);
    QFont small = font;
    small.setPixelSize(12);
    for (size_t g = 0; g < results.size(); ++g) {
        const double left = plot.left() + g * groupWidth + (groupWidth - barWidth * kBars) / 2;
        for (int s = 0; s < kBars; ++s) {
            const std::optional<Range>& r = ranges[g][s];
            if (!r) continue;
            const double bx = left + s * barWidth;
            const QRectF bar(bx + 2, yOf(r->median), barWidth - 4, plot.bottom() - yOf(r->median));
            p.fillRect(bar, kBarColours[s]);
            // Whisker: min to max with caps.
            const double cx = bar.center().x(), cap = std::max(3.0, barWidth / 5);
            p.setPen(QPen(Qt::black, 1.5));
            p.drawLine(QPointF(cx, yOf(r->min)), QPointF(cx, yOf(r->max)));
            p.drawLine(QPointF(cx - cap, yOf(r->min)), QPointF(cx + cap, yOf(r->min)));
            p.drawLine(QPointF(cx - cap, yOf(r->max)), QPointF(cx + cap, yOf(r->max)));
            if (barWidth >= 34) {
                p.setFont(small);
                p.drawText(QRectF(bx - 10, yOf(r->max) - 20, barWidth + 20, 18), Qt::AlignCenter,
                           Ms(r->median));
                p.setFont(font);
            }
        }
        // The group's label: which result, machine and date, runs, median total and score.
        const BenchResult& res = results[g];
        const std::optional<Range> total = FigureRange(res, static_cast<int>(Stage::Total));
        const std::optional<Range> score = FigureRange(res, kScoreFigure);
        QString label = QStringLiteral("%1  %2\n%3\n%4")
                            .arg(QChar('A' + static_cast<int>(g % 26)), QString::fromStdString(res.source),
                                 QString::fromStdString(ResultLabel(res)),
                                 QString::fromStdString(RunsText(res, " runs")));
        if (total && score)
            label += QStringLiteral(", total %1 ms, score %2").arg(Ms(total->median)).arg(score->median);
        p.setPen(Qt::black);
        p.setFont(groups > 4 ? small : font);  // narrow groups: their labels wrap into more lines
        p.drawText(QRectF(plot.left() + g * groupWidth + 6, plot.bottom() + 10, groupWidth - 12, 136),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, label);
        p.setFont(font);
    }
}

bool IsChartPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QStringLiteral("png") || suffix == QStringLiteral("svg");
}

void WriteResultsChart(const QString& path, const std::vector<BenchResult>& results) {
    const auto fail = [&path](const QString& why) {
        throw FileError(QStringLiteral("%1: %2").arg(path, why).toStdString());
    };
    if (!IsChartPath(path)) fail(QStringLiteral("a chart is written as .png or .svg"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) fail(file.errorString());
    if (QFileInfo(path).suffix().toLower() == QStringLiteral("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(kChartSize);
        svg.setResolution(96);  // the size in mm is then kChartSize in CSS pixels
        svg.setViewBox(QRect(QPoint(0, 0), kChartSize));
        svg.setTitle(QStringLiteral("HALVANE-2 results"));
        QPainter painter(&svg);
        DrawResultsChart(painter, kChartSize, results);
        painter.end();
    } else {
        QImage image(kChartSize, QImage::Format_RGB32);
        QPainter painter(&image);
        DrawResultsChart(painter, kChartSize, results);
        painter.end();
        if (!image.save(&file, "PNG")) fail(QStringLiteral("the PNG could not be written"));
    }
    if (!file.commit()) fail(file.errorString());
}
