// Child windows: creation, activation, geometry, closing.
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "tests/support/gui_fixture.h"

namespace {
class ChildTest : public GuiFixture {};

TEST_F(ChildTest, NewWindowIsActiveAndClosingActivatesThePreviousOne) {
    TChild* first = makeWindow(kColourWindow, Picture(40, 30));
    TChild* second = makeWindow(kSampleWindow, Picture(40, 30));
    EXPECT_EQ(mainForm().ActiveImageWindow(), second);
    EXPECT_EQ(second->state.FilterI, "2");
    EXPECT_EQ(mainForm().imageWindowsMostRecentFirst(), (QList<TChild*>{second, first}));
    mainForm().closeImageWindow(second);
    hvtest::ProcessEvents();
    EXPECT_EQ(mainForm().ActiveImageWindow(), first);
    EXPECT_EQ(mainForm().mdiArea()->subWindowList().size(), 1);
}

TEST_F(ChildTest, ClientSizeIsTheWindowsInnerArea) {
    TChild* w = makeWindow(kColourWindow, Picture(400, 300));
    EXPECT_EQ(w->clientSize(), QSize(400, 300));
    EXPECT_EQ(w->imageControlSize(), QSize(400, 300));
    w->setClientSize(250, 180);
    EXPECT_EQ(w->clientSize(), QSize(250, 180));
    EXPECT_EQ(mainForm().frameClientSize().width(), 892);
}
}  // namespace

namespace {
TEST_F(ChildTest, GeometryHoldsWhileTheFrameIsHidden) {
    ScriptedPlatform p;
    TMainForm hidden(p);
    TChild* w = hidden.CreateImageWindow(kColourWindow);
    EXPECT_EQ(hidden.ActiveImageWindow(), w);
    w->setClientSize(250, 180);
    EXPECT_EQ(w->clientSize(), QSize(250, 180));
    w->setClientSize(300, 120);
    EXPECT_EQ(w->clientSize(), QSize(300, 120));
    EXPECT_EQ(hidden.frameClientSize().width(), 892);
    hidden.show();  // the laid-out window keeps the client size set while hidden
    hvtest::ProcessEvents();
    EXPECT_EQ(w->clientSize(), QSize(300, 120));
}
}  // namespace
