#include "shell/mainform.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <optional>

#include "benchmark/ui/forms.h"
#include "core/numtext.h"
#include "edits/ui/edit_commands.h"
#include "filters/ui/filter_commands.h"
#include "platform/app_icon.h"
#include "platform/error_path.h"
#include "platform/platform.h"
#include "shell/startup.h"
#include "view/ui/child.h"
#include "view/ui/updown.h"
#include "view/ui/view_commands.h"

const char* const TMainForm::kMakerNotice = "Copyright (C) HALVANE-2 開発チーム";

namespace {
// Child windows start at this outer size until their creator sets the client area.
constexpr int kDefaultChildWidth = 320;
constexpr int kDefaultChildHeight = 240;

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    widget->hide();
    return widget;
}

QLabel* placeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    label->hide();
    return label;
}
}  // namespace

TMainForm::TMainForm(Platform& platform, QWidget* parent) : QMainWindow(parent), m_platform(platform) {
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("HALVANE-2"));
    setWindowIcon(ApplicationIcon());
    setAttribute(Qt::WA_QuitOnClose, true);

    buildMenus();
    buildToolStrip();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_mdiArea = new QMdiArea(central);
    m_mdiArea->setObjectName(QStringLiteral("MdiArea"));
    m_mdiArea->setBackground(QBrush(Qt::gray));
    // Closing the active window activates the one active before it.
    m_mdiArea->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(SpeedBar);
    layout->addWidget(m_mdiArea, 1);
    setCentralWidget(central);

    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (!sub) return;
        if (auto* child = qobject_cast<TChild*>(sub->widget()))
            runHandler([child] { child->FormActivate(); }, false);
    });

    // The client area of a 900 x 700 window with its frame's nominal borders and caption.
    resize(kOuterWidth - 2 * kFrameBorder, kOuterHeight - 2 * kFrameBorder - kCaptionHeight);
}

TMainForm::~TMainForm() {
    // Child windows go first, while the tool strip they write to still exists; no activation
    // handler may run during the teardown.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    qDeleteAll(m_mdiArea->subWindowList());
}

namespace {
// The menu bar's fixed layout: its menus, then every item in order, in its menu or (menu null) on the
// bar after the menus. An item without a handler does nothing when chosen.
struct MenuRow {
    QMenu* TMainForm::*menu;
    const char* name;
    const char* caption;  // UTF-8
    bool visible, enabled;
};
struct ItemRow {
    QMenu* TMainForm::*menu;
    QAction* TMainForm::*item;
    const char* name;
    const char* caption;  // UTF-8
    bool visible, enabled;
    void (TMainForm::*handler)();
};
using M = TMainForm;
// clang-format off
const MenuRow kMenus[] = {
    {&M::File1, "File1", "ファイル(&F)", true, true},
    {&M::E1, "E1", "画像編集(&E)", false, false},
    {&M::P2, "P2", "画像処理(&P)", false, false},
};
const ItemRow kItems[] = {
    {&M::File1, &M::Open1, "Open1", "開く(&O)", false, true, &M::Open1Click},
    {&M::File1, &M::Save1, "Save1", "保存(&S)", false, true, &M::Save1Click},
    {&M::File1, &M::Exit1, "Exit1", "終了(&Q)", true, true, &M::Exit1Click},
    {&M::E1, &M::N1, "N1", "ネガ反転(&N)", true, true, &M::N1Click},
    {&M::E1, &M::M1, "M1", "ミラー反転(&M)", true, true, &M::M1Click},
    {&M::E1, &M::R1, "R1", "上下反転(&R)", true, true, &M::R1Click},
    {&M::E1, &M::N3, "N3", "リサンプリング", true, true, nullptr},
    {&M::E1, &M::RGB1, "RGB1", "RGB合成", true, true, nullptr},
    {&M::E1, &M::RGB2, "RGB2", "RGB分解", true, true, &M::RGB2Click},
    {&M::P2, &M::N2, "N2", "エッジ強調", true, true, &M::N2Click},
    {&M::P2, &M::P1, "P1", "ガイドミスキャンセラ(&G)", true, true, &M::P1Click},
    {&M::P2, &M::N4, "N4", "ぼかし", true, true, &M::N4Click},
    {&M::P2, &M::N5, "N5", "ブルーミング除去", true, true, nullptr},
    {&M::P2, &M::N6, "N6", "ガンマ", true, true, &M::N6Click},
    {&M::P2, &M::N7, "N7", "ソラリゼーション", true, true, &M::N7Click},
    {&M::P2, &M::N8, "N8", "サバチエ効果", true, true, &M::N8Click},
    {&M::P2, &M::N9, "N9", "コマコレクト処理", true, true, &M::N9Click},
    {nullptr, &M::V1, "V1", "バージョン(&V)", false, false, &M::V1Click},
    {nullptr, &M::N10, "N10", "計測開始", true, true, &M::N10Click},
    {nullptr, &M::V2, "V2", "バージョン(&V)", true, true, &M::V2Click},
};
// clang-format on
}  // namespace

void TMainForm::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    for (const MenuRow& row : kMenus) {
        QMenu* menu = this->*row.menu = bar->addMenu(QString::fromUtf8(row.caption));
        menu->setObjectName(QString::fromLatin1(row.name));
        menu->menuAction()->setVisible(row.visible);
        menu->menuAction()->setEnabled(row.enabled);
    }
    for (const ItemRow& row : kItems) {
        QWidget* owner = row.menu ? static_cast<QWidget*>(this->*row.menu) : bar;
        QAction* item = this->*row.item = owner->addAction(QString::fromUtf8(row.caption));
        item->setObjectName(QString::fromLatin1(row.name));
        item->setVisible(row.visible);
        item->setEnabled(row.enabled);
        if (const auto handler = row.handler)
            connect(item, &QAction::triggered, this,
                    [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    }
}

void TMainForm::buildToolStrip() {
    SpeedBar = new QWidget(this);
    SpeedBar->setObjectName(QStringLiteral("SpeedBar"));
    SpeedBar->setFixedHeight(33);
    auto* stripLayout = new QVBoxLayout(SpeedBar);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->setSpacing(0);
    Bevel1 = new QFrame(SpeedBar);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setFixedHeight(2);
    stripLayout->addWidget(Bevel1);
    stripLayout->addStretch(1);

    // Every control below starts hidden; the fixed layout gives their places.
    OpenButton = place(new QToolButton(SpeedBar), "OpenButton", 7, 5, 23, 23);
    OpenButton->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    OpenButton->setToolTip(QStringLiteral("Open"));  // hint "Open|": tip before the bar, empty long hint
    OpenButton->setStatusTip(QString());
    OpenButton->setEnabled(false);
    SaveButton = place(new QToolButton(SpeedBar), "SaveButton", 30, 5, 24, 23);
    SaveButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    SaveButton->setToolTip(QStringLiteral("Save"));
    SaveButton->setStatusTip(QString());
    SaveButton->setEnabled(false);

    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(16);
    Button1 = place(new QPushButton(QStringLiteral("+"), SpeedBar), "Button1", 72, 5, 24, 23);
    Button1->setFont(bold);
    Button1->setEnabled(false);
    Button2 = place(new QPushButton(QStringLiteral("-"), SpeedBar), "Button2", 96, 5, 24, 23);
    Button2->setFont(bold);
    Button2->setEnabled(false);
    Edit1 = place(new QLineEdit(SpeedBar), "Edit1", 120, 5, 57, 21);
    Button3 = place(new QPushButton(QStringLiteral("H"), SpeedBar), "Button3", 192, 0, 25, 17);
    Button3->setEnabled(false);
    Button4 = place(new QPushButton(QStringLiteral("L"), SpeedBar), "Button4", 192, 16, 25, 17);
    Button4->setEnabled(false);
    Label5 = placeLabel(SpeedBar, "Label5", QStringLiteral("Max.="), 224, 8);
    Edit2 = place(new QLineEdit(QStringLiteral("0"), SpeedBar), "Edit2", 256, 8, 57, 21);
    Edit2->setEnabled(false);
    UpDown1 = place(new UpDown(SpeedBar), "UpDown1", 312, 0, 17, 33);
    UpDown1->setRange(0, 32767);
    UpDown1->setIncrement(10);
    UpDown1->setPosition(0);
    UpDown1->setEnabled(false);
    Label6 = placeLabel(SpeedBar, "Label6", QStringLiteral("Min.="), 336, 8);
    Edit3 = place(new QLineEdit(QStringLiteral("0"), SpeedBar), "Edit3", 368, 8, 57, 21);
    Edit3->setEnabled(false);
    UpDown2 = place(new UpDown(SpeedBar), "UpDown2", 424, 0, 17, 33);
    UpDown2->setRange(-32767, 32767);
    UpDown2->setIncrement(10);
    UpDown2->setPosition(0);
    UpDown2->setEnabled(false);
    Label4 = placeLabel(SpeedBar, "Label4", QStringLiteral("FWHM = "), 456, 8);
    Label1 = placeLabel(SpeedBar, "Label1", QStringLiteral("ピクセル情報"), 512, 8);
    QFont gothic(QStringLiteral("ＭＳ ゴシック"));
    gothic.setPixelSize(13);
    Label1->setFont(gothic);
    Label1->adjustSize();
    Label2 = placeLabel(SpeedBar, "Label2", QStringLiteral("R = , G = , B = "), 608, 8);
    Label3 = placeLabel(SpeedBar, "Label3", QStringLiteral("Max. =      ,  Min. = "), 760, 16);

    m_toolStrip.Edit1 = Edit1;
    m_toolStrip.Edit2 = Edit2;
    m_toolStrip.Edit3 = Edit3;
    m_toolStrip.UpDown1 = UpDown1;
    m_toolStrip.UpDown2 = UpDown2;
    m_toolStrip.Label2 = Label2;
    m_toolStrip.Label3 = Label3;
    m_toolStrip.Label4 = Label4;

    const auto wire = [this](auto* control, auto signal, void (TMainForm::*handler)()) {
        connect(control, signal, this,
                [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    };
    wire(OpenButton, &QToolButton::clicked, &TMainForm::OpenButtonClick);
    wire(SaveButton, &QToolButton::clicked, &TMainForm::SaveButtonClick);
    wire(Button1, &QPushButton::clicked, &TMainForm::Button1Click);
    wire(Button2, &QPushButton::clicked, &TMainForm::Button2Click);
    wire(Button3, &QPushButton::clicked, &TMainForm::Button3Click);
    wire(Button4, &QPushButton::clicked, &TMainForm::Button4Click);
    wire(UpDown1, &UpDown::clicked, &TMainForm::UpDown1Click);
    wire(UpDown2, &UpDown::clicked, &TMainForm::UpDown2Click);
}

// ---------------------------------------------------------------- image windows

TChild* TMainForm::ActiveImageWindow() {
    // The current subwindow stays current while another application or a box has the focus.
    QMdiSubWindow* sub = m_mdiArea->currentSubWindow();
    return sub ? qobject_cast<TChild*>(sub->widget()) : nullptr;
}

TChild* TMainForm::CreateImageWindow(int kind) {
    auto* child = new TChild(*this);
    if (kind != 0) child->state.FilterI = FormatInt(kind);
    QMdiSubWindow* sub = m_mdiArea->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);  // FormClose: destroyed and freed, nothing asked
    sub->resize(kDefaultChildWidth, kDefaultChildHeight);
    sub->show();
    m_mdiArea->setActiveSubWindow(sub);  // also while the frame itself is hidden (headless use)
    return child;
}

QList<TChild*> TMainForm::imageWindowsMostRecentFirst() {
    const QList<QMdiSubWindow*> subs = m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    QList<TChild*> out;
    for (auto it = subs.crbegin(); it != subs.crend(); ++it)
        if (auto* child = qobject_cast<TChild*>((*it)->widget())) out.append(child);
    return out;
}

void TMainForm::closeImageWindow(TChild* window) {
    if (!window) return;
    if (QMdiSubWindow* sub = window->subWindow()) {
        sub->close();  // leaves the area's lists at once; deleted by delete-on-close
        if (m_mdiArea->subWindowList().contains(sub)) m_mdiArea->removeSubWindow(sub);
    }
}

QSize TMainForm::frameClientSize() const {
    return QSize(width(), height() - menuBar()->sizeHint().height());
}

// ---------------------------------------------------------------- dispatcher

void TMainForm::runHandler(const std::function<void()>& handler, bool busyCursor) {
    RunGuarded(m_platform, this, [&] {
        std::optional<BusyScope> busy;  // restored before the box is shown
        if (busyCursor) busy.emplace(m_platform);
        handler();
    });
}

// ---------------------------------------------------------------- workbench

void TMainForm::showWorkbench() {
    m_workbench = true;
    for (QWidget* control : SpeedBar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        control->setEnabled(true);
        control->show();
    }
    Open1->setVisible(true);
    Save1->setVisible(true);
    for (QMenu* menu : {E1, P2}) {
        menu->menuAction()->setVisible(true);
        menu->menuAction()->setEnabled(true);
    }
    for (QAction* idle : {N3, RGB1, N5}) idle->setVisible(false);  // no command behind them
    setAcceptDrops(true);
    placeWorkbenchLabels();
}

void TMainForm::placeWorkbenchLabels() {
    // The designed places let "FWHM = 6.2 pxls" run into "ピクセル情報" and the probe text into the
    // Max/Min label. At the platform's fonts each label gets the room of the widest text the
    // commands write into it (the width figure never exceeds 6.2, from at most 121 pixels); the
    // probe label takes the top line and the Max/Min label the line below, both to the strip's end.
    constexpr int kGap = 8;
    constexpr int kTop = 2;  // below the strip's line
    const QFontMetrics fwhm(Label4->font());
    Label1->move(
        std::max(Label1->x(), Label4->x() + fwhm.horizontalAdvance(QStringLiteral("FWHM = 6.2 pxls")) + kGap),
        (SpeedBar->height() - Label1->height()) / 2);
    const int probeLeft = std::max(Label2->x(), Label1->x() + Label1->width() + kGap);
    Label2->move(probeLeft, kTop);
    Label3->move(probeLeft, std::max(kTop + Label2->height(), SpeedBar->height() - Label3->height()));
}

namespace {
QStringList localFiles(const QMimeData* data) {
    QStringList paths;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}
}  // namespace

void TMainForm::openFiles(const QStringList& paths) {
    for (const QString& path : paths) runCommand([this, &path] { openFile(path); });
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (m_workbench && !localFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QStringList paths = localFiles(event->mimeData());
    if (!m_workbench || paths.isEmpty()) return;
    event->acceptProposedAction();
    // Opened once the drop has ended, so that an error box does not keep the drag source waiting.
    QTimer::singleShot(0, this, [this, paths] { openFiles(paths); });
}

// ---------------------------------------------------------------- window-level commands

void TMainForm::closeEvent(QCloseEvent* event) {
    // Closing the frame closes every child window with it, and the title window if it is shown.
    m_mdiArea->closeAllSubWindows();
    if (m_windows) m_windows->title->hide();
    event->accept();
}

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::V1Click() {
    if (m_windows) m_platform.showModeless(m_windows->title);
}

void TMainForm::V2Click() {
    m_platform.showMessage(
        this,
        QStringLiteral("HALVANE-2   Verion 1.02 ") + QLatin1Char('\n') + QString::fromUtf8(kMakerNotice),
        QStringLiteral("HALVANE-2"));
}

void TMainForm::N10Click() {
    if (m_windows) m_lastBenchmark = BenchmarkCommand(*this, *m_windows->panel, m_benchmarkOptions);
}

// ---------------------------------------------------------------- view commands

void TMainForm::Button1Click() {
    ZoomCommand(*this, true);
}
void TMainForm::Button2Click() {
    ZoomCommand(*this, false);
}
void TMainForm::Button3Click() {
    DisplayRangeCommand(*this, true);
}
void TMainForm::Button4Click() {
    DisplayRangeCommand(*this, false);
}
void TMainForm::UpDown1Click() {
    MaxUpDownCommand(*this);
}
void TMainForm::UpDown2Click() {
    MinUpDownCommand(*this);
}

// ---------------------------------------------------------------- edits and filters

void TMainForm::N1Click() {
    NegativeCommand(*this);
}
void TMainForm::M1Click() {
    MirrorCommand(*this);
}
void TMainForm::R1Click() {
    FlipCommand(*this);
}
void TMainForm::RGB2Click() {
    RgbSplitCommand(*this);
}
void TMainForm::N2Click() {
    EdgeCommand(*this, *m_windows->edg);
}
void TMainForm::P1Click() {
    GuideMissCommand(*this, *m_windows->gmcPanel);
}
void TMainForm::N4Click() {
    BlurCommand(*this, *m_windows->blur);
}
void TMainForm::N6Click() {
    GammaCommand(*this, *m_windows->gmm);
}
void TMainForm::N7Click() {
    SolarizeCommand(*this);
}
void TMainForm::N8Click() {
    SabattierCommand(*this, *m_windows->sabachie);
}
void TMainForm::N9Click() {
    ComaCorrectCommand(*this, *m_windows->comaCorrect, *m_windows->gmm);
}
