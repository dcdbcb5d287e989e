#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>

#include "benchmark/ui/form_parts.h"
#include "benchmark/ui/forms.h"

namespace {

constexpr int kValueLeft = 144;
constexpr int kUnitLeft = 200;
constexpr int kPanelWidth = 321;
constexpr int kPanelHeight = 481;

}  // namespace

Tpanel::Tpanel(QWidget* parent) : QDialog(parent) {
    const QFont font = SetUpForm(this, QStringLiteral("Tpanel"), QStringLiteral("Result"),
                                 QStringLiteral("ＭＳ Ｐゴシック"), 12);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, kPanelWidth, kPanelHeight);
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

    // The stage rows, in the order of kStages: caption label and its left edge, unit label, top.
    struct StageRow {
        const char* captionName;
        int captionLeft;
        QLabel** captionLabel;
        QLabel** value;
        const char* unitName;
        QLabel** unit;
        int top;
    };
    const StageRow stageRows[kStageCount] = {
        {"Label6", 48, &Label6, &Label7, "Label12", &Label12, 168},
        {"Label29", 80, &Label29, &Label30, "Label31", &Label31, 200},
        {"Label3", 80, &Label3, &Label8, "Label13", &Label13, 232},
        {"Label4", 72, &Label4, &Label9, "Label14", &Label14, 264},
        {"Label5", 40, &Label5, &Label10, "Label15", &Label15, 296},
        {"Label18", 40, &Label18, &Label19, "Label20", &Label20, 328},
    };
    for (int k = 0; k < kStageCount; ++k) {
        const StageRow& row = stageRows[k];
        const StageInfo& stage = kStages[k];
        *row.captionLabel =
            MakeLabel(p, row.captionName, QString::fromUtf8(stage.caption), row.captionLeft, row.top);
        *row.value = MakeLabel(p, stage.valueLabel, QStringLiteral("0"), kValueLeft, row.top);
        *row.unit = MakeLabel(p, row.unitName, QString::fromUtf8(stage.unit), kUnitLeft, row.top);
        stageLabels[k] = {*row.captionLabel, *row.value, *row.unit};
    }
    Label2 = MakeLabel(p, "Label2", QStringLiteral("総合処理能力"), 56, 368);
    Label11 = MakeLabel(p, "Label11", QStringLiteral("0"), kValueLeft, 368);
    Label16 = MakeLabel(p, "Label16", QStringLiteral("ポイント"), kUnitLeft, 368);

    Button1 = new QPushButton(QStringLiteral("閉じる"), p);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(112, 416, 105, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    // Sized to its panel, at the centre of the desktop.
    setFixedSize(kPanelWidth, kPanelHeight);
    CentreOnScreen(this);
}

void Tpanel::fitLabels() {
    // The run writes its figures into labels sized for the placeholders; without this the texts
    // would be cut off at the placeholders' widths.
    for (QLabel* label : Panel1->findChildren<QLabel*>()) label->adjustSize();
    // Positions follow the platform's fonts: the captions end a gap before the value column, which
    // moves right only when a caption needs it; the units follow the widest figure; the window
    // grows to hold the longest row. Rows, order and texts stay.
    constexpr int kMargin = 8;
    constexpr int kGap = 8;
    constexpr int kUnitGap = 4;
    constexpr int kMemoryGap = 2;
    const QList<QLabel*> captions = {Label21, Label22, Label24, Label6,  Label29,
                                     Label3,  Label4,  Label5,  Label18, Label2};
    const QList<QLabel*> figures = {Label7, Label30, Label8, Label9, Label10, Label19, Label11};
    const QList<QLabel*> units = {Label12, Label31, Label13, Label14, Label15, Label20, Label16};
    int captionWidth = 0;
    for (const QLabel* caption : captions) captionWidth = std::max(captionWidth, caption->width());
    const int valueLeft = std::max(kValueLeft, kMargin + captionWidth + kGap);
    for (QLabel* caption : captions) caption->move(valueLeft - kGap - caption->width(), caption->y());
    int figureRight = 0;
    for (QLabel* value : figures + QList<QLabel*>{Label17, Label23, Label25}) {
        value->move(valueLeft, value->y());
        if (figures.contains(value)) figureRight = std::max(figureRight, value->x() + value->width());
    }
    const int unitLeft = std::max(kUnitLeft + valueLeft - kValueLeft, figureRight + kUnitGap);
    for (QLabel* unit : units) unit->move(unitLeft, unit->y());
    // The memory row: "/", the installed figure and the unit at their places, or right after a
    // longer figure.
    const int designed[] = {168, 184, 216};
    QLabel* const after[] = {Label28, Label27, Label26};
    int right = Label25->x() + Label25->width();
    for (int i = 0; i < 3; ++i) {
        after[i]->move(std::max(designed[i] + valueLeft - kValueLeft, right + kMemoryGap), after[i]->y());
        right = after[i]->x() + after[i]->width();
    }
    int width = kPanelWidth;
    for (const QLabel* label : Panel1->findChildren<QLabel*>())
        width = std::max(width, label->x() + label->width() + kMargin);
    Panel1->resize(width, kPanelHeight);
    setFixedSize(width, kPanelHeight);
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
    QList<Row> rows{
        {text(Label1), QString(), QString()},
        {text(Label21), text(Label17), QString()},
        {text(Label22), text(Label23), QString()},
        {text(Label24), text(Label25) + text(Label28) + text(Label27), text(Label26)},
    };
    for (const StageLabels& stage : stageLabels)
        rows.append({text(stage.caption), text(stage.value), text(stage.unit)});
    rows.append({text(Label2), text(Label11), text(Label16)});
    return rows;
}
