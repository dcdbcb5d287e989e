#include "platform/app_icon.h"

#include <QPainter>

QPixmap ApplicationIconPixmap() {
    // A telescope's view: a dark sky with one bright star and its halo, in a few flat colours.
    QPixmap pixmap(32, 32);
    pixmap.fill(QColor(0, 0, 128));
    QPainter painter(&pixmap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 128, 128));
    painter.drawEllipse(QPoint(16, 16), 9, 9);
    painter.setBrush(QColor(255, 255, 0));
    painter.drawEllipse(QPoint(16, 16), 5, 5);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPoint(16, 16), 2, 2);
    painter.setPen(QColor(192, 192, 192));
    painter.drawPoint(5, 6);
    painter.drawPoint(26, 9);
    painter.drawPoint(8, 25);
    painter.drawPoint(24, 27);
    return pixmap;
}

QIcon ApplicationIcon() {
    return QIcon(ApplicationIconPixmap());
}
