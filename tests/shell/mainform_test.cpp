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
#include <QToolButton>

#include "benchmark/ui/forms.h"
#include "tests/support/gui_fixture.h"
#include "view/ui/updown.h"

namespace {
class MainFormTest : public GuiFixture {};

QStringList visibleTopLevel(QMenuBar* bar) {
    QStringList out;
    for (QAction* a : bar->actions())
        if (a->isVisible()) out << a->text();
    return out;
}

TEST_F(MainFormTest, MenuBarShowsExactlyTheThreeCommands) {
    TMainForm& f = mainForm();
    EXPECT_EQ(visibleTopLevel(f.menuBar()),
              (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("計測開始"),
                           QStringLiteral("バージョン(&V)")}));
    QStringList fileItems;
    for (QAction* a : f.File1->actions())
        if (a->isVisible()) fileItems << a->text();
    EXPECT_EQ(fileItems, QStringList{QStringLiteral("終了(&Q)")});
    // Hidden submenus are also disabled, as is V1.
    EXPECT_FALSE(f.E1->menuAction()->isEnabled());
    EXPECT_FALSE(f.P2->menuAction()->isEnabled());
    EXPECT_FALSE(f.V1->isEnabled());
    EXPECT_TRUE(f.N10->isEnabled());
    EXPECT_TRUE(f.V2->isEnabled());
}
}  // namespace
