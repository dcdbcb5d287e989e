// The image view's costs: the picture-to-screen conversion once per change, painting the exposed
// part of a zoomed image, and the per-value tables of "H"/"L" against the literal per-byte loops.
#include <benchmark/benchmark.h>

#include <QPaintEvent>
#include <QPainter>
#include <cmath>
#include <random>

#include "bench/gui_support.h"
#include "core/fparith.h"
#include "core/numtext.h"
#include "platform/platform.h"
#include "view/ui/child.h"
#include "view/ui/frame.h"
#include "view/ui/image_control.h"
#include "view/view_ops.h"

namespace {
using benchgui::App;

Picture randomPicture(int w, int h) {
    Picture p(w, h);
    std::mt19937 rng(5);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < 3 * w; ++i) p.row(y)[i] = static_cast<uint8_t>(rng());
    return p;
}

// A frame stand-in: the view code needs only the tool strip and the dispatcher here.
class NullFrame : public ImageFrame {
  public:
    Platform& platform() override { std::abort(); }
    QWidget* frameWidget() override { return nullptr; }
    ToolStrip& toolStrip() override { return m_strip; }
    TChild* ActiveImageWindow() override { return nullptr; }
    TChild* CreateImageWindow(int) override { return nullptr; }
    QList<TChild*> imageWindowsMostRecentFirst() override { return {}; }
    void closeImageWindow(TChild*) override {}
    QSize frameClientSize() const override { return {892, 647}; }
    void runHandler(const std::function<void()>& h, bool) override { h(); }

  private:
    ToolStrip m_strip;
};

void BM_ConvertToScreenImage(benchmark::State& state) {
    App();
    NullFrame frame;
    TChild child(frame);
    const int side = static_cast<int>(state.range(0));
    child.setImage(randomPicture(side, side));
    for (auto _ : state) {
        child.imageChanged();
        benchmark::DoNotOptimize(child.imageControl()->cachedImage().constBits());
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_ConvertToScreenImage)->Arg(1000)->Unit(benchmark::kMillisecond);

// Painting an 800 x 600 exposed part of a 2000 x 2000 image at the given zoom (x 1/16).
void BM_PaintExposedPart(benchmark::State& state) {
    App();
    NullFrame frame;
    TChild child(frame);
    child.setImage(randomPicture(2000, 2000));
    const double z = state.range(0) / 16.0;
    child.setImageControlSize(static_cast<int>(2000 * z), static_cast<int>(2000 * z));
    ImageControl* control = child.imageControl();
    control->cachedImage();
    QImage target(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        // Same path as a paint event: the source part that covers the exposed rectangle.
        QPainter painter(&target);
        control->render(&painter, QPoint(),
                        QRegion(QRect(control->width() / 2, control->height() / 2, 800, 600)));
    }
}
BENCHMARK(BM_PaintExposedPart)->Arg(16)->Arg(256)->Unit(benchmark::kMillisecond);

// "H" on a colour window: the per-value table against a literal per-byte loop.
void BM_ContrastTable(benchmark::State& state) {
    const Picture stored = randomPicture(1000, 1000);
    Picture display(1000, 1000);
    for (auto _ : state) benchmark::DoNotOptimize(ContrastStep(stored, display, "1.331", true));
}
BENCHMARK(BM_ContrastTable)->Unit(benchmark::kMillisecond);

void BM_ContrastLiteral(benchmark::State& state) {
    const Picture stored = randomPicture(1000, 1000);
    Picture display(1000, 1000);
    for (auto _ : state) {
        const double c = CheckedToDouble(ParseRealExtended("1.331") * static_cast<long double>(kContrastUp));
        for (int y = 0; y < 1000; ++y)
            for (int i = 0; i < 3000; ++i) {
                const int64_t v = TruncToInt64(static_cast<long double>(stored.row(y)[i]) * c);
                display.row(y)[i] = static_cast<uint8_t>(v >= 256 ? 255 : v);
            }
        benchmark::DoNotOptimize(display.bits());
    }
}
BENCHMARK(BM_ContrastLiteral)->Unit(benchmark::kMillisecond);

// "H" on a sample window: the 65536-entry table against DisplayLevel per pixel.
// A sample window's stored picture: raw values 1000 to 4999.
Picture samplePicture() {
    Picture stored(1000, 1000);
    std::mt19937 rng(9);
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1000; ++x)
            EncodeRawValue(static_cast<int32_t>(rng() % 4000 + 1000), stored.row(y) + 3 * x);
    return stored;
}

void BM_SampleRemapTable(benchmark::State& state) {
    const Picture stored = samplePicture();
    Picture display(1000, 1000);
    for (auto _ : state) {
        SampleRemap(stored, display, "1523.25", "1000");
        benchmark::DoNotOptimize(display.bits());
    }
}
BENCHMARK(BM_SampleRemapTable)->Unit(benchmark::kMillisecond);

void BM_SampleRemapLiteral(benchmark::State& state) {
    const Picture stored = samplePicture();
    Picture display(1000, 1000);
    for (auto _ : state) {
        const double mean = ParseReal("1523.25");
        const int minimum = ParseInt("1000");
        for (int y = 0; y < 1000; ++y)
            for (int x = 0; x < 1000; ++x) {
                const uint8_t* s = stored.row(y) + 3 * x;
                const auto level =
                    static_cast<uint8_t>(DisplayLevel(DecodeRawValue(s[1], s[2]), minimum, mean, 100));
                uint8_t* d = display.row(y) + 3 * x;
                d[0] = d[1] = d[2] = level;
            }
        benchmark::DoNotOptimize(display.bits());
    }
}
BENCHMARK(BM_SampleRemapLiteral)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
