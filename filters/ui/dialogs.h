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
// Base of the filter dialogs: a fixed-size modal window with an OK button.
class FilterDialog : public QDialog {
    Q_OBJECT
  public:
    FilterDialog(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QPushButton* Button1 = nullptr;
    // OK: validate, store, close (or answer and stay open). Never throws.
    void Button1Click();
    // Where OK stores the fields' values.
    FilterSettings& settings() const { return m_settings; }

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

// The dialogs of one field: a panel the size of the dialog, the field's caption, the field and OK.
enum class OneField { Edge, Blur, Gamma, Sabattier };

class OneFieldDialog : public FilterDialog {
    Q_OBJECT
  public:
    OneFieldDialog(OneField form, FilterSettings& settings, Platform& platform, QWidget* parent);
    QLineEdit* Edit1 = nullptr;

  protected:
    void storeFields() override;

  private:
    OneField m_form;
};

// One dialog of one field, its layout and its OK fixed by the form.
template <OneField F>
class OneFieldForm : public OneFieldDialog {
  public:
    explicit OneFieldForm(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr)
        : OneFieldDialog(F, settings, platform, parent) {}
};
using TEDG = OneFieldForm<OneField::Edge>;   // エッジ強調: strength 1.0 to 5.0 into EdgeStrength
using TBLUR = OneFieldForm<OneField::Blur>;  // ぼかし: amount above 0 up to 10 into BlurAmount
using TGMM = OneFieldForm<OneField::Gamma>;  // ガンマ: a positive exponent into GammaValue
using TSabachie = OneFieldForm<OneField::Sabattier>;  // サバチエ効果: the step width; OK only closes

// ガイドミスキャンセラ: direction, flow, blur amount and threshold, stored field by field.
class TGMCPanel : public FilterDialog {
    Q_OBJECT
  public:
    TGMCPanel(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
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
    QLineEdit* Edit1 = nullptr;  // X
    QLineEdit* Edit2 = nullptr;  // Y
    QLineEdit* Edit3 = nullptr;  // coma amount

  protected:
    void storeFields() override;
};
