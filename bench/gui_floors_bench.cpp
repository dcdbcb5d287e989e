// The benchmark run's stages beside the machine's floors, in one process and one run: first the
// program's own 計測開始 (a fresh process, as a user's click measures it), then each floor once,
// then the ratios. Run it in several fresh processes and compare medians; the machine is shared.
//   display:     Qt showing sixteen ready 1000 x 1000 pictures in sixteen child windows
//   file access: sixteen fresh 2 MB write() calls plus sixteen hot read() calls of those files
//   memory:      nine fresh 4 MB mappings offered to huge pages, every byte written
//   composite:   sixteen plain additions of a 1000 x 1000 int32 array into another
// Output: one line per stage (microseconds and the ratio), or one JSON object with --json.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/gui_support.h"
#include "benchmark/stages.h"
#include "benchmark/ui/benchmark_command.h"
#include "benchmark/workload.h"
#include "platform/scripted_platform.h"
#include "shell/mainform.h"
#include "shell/startup.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSide = kBenchSide;
constexpr size_t kSamples = static_cast<size_t>(kSide) * kSide;

int64_t MicrosecondsSince(Clock::time_point from) {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - from).count();
}

// The program's run, headless: Yes to the confirmation, the result window closed at once.
WorkloadFigures ProgramRun() {
    ScriptedPlatform platform;
    platform.yesNoAnswers.push_back(true);
    platform.modalHandlers[QStringLiteral("Tpanel")] = [](QWidget*) {};
    std::unique_ptr<HalvaneWindows> windows = CreateWindows(platform);
    TMainForm& form = *windows->mainForm;
    form.show();
    form.runCommand([&form] { form.N10Click(); });
    if (!form.lastBenchmarkReport().completed) {
        std::fprintf(stderr, "gui_floors_bench: the benchmark did not complete\n");
        std::exit(1);
    }
    const WorkloadFigures figures = form.lastBenchmarkReport().figures;
    for (TChild* child : form.imageWindowsMostRecentFirst()) form.closeImageWindow(child);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return figures;
}

int64_t DisplayFloor() {
    benchgui::QtDisplayFloor floor(kSide);
    const Clock::time_point from = Clock::now();
    floor.showWindows(kBenchImageCount);
    const int64_t us = MicrosecondsSince(from);
    floor.closeWindows();
    return us;
}

int64_t FileFloor() {
    std::string dir = (std::filesystem::temp_directory_path() / "hv-floor-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) return -1;
    const size_t bytes = kSamples * 2;
    std::vector<uint8_t> buffer(bytes, 0x5A);
    int64_t us = 0;
    bool ok = true;
    for (int i = 0; i < kBenchImageCount; ++i) {
        const std::string path = dir + "/" + std::to_string(i) + ".fit";
        const Clock::time_point from = Clock::now();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        ok = ok && fd >= 0 && ::write(fd, buffer.data(), bytes) == static_cast<ssize_t>(bytes);
        if (fd >= 0) ::close(fd);
        us += MicrosecondsSince(from);
    }
    for (int i = 0; i < kBenchImageCount; ++i) {
        const std::string path = dir + "/" + std::to_string(i) + ".fit";
        const Clock::time_point from = Clock::now();
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ok = ok && fd >= 0 && ::read(fd, buffer.data(), bytes) == static_cast<ssize_t>(bytes);
        if (fd >= 0) ::close(fd);
        us += MicrosecondsSince(from);
    }
    std::error_code error;
    std::filesystem::remove_all(dir, error);
    return ok ? us : -1;
}

int64_t MemoryFloor() {
    constexpr size_t kHuge = size_t{2} << 20;
    const size_t length = (kSamples * sizeof(int32_t) + kHuge - 1) / kHuge * kHuge;
    void* maps[kBenchPlaneCount] = {};
    const Clock::time_point from = Clock::now();
    for (void*& map : maps) {
        // Over-mapped by one huge page so that the touched part starts on a huge-page boundary.
        void* raw = mmap(nullptr, length + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) return -1;
        map = raw;
        auto* start =
            reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(raw) + kHuge - 1) / kHuge * kHuge);
        madvise(start, length, MADV_HUGEPAGE);
        std::memset(start, 0, kSamples * sizeof(int32_t));
    }
    const int64_t us = MicrosecondsSince(from);
    for (void* map : maps) munmap(map, length + kHuge);
    return us;
}

int64_t CompositeFloor() {
    std::vector<int32_t> accumulator(kSamples, 0), image(kSamples, 1000);
    const Clock::time_point from = Clock::now();
    for (int i = 0; i < kBenchImageCount; ++i) {
        int32_t* __restrict acc = accumulator.data();
        const int32_t* __restrict src = image.data();
        for (size_t k = 0; k < kSamples; ++k) acc[k] += src[k];
    }
    const int64_t us = MicrosecondsSince(from);
    if (accumulator[kSamples / 2] != 16000) return -1;
    return us;
}

}  // namespace

int main(int argc, char** argv) {
    const bool json = argc > 1 && std::strcmp(argv[1], "--json") == 0;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);

    const WorkloadFigures run = ProgramRun();
    const int64_t floors[kStageCount] = {FileFloor(), DisplayFloor(), MemoryFloor(), CompositeFloor(), -1,
                                         -1};

    std::string out = json ? "{" : "";
    for (const StageInfo& info : kStages) {
        const int k = static_cast<int>(info.stage);
        const int64_t ours = run.us[k];
        const double ratio = floors[k] > 0 ? static_cast<double>(ours) / floors[k] : 0.0;
        char line[256];
        if (json)
            std::snprintf(line, sizeof line, "%s\"%s\": {\"us\": %lld, \"floor_us\": %lld, \"ratio\": %.3f}",
                          k ? ", " : "", info.jsonKey, static_cast<long long>(ours),
                          static_cast<long long>(floors[k]), ratio);
        else if (floors[k] > 0)
            std::snprintf(line, sizeof line, "%-12s ours %8lld us   floor %8lld us   ratio %5.2f\n",
                          info.jsonKey, static_cast<long long>(ours), static_cast<long long>(floors[k]),
                          ratio);
        else
            std::snprintf(line, sizeof line, "%-12s ours %8lld us\n", info.jsonKey,
                          static_cast<long long>(ours));
        out += line;
    }
    if (json) out += "}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}
