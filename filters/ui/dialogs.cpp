#include "filters/ui/dialogs.h"

#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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
}  // namespace

const char* const FilterDialog::kMessageCaption = "HALVANE-2";

FilterDialog::FilterDialog(FilterSettings& settings, Platform& platform, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_platform(platform) {
    setModal(true);
}

QFrame* FilterDialog::makePanel(const char* name, int width, int height) {
    auto* panel = new QFrame(this);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setGeometry(0, 0, width, height);
    setFixedSize(width, height);  // the dialog is sized to its panel
    return panel;
}

QLabel* FilterDialog::makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit* FilterDialog::makeEdit(QWidget* parent, const char* name, const QString& text, int x, int y,
                                  int width) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(x, y, width, 21);
    return edit;
}

QPushButton* FilterDialog::makeOkButton(QWidget* parent, int x, int y) {
    Button1 = new QPushButton(QStringLiteral("OK"), parent);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(x, y, 75, 25);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &FilterDialog::Button1Click);
    return Button1;
}

void FilterDialog::Button1Click() {
    RunGuarded(m_platform, this, [this] { storeFields(); });
}

void FilterDialog::refuse(const char* message) {
    m_platform.showMessage(this, QString::fromUtf8(message), QString::fromUtf8(kMessageCaption));
}

// --- TEDG ---

TEDG::TEDG(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) {
    setObjectName(QStringLiteral("TEDG"));
    setWindowTitle(QStringLiteral("EDG"));
    Panel1 = makePanel("Panel1", 153, 113);
    Label1 = makeLabel(Panel1, "Label1", QStringLiteral("強さ(1-5)"), 16, 16);
    Edit1 = makeEdit(Panel1, "Edit1", QStringLiteral("1.0"), 16, 40);
    makeOkButton(Panel1, 40, 76);
}

void TEDG::storeFields() {
    // The value is stored before the range check, so a refused value is what the close box leaves.
    m_settings.EdgeStrength = ParseReal(fieldText(Edit1));
    if (m_settings.EdgeStrength >= 1.0 && m_settings.EdgeStrength <= 5.0)
        accept();
    else
        refuse(filtermsg::kEdgeRange);
}

// --- TBLUR ---

TBLUR::TBLUR(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) {
    setObjectName(QStringLiteral("TBLUR"));
    setWindowTitle(QStringLiteral("BLUR"));
    Panel1 = makePanel("Panel1", 153, 113);
    Label1 = makeLabel(Panel1, "Label1", QStringLiteral("ボケ量"), 16, 16);
    Edit1 = makeEdit(Panel1, "Edit1", QStringLiteral("1.0"), 16, 40);
    makeOkButton(Panel1, 40, 76);
}

void TBLUR::storeFields() {
    m_settings.BlurAmount = ParseReal(fieldText(Edit1));
    if (m_settings.BlurAmount > 0.0 && m_settings.BlurAmount <= 10.0)
        accept();
    else
        refuse(filtermsg::kPositiveNumber);
}

// --- TGMM ---

TGMM::TGMM(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) {
    setObjectName(QStringLiteral("TGMM"));
    setWindowTitle(QStringLiteral("GMM"));
    useDialogFont(this);
    Panel1 = makePanel("Panel1", 137, 113);
    Label1 = makeLabel(Panel1, "Label1", QStringLiteral("γ="), 16, 28);
    Edit1 = makeEdit(Panel1, "Edit1", QStringLiteral("1.0"), 40, 24, 73);
    makeOkButton(Panel1, 32, 72);
}

void TGMM::storeFields() {
    m_settings.GammaValue = ParseReal(fieldText(Edit1));
    if (m_settings.GammaValue > 0.0)
        accept();
    else
        refuse(filtermsg::kGammaPositive);
}

// --- TSabachie ---

TSabachie::TSabachie(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) {
    setObjectName(QStringLiteral("TSabachie"));
    setWindowTitle(QStringLiteral("Sabachie"));
    useDialogFont(this);
    Sabachie = makePanel("Sabachie", 169, 153);
    Label1 = makeLabel(Sabachie, "Label1", QStringLiteral("ステップ幅"), 24, 24);
    Edit1 = makeEdit(Sabachie, "Edit1", QStringLiteral("255"), 24, 48, 113);
    makeOkButton(Sabachie, 48, 104);
}

void TSabachie::storeFields() {
    accept();
}

// --- TGMCPanel ---

TGMCPanel::TGMCPanel(FilterSettings& s, Platform& p, QWidget* parent) : FilterDialog(s, p, parent) {
    setObjectName(QStringLiteral("TGMCPanel"));
    setWindowTitle(QStringLiteral("GMCPanel"));
    setFixedSize(233, 257);

    GroupBox1 = new QGroupBox(QStringLiteral("GMC"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 217, 89);
    Label1 = makeLabel(GroupBox1, "Label1", QStringLiteral("流れ量"), 16, 28);
    Edit2 = makeEdit(GroupBox1, "Edit2", QStringLiteral("1"), 72, 24);
    Label3 = makeLabel(GroupBox1, "Label3", QStringLiteral("ピクセル"), 152, 28);
    Label2 = makeLabel(GroupBox1, "Label2", QStringLiteral("向き"), 16, 60);
    Edit1 = makeEdit(GroupBox1, "Edit1", QStringLiteral("0"), 72, 56);
    Label4 = makeLabel(GroupBox1, "Label4", QStringLiteral("度"), 152, 60);

    GroupBox2 = new QGroupBox(QStringLiteral("Blur"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(8, 104, 217, 105);
    Label8 = makeLabel(GroupBox2, "Label8", QStringLiteral("ぼけ量"), 16, 28);
    Edit3 = makeEdit(GroupBox2, "Edit3", QStringLiteral("0.2"), 72, 24);
    Label5 = makeLabel(GroupBox2, "Label5", QStringLiteral("ピクセル"), 152, 28);
    Label6 = makeLabel(GroupBox2, "Label6", QStringLiteral("閾値"), 16, 60);
    Edit4 = makeEdit(GroupBox2, "Edit4", QStringLiteral("0"), 72, 56);

    makeOkButton(this, 79, 220);
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
    setObjectName(QStringLiteral("TComaCorrect"));
    setWindowTitle(QStringLiteral("ComaCorrect"));
    Panel1 = makePanel("Panel1", 185, 177);
    Label1 = makeLabel(Panel1, "Label1", QStringLiteral("光軸座標"), 16, 12);
    Label2 = makeLabel(Panel1, "Label2", QStringLiteral("X = "), 24, 36);
    Edit1 = makeEdit(Panel1, "Edit1", QString(), 64, 32, 97);
    Label3 = makeLabel(Panel1, "Label3", QStringLiteral("Y = "), 24, 64);
    Edit2 = makeEdit(Panel1, "Edit2", QString(), 64, 60, 97);
    Label4 = makeLabel(Panel1, "Label4", QStringLiteral("コマ量"), 16, 96);
    Edit3 = makeEdit(Panel1, "Edit3", QString(), 64, 92, 97);
    makeOkButton(Panel1, 55, 136);
}

void TComaCorrect::storeFields() {
    accept();
}
