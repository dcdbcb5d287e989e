// Writes the program's icon for the desktop: icon_export OUT.svg, or icon_export OUT.png SIZE.
#include <QGuiApplication>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>
#include <cstdio>

#include "platform/app_icon.h"

int main(int argc, char** argv) {
    // A build step: no display needed, but the SVG writer takes its default font from the application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    bool ok = args.size() == 2 || args.size() == 3;
    const QString out = ok ? args[1] : QString();
    const int size = args.size() == 3 ? args[2].toInt(&ok) : 0;
    if (!ok || (size > 0) == out.endsWith(QStringLiteral(".svg"))) {
        std::fprintf(stderr, "usage: icon_export OUT.svg | icon_export OUT.png SIZE\n");
        return 2;
    }
    if (size > 0) return ApplicationIconImage(size).save(out) ? 0 : 1;

    QSvgGenerator svg;
    svg.setFileName(out);
    svg.setSize(QSize(32, 32));
    svg.setViewBox(QRect(0, 0, 32, 32));
    svg.setTitle(QStringLiteral("HALVANE-2"));
    QPainter painter(&svg);
    PaintApplicationIcon(painter);
    return painter.end() ? 0 : 1;
}
