// Facts the platform reports about the machine (Qt-free, so the naming rules can be tested alone).
#pragma once

#include <cstdint>
#include <string>

struct OsVersionInfo {
    int platformId = -1;  // 0 Win32s, 1 the 9x family, 2 the NT family; anything else elsewhere
    unsigned major = 0;
    unsigned minor = 0;
    std::string systemName;     // the system's own name, e.g. "Debian GNU/Linux 12 (bookworm)"
    std::string kernelRelease;  // e.g. "6.1.0-18-amd64"
};

struct MemoryStatus {
    uint64_t totalPhysicalBytes = 0;
    uint64_t availablePhysicalBytes = 0;
};

// The local date and time, with the user's locale formats already applied to each part.
struct LocalDateTime {
    std::string shortDate;  // e.g. "2026/12/08"
    std::string longTime;   // e.g. "1:02:03"
    bool midnight = false;  // the time of day is exactly 00:00:00
};

// The platform id reported on systems other than the Win32 families (names it "OS不明").
inline constexpr int kPlatformIdOther = 3;

// The date and time text: short date, a blank, long time; at exactly midnight the date alone.
inline std::string FormatLocalDateTime(const LocalDateTime& t) {
    return t.midnight ? t.shortDate : t.shortDate + " " + t.longTime;
}

// Parsers of the system's own files, kept free of I/O so they can be tested alone.
// PRETTY_NAME of an os-release file (quotes removed); empty when absent.
std::string ParseOsReleasePrettyName(const std::string& osRelease);
// MemTotal and MemAvailable of a /proc/meminfo text, in bytes (0 where absent).
MemoryStatus ParseMeminfo(const std::string& meminfo);
// Major and minor number of a kernel release such as "6.1.0-18-amd64".
void ParseKernelRelease(const std::string& release, unsigned& major, unsigned& minor);
