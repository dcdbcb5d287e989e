// HALVANE-2: the program. It takes no arguments.
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <exception>

#include "platform/qt_platform.h"
#include "shell/mainform.h"
#include "shell/startup.h"

namespace {
void centre(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window.move(area.center().x() - TMainForm::kOuterWidth / 2,
                area.center().y() - TMainForm::kOuterHeight / 2);
}
}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails like any other, and the save reports it.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");  // Qt set the user's locale; number texts stay locale-free
    QApplication::setApplicationName(QStringLiteral("HALVANE-2"));
    if (argc > 1)
        std::fprintf(stderr, "halvane2: takes no arguments; '%s' and the rest are ignored\n", argv[1]);
    PreferJapaneseFont();

    QtPlatform platform;
    try {
        std::unique_ptr<HalvaneWindows> windows = CreateWindows(platform);
        centre(*windows->mainForm);
        windows->mainForm->show();
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("HALVANE-2"), QString::fromUtf8(e.what()));
    }
    return 0;
}
