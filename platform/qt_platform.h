// The platform of the real program: Qt widgets and dialogs, a monotonic clock, /proc and uname.
#pragma once

#include "platform/platform.h"

class QtPlatform : public Platform {
  public:
    void showMessage(QWidget* parent, const QString& text, const QString& caption) override;
    void showError(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& caption) override;
    void showModal(QWidget* window) override;
    void showModeless(QWidget* window) override;
    std::optional<FileDialogResult> getOpenFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<FileDialogResult> getSaveFile(QWidget* parent, const FileDialogRequest& request) override;
    uint32_t tickCount() override;
    LocalDateTime localDateTime() override;
    OsVersionInfo osVersion() override;
    MemoryStatus memoryStatus() override;
    void setBusy(bool busy) override;

  private:
    class CursorPause;
    int m_busyDepth = 0;
};

// The system services alone (used by the scripted platform too).
uint32_t SystemTickCount();
LocalDateTime SystemLocalDateTime();
OsVersionInfo SystemOsVersion();
MemoryStatus SystemMemoryStatus();
