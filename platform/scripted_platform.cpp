#include "platform/scripted_platform.h"

#include <QWidget>

#include "platform/qt_platform.h"

std::vector<QString> ScriptedPlatform::errors() const {
    std::vector<QString> out;
    for (const Message& m : messages)
        if (m.error) out.push_back(m.text);
    return out;
}

void ScriptedPlatform::showMessage(QWidget*, const QString& text, const QString& caption) {
    messages.push_back({text, caption, false});
}

void ScriptedPlatform::showError(QWidget*, const QString& text) {
    messages.push_back({text, QStringLiteral("HALVANE-2"), true});
}

bool ScriptedPlatform::askYesNo(QWidget*, const QString& text, const QString&) {
    questions.push_back(text);
    if (yesNoAnswers.empty()) return defaultYes;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

void ScriptedPlatform::showModal(QWidget* window) {
    const QString name = window->objectName();
    modalShown.push_back(name);
    window->show();
    const auto it = modalHandlers.find(name);
    if (it != modalHandlers.end() && it->second) it->second(window);
    window->hide();
}

void ScriptedPlatform::showModeless(QWidget* window) {
    modelessShown.push_back(window->objectName());
    window->show();
    window->raise();
}

namespace {
std::optional<FileDialogResult> nextAnswer(std::deque<std::optional<FileDialogResult>>& answers) {
    std::optional<FileDialogResult> answer;
    if (!answers.empty()) {
        answer.swap(answers.front());
        answers.pop_front();
    }
    return answer;
}
}  // namespace

std::optional<FileDialogResult> ScriptedPlatform::getOpenFile(QWidget*, const FileDialogRequest& request) {
    openRequests.push_back(request);
    return nextAnswer(openAnswers);
}

std::optional<FileDialogResult> ScriptedPlatform::getSaveFile(QWidget*, const FileDialogRequest& request) {
    saveRequests.push_back(request);
    return nextAnswer(saveAnswers);
}

uint32_t ScriptedPlatform::tickCount() {
    return tick ? tick() : SystemTickCount();
}
LocalDateTime ScriptedPlatform::localDateTime() {
    return fixedDateTime ? *fixedDateTime : SystemLocalDateTime();
}
OsVersionInfo ScriptedPlatform::osVersion() {
    return fixedOsVersion ? *fixedOsVersion : SystemOsVersion();
}
MemoryStatus ScriptedPlatform::memoryStatus() {
    return fixedMemoryStatus ? *fixedMemoryStatus : SystemMemoryStatus();
}

void ScriptedPlatform::setBusy(bool busy) {
    if (busy) {
        ++busyDepth;
        ++busyCalls;
    } else {
        --busyDepth;
    }
}
