// The main window right after start and its window-level commands.
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "benchmark/ui/forms.h"
#include "filters/ui/dialogs.h"
#include "tests/support/gui_fixture.h"
#include "view/ui/updown.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPointer>

namespace {
class MainFormTest : public GuiFixture {};

QStringList visibleTexts(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions)
        if (a->isVisible()) out << a->text();
    return out;
}

TEST_F(MainFormTest, MenuBarShowsExactlyTheThreeCommands) {
    TMainForm& f = mainForm();
    EXPECT_EQ(visibleTexts(f.menuBar()->actions()),
              (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("計測開始"),
                           QStringLiteral("バージョン(&V)")}));
    EXPECT_EQ(visibleTexts(f.File1->actions()), QStringList{QStringLiteral("終了(&Q)")});
    EXPECT_FALSE(f.E1->menuAction()->isVisible());
    EXPECT_FALSE(f.E1->menuAction()->isEnabled());
    EXPECT_FALSE(f.P2->menuAction()->isVisible());
    EXPECT_FALSE(f.P2->menuAction()->isEnabled());
    EXPECT_FALSE(f.V1->isVisible());
    EXPECT_FALSE(f.V1->isEnabled());
    EXPECT_TRUE(f.N10->isEnabled());
    EXPECT_TRUE(f.V2->isEnabled());
    EXPECT_EQ(f.windowTitle(), QStringLiteral("HALVANE-2"));
    EXPECT_FALSE(f.acceptDrops());
}

TEST_F(MainFormTest, WorkbenchShowsAndEnablesTheImageCommandsOnly) {
    TMainForm& f = mainForm();
    f.showWorkbench();
    EXPECT_EQ(visibleTexts(f.menuBar()->actions()),
              (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("画像編集(&E)"),
                           QStringLiteral("画像処理(&P)"), QStringLiteral("計測開始"),
                           QStringLiteral("バージョン(&V)")}));
    EXPECT_EQ(
        visibleTexts(f.File1->actions()),
        (QStringList{QStringLiteral("開く(&O)"), QStringLiteral("保存(&S)"), QStringLiteral("終了(&Q)")}));
    EXPECT_EQ(visibleTexts(f.E1->actions()),
              (QStringList{QStringLiteral("ネガ反転(&N)"), QStringLiteral("ミラー反転(&M)"),
                           QStringLiteral("上下反転(&R)"), QStringLiteral("RGB分解")}));
    EXPECT_EQ(
        visibleTexts(f.P2->actions()),
        (QStringList{QStringLiteral("エッジ強調"), QStringLiteral("ガイドミスキャンセラ(&G)"),
                     QStringLiteral("ぼかし"), QStringLiteral("ガンマ"), QStringLiteral("ソラリゼーション"),
                     QStringLiteral("サバチエ効果"), QStringLiteral("コマコレクト処理")}));
    for (QAction* a : {f.Open1, f.Save1, f.E1->menuAction(), f.P2->menuAction()}) EXPECT_TRUE(a->isEnabled());
    EXPECT_FALSE(f.V1->isVisible());
    int controls = 0;
    for (QWidget* w : f.SpeedBar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        ++controls;
        EXPECT_TRUE(w->isVisible() && w->isEnabled()) << w->objectName().toStdString();
    }
    EXPECT_EQ(controls, 18);
    EXPECT_TRUE(f.acceptDrops());
}

TEST_F(MainFormTest, EveryMenuItemHasItsNameAndCaption) {
    TMainForm& f = mainForm();
    const std::pair<QAction*, const char*> items[] = {
        {f.Open1, "開く(&O)"},
        {f.Save1, "保存(&S)"},
        {f.Exit1, "終了(&Q)"},
        {f.N1, "ネガ反転(&N)"},
        {f.M1, "ミラー反転(&M)"},
        {f.R1, "上下反転(&R)"},
        {f.N3, "リサンプリング"},
        {f.RGB1, "RGB合成"},
        {f.RGB2, "RGB分解"},
        {f.N2, "エッジ強調"},
        {f.P1, "ガイドミスキャンセラ(&G)"},
        {f.N4, "ぼかし"},
        {f.N5, "ブルーミング除去"},
        {f.N6, "ガンマ"},
        {f.N7, "ソラリゼーション"},
        {f.N8, "サバチエ効果"},
        {f.N9, "コマコレクト処理"},
        {f.V1, "バージョン(&V)"},
        {f.N10, "計測開始"},
        {f.V2, "バージョン(&V)"},
    };
    for (const auto& [action, caption] : items) {
        ASSERT_NE(action, nullptr) << caption;
        EXPECT_EQ(action->text(), QString::fromUtf8(caption));
        EXPECT_FALSE(action->objectName().isEmpty());
    }
    EXPECT_EQ(f.E1->title(), QStringLiteral("画像編集(&E)"));
    EXPECT_EQ(f.P2->title(), QStringLiteral("画像処理(&P)"));
    EXPECT_EQ(f.Open1->objectName(), QStringLiteral("Open1"));
    EXPECT_EQ(f.N10->objectName(), QStringLiteral("N10"));
}

TEST_F(MainFormTest, ToolStripShowsOnlyItsLine) {
    TMainForm& f = mainForm();
    EXPECT_EQ(f.SpeedBar->height(), 33);
    EXPECT_TRUE(f.Bevel1->isVisible());
    EXPECT_EQ(f.Bevel1->height(), 2);
    EXPECT_EQ(f.Bevel1->width(), f.SpeedBar->width());
    int children = 0;
    for (QWidget* w : f.SpeedBar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w == f.Bevel1) continue;
        ++children;
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
    EXPECT_EQ(children, 17);
}

TEST_F(MainFormTest, ToolStripLayout) {
    TMainForm& f = mainForm();
    struct Row {
        QWidget* control;
        const char* name;
        QRect geometry;  // width/height 0: not fixed
        const char* text;
        bool enabled;
    };
    const Row rows[] = {
        {f.OpenButton, "OpenButton", {7, 5, 23, 23}, nullptr, false},
        {f.SaveButton, "SaveButton", {30, 5, 24, 23}, nullptr, false},
        {f.Button1, "Button1", {72, 5, 24, 23}, "+", false},
        {f.Button2, "Button2", {96, 5, 24, 23}, "-", false},
        {f.Edit1, "Edit1", {120, 5, 57, 0}, "", true},
        {f.Button3, "Button3", {192, 0, 25, 17}, "H", false},
        {f.Button4, "Button4", {192, 16, 25, 17}, "L", false},
        {f.Label5, "Label5", {224, 8, 0, 0}, "Max.=", true},
        {f.Edit2, "Edit2", {256, 8, 57, 0}, "0", false},
        {f.UpDown1, "UpDown1", {312, 0, 17, 33}, nullptr, false},
        {f.Label6, "Label6", {336, 8, 0, 0}, "Min.=", true},
        {f.Edit3, "Edit3", {368, 8, 57, 0}, "0", false},
        {f.UpDown2, "UpDown2", {424, 0, 17, 33}, nullptr, false},
        {f.Label4, "Label4", {456, 8, 0, 0}, "FWHM = ", true},
        {f.Label1, "Label1", {512, 8, 0, 0}, "ピクセル情報", true},
        {f.Label2, "Label2", {608, 8, 0, 0}, "R = , G = , B = ", true},
        {f.Label3, "Label3", {760, 16, 0, 0}, "Max. =      ,  Min. = ", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_NE(r.control, nullptr);
        EXPECT_EQ(r.control->objectName(), QString::fromLatin1(r.name));
        EXPECT_EQ(r.control->pos(), r.geometry.topLeft());
        if (r.geometry.width()) {
            EXPECT_EQ(r.control->width(), r.geometry.width());
        }
        if (r.geometry.height()) {
            EXPECT_EQ(r.control->height(), r.geometry.height());
        }
        EXPECT_EQ(r.control->isEnabled(), r.enabled);
        if (r.text) {
            QString text;
            if (auto* b = qobject_cast<QAbstractButton*>(r.control)) text = b->text();
            if (auto* e = qobject_cast<QLineEdit*>(r.control)) text = e->text();
            if (auto* l = qobject_cast<QLabel*>(r.control)) text = l->text();
            EXPECT_EQ(text, QString::fromUtf8(r.text));
        }
    }
    EXPECT_EQ(f.OpenButton->toolTip(), QStringLiteral("Open"));
    EXPECT_EQ(f.SaveButton->toolTip(), QStringLiteral("Save"));
    EXPECT_TRUE(f.Button1->font().bold());
    EXPECT_EQ(f.Button1->font().pixelSize(), 16);
    EXPECT_EQ(f.Label1->font().pixelSize(), 13);
    EXPECT_EQ(f.UpDown1->minimum(), 0);
    EXPECT_EQ(f.UpDown1->maximum(), 32767);
    EXPECT_EQ(f.UpDown2->minimum(), -32767);
    EXPECT_EQ(f.UpDown2->maximum(), 32767);
    EXPECT_EQ(f.UpDown1->increment(), 10);
    EXPECT_EQ(f.UpDown1->position(), 0);
}

TEST_F(MainFormTest, FrameGeometry) {
    TMainForm& f = mainForm();
    EXPECT_EQ(f.frameClientSize().width(), 892);
    EXPECT_EQ(f.mdiArea()->activationOrder(), QMdiArea::ActivationHistoryOrder);
    EXPECT_EQ(f.mdiArea()->background().color(), QColor(Qt::gray));
    // The client area is the tool strip and the multiple-document area below the menu bar.
    EXPECT_EQ(f.frameClientSize().height(), f.SpeedBar->height() + f.mdiArea()->height());
}

TEST_F(MainFormTest, StartUpCreatesEveryFixedWindowHiddenAndShowsNone) {
    ScriptedPlatform p;
    std::unique_ptr<HalvaneWindows> w = CreateWindows(p);
    const QWidget* forms[] = {w->mainForm, w->aboutBox,    w->gmcPanel, w->gmm,      w->edg,
                              w->blur,     w->comaCorrect, w->title,    w->sabachie, w->panel};
    const char* names[] = {"TMainForm", "TAboutBox",    "TGMCPanel", "TGMM",      "TEDG",
                           "TBLUR",     "TComaCorrect", "TTitle",    "TSabachie", "Tpanel"};
    for (size_t i = 0; i < std::size(forms); ++i) {
        ASSERT_NE(forms[i], nullptr) << names[i];
        EXPECT_EQ(forms[i]->objectName(), QString::fromLatin1(names[i]));
        EXPECT_FALSE(forms[i]->isVisible()) << names[i];
    }
    EXPECT_EQ(&w->blur->settings(), &w->settings);
}

TEST_F(MainFormTest, VersionBoxTwiceShowsTheSameBox) {
    run(&TMainForm::V2Click);
    run(&TMainForm::V2Click);
    ASSERT_EQ(platform().messages.size(), 2u);
    for (const auto& m : platform().messages) {
        EXPECT_FALSE(m.error);
        EXPECT_EQ(m.caption, QStringLiteral("HALVANE-2"));
        const QStringList lines = m.text.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0], QStringLiteral("HALVANE-2   Verion 1.02 "));
        EXPECT_FALSE(lines[1].isEmpty());
    }
    EXPECT_EQ(platform().messages[0].text, platform().messages[1].text);
    EXPECT_EQ(mainForm().mdiArea()->subWindowList().size(), 0);
    EXPECT_TRUE(mainForm().isVisible());
}

TEST_F(MainFormTest, ExitClosesOpenChildrenWithTheMainWindow) {
    makeWindow(kColourWindow, Picture(30, 30));
    makeWindow(kSampleWindow, Picture(30, 30));
    QPointer<QMdiSubWindow> sub = mainForm().mdiArea()->subWindowList().front();
    run(&TMainForm::Exit1Click);
    hvtest::ProcessEvents();
    EXPECT_FALSE(mainForm().isVisible());
    EXPECT_TRUE(mainForm().mdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(sub.isNull());  // destroyed, not only hidden
    EXPECT_EQ(mainForm().ActiveImageWindow(), nullptr);
}

TEST_F(MainFormTest, TitleWindowShowsModelessAndHidesOnAClick) {
    TTitle* title = windows().title;
    EXPECT_EQ(title->windowTitle(), QStringLiteral("Title"));
    EXPECT_EQ(title->Image1->size(), QSize(750, 498));
    for (int round = 0; round < 2; ++round) {
        run(&TMainForm::V1Click);
        EXPECT_TRUE(title->isVisible());
        QTest::mouseClick(title->Image1, Qt::LeftButton, {}, QPoint(700, 400));
        EXPECT_FALSE(title->isVisible());
    }
    EXPECT_EQ(platform().modelessShown, (std::vector<QString>{"TTitle", "TTitle"}));
    EXPECT_TRUE(platform().modalShown.empty());
}

TEST_F(MainFormTest, AboutBoxLayout) {
    TAboutBox* about = windows().aboutBox;
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Ostrel"));
    EXPECT_EQ(about->size(), QSize(340, 238));
    auto* label1 = about->findChild<QLabel*>(QStringLiteral("Label1"));
    auto* label2 = about->findChild<QLabel*>(QStringLiteral("Label2"));
    auto* ok = about->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    auto* bevel = about->findChild<QFrame*>(QStringLiteral("Bevel1"));
    ASSERT_TRUE(label1 && label2 && ok && bevel);
    EXPECT_EQ(label1->text(), QStringLiteral("Ostrel"));
    EXPECT_EQ(label1->pos(), QPoint(97, 40));
    EXPECT_TRUE(label1->font().bold());
    EXPECT_EQ(label2->text(), QStringLiteral("Version 1.0"));
    EXPECT_EQ(label2->pos(), QPoint(97, 82));
    EXPECT_EQ(ok->geometry(), QRect(124, 176, 75, 25));
    EXPECT_EQ(bevel->geometry(), QRect(80, 24, 233, 129));
    about->show();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(about->result(), QDialog::Accepted);
    EXPECT_FALSE(about->isVisible());
}
}  // namespace

namespace {
// In the workbench every label of the strip reads in full at the platform's fonts, with the widest
// texts the commands write, and no other control covers a label.
TEST_F(MainFormTest, WorkbenchStripTextsReadInFull) {
    const QFont before = QApplication::font();
    ASSERT_FALSE(PreferJapaneseFont().isEmpty()) << "no Japanese font installed";
    TMainForm form(platform());
    form.showWorkbench();
    form.show();
    const std::pair<QLabel*, const char*> widest[] = {
        {form.Label4, "FWHM = 6.2 pxls"},
        {form.Label2, "R=255  G=255  B=255   (99999,99999)"},
        {form.Label3, "MAX = -1 , MIN = 256"},
    };
    for (const auto& [label, text] : widest) {
        label->setText(QString::fromUtf8(text));
        label->adjustSize();
    }
    const QList<QWidget*> controls =
        form.SpeedBar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (const QWidget* a : controls) {
        if (!qobject_cast<const QLabel*>(a)) continue;  // "H"/"L" and the edits' up-downs touch by design
        EXPECT_TRUE(form.SpeedBar->rect().contains(a->geometry())) << a->objectName().toStdString();
        for (const QWidget* b : controls)
            if (a != b && b != form.Bevel1) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " " << b->objectName().toStdString();
            }
    }
    QApplication::setFont(before);
}

// The captions need a font with Japanese glyphs (set-up installs IPA Gothic); without one every
// caption renders as boxes. HV_SCREENSHOT=path saves the rendered window as a PNG.
TEST_F(MainFormTest, JapaneseCaptionsRender) {
    const QFont before = QApplication::font();
    const QString family = PreferJapaneseFont();
    ASSERT_FALSE(family.isEmpty()) << "no Japanese font installed";
    TMainForm form(platform());
    form.show();
    hvtest::ProcessEvents();
    const QFontMetrics metrics(form.menuBar()->font());
    for (const QString& caption : {QStringLiteral("ファイル(&F)"), QStringLiteral("計測開始"),
                                   QStringLiteral("バージョン(&V)"), QStringLiteral("終了(&Q)")}) {
        for (const QChar ch : caption) EXPECT_TRUE(metrics.inFont(ch)) << caption.toStdString();
    }
    const QImage shot = form.grab().toImage();
    EXPECT_EQ(shot.width(), 892);
    const QByteArray path = qgetenv("HV_SCREENSHOT");
    if (!path.isEmpty()) {
        EXPECT_TRUE(shot.save(QString::fromLocal8Bit(path)));
    }
    QApplication::setFont(before);
}
}  // namespace
