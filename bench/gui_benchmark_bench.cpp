// The display stage against its floor, side by side: Qt creating sixteen child windows that each
// show a ready 1000 x 1000 picture, and the benchmark's own sixteen windows (statistics, levels,
// both bitmaps, window set-up) from planes already read and folded.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bench/gui_support.h"
#include "benchmark/ui/benchmark_command.h"
#include "benchmark/workload.h"
#include "platform/scripted_platform.h"
#include "shell/mainform.h"
#include "shell/startup.h"
#include "view/ui/child.h"

namespace {

using benchgui::App;
using benchgui::Drain;
using benchgui::QtDisplayFloor;

constexpr int kSide = kBenchSide;
constexpr size_t kSamples = static_cast<size_t>(kSide) * kSide;

// Sixteen benchmark images, read back and folded as the display stage receives them.
const std::vector<IntPlane>& FoldedImages() {
    static std::vector<IntPlane> images = [] {
        std::vector<IntPlane> out;
        BenchRandom random(1);
        for (int i = 0; i < kBenchImageCount; ++i) {
            out.push_back(MakePlane(kSide, kSide));
            GenerateImage(out.back(), random);
            ToggleOffset(32768, kSide, kSide, out.back());
        }
        return out;
    }();
    return images;
}

void BM_QtFloorSixteenWindows(benchmark::State& state) {
    App();
    QtDisplayFloor floor(kSide);
    for (auto _ : state) {
        floor.showWindows(kBenchImageCount);
        state.PauseTiming();
        floor.closeWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_QtFloorSixteenWindows)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BenchmarkSixteenWindows(benchmark::State& state) {
    App();
    ScriptedPlatform platform;
    std::unique_ptr<HalvaneWindows> windows = CreateWindows(platform);
    TMainForm& form = *windows->mainForm;
    form.resize(1200, 900);
    form.show();
    const std::vector<IntPlane>& images = FoldedImages();
    IntPlane display = MakePlane(kSide, kSide);
    Drain();
    for (auto _ : state) {
        for (int i = 0; i < kBenchImageCount; ++i) {
            state.PauseTiming();
            std::memcpy(display.data(), images[i].data(), kSamples * sizeof(int32_t));
            state.ResumeTiming();
            ShownImage shown;
            shown.caption = std::to_string(i) + ".fit";
            shown.width = shown.height = kSide;
            PrepareShownImage(display, shown);
            ShowBenchmarkImage(form, shown);
        }
        state.PauseTiming();
        for (TChild* child : form.imageWindowsMostRecentFirst()) form.closeImageWindow(child);
        Drain();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BenchmarkSixteenWindows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
