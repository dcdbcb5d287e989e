#include "core/simd_level.h"

#include <stdexcept>

bool SimdLevelSupported(SimdLevel level) {
    // The baseline level: SSE2 on x86-64, the plain loops elsewhere.
    if (level == SimdLevel::Sse2) return true;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    switch (level) {
        case SimdLevel::Sse2:
            return true;
        case SimdLevel::Avx2:
            return __builtin_cpu_supports("avx2");
        case SimdLevel::Avx512:
            // The F, BW and VL subsets together (every AVX-512 processor since Skylake-SP).
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                   __builtin_cpu_supports("avx512vl");
    }
#endif
    return false;
}

SimdLevel BestSimdLevel() {
    static const SimdLevel best = [] {
        if (SimdLevelSupported(SimdLevel::Avx512)) return SimdLevel::Avx512;
        if (SimdLevelSupported(SimdLevel::Avx2)) return SimdLevel::Avx2;
        return SimdLevel::Sse2;
    }();
    return best;
}

const char* SimdLevelName(SimdLevel level) {
    static constexpr const char* kNames[] = {"sse2", "avx2", "avx512"};  // in SimdLevel's order
    return kNames[static_cast<int>(level)];
}

std::vector<SimdLevel> SupportedSimdLevels() {
    std::vector<SimdLevel> levels;
    for (SimdLevel l : {SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512})
        if (SimdLevelSupported(l)) levels.push_back(l);
    return levels;
}

void RequireSimdLevel(SimdLevel level) {
    if (!SimdLevelSupported(level)) throw std::invalid_argument("instruction set not supported here");
}
