// The fixed windows of the benchmark subsystem: the result window, the title window, the About box.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QWidget>
#include <array>

#include "benchmark/stages.h"

class QLabel;
class QPushButton;

// Result window "Result": one panel of labels (caption, value, unit per row) and "閉じる".
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

    // Caption and unit labels, row by row.
    QLabel *Label1 = nullptr, *Label21 = nullptr, *Label22 = nullptr, *Label24 = nullptr, *Label28 = nullptr,
           *Label26 = nullptr, *Label6 = nullptr, *Label12 = nullptr, *Label29 = nullptr, *Label31 = nullptr,
           *Label3 = nullptr, *Label13 = nullptr, *Label4 = nullptr, *Label14 = nullptr, *Label5 = nullptr,
           *Label15 = nullptr, *Label18 = nullptr, *Label20 = nullptr, *Label2 = nullptr, *Label16 = nullptr;
    QWidget* Panel1 = nullptr;

    // The labels of the stage rows, indexed by Stage.
    struct StageLabels {
        QLabel *caption = nullptr, *value = nullptr, *unit = nullptr;
    };
    std::array<StageLabels, kStageCount> stageLabels;
    QLabel* stageValue(Stage stage) const { return stageLabels[static_cast<int>(stage)].value; }

    // The rows as the window shows them, top to bottom: caption, value (the memory row joins its
    // two figures with "/"), unit; empty where a row has none.
    struct Row {
        QString caption, value, unit;
    };
    QList<Row> rows() const;

    // Sizes every label to its current text and places the columns so that no text runs into
    // another at the platform's fonts (captions right-aligned before the figures, units after the
    // widest figure, the memory row's parts one after the other); the window grows to hold them.
    // Runs whenever the window is shown.
    void fitLabels();

  protected:
    void showEvent(QShowEvent* event) override;
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
