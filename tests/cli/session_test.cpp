// The headless session of the command line: the program's windows offscreen, the real handlers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>

#include "app/cli/session.h"
#include "core/errors.h"
#include "core/plane.h"
#include "shell/mainform.h"
#include "shell/startup.h"
#include "view/ui/child.h"
#include "view/ui/sample_window.h"

namespace {
TChild* showGradient(CliSession& s) {
    IntPlane plane = MakePlane(64, 64);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 64; ++y) plane[x][y] = 1000 + 10 * x + y;
    TChild* window = nullptr;
    s.mainForm().runCommand([&] { window = ShowSamplePlane(s.mainForm(), plane, 64, 64); });
    return window;
}

TEST(CliSession, RunsTheRealHandlersAndReturnsTheFirstNewError) {
    CliSession session;
    EXPECT_STREQ(qgetenv("QT_QPA_PLATFORM").constData(), "offscreen");
    EXPECT_TRUE(session.mainForm().isVisible());
    EXPECT_NE(session.windows().panel, nullptr);

    EXPECT_EQ(session.run(&TMainForm::V2Click), std::nullopt);
    ASSERT_EQ(session.platform().messages.size(), 1u);
    EXPECT_TRUE(session.platform().messages[0].text.startsWith(QStringLiteral("HALVANE-2   Verion 1.02 \n")));

    TChild* window = showGradient(session);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(session.mainForm().ActiveImageWindow(), window);
    EXPECT_EQ(session.run(&TMainForm::Button1Click), std::nullopt);
    EXPECT_EQ(session.mainForm().Edit1->text(), QStringLiteral("200.0%"));

    window->state.Average = "1000";
    window->state.Minimum = "1000";
    EXPECT_EQ(session.run(&TMainForm::Button3Click), QString::fromUtf8(msg::kInvalidOperation));
    window->state.Minimum = "x";
    EXPECT_EQ(session.run(&TMainForm::Button4Click), QStringLiteral("'x' は整数ではありません"));
    EXPECT_EQ(session.run(&TMainForm::V2Click), std::nullopt);  // older errors are not reported again
}

TEST(CliSession, AWindowClosedBetweenCommandsIsFreedBeforeTheNext) {
    CliSession session;
    QPointer<TChild> window = showGradient(session);
    ASSERT_FALSE(window.isNull());
    session.mainForm().closeImageWindow(window);
    EXPECT_EQ(session.run(&TMainForm::V2Click), std::nullopt);
    EXPECT_TRUE(window.isNull());
}

TEST(CliSession, ASecondSessionStartsAfresh) {
    CliSession session;
    EXPECT_EQ(session.mainForm().mdiArea()->subWindowList().size(), 0);
    EXPECT_TRUE(session.platform().messages.empty());
    ASSERT_NE(showGradient(session), nullptr);
}
}  // namespace
