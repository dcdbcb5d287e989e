// The filter dialogs. Each is created once at start-up, hidden, and keeps its field texts between
// uses; commands show them modally through the platform. OK (Button1Click) validates the fields,
// stores the settings and closes the dialog; refused input is answered in a message box and the
// dialog stays open. A text that does not parse, or overflows, shows the standard error box through
// the program's one error path and stores nothing further; the dialog stays open.
#pragma once

#include <QDialog>

#include "filters/settings.h"

class Platform;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Base of the filter dialogs: a fixed-size modal window with an OK button.
class FilterDialog : public QDialog {
    Q_OBJECT
  public:
    FilterDialog(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QPushButton* Button1 = nullptr;
    // OK: validate, store, close (or answer and stay open). Never throws.
    void Button1Click();

    // Caption of the dialogs' own message boxes.
    static const char* const kMessageCaption;

  protected:
    QFrame* makePanel(const char* name, int width, int height);
    QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y);
    QLineEdit* makeEdit(QWidget* parent, const char* name, const QString& text, int x, int y, int width = 73);
    QPushButton* makeOkButton(QWidget* parent, int x, int y);
    // What OK does; a failure ends it and reaches the error box.
    virtual void storeFields() = 0;
    void refuse(const char* message);

    FilterSettings& m_settings;
    Platform& m_platform;
};

// エッジ強調: strength 1.0 to 5.0 into EdgeStrength.
class TEDG : public FilterDialog {
    Q_OBJECT
  public:
    TEDG(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;

  protected:
    void storeFields() override;
};

// ぼかし: amount above 0 up to 10 into BlurAmount.
class TBLUR : public FilterDialog {
    Q_OBJECT
  public:
    TBLUR(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;

  protected:
    void storeFields() override;
};

// ガンマ: a positive exponent into GammaValue.
class TGMM : public FilterDialog {
    Q_OBJECT
  public:
    TGMM(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;

  protected:
    void storeFields() override;
};

// サバチエ効果: the step width, read by the command from the field; OK only closes.
class TSabachie : public FilterDialog {
    Q_OBJECT
  public:
    TSabachie(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QFrame* Sabachie = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;

  protected:
    void storeFields() override;
};

// ガイドミスキャンセラ: direction, flow, blur amount and threshold, stored field by field.
class TGMCPanel : public FilterDialog {
    Q_OBJECT
  public:
    TGMCPanel(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QLabel *Label5 = nullptr, *Label6 = nullptr, *Label8 = nullptr;
    QLineEdit* Edit1 = nullptr;  // direction
    QLineEdit* Edit2 = nullptr;  // flow
    QLineEdit* Edit3 = nullptr;  // blur amount
    QLineEdit* Edit4 = nullptr;  // threshold

  protected:
    void storeFields() override;
};

// コマコレクト処理: optical-axis position and coma amount; OK only closes.
class TComaCorrect : public FilterDialog {
    Q_OBJECT
  public:
    TComaCorrect(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QFrame* Panel1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QLineEdit* Edit1 = nullptr;  // X
    QLineEdit* Edit2 = nullptr;  // Y
    QLineEdit* Edit3 = nullptr;  // coma amount

  protected:
    void storeFields() override;
};
