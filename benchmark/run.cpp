#include <chrono>
#include <new>

#include "benchmark/workload.h"
#include "core/errors.h"
#include "core/fits.h"

namespace {

[[noreturn]] void Abort(const HvError& cause, bool memory) {
    const std::string text = std::string("計測を中止しました: ") + cause.what();
    if (memory) throw OutOfMemoryError(text);
    throw FileError(text);
}

struct Stamp {
    uint32_t ms;
    std::chrono::steady_clock::time_point at;
};

class StageTimer {
  public:
    explicit StageTimer(const WorkloadClock& clock) : m_clock(clock) {}
    Stamp now() const { return {m_clock.tick(), std::chrono::steady_clock::now()}; }
    // Adds the interval from `from` to now to the stage; 32-bit tick differences.
    void add(const Stamp& from, Stage stage) {
        const Stamp to = now();
        const int k = static_cast<int>(stage);
        m_ms[k] += static_cast<int32_t>(to.ms - from.ms);
        m_ns[k] += std::chrono::duration_cast<std::chrono::nanoseconds>(to.at - from.at).count();
    }
    // The stages' milliseconds and microseconds.
    void fill(WorkloadFigures& f) const {
        f.ms = m_ms;
        for (int k = 0; k < kStageCount; ++k) f.us[k] = m_ns[k] / 1000;
    }

  private:
    const WorkloadClock& m_clock;
    std::array<int32_t, kStageCount> m_ms{};
    std::array<int64_t, kStageCount> m_ns{};
};

}  // namespace

void PrepareShownImage(const IntPlane& display, ShownImage& shown) {
    const GridStatistics stats = StatisticsWithVariance(display, shown.width, shown.height);
    shown.mean = stats.mean;
    shown.minimum = stats.minimum;
    // The levels are made in one pass from the samples (the plane is released right after, so its
    // scaled samples are never needed) and both pictures are views of them.
    std::shared_ptr<LevelRows> levels = LevelRows::Make(shown.width, shown.height);
    FillLevelRowsFromSamples(display, shown.width, shown.height, stats.minimum, stats.mean, kBenchLevelScale,
                             *levels);
    shown.grey = Picture::FromLevels(levels, LevelForm::Grey);
    shown.raw = Picture::FromLevels(std::move(levels), LevelForm::RawValue);
}

WorkloadFigures RunWorkload(BenchRandom& random, const WorkloadClock& clock,
                            const std::function<void(ShownImage&)>& show, const WorkloadOptions& options) {
    try {
        StageTimer timer(clock);
        const Stamp start = timer.now();

        ScratchFiles scratch(options.scratchParents.empty() ? ScratchFiles::defaultParents()
                                                            : options.scratchParents);
        scratch.pathOverride = options.scratchPathOverride;

        // Memory stage: nine planes, zero-filled; six go again at once.
        std::vector<IntPlane> planes(kBenchPlaneCount);
        {
            const Stamp from = timer.now();
            for (IntPlane& plane : planes)
                if (AllocPlane(kBenchSide, kBenchSide, plane) != 0) throw OutOfMemoryError();
            timer.add(from, Stage::Memory);
        }
        for (int k = kBenchKeptPlanes; k < kBenchPlaneCount; ++k)
            FreePlane(kBenchSide, kBenchSide, planes[k]);
        IntPlane& work = planes[0];
        IntPlane& accumulator = planes[1];
        IntPlane& spare = planes[2];

        // Write stage.
        for (int i = 0; i < kBenchImageCount; ++i) {
            GenerateImage(work, random);
            const std::string path = scratch.path(i);
            scratch.noteWritten(i);
            const Stamp from = timer.now();
            WriteFits(path.c_str(), kBenchSide, kBenchSide, work);
            timer.add(from, Stage::FileAccess);
        }

        // Display stage.
        std::vector<char> header(kFitsHeaderBufferBytes);
        for (int i = 0; i < kBenchImageCount; ++i) {
            ShownImage shown;
            shown.caption = std::to_string(i) + ".fit";
            shown.scratchPath = scratch.path(i);
            IntPlane display;
            int cards = 0, bzero = 0;
            ReadFits(shown.scratchPath.c_str(), header.data(), shown.width, shown.height, cards, bzero,
                     display);
            ToggleOffset(32768, shown.width, shown.height, display);
            const Stamp from = timer.now();
            PrepareShownImage(display, shown);
            show(shown);
            timer.add(from, Stage::ImageDisplay);
            FreePlane(shown.width, shown.height, display);
        }

        // Composite stage.
        for (int i = 0; i < kBenchImageCount; ++i) {
            const std::string path = scratch.path(i);
            IntPlane composite;
            int width = 0, height = 0, cards = 0, bzero = 0;
            Stamp from = timer.now();
            ReadFits(path.c_str(), header.data(), width, height, cards, bzero, composite);
            timer.add(from, Stage::FileAccess);
            if (width != kBenchSide || height != kBenchSide)
                throw FileError("作業用ファイルの大きさが違います: " + path);
            from = timer.now();
            AddPlane(accumulator, composite, width, height);
            timer.add(from, Stage::Composite);
            FreePlane(width, height, composite);
        }
        // Convolution stage.
        Kernel kernel = MakeAccumulatorKernel();
        {
            const Stamp from = timer.now();
            ConvolvePlane(kBenchKernelSide, kBenchKernelSide, kernel, kBenchSide, kBenchSide, accumulator);
            timer.add(from, Stage::Convolution);
        }

        // Cleanup. The accumulator stays until its checksum is taken, after the total time.
        if (options.keepImagesDir.empty()) scratch.removeAll();
        FreePlane(kBenchSide, kBenchSide, work);
        FreePlane(kBenchSide, kBenchSide, spare);
        kernel = Kernel();
        timer.add(start, Stage::Total);

        WorkloadFigures f;
        timer.fill(f);
        f.checksum = PlaneChecksum(accumulator, kBenchSide, kBenchSide);
        FreePlane(kBenchSide, kBenchSide, accumulator);
        if (!options.keepImagesDir.empty()) scratch.moveInto(options.keepImagesDir);

        f.score = ScoreFromSeconds(MillisecondsToSeconds(f.msOf(Stage::Total)));
        return f;
    } catch (const OutOfMemoryError& e) {
        Abort(e, true);
    } catch (const FileError& e) {
        Abort(e, false);
    } catch (const std::bad_alloc&) {
        Abort(OutOfMemoryError(), true);
    }
}
