// The program's 32 x 32 icon (window icon and About box), drawn once in code.
#pragma once

#include <QIcon>
#include <QPixmap>

QPixmap ApplicationIconPixmap();
QIcon ApplicationIcon();
