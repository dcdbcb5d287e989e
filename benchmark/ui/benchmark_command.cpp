// placeholder: to be implemented
#include "benchmark/ui/benchmark_command.h"

BenchmarkReport BenchmarkCommand(ImageFrame&, Tpanel&, const BenchmarkOptions&) { return {}; }
