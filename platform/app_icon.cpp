#include "platform/app_icon.h"

#include <QPainter>

void PaintApplicationIcon(QPainter& painter) {
    // A telescope's view: a dark sky with one bright star and its halo, in a few flat colours.
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.fillRect(QRect(0, 0, 32, 32), QColor(0, 0, 128));
    painter.setBrush(QColor(0, 128, 128));
    painter.drawEllipse(QPoint(16, 16), 9, 9);
    painter.setBrush(QColor(255, 255, 0));
    painter.drawEllipse(QPoint(16, 16), 5, 5);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPoint(16, 16), 2, 2);
    // Faint stars as one-unit squares, so they grow with the picture.
    for (const QPoint star : {QPoint(5, 6), QPoint(26, 9), QPoint(8, 25), QPoint(24, 27)})
        painter.fillRect(QRect(star, QSize(1, 1)), QColor(192, 192, 192));
    painter.restore();
}

QImage ApplicationIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, size != 32);
    painter.scale(size / 32.0, size / 32.0);
    PaintApplicationIcon(painter);
    return image;
}

QPixmap ApplicationIconPixmap() {
    return QPixmap::fromImage(ApplicationIconImage(32));
}

QIcon ApplicationIcon() {
    return QIcon(ApplicationIconPixmap());
}
