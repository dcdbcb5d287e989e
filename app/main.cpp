// HALVANE-2: the program. Without arguments it shows the benchmark's window layout; --workbench and
// file names show the image workbench too.
#include <QApplication>
#include <QMessageBox>
#include <clocale>
#include <csignal>
#include <exception>

#include "platform/qt_platform.h"
#include "shell/mainform.h"
#include "shell/program.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails like any other, and the save reports it.
    std::signal(SIGXFSZ, SIG_IGN);
    ProgramOptions options;
    if (const std::optional<int> status = ParseProgramArguments(argc, argv, options)) return *status;

    QApplication app(argc, argv);
    // Lets Wayland docks match the window to its installed launcher.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.halvane.halvane2"));
    std::setlocale(LC_NUMERIC, "C");  // Qt set the user's locale; number texts stay locale-free
    PreferJapaneseFont();

    QtPlatform platform;
    try {
        std::unique_ptr<HalvaneWindows> windows = CreateWindows(platform);
        StartProgram(*windows->mainForm, options);
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("HALVANE-2"), QString::fromUtf8(e.what()));
    }
    return 0;
}
