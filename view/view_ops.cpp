#include "view/view_ops.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/fparith.h"
#include "core/numtext.h"
#include "core/value_table.h"

int WindowKind(const ChildState& state) {
    if (state.FilterI.find_first_not_of(' ') == std::string::npos) return 0;
    return ParseInt(state.FilterI);
}

std::optional<double> ZoomInStep(double z) {
    if (z >= kMaxZoom) return std::nullopt;
    return z * 2;
}

std::optional<double> ZoomOutStep(double z) {
    if (!(z > kMinZoom)) return std::nullopt;
    return z * 0.5;
}

std::string ZoomText(double z) {
    return FormatPercent(CheckFinite(z * 100));
}

ZoomLayout ComputeZoomLayout(int width, int height, double z, int frameClientWidth, int frameClientHeight) {
    ZoomLayout layout;
    const double w = static_cast<double>(width) * z;
    const double h = static_cast<double>(height) * z;
    layout.imageWidth = TruncToInt32(w);
    layout.imageHeight = TruncToInt32(h);
    // Only the width decides; a tall image is fitted like any other and its window may reach beyond
    // the frame, which scrolls.
    layout.fillFrame = w > frameClientWidth;
    if (layout.fillFrame) {
        layout.outerWidth = frameClientWidth - 20;
        layout.outerHeight = frameClientHeight - 60;
    }
    return layout;
}

std::string ContrastStep(const Picture& stored, Picture& display, std::string_view contrastText,
                         bool brighter) {
    const long double parsed = ParseRealExtended(contrastText);
    const double c =
        CheckedToDouble(parsed * static_cast<long double>(brighter ? kContrastUp : kContrastDown));
    const auto out = [c](int b) {
        const int64_t v = TruncToInt64(static_cast<long double>(b) * c);
        return v >= 256 ? 255 : static_cast<int>(static_cast<uint8_t>(v));  // the low byte is written
    };
    const ValueTable<256> table(out);
    table.replayFirstByteFault(stored);
    const int w = std::min(stored.width(), display.width());
    const int h = std::min(stored.height(), display.height());
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = stored.row(y);
        uint8_t* d = display.row(y);
        for (int i = 0; i < 3 * w; ++i) d[i] = table[s[i]];
    }
    return FormatReal(c);
}

void SampleRemap(const Picture& stored, Picture& display, std::string_view averageText,
                 std::string_view minimumText) {
    const double mean = ParseReal(averageText);
    const int32_t minimum = ParseInt(minimumText);
    const auto level = [&](int v) { return DisplayLevel(v, minimum, mean, 100); };
    if (mean - static_cast<double>(minimum) == 0) {
        // Every value faults: the first pixel decides the message.
        if (stored.isNull()) return;
        level(DecodeRawValue(stored.row(0)[1], stored.row(0)[2]));
    }
    const int w = std::min(stored.width(), display.width());
    const int h = std::min(stored.height(), display.height());
    if (static_cast<long long>(stored.width()) * stored.height() < 65536) {
        // Fewer pixels than raw values: level each pixel, keeping the display until all succeed.
        std::vector<uint8_t> levels;
        levels.reserve(static_cast<size_t>(stored.width()) * stored.height());
        for (int y = 0; y < stored.height(); ++y) {
            const uint8_t* s = stored.row(y);
            for (int x = 0; x < stored.width(); ++x)
                levels.push_back(static_cast<uint8_t>(level(DecodeRawValue(s[3 * x + 1], s[3 * x + 2]))));
        }
        for (int y = 0; y < h; ++y) {
            uint8_t* d = display.row(y);
            const uint8_t* l = levels.data() + static_cast<size_t>(y) * stored.width();
            for (int x = 0; x < w; ++x) d[3 * x] = d[3 * x + 1] = d[3 * x + 2] = l[x];
        }
        return;
    }
    const ValueTable<65536> table(level);
    table.replayFirstFault([&stored](auto&& check) {
        for (int y = 0; y < stored.height(); ++y) {
            const uint8_t* s = stored.row(y);
            for (int x = 0; x < stored.width(); ++x) check(DecodeRawValue(s[3 * x + 1], s[3 * x + 2]));
        }
    });
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = stored.row(y);
        uint8_t* d = display.row(y);
        for (int x = 0; x < w; ++x) {
            const uint8_t g = table[DecodeRawValue(s[3 * x + 1], s[3 * x + 2])];
            d[3 * x] = d[3 * x + 1] = d[3 * x + 2] = g;
        }
    }
}

std::optional<std::string> ProbeText(int kind, const Picture& display, const Picture& stored,
                                     std::string_view zoomText, int x, int y) {
    const long double z = ParseRealExtended(zoomText);
    const double q = CheckedToDouble(CheckedDivide(1.0L, z));
    const int px = TruncToInt32(static_cast<long double>(x) * q);
    const int py = TruncToInt32(static_cast<long double>(y) * q);
    if (kind == kColourWindow) {
        const ColourParts c = SplitColour(display.pixelValue(px, py));
        return FormatText("R=%d  G=%d  B=%d   (%d,%d)", c.red, c.green, c.blue, x, y);
    }
    if (kind == kSampleWindow) return FormatText("Intensity = %d   (%d,%d)", stored.pixelValue(px, py), x, y);
    return std::nullopt;
}

namespace {
int32_t valueAt(const Picture& picture, long long x, long long y) {
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height()) return -1;
    return picture.pixelValue(static_cast<int>(x), static_cast<int>(y));
}
}  // namespace

Measurement MeasureAt(const Picture& display, int x, int y, bool leftButton) {
    Measurement m;
    if (leftButton) {
        for (int i = -10; i <= 10; ++i) {
            for (int j = -10; j <= 10; ++j) {
                const int r = SplitColour(valueAt(display, 0LL + x + i, 0LL + y + j)).red;
                if (r < m.minimum) m.minimum = r;
                if (r > m.maximum) m.maximum = r;
            }
        }
        const int half = m.maximum / 2;
        for (int i = -5; i <= 5; ++i)
            for (int j = -5; j <= 5; ++j)
                if (SplitColour(valueAt(display, 0LL + x + i, 0LL + y + j)).green > half) ++m.count;
    }
    m.extremesText = FormatText("MAX = %d , MIN = %d", m.maximum, m.minimum);
    m.fwhmText = FormatText("FWHM = %2.1lf pxls", std::sqrt(m.count * 0.31830989161357204));
    return m;
}

SamplePictures BuildSamplePictures(const IntPlane& plane, int width, int height) {
    SamplePictures out;
    out.stats = SampleStatistics(plane, width, height);
    out.display = Picture(width, height);
    out.raw = Picture(width, height);
    for (int x = 0; x < width; ++x) {
        const int32_t* column = plane[x];
        for (int y = 0; y < height; ++y) {
            const auto level =
                static_cast<uint8_t>(DisplayLevel(column[y], out.stats.minimum, out.stats.mean, 50));
            uint8_t* d = out.display.row(y) + 3 * x;
            d[0] = d[1] = d[2] = level;
            EncodeRawValue(column[y], out.raw.row(y) + 3 * x);
        }
    }
    return out;
}
