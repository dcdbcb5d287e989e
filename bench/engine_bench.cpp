// Convolution engine benchmarks: every operation beside its plain reference loop (the four-deep
// loop of tests/engine/reference.h), on the 1000 x 1000 planes of the timed run. After the runs a
// table gives each variant's median and its speed-up over the literal version of the same run.
//
//   engine_bench [--benchmark_filter=...]   (repetitions are set per benchmark)
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/plane.h"
#include "filters/engine/kernel.h"
#include "filters/engine/simd.h"
#include "tests/engine/reference.h"

namespace {

using hv::engine::SimdLevel;

constexpr int kSide = 1000;

IntPlane RandomPlane(int lo, int hi, unsigned seed) {
    IntPlane p = MakePlane(kSide, kSide);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> d(lo, hi);
    for (int x = 0; x < kSide; ++x)
        for (int y = 0; y < kSide; ++y) p[x][y] = d(rng);
    return p;
}

void CopyInto(const IntPlane& src, IntPlane& dst) {
    std::memcpy(dst.data(), src.data(), sizeof(int32_t) * static_cast<size_t>(kSide) * kSide);
}

Kernel Copy(const Kernel& k) {
    Kernel c = MakeKernel(k.a(), k.b());
    for (int i = 0; i < k.a(); ++i)
        for (int j = 0; j < k.b(); ++j) c[i][j] = k[i][j];
    return c;
}

// The timed run's kernel: 1.0 at [2][2], negative zeros at its four neighbours.
Kernel OneTap() {
    Kernel k = MakeKernel(7, 7);
    k[2][2] = 1.0;
    k[2][1] = k[2][3] = k[1][2] = k[3][2] = -0.0;
    return k;
}

// The blur's Gaussian for a side n (amount (n - 1) / 2).
Kernel Dense(int n) {
    const double s = (n - 1) / 2.0;
    Kernel k = MakeKernel(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            k[i][j] = 10 * std::exp(-(i - s) * (i - s) / s / s - (j - s) * (j - s) / s / s);
    return k;
}

// The guide-miss canceller's Gaussian for flow n and blur 1.
Kernel GuideMissGaussian(int n) {
    const int s = 2 * n + 3;
    Kernel k = MakeKernel(s, s);
    for (int i = 0; i < s; ++i)
        for (int j = 0; j < s; ++j)
            k[i][j] = std::exp(-(i - 2 * n) * (i - 2 * n) - (j - 2 * n) * (j - 2 * n) * 1.0);
    return k;
}

Kernel GuideMissSharpen(int n) {
    const int s = 2 * n + 3;
    Kernel k = MakeKernel(s, s);
    k[0][2 * n] = -1.0;
    k[2 * n + 2][2 * n] = -1.0;
    k[2 * n][2 * n] = 3.0;
    return k;
}

using ConvFn = std::function<void(Kernel&, IntPlane&)>;

// Each iteration convolves a fresh copy of the plane and kernel; the copy is not timed.
void RunConvolution(benchmark::State& state, const IntPlane& source, const Kernel& kernel, const ConvFn& fn) {
    IntPlane work = MakePlane(kSide, kSide);
    for (auto _ : state) {
        state.PauseTiming();
        CopyInto(source, work);
        Kernel k = Copy(kernel);
        state.ResumeTiming();
        fn(k, work);
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(kSide) * kSide * state.iterations(),
                                                  benchmark::Counter::kIsRate);
}

struct Variant {
    std::string name;
    bool literal;
    SimdLevel level;
};

std::vector<Variant> Variants() {
    std::vector<Variant> v = {{"literal", true, SimdLevel::Sse2}};
    for (SimdLevel l : {SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512})
        if (hv::engine::SimdLevelSupported(l)) v.push_back({hv::engine::SimdLevelName(l), false, l});
    return v;
}

void RegisterConvolution(const std::string& name, const IntPlane* source, Kernel kernel, int repetitions,
                         int literalRepetitions, const int* threshold) {
    auto shared = std::make_shared<Kernel>(std::move(kernel));
    const int a = shared->a(), b = shared->b();
    for (const Variant& v : Variants()) {
        ConvFn fn;
        if (threshold) {
            const int t = *threshold;
            if (v.literal)
                fn = [=](Kernel& k, IntPlane& p) {
                    engine_ref::ConvolvePlaneBelow(t, a, b, k, kSide, kSide, p);
                };
            else
                fn = [=](Kernel& k, IntPlane& p) {
                    hv::engine::ConvolvePlaneBelowOn(v.level, t, a, b, k, kSide, kSide, p);
                };
        } else {
            if (v.literal)
                fn = [=](Kernel& k, IntPlane& p) { engine_ref::ConvolvePlane(a, b, k, kSide, kSide, p); };
            else
                fn = [=](Kernel& k, IntPlane& p) {
                    hv::engine::ConvolvePlaneOn(v.level, a, b, k, kSide, kSide, p);
                };
        }
        auto* bm = benchmark::RegisterBenchmark((name + "/" + v.name).c_str(), [=](benchmark::State& st) {
            RunConvolution(st, *source, *shared, fn);
        });
        bm->Unit(benchmark::kMillisecond)->UseRealTime()->ReportAggregatesOnly(true);
        if (v.literal)
            bm->Iterations(1)->Repetitions(literalRepetitions);
        else
            bm->MinTime(0.2)->Repetitions(repetitions);
    }
}

void RegisterRotation(const std::string& name, Kernel kernel, double angle) {
    auto shared = std::make_shared<Kernel>(std::move(kernel));
    for (bool literal : {true, false}) {
        auto* bm = benchmark::RegisterBenchmark(
            (name + (literal ? "/literal" : "/engine")).c_str(), [=](benchmark::State& st) {
                const int a = shared->a(), b = shared->b();
                for (auto _ : st) {
                    Kernel k = Copy(*shared);  // timed on both sides alike
                    if (literal)
                        engine_ref::RotateKernel(angle, a, b, k);
                    else
                        RotateKernel(angle, a, b, k);
                    benchmark::DoNotOptimize(k[0]);
                }
            });
        bm->Unit(benchmark::kMicrosecond)->MinTime(0.2)->Repetitions(5)->ReportAggregatesOnly(true);
    }
}

// Console output plus the medians, for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
            const double unit = benchmark::GetTimeUnitMultiplier(r.time_unit);
            m_median[r.run_name.function_name] = {r.GetAdjustedRealTime() / unit,
                                                  r.GetAdjustedCPUTime() / unit};
            m_order.push_back(r.run_name.function_name);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        // Real time is what a user waits; CPU time is steadier on a shared machine.
        std::printf("\n%-40s %12s %10s %12s %10s\n", "benchmark (median)", "real ms", "x literal", "cpu ms",
                    "x literal");
        for (const std::string& name : m_order) {
            const size_t slash = name.rfind('/');
            const std::string group = name.substr(0, slash);
            const Times t = m_median.at(name);
            const auto lit = m_median.find(group + "/literal");
            if (lit != m_median.end() && name != lit->first)
                std::printf("%-40s %12.4f %10.1f %12.4f %10.1f\n", name.c_str(), t.real * 1e3,
                            lit->second.real / t.real, t.cpu * 1e3, lit->second.cpu / t.cpu);
            else
                std::printf("%-40s %12.4f %10s %12.4f %10s\n", name.c_str(), t.real * 1e3, "", t.cpu * 1e3,
                            "");
        }
    }

  private:
    struct Times {
        double real;
        double cpu;
    };
    std::map<std::string, Times> m_median;
    std::vector<std::string> m_order;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    static const IntPlane raw = RandomPlane(0, 65535, 1);
    static const IntPlane bytes = RandomPlane(0, 255, 2);
    static const int midThreshold = 128;
    RegisterConvolution("ConvolvePlane/one_tap_7x7", &raw, OneTap(), 9, 5, nullptr);
    RegisterConvolution("ConvolvePlane/dense_3x3", &raw, Dense(3), 7, 3, nullptr);
    RegisterConvolution("ConvolvePlane/dense_7x7", &raw, Dense(7), 5, 3, nullptr);
    RegisterConvolution("ConvolvePlane/dense_21x21", &raw, Dense(21), 5, 3, nullptr);
    RegisterConvolution("ConvolvePlaneBelow/gauss_5x5_mid", &bytes, GuideMissGaussian(1), 5, 3,
                        &midThreshold);
    RegisterRotation("RotateKernel/5x5", GuideMissSharpen(1), 37);
    RegisterRotation("RotateKernel/21x21", GuideMissSharpen(9), 37);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
