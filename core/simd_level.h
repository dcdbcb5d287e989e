// The one SIMD dispatch of the program: every vector path comes in instruction-set levels, runs
// the widest one the processor has, and offers an entry point that pins a level, so tests compare
// every level this processor can run against the plain loop.
#pragma once

#include <vector>

enum class SimdLevel { Sse2, Avx2, Avx512 };

bool SimdLevelSupported(SimdLevel level);
// For the entry points that pin a level: std::invalid_argument when this processor lacks it.
void RequireSimdLevel(SimdLevel level);
// The widest supported level: what the vector paths use unless a level is pinned.
SimdLevel BestSimdLevel();
const char* SimdLevelName(SimdLevel level);
// Every level this processor can run, narrowest first.
std::vector<SimdLevel> SupportedSimdLevels();
