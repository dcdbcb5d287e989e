#include "results/results.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/numtext.h"

// ---- checksums ----

ChecksumState CheckChecksum(int run, uint64_t checksum) {
    const std::optional<uint64_t> known = KnownChecksum(run);
    if (!known) return ChecksumState::Unchecked;
    return *known == checksum ? ChecksumState::Valid : ChecksumState::Invalid;
}

const char* ChecksumStateName(ChecksumState state) {
    static constexpr const char* kNames[] = {"valid", "invalid", "unchecked"};  // in ChecksumState's order
    return kNames[static_cast<int>(state)];
}

// ---- statistics ----

std::optional<Range> Summarize(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    Range r;
    r.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    r.min = values.front();
    r.max = values.back();
    r.count = static_cast<int>(n);
    return r;
}

double RelativeSpread(const Range& range) {
    const double width = range.max - range.min;
    if (width == 0) return 0;
    if (range.median == 0) return std::numeric_limits<double>::infinity();
    return width / std::fabs(range.median);
}

bool RangesOverlap(const Range& a, const Range& b) {
    return a.min <= b.max && b.min <= a.max;
}

FigureInfo FigureOf(int figure) {
    if (figure == kScoreFigure) return {"score", "総合処理能力", "ポイント"};
    return {kStages[figure].jsonKey, kStages[figure].caption, "ms"};
}

double FigureValue(const RunFigures& run, int figure) {
    if (figure == kScoreFigure) return run.score;
    return static_cast<double>(run.us[figure]) / 1000.0;
}

std::optional<Range> FigureRange(const BenchResult& result, int figure) {
    std::vector<double> values;
    for (const RunFigures& run : result.runs)
        if (run.counts()) values.push_back(FigureValue(run, figure));
    return Summarize(std::move(values));
}

int CountingRuns(const BenchResult& result) {
    return static_cast<int>(std::count_if(result.runs.begin(), result.runs.end(),
                                          [](const RunFigures& r) { return r.counts(); }));
}

// ---- repeating until stable ----

void RepeatWatch::add(const RunFigures& run) {
    ++m_runs;
    if (run.counts()) m_totals.push_back(FigureValue(run, static_cast<int>(Stage::Total)));
}

bool RepeatWatch::stable() const {
    const size_t window = static_cast<size_t>(m_rule.window);
    if (m_totals.size() < window) return false;
    const std::optional<Range> last = Summarize(std::vector<double>(m_totals.end() - window, m_totals.end()));
    return RelativeSpread(*last) <= m_rule.maxSpread;
}

bool RepeatWatch::finished() const {
    return m_runs >= m_rule.maxRuns || (m_runs >= m_rule.minRuns && stable());
}

bool RepeatUntilStable(const RepeatRule& rule, const std::function<RunFigures(int run)>& runOnce,
                       std::vector<RunFigures>& runs) {
    RepeatWatch watch(rule);
    while (!watch.finished()) {
        runs.push_back(runOnce(watch.runs() + 1));
        watch.add(runs.back());
    }
    return watch.stable();
}

// ---- comparison ----

std::vector<CompareRow> Compare(const std::vector<BenchResult>& results) {
    std::vector<CompareRow> rows;
    for (int figure = 0; figure < kFigureCount; ++figure) {
        CompareRow row;
        row.figure = FigureOf(figure);
        for (const BenchResult& result : results) {
            CompareCell cell;
            cell.range = FigureRange(result, figure);
            const std::optional<Range>& first = row.cells.empty() ? cell.range : row.cells.front().range;
            if (cell.range && first) {
                if (first->median != 0) cell.ratio = cell.range->median / first->median;
                cell.insideNoise = RangesOverlap(*cell.range, *first);
            }
            row.cells.push_back(cell);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// ---- texts ----

namespace {

// Columns on a terminal: CJK and full-width characters take two.
size_t DisplayWidth(const std::string& text) {
    size_t width = 0;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;  // every three- and four-byte sequence we print is wide
        i += static_cast<size_t>(length);
    }
    return width;
}

std::string Pad(const std::string& text, size_t width) {
    const size_t w = DisplayWidth(text);
    return w >= width ? text : text + std::string(width - w, ' ');
}

// Columns separated by two blanks, each as wide as its widest cell.
std::string Table(const std::vector<std::vector<std::string>>& lines) {
    std::vector<size_t> widths;
    for (const auto& line : lines)
        for (size_t c = 0; c < line.size(); ++c) {
            if (widths.size() <= c) widths.push_back(0);
            widths[c] = std::max(widths[c], DisplayWidth(line[c]));
        }
    std::string out;
    for (const auto& line : lines) {
        std::string text;
        for (size_t c = 0; c < line.size(); ++c)
            text += c + 1 < line.size() ? Pad(line[c], widths[c] + 2) : line[c];
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out += text + "\n";
    }
    return out;
}

std::string Number(double value, int figure) {
    return figure == kScoreFigure ? FormatReal(std::round(value * 2) / 2) : FormatText("%.1f", value);
}

std::string ShortDate(const std::string& iso) {
    // "2026-12-08T05:13:05+01:00" -> "2026-12-08 05:13"; other texts stay as they are.
    if (iso.size() >= 16 && iso[4] == '-' && iso[10] == 'T')
        return iso.substr(0, 10) + " " + iso.substr(11, 5);
    return iso;
}

std::string RepeatText(const BenchResult& result) {
    if (result.repeat != "auto") return result.repeat;
    return result.stable ? "auto, stable" : "auto, not stable";
}

}  // namespace

std::string RunsText(const BenchResult& result, const char* word) {
    const int all = static_cast<int>(result.runs.size());
    const int invalid = all - CountingRuns(result);
    std::string text = FormatInt(all) + word;
    if (invalid > 0) text += " (" + FormatInt(invalid) + " not valid)";
    return text;
}

std::string ResultLabel(const BenchResult& result) {
    const std::string machine = result.machine.cpu.empty() ? "unknown machine" : result.machine.cpu;
    return result.date.empty() ? machine : machine + ", " + ShortDate(result.date);
}

std::string CompareText(const std::vector<BenchResult>& results, const std::vector<CompareRow>& rows) {
    std::string out;
    std::vector<std::vector<std::string>> heads;
    for (size_t i = 0; i < results.size(); ++i) {
        const BenchResult& r = results[i];
        heads.push_back({std::string(1, static_cast<char>('A' + i % 26)), r.source, ResultLabel(r),
                         RunsText(r, " runs")});
    }
    out += Table(heads) + "\n";

    std::vector<std::vector<std::string>> lines;
    std::vector<std::string> head = {"", ""};
    for (size_t i = 0; i < results.size(); ++i) {
        const std::string name(1, static_cast<char>('A' + i % 26));
        head.push_back(name + " median (min-max)");
        if (i > 0) head.insert(head.end(), {name + "/A", ""});
    }
    lines.push_back(head);
    for (const CompareRow& row : rows) {
        const int figure = static_cast<int>(&row - rows.data());
        std::vector<std::string> line = {row.figure.caption, row.figure.unit};
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const CompareCell& cell = row.cells[i];
            line.push_back(cell.range
                               ? Number(cell.range->median, figure) + " (" + Number(cell.range->min, figure) +
                                     "-" + Number(cell.range->max, figure) + ")"
                               : "no valid run");
            if (i == 0) continue;
            line.push_back(cell.ratio ? FormatText("%.3f", *cell.ratio) : "-");
            line.push_back(!cell.range || !row.cells[0].range ? ""
                           : cell.insideNoise                 ? "inside the noise"
                                                              : "differs");
        }
        lines.push_back(line);
    }
    return out + Table(lines);
}

std::string ResultsText(const std::vector<BenchResult>& results) {
    std::vector<std::vector<std::string>> lines = {
        {"id", "date", "machine", "runs", "repeat", "total ms", "score", "spread"}};
    for (const BenchResult& r : results) {
        const std::optional<Range> total = FigureRange(r, static_cast<int>(Stage::Total));
        const std::optional<Range> score = FigureRange(r, kScoreFigure);
        lines.push_back({FormatInt(r.id), ShortDate(r.date), r.machine.cpu, RunsText(r), RepeatText(r),
                         total ? Number(total->median, 0) : "-",
                         score ? Number(score->median, kScoreFigure) : "-",
                         total ? FormatText("%.1f %%", 100 * RelativeSpread(*total)) : "-"});
    }
    return Table(lines);
}
