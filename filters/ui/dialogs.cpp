#include "filters/ui/dialogs.h"

#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "core/numtext.h"
#include "filters/filters.h"
#include "platform/error_path.h"
#include "platform/platform.h"

namespace {
std::string fieldText(const QLineEdit* edit) {
    return edit->text().toStdString();
}

// The small dialogs use the program's Japanese UI font at 12 pixels.
void useDialogFont(QWidget* w) {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    w->setFont(font);
}

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

// A form's fixed layout and what its OK stores: the one field's value in setting (before the
// check, so a refused value stays stored), answering refusal unless inRange holds; or the fields
// through store. With neither, OK only closes.
struct FormLayout {
    const char* name;
    const char* title;
    bool dialogFont;  // the program's Japanese UI font at 12 pixels
    int width, height;
    std::vector<DialogPart> parts;
    double FilterSettings::*setting = nullptr;
    bool (*inRange)(double) = nullptr;
    const char* refusal = nullptr;
    void (*store)(FilterDialog&) = nullptr;
};

// The parts of a dialog of one field: a panel the size of the dialog, the field's caption, the
// field and OK.
std::vector<DialogPart> oneField(const char* panel, const char* caption, int captionX, int captionY,
                                 const char* text, int editX, int editY, int editWidth, int okX, int okY) {
    return {{DialogPart::Panel, -1, panel, nullptr, 0, 0},
            {DialogPart::Label, 0, "Label1", caption, captionX, captionY},
            {DialogPart::Edit, 0, "Edit1", text, editX, editY, editWidth},
            {DialogPart::Ok, 0, "Button1", nullptr, okX, okY}};
}

// Field by field: a text that does not parse leaves the earlier settings stored and the later
// ones (and the confirmation) untouched.
void storeGuideMiss(FilterDialog& d) {
    FilterSettings& s = d.settings();
    s.GmcDirection = ParseInt(fieldText(d.Edit1));
    s.GmcFlow = ParseInt(fieldText(d.Edit2));
    s.BlurAmount = ParseReal(fieldText(d.Edit3));
    if (s.BlurAmount < 0.2) {
        s.BlurAmount = 0.2;
        d.Edit3->setText(QStringLiteral("0.2"));
    }
    s.GmcThreshold = ParseInt(fieldText(d.Edit4));
    s.GmcConfirmed = 1;
}

const FormLayout& layoutOf(FilterForm form) {
    // In the order of FilterForm.
    // clang-format off
    static const FormLayout kForms[] = {
        {"TEDG", "EDG", false, 153, 113, oneField("Panel1", "強さ(1-5)", 16, 16, "1.0", 16, 40, 73, 40, 76),
         &FilterSettings::EdgeStrength, [](double v) { return v >= 1.0 && v <= 5.0; }, msg::kEdgeRange},
        {"TBLUR", "BLUR", false, 153, 113, oneField("Panel1", "ボケ量", 16, 16, "1.0", 16, 40, 73, 40, 76),
         &FilterSettings::BlurAmount, [](double v) { return v > 0.0 && v <= 10.0; }, msg::kPositiveNumber},
        {"TGMM", "GMM", true, 137, 113, oneField("Panel1", "γ=", 16, 28, "1.0", 40, 24, 73, 32, 72),
         &FilterSettings::GammaValue, [](double v) { return v > 0.0; }, msg::kGammaPositive},
        {"TSabachie", "Sabachie", true, 169, 153,
         oneField("Sabachie", "ステップ幅", 24, 24, "255", 24, 48, 113, 48, 104)},
        {"TGMCPanel", "GMCPanel", false, 233, 257,
         {{DialogPart::Group, -1, "GroupBox1", "GMC", 8, 8, 217, 89},
          {DialogPart::Label, 0, "Label1", "流れ量", 16, 28},
          {DialogPart::Edit, 0, "Edit2", "1", 72, 24},
          {DialogPart::Label, 0, "Label3", "ピクセル", 152, 28},
          {DialogPart::Label, 0, "Label2", "向き", 16, 60},
          {DialogPart::Edit, 0, "Edit1", "0", 72, 56},
          {DialogPart::Label, 0, "Label4", "度", 152, 60},
          {DialogPart::Group, -1, "GroupBox2", "Blur", 8, 104, 217, 105},
          {DialogPart::Label, 7, "Label8", "ぼけ量", 16, 28},
          {DialogPart::Edit, 7, "Edit3", "0.2", 72, 24},
          {DialogPart::Label, 7, "Label5", "ピクセル", 152, 28},
          {DialogPart::Label, 7, "Label6", "閾値", 16, 60},
          {DialogPart::Edit, 7, "Edit4", "0", 72, 56},
          {DialogPart::Ok, -1, "Button1", nullptr, 79, 220}},
         nullptr, nullptr, nullptr, storeGuideMiss},
        {"TComaCorrect", "ComaCorrect", false, 185, 177,
         {{DialogPart::Panel, -1, "Panel1", nullptr, 0, 0},
          {DialogPart::Label, 0, "Label1", "光軸座標", 16, 12},
          {DialogPart::Label, 0, "Label2", "X = ", 24, 36},
          {DialogPart::Edit, 0, "Edit1", nullptr, 64, 32, 97},
          {DialogPart::Label, 0, "Label3", "Y = ", 24, 64},
          {DialogPart::Edit, 0, "Edit2", nullptr, 64, 60, 97},
          {DialogPart::Label, 0, "Label4", "コマ量", 16, 96},
          {DialogPart::Edit, 0, "Edit3", nullptr, 64, 92, 97},
          {DialogPart::Ok, 0, "Button1", nullptr, 55, 136}}},
    };
    // clang-format on
    return kForms[static_cast<int>(form)];
}
}  // namespace

const char* const FilterDialog::kMessageCaption = "HALVANE-2";

FilterDialog::FilterDialog(FilterForm form, FilterSettings& settings, Platform& platform, QWidget* parent)
    : QDialog(parent), m_form(form), m_settings(settings), m_platform(platform) {
    setModal(true);
    const FormLayout& layout = layoutOf(form);
    setObjectName(QString::fromLatin1(layout.name));
    setWindowTitle(QString::fromLatin1(layout.title));
    if (layout.dialogFont) useDialogFont(this);
    setFixedSize(layout.width, layout.height);
    std::vector<QWidget*> made;
    for (const DialogPart& p : layout.parts) {
        QWidget* container = p.parent < 0 ? this : made.at(static_cast<size_t>(p.parent));
        const QString text = p.text ? QString::fromUtf8(p.text) : QString();
        QWidget* w = nullptr;
        switch (p.kind) {
            case DialogPart::Panel: {
                auto* panel = new QFrame(container);
                panel->setFrameShape(QFrame::Panel);
                panel->setFrameShadow(QFrame::Raised);
                panel->setGeometry(0, 0, layout.width, layout.height);
                w = panel;
                break;
            }
            case DialogPart::Group:
                w = new QGroupBox(text, container);
                w->setGeometry(p.x, p.y, p.w, p.h);
                break;
            case DialogPart::Label:
                w = new QLabel(text, container);
                w->move(p.x, p.y);
                w->adjustSize();
                break;
            case DialogPart::Edit:
                w = new QLineEdit(text, container);
                w->setGeometry(p.x, p.y, p.w ? p.w : 73, 21);
                break;
            case DialogPart::Ok:
                Button1 = new QPushButton(QStringLiteral("OK"), container);
                Button1->setGeometry(p.x, p.y, 75, 25);
                Button1->setAutoDefault(false);
                connect(Button1, &QPushButton::clicked, this, &FilterDialog::Button1Click);
                w = Button1;
                break;
        }
        w->setObjectName(QString::fromLatin1(p.name));
        made.push_back(w);
    }
    QLineEdit** fields[] = {&Edit1, &Edit2, &Edit3, &Edit4};
    for (size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(i + 1));
}

void FilterDialog::Button1Click() {
    RunGuarded(m_platform, this, [this] { storeFields(); });
}

void FilterDialog::storeFields() {
    const FormLayout& l = layoutOf(m_form);
    if (l.setting) {
        double& value = m_settings.*l.setting;
        value = ParseReal(fieldText(Edit1));
        if (!l.inRange(value)) {
            m_platform.showMessage(this, QString::fromUtf8(l.refusal), QString::fromUtf8(kMessageCaption));
            return;
        }
    }
    if (l.store) l.store(*this);
    accept();
}
