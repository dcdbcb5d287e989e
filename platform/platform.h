// Every platform service the program uses, behind one injectable interface: message boxes, modal
// and modeless windows, file dialogs, the tick counter, the clock, the system queries and the busy
// cursor. QtPlatform serves the real program; ScriptedPlatform serves tests and the command line.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "core/system_info.h"

class QWidget;

struct FileDialogRequest {
    QString title;
    QString filter;       // "description|patterns|description|patterns...", patterns separated by ';'
    int filterIndex = 1;  // 1-based
};

struct FileDialogResult {
    QString path;
    int filterIndex = 1;  // the entry selected when the dialog closed
};

class Platform {
  public:
    virtual ~Platform() = default;

    // A message box with an OK button.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& caption) = 0;
    // The application's standard error display: the message of a failed command.
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // A confirmation with "はい(&Y)" and "いいえ(&N)"; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& caption) = 0;

    // Shows the window modally and returns once it is hidden again (however it was closed).
    virtual void showModal(QWidget* window) = 0;
    // Shows the window (or brings it to the front) and returns at once.
    virtual void showModeless(QWidget* window) = 0;

    virtual std::optional<FileDialogResult> getOpenFile(QWidget* parent,
                                                        const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogResult> getSaveFile(QWidget* parent,
                                                        const FileDialogRequest& request) = 0;

    // Milliseconds since some fixed point, as an unsigned 32-bit count; take differences in 32 bits.
    virtual uint32_t tickCount() = 0;
    virtual LocalDateTime localDateTime() = 0;
    virtual OsVersionInfo osVersion() = 0;
    virtual MemoryStatus memoryStatus() = 0;

    // Busy cursor on (nesting counted) or off.
    virtual void setBusy(bool busy) = 0;
};

// Declares, in a platform class, its own version of every service above.
#define HV_PLATFORM_OVERRIDES                                                                                \
    void showMessage(QWidget* parent, const QString& text, const QString& caption) override;                 \
    void showError(QWidget* parent, const QString& text) override;                                           \
    bool askYesNo(QWidget* parent, const QString& text, const QString& caption) override;                    \
    void showModal(QWidget* window) override;                                                                \
    void showModeless(QWidget* window) override;                                                             \
    std::optional<FileDialogResult> getOpenFile(QWidget* parent, const FileDialogRequest& request) override; \
    std::optional<FileDialogResult> getSaveFile(QWidget* parent, const FileDialogRequest& request) override; \
    uint32_t tickCount() override;                                                                           \
    LocalDateTime localDateTime() override;                                                                  \
    OsVersionInfo osVersion() override;                                                                      \
    MemoryStatus memoryStatus() override;                                                                    \
    void setBusy(bool busy) override;

// Busy cursor for the lifetime of the object, restored on every path.
class BusyScope {
  public:
    explicit BusyScope(Platform& platform) : m_platform(platform) { m_platform.setBusy(true); }
    ~BusyScope() { m_platform.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    Platform& m_platform;
};
