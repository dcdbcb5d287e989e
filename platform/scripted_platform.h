// A platform with scripted answers, for tests and the headless command line. It records every box,
// dialog and window it was asked to show. System services are the real ones unless overridden.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "platform/platform.h"

class ScriptedPlatform : public Platform {
  public:
    struct Message {
        QString text;
        QString caption;
        bool error = false;  // shown by the standard error display
    };

    // --- answers ---
    std::deque<bool> yesNoAnswers;  // consumed in order; when empty, defaultYes answers
    bool defaultYes = false;
    std::deque<std::optional<FileDialogResult>> openAnswers;  // when empty: cancelled
    std::deque<std::optional<FileDialogResult>> saveAnswers;
    // Runs while a window is shown modally, keyed by the window's objectName ("TEDG", "Tpanel" ...);
    // when it returns the window counts as closed. Without a handler the window is closed at once,
    // as with its close box.
    std::map<QString, std::function<void(QWidget*)>> modalHandlers;

    // --- overrides of the system services ---
    std::function<uint32_t()> tick;  // default: the real tick counter
    std::optional<LocalDateTime> fixedDateTime;
    std::optional<OsVersionInfo> fixedOsVersion;
    std::optional<MemoryStatus> fixedMemoryStatus;

    // --- records ---
    std::vector<Message> messages;
    std::vector<QString> questions;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::vector<QString> modalShown;     // objectNames, in order
    std::vector<QString> modelessShown;  // objectNames, in order
    int busyDepth = 0;
    int busyCalls = 0;  // setBusy(true) calls

    // Errors shown by the standard error display, in order.
    std::vector<QString> errors() const;

    HV_PLATFORM_OVERRIDES
};
