#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

#include "benchmark/ui/forms.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

constexpr int kValueLeft = 144;
constexpr int kUnitLeft = 200;

}  // namespace

Tpanel::Tpanel(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tpanel"));
    setWindowTitle(QStringLiteral("Result"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 321, 481);
    QWidget* p = Panel1;

    Label1 = MakeLabel(p, "Label1", QStringLiteral("測定結果  V2 "), 112, 40);
    QFont titleFont = font;
    titleFont.setPixelSize(16);
    Label1->setFont(titleFont);
    Label1->adjustSize();

    Label21 = MakeLabel(p, "Label21", QStringLiteral("測定日時"), 80, 80);
    Label17 = MakeLabel(p, "Label17", QStringLiteral("YYYY/MM/DD"), kValueLeft, 80);
    Label22 = MakeLabel(p, "Label22", QStringLiteral("OS"), 112, 104);
    Label23 = MakeLabel(p, "Label23", QStringLiteral("OS"), kValueLeft, 104);
    Label24 = MakeLabel(p, "Label24", QStringLiteral("使用可能メモリ"), 56, 128);
    Label25 = MakeLabel(p, "Label25", QStringLiteral("0"), kValueLeft, 128);
    Label28 = MakeLabel(p, "Label28", QStringLiteral("/"), 168, 128);
    Label27 = MakeLabel(p, "Label27", QStringLiteral("0"), 184, 128);
    Label26 = MakeLabel(p, "Label26", QStringLiteral("MB(残存/搭載)"), 216, 128);

    struct TimeRow {
        const char* captionName;
        const char* caption;
        int captionLeft;
        QLabel** value;
        const char* valueName;
        QLabel** unit;
        const char* unitName;
        QLabel** captionLabel;
        int top;
    };
    const TimeRow timeRows[] = {
        {"Label6", "ファイルアクセス", 48, &Label7, "Label7", &Label12, "Label12", &Label6, 168},
        {"Label29", "画像表示", 80, &Label30, "Label30", &Label31, "Label31", &Label29, 200},
        {"Label3", "メモリ確保", 80, &Label8, "Label8", &Label13, "Label13", &Label3, 232},
        {"Label4", "コンポジット", 72, &Label9, "Label9", &Label14, "Label14", &Label4, 264},
        {"Label5", "コンボリューション", 40, &Label10, "Label10", &Label15, "Label15", &Label5, 296},
        {"Label18", "トータル所要時間", 40, &Label19, "Label19", &Label20, "Label20", &Label18, 328},
    };
    for (const TimeRow& row : timeRows) {
        *row.captionLabel =
            MakeLabel(p, row.captionName, QString::fromUtf8(row.caption), row.captionLeft, row.top);
        *row.value = MakeLabel(p, row.valueName, QStringLiteral("0"), kValueLeft, row.top);
        *row.unit = MakeLabel(p, row.unitName, QStringLiteral("秒"), kUnitLeft, row.top);
    }
    Label2 = MakeLabel(p, "Label2", QStringLiteral("総合処理能力"), 56, 368);
    Label11 = MakeLabel(p, "Label11", QStringLiteral("0"), kValueLeft, 368);
    Label16 = MakeLabel(p, "Label16", QStringLiteral("ポイント"), kUnitLeft, 368);

    Button1 = new QPushButton(QStringLiteral("閉じる"), p);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(112, 416, 105, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    // Sized to its panel, at the centre of the desktop.
    setFixedSize(321, 481);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(321 / 2, 481 / 2));
    }
}

void Tpanel::fitLabels() {
    // The run writes its figures into labels sized for the placeholders; without this the texts
    // would be cut off at the placeholders' widths.
    for (QLabel* label : Panel1->findChildren<QLabel*>()) label->adjustSize();
    // The memory row's figures can be wider than the gaps between the designed positions.
    constexpr int kGap = 2;
    const int designed[] = {168, 184, 216};
    QLabel* const after[] = {Label28, Label27, Label26};
    int right = Label25->x() + Label25->width();
    for (int i = 0; i < 3; ++i) {
        after[i]->move(std::max(designed[i], right + kGap), after[i]->y());
        right = after[i]->x() + after[i]->width();
    }
}

void Tpanel::showEvent(QShowEvent* event) {
    fitLabels();
    QDialog::showEvent(event);
}

void Tpanel::Button1Click() {
    done(QDialog::Accepted);
}

QList<Tpanel::Row> Tpanel::rows() const {
    const auto text = [](const QLabel* label) { return label ? label->text() : QString(); };
    return {
        {text(Label1), QString(), QString()},
        {text(Label21), text(Label17), QString()},
        {text(Label22), text(Label23), QString()},
        {text(Label24), text(Label25) + text(Label28) + text(Label27), text(Label26)},
        {text(Label6), text(Label7), text(Label12)},
        {text(Label29), text(Label30), text(Label31)},
        {text(Label3), text(Label8), text(Label13)},
        {text(Label4), text(Label9), text(Label14)},
        {text(Label5), text(Label10), text(Label15)},
        {text(Label18), text(Label19), text(Label20)},
        {text(Label2), text(Label11), text(Label16)},
    };
}
