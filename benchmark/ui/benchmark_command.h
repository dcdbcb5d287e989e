// 計測開始: the timed benchmark run, from the confirmation to the result window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ImageFrame;
class TChild;
class Tpanel;
struct ShownImage;

// What a run measured, for the command line's report (the window shows the same figures).
struct BenchmarkReport {
    bool completed = false;
    // Millisecond figures of the tick counter.
    int32_t fileAccessMs = 0, displayMs = 0, memoryMs = 0, compositeMs = 0, convolutionMs = 0, totalMs = 0;
    // The same intervals in microseconds from a high-resolution clock read at the same points.
    int64_t fileAccessUs = 0, displayUs = 0, memoryUs = 0, compositeUs = 0, convolutionUs = 0, totalUs = 0;
    int score = 0;
    uint64_t checksum = 0;  // FNV-1a 64 over the convolved accumulator
};

struct BenchmarkOptions {
    std::string keepImagesDir;  // move the scratch files here instead of deleting them (empty: delete)
    // Where the private scratch directory may be made, in order (empty: the working directory,
    // then the system's temporary directory).
    std::vector<std::string> scratchParents;
    // Test hook: another path for scratch file i (a location that cannot be written, say).
    std::function<std::string(int)> scratchPathOverride;
};

// N10Click. Returns what the run measured (completed false when the user answered No). A failed
// run throws after its scratch files are gone and shows no result.
BenchmarkReport BenchmarkCommand(ImageFrame& frame, Tpanel& panel, const BenchmarkOptions& options = {});

// The display stage's window for one image: a sample window captioned with the file name, its
// pictures taken from the image, the main window's fields and the window's state filled.
TChild* ShowBenchmarkImage(ImageFrame& frame, ShownImage& shown);
