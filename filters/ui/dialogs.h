// The filter dialogs. Each is created once at start-up, hidden, and keeps its field texts between
// uses; commands show them modally through the platform. OK (Button1Click) validates the fields,
// stores the settings and closes the dialog; refused input is answered in a message box and the
// dialog stays open. A text that does not parse, or overflows, shows the standard error box through
// the program's one error path and stores nothing further; the dialog stays open.
#pragma once

#include <QDialog>
#include <initializer_list>

#include "filters/settings.h"

class Platform;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// One control of a dialog's fixed layout. parent is the index of an earlier panel or group box
// in the same table, or -1 for the dialog itself. A panel covers the whole dialog; a label is
// sized to its text; an edit is 21 high (73 wide when w is 0); OK is 75 x 25.
struct DialogPart {
    enum Kind { Panel, Group, Label, Edit, Ok } kind;
    int parent;
    const char* name;
    const char* text;  // UTF-8; nullptr for an empty field
    int x, y, w = 0, h = 0;
};
struct DialogLayout {
    const char* name;
    const char* title;
    bool dialogFont;  // the program's Japanese UI font at 12 pixels
    int width, height;
    std::initializer_list<DialogPart> parts;
};
// A dialog of one field: a panel the size of the dialog, the field's caption, the field and OK.
struct OneFieldLayout {
    const char* name;
    const char* title;
    bool dialogFont;
    int width, height;
    const char* panel;
    const char* caption;
    int captionX, captionY;
    const char* text;
    int editX, editY, editWidth;
    int okX, okY;
    // OK stores the field's value here (before the check, so a refused value stays stored) and
    // closes when inRange holds, else answers refusal; without a setting OK only closes.
    double FilterSettings::*setting;
    bool (*inRange)(double);
    const char* refusal;
};

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
    // Builds the layout, in table order, then looks a control up by its name.
    void build(const DialogLayout& layout);
    template <typename T>
    T* part(const char* name) const {
        return findChild<T*>(QString::fromLatin1(name));
    }
    // What OK does; a failure ends it and reaches the error box.
    virtual void storeFields() = 0;
    void refuse(const char* message);

    FilterSettings& m_settings;
    Platform& m_platform;
};

// A dialog of one field: its panel, the field's caption and the field.
class OneFieldDialog : public FilterDialog {
    Q_OBJECT
  public:
    OneFieldDialog(const OneFieldLayout& layout, FilterSettings& settings, Platform& platform,
                   QWidget* parent);
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;

  protected:
    void storeFields() override;

  private:
    const OneFieldLayout& m_layout;
};

// エッジ強調: strength 1.0 to 5.0 into EdgeStrength.
class TEDG : public OneFieldDialog {
    Q_OBJECT
  public:
    TEDG(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
};

// ぼかし: amount above 0 up to 10 into BlurAmount.
class TBLUR : public OneFieldDialog {
    Q_OBJECT
  public:
    TBLUR(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
};

// ガンマ: a positive exponent into GammaValue.
class TGMM : public OneFieldDialog {
    Q_OBJECT
  public:
    TGMM(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
};

// サバチエ効果: the step width, read by the command from the field; OK only closes.
class TSabachie : public OneFieldDialog {
    Q_OBJECT
  public:
    TSabachie(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
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
