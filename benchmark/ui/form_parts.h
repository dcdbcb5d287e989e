// What the benchmark's fixed windows are built from: their name, caption and font, labels at their
// designed places, and the centre of the desktop.
#pragma once

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QString>
#include <QWidget>

// Names the form, sets its caption and its font; returns the font, for labels that vary it.
inline QFont SetUpForm(QWidget* form, const QString& name, const QString& caption, const QString& family,
                       int pixelSize) {
    form->setObjectName(name);
    form->setWindowTitle(caption);
    QFont font(family);
    font.setPixelSize(pixelSize);
    form->setFont(font);
    return font;
}

// A label sized to its text, its top left corner at (left, top).
inline QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

inline void CentreOnScreen(QWidget* form) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form->move(screen->availableGeometry().center() - QPoint(form->width() / 2, form->height() / 2));
}
