// The fixed windows of the benchmark subsystem: the result window, the title window, the About box.
#pragma once

#include <QDialog>
#include <QWidget>

class QLabel;
class QPushButton;

// Result window "Result".
class Tpanel : public QDialog {
    Q_OBJECT
public:
    explicit Tpanel(QWidget* parent = nullptr);
    // Value labels, in the window's rows.
    QLabel* Label17 = nullptr;  // date and time
    QLabel* Label23 = nullptr;  // OS
    QLabel* Label25 = nullptr;  // available memory
    QLabel* Label27 = nullptr;  // installed memory
    QLabel* Label7 = nullptr;   // file access
    QLabel* Label30 = nullptr;  // display
    QLabel* Label8 = nullptr;   // memory
    QLabel* Label9 = nullptr;   // composite
    QLabel* Label10 = nullptr;  // convolution
    QLabel* Label19 = nullptr;  // total
    QLabel* Label11 = nullptr;  // score
    QPushButton* Button1 = nullptr;
    void Button1Click();
};

// Title window "Title": an empty picture area that hides the window when clicked.
class TTitle : public QWidget {
    Q_OBJECT
public:
    explicit TTitle(QWidget* parent = nullptr);
    QWidget* Image1 = nullptr;
    void Image1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// About window "About Ostrel" (created, never shown by a command).
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};
