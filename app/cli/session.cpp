#include "app/cli/session.h"

#include <QApplication>
#include <QByteArray>
#include <clocale>
#include <stdexcept>

#include "shell/mainform.h"
#include "shell/startup.h"

namespace {
int g_argc = 1;
char g_arg0[] = "halvane2-cli";
char* g_argv[] = {g_arg0, nullptr};
}  // namespace

CliSession::CliSession() {
    if (!QApplication::instance()) {
        // No display: the offscreen platform, at one device pixel per logical pixel.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING"))
            qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        m_app = std::make_unique<QApplication>(g_argc, g_argv);
    }
    std::setlocale(LC_NUMERIC, "C");
    m_windows = CreateWindows(m_platform);
    // Shown offscreen, so that child windows activate as in the program.
    m_windows->mainForm->show();
}

CliSession::~CliSession() {
    m_windows.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TMainForm& CliSession::mainForm() {
    return *m_windows->mainForm;
}

std::optional<QString> CliSession::run(void (TMainForm::*handler)()) {
    TMainForm& form = mainForm();
    return run([&form, handler] { (form.*handler)(); }, true);
}

std::optional<QString> CliSession::run(const std::function<void()>& handler, bool command) {
    // There is no event loop here to carry out the deletion of closed windows: do it between
    // commands, as the program's loop does, so a closed window's pictures are freed before the
    // next command runs.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const size_t before = m_platform.messages.size();
    mainForm().runHandler(handler, command);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (size_t i = before; i < m_platform.messages.size(); ++i)
        if (m_platform.messages[i].error) return m_platform.messages[i].text;
    return std::nullopt;
}

void CliSession::mustRun(void (TMainForm::*handler)()) {
    if (const std::optional<QString> error = run(handler)) throw std::runtime_error(error->toStdString());
}

void CliSession::mustRun(const std::function<void()>& handler, bool command) {
    if (const std::optional<QString> error = run(handler, command))
        throw std::runtime_error(error->toStdString());
}
