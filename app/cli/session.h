// A headless session: an offscreen application with the program's windows, created exactly as at
// start-up, over a scripted platform. Subcommands drive the main window's handlers through it.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "platform/scripted_platform.h"

class QApplication;
class TMainForm;
class HalvaneWindows;

class CliSession {
  public:
    CliSession();
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    ScriptedPlatform& platform() { return m_platform; }
    HalvaneWindows& windows() { return *m_windows; }
    TMainForm& mainForm();

    // Runs a handler through the main window's dispatcher, as a menu entry (command) or as the
    // Image control does; returns the message of the first error box it showed, if any. Windows
    // closed before or by the handler are deleted, as the program's event loop deletes them.
    std::optional<QString> run(void (TMainForm::*handler)());
    std::optional<QString> run(const std::function<void()>& handler, bool command);
    // The same, throwing the error box's message as a std::runtime_error.
    void mustRun(void (TMainForm::*handler)());
    void mustRun(const std::function<void()>& handler, bool command);

  private:
    std::unique_ptr<QApplication> m_app;
    ScriptedPlatform m_platform;
    std::unique_ptr<HalvaneWindows> m_windows;
};
