// The dispatcher: every failure becomes the standard error box, nothing escapes, the cursor comes
// back. And the real platform's boxes, answered from a timer.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <new>
#include <stdexcept>

#include "core/errors.h"
#include "platform/qt_platform.h"
#include "tests/support/gui_fixture.h"

namespace {
class DispatcherTest : public GuiFixture {};

TEST_F(DispatcherTest, EachErrorTypeBecomesTheBoxAndNeverEscapes) {
    struct Case {
        const char* name;
        std::function<void()> raise;
        std::string message;
    };
    const Case cases[] = {
        {"integer text", [] { throw ConversionError("'x' は整数ではありません"); },
         "'x' は整数ではありません"},
        {"real text", [] { throw ConversionError("'y' は浮動小数点数ではありません"); },
         "'y' は浮動小数点数ではありません"},
        {"division", [] { throw FloatingPointError(FpFault::DivideByZero); }, msg::kDivideByZero},
        {"invalid", [] { throw FloatingPointError(FpFault::InvalidOperation); }, msg::kInvalidOperation},
        {"overflow", [] { throw FloatingPointError(FpFault::Overflow); }, msg::kOverflow},
        {"our memory", [] { throw OutOfMemoryError(); }, msg::kOutOfMemory},
        {"file", [] { throw FileError("file refused"); }, "file refused"},
        {"bad_alloc", [] { throw std::bad_alloc(); }, msg::kOutOfMemory},
        {"std exception", [] { throw std::runtime_error("plain failure"); }, "plain failure"},
        {"anything", [] { throw 42; }, "不明なエラーが発生しました"},
    };
    for (const Case& c : cases) {
        const size_t before = platform().messages.size();
        const int calls = platform().busyCalls;
        EXPECT_NO_THROW(mainForm().runCommand(c.raise)) << c.name;
        ASSERT_EQ(platform().messages.size(), before + 1) << c.name;
        EXPECT_TRUE(platform().messages.back().error);
        EXPECT_EQ(platform().messages.back().text.toStdString(), c.message) << c.name;
        EXPECT_EQ(platform().busyCalls, calls + 1) << c.name;
        EXPECT_EQ(platform().busyDepth, 0) << c.name;  // restored on the error path
    }
}

TEST_F(DispatcherTest, SuccessShowsNoBoxAndRestoresTheCursor) {
    bool ran = false;
    mainForm().runCommand([&] {
        ran = true;
        EXPECT_EQ(platform().busyDepth, 1);  // busy while it runs
    });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(platform().messages.empty());
    EXPECT_EQ(platform().busyDepth, 0);
}

TEST_F(DispatcherTest, HeadlessSessionReportsTheFirstError) {
    // The same dispatcher, as the command line uses it through its session.
    mainForm().runCommand([] { throw FloatingPointError(FpFault::Overflow); });
    EXPECT_EQ(platform().errors(), std::vector<QString>{QString::fromUtf8(msg::kOverflow)});
}

// Answers the next modal box from a timer: checks it, then presses the button with the text.
void answerNextBox(const QString& buttonText, QStringList* seenButtons, QString* seenText,
                   bool* cursorWasBusy = nullptr, QString* defaultButton = nullptr) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (seenText) *seenText = box->text();
        if (defaultButton && box->defaultButton()) *defaultButton = box->defaultButton()->text();
        if (cursorWasBusy) *cursorWasBusy = QApplication::overrideCursor() != nullptr;
        for (QAbstractButton* b : box->buttons()) {
            if (seenButtons) *seenButtons << b->text();
            if (b->text() == buttonText) b->click();
        }
    });
}

TEST_F(DispatcherTest, RealYesNoBoxHasTheJapaneseButtons) {
    QtPlatform qt;
    for (const auto& [press, expected] :
         {std::pair{QStringLiteral("はい(&Y)"), true}, std::pair{QStringLiteral("いいえ(&N)"), false}}) {
        QStringList buttons;
        QString text;
        QString defaultButton;
        answerNextBox(press, &buttons, &text, nullptr, &defaultButton);
        EXPECT_EQ(qt.askYesNo(&mainForm(), QStringLiteral("計測を開始しますか？"), QStringLiteral("確認")),
                  expected);
        EXPECT_EQ(text, QStringLiteral("計測を開始しますか？"));
        EXPECT_EQ(defaultButton, QStringLiteral("はい(&Y)"));
        buttons.sort();
        EXPECT_EQ(buttons, (QStringList{QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)")}));
    }
}

TEST_F(DispatcherTest, RealErrorBoxLiftsAndRestoresTheBusyCursor) {
    QtPlatform qt;
    TMainForm form(qt);
    bool busyDuringBox = true;
    QString text;
    answerNextBox(QStringLiteral("OK"), nullptr, &text, &busyDuringBox);
    form.runCommand([] { throw FloatingPointError(FpFault::DivideByZero); });
    EXPECT_EQ(text, QString::fromUtf8(msg::kDivideByZero));
    EXPECT_FALSE(busyDuringBox);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Nested busy sections restore only at the outermost end.
    qt.setBusy(true);
    qt.setBusy(true);
    qt.setBusy(false);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    qt.setBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    qt.setBusy(false);  // unbalanced: ignored
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DispatcherTest, ScriptedModalHandlersRunWhileTheWindowIsShown) {
    QWidget named;
    named.setObjectName(QStringLiteral("TEDG"));
    QWidget unnamed;
    unnamed.setObjectName(QStringLiteral("TBLUR"));
    bool visibleInHandler = false;
    platform().modalHandlers[QStringLiteral("TEDG")] = [&](QWidget* w) { visibleInHandler = w->isVisible(); };
    platform().showModal(&named);
    platform().showModal(&unnamed);  // no handler: closed at once
    EXPECT_TRUE(visibleInHandler);
    EXPECT_FALSE(named.isVisible());
    EXPECT_FALSE(unnamed.isVisible());
    EXPECT_EQ(platform().modalShown, (std::vector<QString>{"TEDG", "TBLUR"}));
}

TEST_F(DispatcherTest, RealModalShowOfAPlainWindowReturnsWhenHidden) {
    QtPlatform qt;
    QWidget window;
    window.setObjectName(QStringLiteral("plain"));
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        wasModal = window.isVisible() && window.isModal();
        window.hide();
    });
    qt.showModal(&window);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isModal());  // modality restored
}
}  // namespace
