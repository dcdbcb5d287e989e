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
