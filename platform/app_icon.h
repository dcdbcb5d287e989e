// The program's icon (window icon, About box, desktop launcher), drawn once in code on a 32 x 32 grid.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

class QPainter;

// Draws the icon into the painter's 0..32 square; the caller scales for other sizes.
void PaintApplicationIcon(QPainter& painter);
// The icon as a size x size picture: crisp at 32, smoothed when scaled up for the desktop.
QImage ApplicationIconImage(int size);
QPixmap ApplicationIconPixmap();
QIcon ApplicationIcon();
