// The parsers of the system's own files and the date and time text (no Qt).
#include <gtest/gtest.h>

#include "core/system_info.h"

namespace {
TEST(LocalTime, MidnightShowsTheDateAlone) {
    struct Case {
        LocalDateTime t;
        std::string text;
    };
    const Case cases[] = {{{"2026/12/08", "1:02:03", false}, "2026/12/08 1:02:03"},
                          {{"2026/12/08", "0:00:00", true}, "2026/12/08"}};
    for (const Case& c : cases) EXPECT_EQ(FormatLocalDateTime(c.t), c.text);
}

TEST(SystemInfo, ParsesOsRelease) {
    struct Case {
        const char* text;
        const char* name;
    };
    const Case cases[] = {
        {"NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n",
         "Debian GNU/Linux 12 (bookworm)"},
        {"PRETTY_NAME='Alpine Linux v3.19'\n", "Alpine Linux v3.19"},
        {"PRETTY_NAME=Plain\r\n", "Plain"},
        {"NAME=x\n", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseOsReleasePrettyName(c.text), c.name);
}

TEST(SystemInfo, ParsesMeminfoInBytes) {
    const MemoryStatus m =
        ParseMeminfo("MemTotal:       16315592 kB\nMemFree:  1 kB\nMemAvailable:   12000000 kB\n");
    EXPECT_EQ(m.totalPhysicalBytes, 16315592ULL * 1024);
    EXPECT_EQ(m.availablePhysicalBytes, 12000000ULL * 1024);
    EXPECT_EQ(ParseMeminfo("garbage\n").totalPhysicalBytes, 0u);
}

TEST(SystemInfo, ParsesKernelRelease) {
    struct Case {
        const char* release;
        unsigned major, minor;
    };
    for (const Case& c :
         {Case{"6.1.0-18-amd64", 6, 1}, Case{"5.15", 5, 15}, Case{"4", 4, 0}, Case{"x", 0, 0}}) {
        unsigned major = 99, minor = 99;
        ParseKernelRelease(c.release, major, minor);
        EXPECT_EQ(major, c.major) << c.release;
        EXPECT_EQ(minor, c.minor) << c.release;
    }
}

}  // namespace
