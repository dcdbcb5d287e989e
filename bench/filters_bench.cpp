// The blur of a 4000 x 3000 colour picture with amount 10 (21 x 21 kernel), three ways in one run:
// the literal four-deep loop over plain vectors, the engine alone on planes filled beforehand (three
// convolutions and three clamps), and the whole filter function, picture in to picture out. The
// closing lines give the ratios and check that all three give the same picture. The edge filter's
// 3 x 3 kernel shows the fixed cost of the filter around a cheap convolution.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "filters/engine/kernel.h"
#include "filters/filters.h"
#include "tests/filters/reference.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr double kAmount = 10.0;

const Picture& source() {
    static const Picture p = ref::randomPicture(kWidth, kHeight, 2024);
    return p;
}

Kernel blurKernel(double s, int n) {
    Kernel k = MakeKernel(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            k[i][j] = 10.0 * std::exp(-((i - s) * (i - s)) / s / s - ((j - s) * (j - s)) / s / s);
    return k;
}

Kernel edgeKernel() {
    Kernel k = MakeKernel(3, 3);
    k[1][1] = 10.0 - 3.0;
    k[0][1] = k[1][0] = k[1][2] = k[2][1] = -1.0;
    return k;
}

Picture g_literal, g_engine, g_filter;

void BM_BlurLiteral(benchmark::State& state) {
    for (auto _ : state) {
        g_literal = ref::blur(source(), kAmount);
        benchmark::DoNotOptimize(g_literal.bits());
    }
}

// Planes refilled outside the timing before every pass, so only the engine's work is timed.
template <Kernel (*MakeK)(), int Side>
void engineOnly(benchmark::State& state, Picture* out) {
    const BytePlanes filled = PictureToPlanes(source());
    BytePlanes planes = PictureToPlanes(source());
    const size_t bytes = sizeof(int32_t) * static_cast<size_t>(kWidth) * kHeight;
    for (auto _ : state) {
        state.PauseTiming();
        for (int c = 0; c < 3; ++c) std::memcpy(planes.plane[c].data(), filled.plane[c].data(), bytes);
        state.ResumeTiming();
        Kernel k = MakeK();
        for (IntPlane& p : planes.plane) ConvolvePlane(Side, Side, k, kWidth, kHeight, p);
        for (IntPlane& p : planes.plane) ClampPlane(0, 255, kWidth, kHeight, p);
        benchmark::DoNotOptimize(planes.plane[2].data());
    }
    if (out) *out = PlanesToPicture(planes);
}

Kernel blur21() {
    return blurKernel(kAmount, 21);
}

void BM_BlurEngine(benchmark::State& state) {
    engineOnly<blur21, 21>(state, &g_engine);
}

void BM_BlurFilter(benchmark::State& state) {
    for (auto _ : state) {
        g_filter = BlurPicture(source(), kAmount);
        benchmark::DoNotOptimize(g_filter.bits());
    }
}

void BM_EdgeEngine(benchmark::State& state) {
    engineOnly<edgeKernel, 3>(state, nullptr);
}

void BM_EdgeFilter(benchmark::State& state) {
    for (auto _ : state) {
        Picture out = EdgeEnhance(source(), 3.0);
        benchmark::DoNotOptimize(out.bits());
    }
}

BENCHMARK(BM_BlurLiteral)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_BlurEngine)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_BlurFilter)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_EdgeEngine)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_EdgeFilter)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->UseRealTime();

// Keeps the median (or the single run) of each benchmark's real time per iteration.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> seconds;     // real time
    std::map<std::string, double> cpuSeconds;  // CPU time: steadier on a shared machine
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const std::string name = r.benchmark_name();
            const bool median = r.aggregate_name == "median";
            if (r.run_type == Run::RT_Aggregate && !median) continue;
            const std::string base = name.substr(0, name.find('/'));
            if (median || r.repetitions <= 1) {
                seconds[base] = r.GetAdjustedRealTime() / 1000.0;
                cpuSeconds[base] = r.GetAdjustedCPUTime() / 1000.0;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* clock : {"real", "cpu"}) {
        std::map<std::string, double>& t =
            std::string(clock) == "real" ? reporter.seconds : reporter.cpuSeconds;
        auto get = [&](const char* n) { return t.count(n) ? t[n] : 0.0; };
        const double literal = get("BM_BlurLiteral"), engine = get("BM_BlurEngine"),
                     filter = get("BM_BlurFilter");
        if (literal > 0 && engine > 0)
            std::printf("%s time: blur literal / engine = %.1f x\n", clock, literal / engine);
        if (literal > 0 && filter > 0)
            std::printf("%s time: blur literal / filter = %.1f x\n", clock, literal / filter);
        if (engine > 0 && filter > 0)
            std::printf("%s time: blur filter / engine = %.3f (filter adds %.1f %%)\n", clock,
                        filter / engine, 100.0 * (filter / engine - 1.0));
        const double edgeEngine = get("BM_EdgeEngine"), edgeFilter = get("BM_EdgeFilter");
        if (edgeEngine > 0 && edgeFilter > 0)
            std::printf("%s time: edge filter / engine = %.3f (filter adds %.1f %%)\n", clock,
                        edgeFilter / edgeEngine, 100.0 * (edgeFilter / edgeEngine - 1.0));
    }
    if (!g_engine.isNull() && !g_filter.isNull())
        std::printf("blur: engine and filter pictures identical: %s\n",
                    g_engine.samePixels(g_filter) ? "yes" : "NO");
    if (!g_literal.isNull() && !g_filter.isNull())
        std::printf("blur: literal and filter pictures identical: %s\n",
                    g_literal.samePixels(g_filter) ? "yes" : "NO");
    benchmark::Shutdown();
    return 0;
}
