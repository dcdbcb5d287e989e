// How both executables answer a command line they cannot use: the message and the usage on
// standard error, exit status 2.
#pragma once

#include <QString>
#include <cstdio>

inline constexpr int kUsageErrorStatus = 2;

// "<program>: <message>" and "Usage: <usage>" on standard error; returns kUsageErrorStatus.
inline int ReportUsageError(const QString& program, const QString& message, const QString& usage) {
    std::fflush(stdout);  // buffered trace lines go first, so the message starts a line of its own
    std::fprintf(stderr, "%s: %s\nUsage: %s\n", program.toLocal8Bit().constData(),
                 message.toLocal8Bit().constData(), usage.toLocal8Bit().constData());
    return kUsageErrorStatus;
}
