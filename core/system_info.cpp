#include "core/system_info.h"

#include <cstdlib>
#include <sstream>

std::string ParseOsReleasePrettyName(const std::string& osRelease) {
    std::istringstream in(osRelease);
    std::string line;
    std::string name;
    while (std::getline(in, line)) {
        const std::string key = "PRETTY_NAME=";
        if (line.compare(0, key.size(), key) != 0) continue;
        name = line.substr(key.size());
        while (!name.empty() && (name.back() == '\r' || name.back() == ' ')) name.pop_back();
        if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front())
            name = name.substr(1, name.size() - 2);
    }
    return name;  // the last assignment wins, as in a shell
}

MemoryStatus ParseMeminfo(const std::string& meminfo) {
    MemoryStatus status;
    std::istringstream in(meminfo);
    std::string key;
    std::string unit;
    unsigned long long value = 0;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        unit.clear();
        if (!(fields >> key >> value)) continue;
        fields >> unit;
        const unsigned long long factor = unit == "kB" ? 1024ULL : 1ULL;
        if (key == "MemTotal:") status.totalPhysicalBytes = value * factor;
        if (key == "MemAvailable:") status.availablePhysicalBytes = value * factor;
    }
    return status;
}

void ParseKernelRelease(const std::string& release, unsigned& major, unsigned& minor) {
    major = 0;
    minor = 0;
    const char* p = release.c_str();
    char* end = nullptr;
    const unsigned long m = std::strtoul(p, &end, 10);
    if (end == p) return;
    major = static_cast<unsigned>(m);
    if (*end != '.') return;
    p = end + 1;
    const unsigned long n = std::strtoul(p, &end, 10);
    if (end != p) minor = static_cast<unsigned>(n);
}
