// A headless session: an offscreen application with the program's windows, created exactly as at
// start-up, over a scripted platform. Subcommands drive the main window's handlers through it.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "platform/scripted_platform.h"

class QApplication;
class TMainForm;
struct HalvaneWindows;

class CliSession {
  public:
    CliSession();
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    ScriptedPlatform& platform() { return m_platform; }
    HalvaneWindows& windows() { return *m_windows; }
    TMainForm& mainForm();

    // Runs a handler through the main window's dispatcher; returns the message of the error box it
    // showed, if any. Windows closed before or by the handler are deleted, as the program's event
    // loop deletes them.
    std::optional<QString> run(void (TMainForm::*handler)());

  private:
    std::unique_ptr<QApplication> m_app;
    ScriptedPlatform m_platform;
    std::unique_ptr<HalvaneWindows> m_windows;
};
