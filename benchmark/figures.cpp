#include "benchmark/workload.h"
#include "core/fparith.h"
#include "core/numtext.h"

std::string ChecksumText(uint64_t checksum) {
    return FormatText("%016llx", static_cast<unsigned long long>(checksum));
}

double MillisecondsToSeconds(int32_t ms) {
    return static_cast<double>(static_cast<long double>(ms) * static_cast<long double>(0.001));
}

std::string SecondsText(int32_t ms) {
    return FormatReal(MillisecondsToSeconds(ms));
}

int ScoreFromSeconds(double seconds) {
    const long double quotient = CheckedDivide(1000.0L, static_cast<long double>(seconds));
    return 4 * static_cast<int>(TruncToInt32(quotient));
}

std::string OsName(const OsVersionInfo& info) {
    const double v =
        static_cast<double>(static_cast<long double>(info.major) +
                            static_cast<long double>(info.minor) * static_cast<long double>(0.01));
    switch (info.platformId) {
        case 2:
            if (v <= 4.0) return "Windows NT";
            if (v < 5.01) return "Windows 2000";
            if (v < 6.0) return "Windows XP";
            return "Windows Vista";
        case 1:
            if (v <= 4.0) return "Windows 95";
            if (v < 4.9) return "Windows 98";
            return "Windows Me";
        case 0:
            return "Windows3.1上のWin32s";
        default:
            return "OS不明";
    }
}

long long MemoryMegabytes(uint64_t bytes) {
    // The factor is an extended constant: with the double 0.000001 (just below 1e-6) every exact
    // multiple of 1 000 000 bytes would show one unit less.
    return TruncToInt64(static_cast<long double>(bytes) * 0.000001L);
}
