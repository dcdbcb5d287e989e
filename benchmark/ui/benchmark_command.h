// 計測開始: the timed benchmark run, from the confirmation to the result window.
#pragma once

#include "benchmark/workload.h"

class ImageFrame;
class TChild;
class Tpanel;

// What a run measured, for the command line's report (the window shows the same figures).
struct BenchmarkReport {
    bool completed = false;  // false when the user answered No
    WorkloadFigures figures;
};

// N10Click. Returns what the run measured (completed false when the user answered No). A failed
// run throws after its scratch files are gone and shows no result.
BenchmarkReport BenchmarkCommand(ImageFrame& frame, Tpanel& panel, const WorkloadOptions& options = {});

// The display stage's window for one image: a sample window captioned with the file name, its
// pictures taken from the image, the main window's fields and the window's state filled.
TChild* ShowBenchmarkImage(ImageFrame& frame, ShownImage& shown);
