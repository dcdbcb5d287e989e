// The platform of the real program: Qt widgets and dialogs, a monotonic clock, /proc and uname.
#pragma once

#include "platform/platform.h"

class QtPlatform : public Platform {
  public:
    HV_PLATFORM_OVERRIDES

  private:
    class CursorPause;
    int m_busyDepth = 0;
};

// The system services alone (used by the scripted platform too).
uint32_t SystemTickCount();
LocalDateTime SystemLocalDateTime();
OsVersionInfo SystemOsVersion();
MemoryStatus SystemMemoryStatus();
