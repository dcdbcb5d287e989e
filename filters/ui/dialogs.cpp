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

// A dialog of one field: its fixed layout, and what OK does. OK stores the field's value in the
// setting (before the check, so a refused value stays stored) and closes when inRange holds, else
// answers refusal; without a setting OK only closes.
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
    double FilterSettings::*setting;
    bool (*inRange)(double);
    const char* refusal;
};

// In the order of OneField.
// clang-format off
constexpr OneFieldLayout kOneFieldLayouts[] = {
    {"TEDG", "EDG", false, 153, 113, "Panel1", "強さ(1-5)", 16, 16, "1.0", 16, 40, 73, 40, 76,
     &FilterSettings::EdgeStrength, [](double v) { return v >= 1.0 && v <= 5.0; }, filtermsg::kEdgeRange},
    {"TBLUR", "BLUR", false, 153, 113, "Panel1", "ボケ量", 16, 16, "1.0", 16, 40, 73, 40, 76,
     &FilterSettings::BlurAmount, [](double v) { return v > 0.0 && v <= 10.0; }, filtermsg::kPositiveNumber},
    {"TGMM", "GMM", true, 137, 113, "Panel1", "γ=", 16, 28, "1.0", 40, 24, 73, 32, 72,
     &FilterSettings::GammaValue, [](double v) { return v > 0.0; }, filtermsg::kGammaPositive},
    {"TSabachie", "Sabachie", true, 169, 153, "Sabachie", "ステップ幅", 24, 24, "255", 24, 48, 113, 48, 104,
     nullptr, nullptr, nullptr},
};
// clang-format on

const OneFieldLayout& layoutOf(OneField form) {
    return kOneFieldLayouts[static_cast<int>(form)];
}
}  // namespace

const char* const FilterDialog::kMessageCaption = "HALVANE-2";

FilterDialog::FilterDialog(FilterSettings& settings, Platform& platform, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_platform(platform) {
    setModal(true);
}

void FilterDialog::build(const DialogLayout& layout) {
    setObjectName(QString::fromLatin1(layout.name));
    setWindowTitle(QString::fromLatin1(layout.title));
    if (layout.dialogFont) useDialogFont(this);
    setFixedSize(layout.width, layout.height);
    std::vector<QWidget*> made;
    for (const DialogPart& p : layout.parts) {
        QWidget* parent = p.parent < 0 ? this : made.at(static_cast<size_t>(p.parent));
        const QString text = p.text ? QString::fromUtf8(p.text) : QString();
        QWidget* w = nullptr;
        switch (p.kind) {
            case DialogPart::Panel: {
                auto* panel = new QFrame(parent);
                panel->setFrameShape(QFrame::Panel);
                panel->setFrameShadow(QFrame::Raised);
                panel->setGeometry(0, 0, layout.width, layout.height);
                w = panel;
                break;
            }
            case DialogPart::Group:
                w = new QGroupBox(text, parent);
                w->setGeometry(p.x, p.y, p.w, p.h);
                break;
            case DialogPart::Label:
                w = new QLabel(text, parent);
                w->move(p.x, p.y);
                w->adjustSize();
                break;
            case DialogPart::Edit:
                w = new QLineEdit(text, parent);
                w->setGeometry(p.x, p.y, p.w ? p.w : 73, 21);
                break;
            case DialogPart::Ok:
                Button1 = new QPushButton(QStringLiteral("OK"), parent);
                Button1->setGeometry(p.x, p.y, 75, 25);
                Button1->setAutoDefault(false);
                connect(Button1, &QPushButton::clicked, this, &FilterDialog::Button1Click);
                w = Button1;
                break;
        }
        w->setObjectName(QString::fromLatin1(p.name));
        made.push_back(w);
    }
}

void FilterDialog::Button1Click() {
    RunGuarded(m_platform, this, [this] { storeFields(); });
}

void FilterDialog::refuse(const char* message) {
    m_platform.showMessage(this, QString::fromUtf8(message), QString::fromUtf8(kMessageCaption));
}

OneFieldDialog::OneFieldDialog(OneField form, FilterSettings& s, Platform& p, QWidget* parent)
    : FilterDialog(s, p, parent), m_form(form) {
    const OneFieldLayout& l = layoutOf(form);
    build({l.name,
           l.title,
           l.dialogFont,
           l.width,
           l.height,
           {{DialogPart::Panel, -1, l.panel, nullptr, 0, 0},
            {DialogPart::Label, 0, "Label1", l.caption, l.captionX, l.captionY},
            {DialogPart::Edit, 0, "Edit1", l.text, l.editX, l.editY, l.editWidth},
            {DialogPart::Ok, 0, "Button1", nullptr, l.okX, l.okY}}});
    Edit1 = part<QLineEdit>("Edit1");
}

void OneFieldDialog::storeFields() {
    const OneFieldLayout& l = layoutOf(m_form);
    if (l.setting) {
        double& value = m_settings.*l.setting;
        value = ParseReal(fieldText(Edit1));
        if (!l.inRange(value)) return refuse(l.refusal);
    }
    accept();
}

// --- TGMCPanel ---

TGMCPanel::TGMCPanel(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) {
    build({"TGMCPanel",
           "GMCPanel",
           false,
           233,
           257,
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
            {DialogPart::Ok, -1, "Button1", nullptr, 79, 220}}});
    Edit1 = part<QLineEdit>("Edit1");
    Edit2 = part<QLineEdit>("Edit2");
    Edit3 = part<QLineEdit>("Edit3");
    Edit4 = part<QLineEdit>("Edit4");
}

void TGMCPanel::storeFields() {
    // Field by field: a text that does not parse leaves the earlier settings stored and the later
    // ones (and the confirmation) untouched.
    m_settings.GmcDirection = ParseInt(fieldText(Edit1));
    m_settings.GmcFlow = ParseInt(fieldText(Edit2));
    m_settings.BlurAmount = ParseReal(fieldText(Edit3));
    if (m_settings.BlurAmount < 0.2) {
        m_settings.BlurAmount = 0.2;
        Edit3->setText(QStringLiteral("0.2"));
    }
    m_settings.GmcThreshold = ParseInt(fieldText(Edit4));
    m_settings.GmcConfirmed = 1;
    accept();
}

// --- TComaCorrect ---

TComaCorrect::TComaCorrect(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) {
    build({"TComaCorrect",
           "ComaCorrect",
           false,
           185,
           177,
           {{DialogPart::Panel, -1, "Panel1", nullptr, 0, 0},
            {DialogPart::Label, 0, "Label1", "光軸座標", 16, 12},
            {DialogPart::Label, 0, "Label2", "X = ", 24, 36},
            {DialogPart::Edit, 0, "Edit1", nullptr, 64, 32, 97},
            {DialogPart::Label, 0, "Label3", "Y = ", 24, 64},
            {DialogPart::Edit, 0, "Edit2", nullptr, 64, 60, 97},
            {DialogPart::Label, 0, "Label4", "コマ量", 16, 96},
            {DialogPart::Edit, 0, "Edit3", nullptr, 64, 92, 97},
            {DialogPart::Ok, 0, "Button1", nullptr, 55, 136}}});
    Edit1 = part<QLineEdit>("Edit1");
    Edit2 = part<QLineEdit>("Edit2");
    Edit3 = part<QLineEdit>("Edit3");
}

void TComaCorrect::storeFields() {
    accept();
}
