// The filter dialogs. Each is created once at start-up, hidden, and keeps its field texts between
// uses; commands show them modally through the platform. OK (Button1Click) validates the fields,
// stores the settings and closes the dialog; refused input is answered in a message box and the
// dialog stays open. A text that does not parse, or overflows, shows the standard error box through
// the program's one error path and stores nothing further; the dialog stays open.
#pragma once

#include <QDialog>

#include "filters/settings.h"

class Platform;
class QLineEdit;
class QPushButton;

// The six filter dialogs; each one's layout and OK are fixed data of its form.
enum class FilterForm { Edge, Blur, Gamma, Sabattier, GuideMiss, ComaCorrect };

// A fixed-size modal window of fields with an OK button.
class FilterDialog : public QDialog {
    Q_OBJECT
  public:
    FilterDialog(FilterForm form, FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    // The fields by their layout names, as many as the form has; the others stay null.
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr;
    QPushButton* Button1 = nullptr;
    // OK: validate, store, close (or answer and stay open). Never throws.
    void Button1Click();
    // Where OK stores the fields' values.
    FilterSettings& settings() const { return m_settings; }

    // Caption of the dialogs' own message boxes.
    static const char* const kMessageCaption;

  private:
    // What OK does; a failure ends it and reaches the error box.
    void storeFields();

    FilterForm m_form;
    FilterSettings& m_settings;
    Platform& m_platform;
};

// The dialog of one form.
template <FilterForm F>
class FilterFormDialog : public FilterDialog {
  public:
    explicit FilterFormDialog(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr)
        : FilterDialog(F, settings, platform, parent) {}
};
// エッジ強調: strength 1.0 to 5.0 into EdgeStrength.
using TEDG = FilterFormDialog<FilterForm::Edge>;
// ぼかし: amount above 0 up to 10 into BlurAmount.
using TBLUR = FilterFormDialog<FilterForm::Blur>;
// ガンマ: a positive exponent into GammaValue.
using TGMM = FilterFormDialog<FilterForm::Gamma>;
// サバチエ効果: the step width, read by the command from the field; OK only closes.
using TSabachie = FilterFormDialog<FilterForm::Sabattier>;
// ガイドミスキャンセラ: direction (Edit1), flow (Edit2), blur amount (Edit3) and threshold (Edit4),
// stored field by field.
using TGMCPanel = FilterFormDialog<FilterForm::GuideMiss>;
// コマコレクト処理: optical-axis X (Edit1) and Y (Edit2) and the coma amount (Edit3); OK only closes.
using TComaCorrect = FilterFormDialog<FilterForm::ComaCorrect>;
