// The filter dialogs and commands in the program's windows, over a scripted platform.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "core/errors.h"
#include "filters/filters.h"
#include "filters/ui/dialogs.h"
#include "tests/filters/reference.h"
#include "tests/support/gui_fixture.h"

namespace {

class FilterCommands : public GuiFixture {
  protected:
    FilterSettings& settings() { return windows().settings; }

    // While the dialog is shown the fields get their texts; then OK is pressed unless closeBox.
    void answer(FilterDialog* dialog, std::function<void()> fill, bool closeBox = false) {
        platform().modalHandlers[dialog->objectName()] = [dialog, fill, closeBox](QWidget*) {
            fill();
            if (!closeBox) QMetaObject::invokeMethod(dialog->Button1, "click");
        };
    }
    void answerField(FilterDialog* dialog, QLineEdit* field, const QString& text, bool closeBox = false) {
        answer(
            dialog, [field, text] { field->setText(text); }, closeBox);
    }

    // The coma correction's dialog gets X, Y and the coma amount, then OK.
    void answerComa(const QString& x, const QString& y, const QString& amount) {
        TComaCorrect* d = windows().comaCorrect;
        answer(d, [d, x, y, amount] {
            d->Edit1->setText(x);
            d->Edit2->setText(y);
            d->Edit3->setText(amount);
        });
    }

    TChild* colourWindow(uint32_t seed = 1, int w = 24, int h = 18) {
        m_source = ref::randomPicture(w, h, seed);
        return makeWindow(kColourWindow, m_source);
    }
    const Picture& source() const { return m_source; }

    std::vector<QString> errors() { return platform().errors(); }

  private:
    Picture m_source;
};

// --- dialog layouts ---

TEST_F(FilterCommands, DialogsCarryTheirCaptionsLabelsAndInitialTexts) {
    HalvaneWindows& f = windows();
    struct Case {
        QWidget* dialog;
        const char* control;
        QString text;
    } cases[] = {
        {f.edg, "Label1", "強さ(1-5)"},
        {f.edg, "Edit1", "1.0"},
        {f.edg, "Button1", "OK"},
        {f.blur, "Label1", "ボケ量"},
        {f.blur, "Edit1", "1.0"},
        {f.gmm, "Label1", "γ="},
        {f.gmm, "Edit1", "1.0"},
        {f.sabachie, "Label1", "ステップ幅"},
        {f.sabachie, "Edit1", "255"},
        {f.gmcPanel, "GroupBox1", "GMC"},
        {f.gmcPanel, "Label1", "流れ量"},
        {f.gmcPanel, "Edit2", "1"},
        {f.gmcPanel, "Label3", "ピクセル"},
        {f.gmcPanel, "Label2", "向き"},
        {f.gmcPanel, "Edit1", "0"},
        {f.gmcPanel, "Label4", "度"},
        {f.gmcPanel, "GroupBox2", "Blur"},
        {f.gmcPanel, "Label8", "ぼけ量"},
        {f.gmcPanel, "Edit3", "0.2"},
        {f.gmcPanel, "Label5", "ピクセル"},
        {f.gmcPanel, "Label6", "閾値"},
        {f.gmcPanel, "Edit4", "0"},
        {f.comaCorrect, "Label1", "光軸座標"},
        {f.comaCorrect, "Label2", "X = "},
        {f.comaCorrect, "Label3", "Y = "},
        {f.comaCorrect, "Label4", "コマ量"},
        {f.comaCorrect, "Edit1", ""},
        {f.comaCorrect, "Edit2", ""},
        {f.comaCorrect, "Edit3", ""},
    };
    for (const Case& c : cases) {
        QWidget* control = c.dialog->findChild<QWidget*>(QString::fromLatin1(c.control));
        ASSERT_NE(control, nullptr) << c.dialog->objectName().toStdString() << "." << c.control;
        QString text;
        if (auto* l = qobject_cast<QLabel*>(control)) text = l->text();
        if (auto* e = qobject_cast<QLineEdit*>(control)) text = e->text();
        if (auto* b = qobject_cast<QPushButton*>(control)) text = b->text();
        if (auto* g = qobject_cast<QGroupBox*>(control)) text = g->title();
        EXPECT_EQ(text, c.text) << c.dialog->objectName().toStdString() << "." << c.control;
    }
    const std::pair<QWidget*, const char*> captions[] = {
        {f.edg, "EDG"},           {f.blur, "BLUR"},         {f.gmm, "GMM"},
        {f.sabachie, "Sabachie"}, {f.gmcPanel, "GMCPanel"}, {f.comaCorrect, "ComaCorrect"}};
    for (auto [dialog, caption] : captions) {
        EXPECT_EQ(dialog->windowTitle(), QString::fromLatin1(caption));
        EXPECT_FALSE(dialog->isVisible());
    }
    EXPECT_EQ(f.gmm->size(), QSize(137, 113));
    EXPECT_EQ(f.sabachie->findChild<QWidget*>("Sabachie")->size(), QSize(169, 153));
}

// --- dialog validation ---

TEST_F(FilterCommands, OkValidatesStoresAndClosesOrStaysOpen) {
    HalvaneWindows& f = windows();
    struct Case {
        FilterDialog* dialog;
        QLineEdit* field;
        QString text;
        bool accepted;
        QString message;  // the dialog's own box, or empty
        double FilterSettings::*setting;
        double stored;  // the setting afterwards
    } cases[] = {
        {f.edg, f.edg->Edit1, "0.9", false, msg::kEdgeRange, &FilterSettings::EdgeStrength, 0.9},
        {f.edg, f.edg->Edit1, "5.1", false, msg::kEdgeRange, &FilterSettings::EdgeStrength, 5.1},
        {f.edg, f.edg->Edit1, "1", true, "", &FilterSettings::EdgeStrength, 1.0},
        {f.edg, f.edg->Edit1, "5", true, "", &FilterSettings::EdgeStrength, 5.0},
        {f.blur, f.blur->Edit1, "0", false, msg::kPositiveNumber, &FilterSettings::BlurAmount, 0.0},
        {f.blur, f.blur->Edit1, "-1", false, msg::kPositiveNumber, &FilterSettings::BlurAmount, -1.0},
        {f.blur, f.blur->Edit1, "11", false, msg::kPositiveNumber, &FilterSettings::BlurAmount, 11.0},
        {f.blur, f.blur->Edit1, "10", true, "", &FilterSettings::BlurAmount, 10.0},
        {f.gmm, f.gmm->Edit1, "0", false, msg::kGammaPositive, &FilterSettings::GammaValue, 0.0},
        {f.gmm, f.gmm->Edit1, "-2", false, msg::kGammaPositive, &FilterSettings::GammaValue, -2.0},
        {f.gmm, f.gmm->Edit1, "0.5", true, "", &FilterSettings::GammaValue, 0.5},
    };
    for (const Case& c : cases) {
        platform().messages.clear();
        c.dialog->setResult(QDialog::Rejected);
        c.field->setText(c.text);
        c.dialog->Button1Click();
        const std::string what = c.dialog->objectName().toStdString() + " " + c.text.toStdString();
        EXPECT_EQ(c.dialog->result() == QDialog::Accepted, c.accepted) << what;
        EXPECT_EQ(settings().*c.setting, c.stored) << what;
        if (c.message.isEmpty()) {
            EXPECT_TRUE(platform().messages.empty()) << what;
        } else {
            ASSERT_EQ(platform().messages.size(), 1u) << what;
            EXPECT_EQ(platform().messages[0].text, c.message) << what;
            EXPECT_FALSE(platform().messages[0].error) << what;
        }
    }
}

TEST_F(FilterCommands, TextThatIsNoNumberOrOverflowsLeavesTheSettingAndTheDialogOpen) {
    HalvaneWindows& f = windows();
    settings().EdgeStrength = 3;
    settings().BlurAmount = 2;
    settings().GammaValue = 4;
    struct Case {
        FilterDialog* dialog;
        QLineEdit* field;
        double FilterSettings::*setting;
        double kept;
        const char* text;
        std::string error;
    } cases[] = {
        {f.edg, f.edg->Edit1, &FilterSettings::EdgeStrength, 3, "1,5", "'1,5' は浮動小数点数ではありません"},
        {f.blur, f.blur->Edit1, &FilterSettings::BlurAmount, 2, "1,5", "'1,5' は浮動小数点数ではありません"},
        {f.gmm, f.gmm->Edit1, &FilterSettings::GammaValue, 4, "1,5", "'1,5' は浮動小数点数ではありません"},
        {f.edg, f.edg->Edit1, &FilterSettings::EdgeStrength, 3, "1e400", msg::kOverflow},
        {f.blur, f.blur->Edit1, &FilterSettings::BlurAmount, 2, "1e400", msg::kOverflow},
        {f.gmm, f.gmm->Edit1, &FilterSettings::GammaValue, 4, "-1e400", msg::kOverflow},
        {f.gmcPanel, f.gmcPanel->Edit3, &FilterSettings::BlurAmount, 2, "1e400", msg::kOverflow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog->objectName().toStdString() + " " + c.text);
        platform().messages.clear();
        c.dialog->show();
        c.dialog->setResult(QDialog::Rejected);
        c.field->setText(c.text);
        c.dialog->Button1->click();  // the OK button's own signal: nothing may escape it
        EXPECT_TRUE(c.dialog->isVisible());
        EXPECT_NE(c.dialog->result(), QDialog::Accepted);
        EXPECT_EQ(settings().*c.setting, c.kept);
        ASSERT_EQ(errors().size(), 1u);
        EXPECT_EQ(errors()[0].toStdString(), c.error);
        c.dialog->hide();
    }
}

TEST_F(FilterCommands, CancellerDialogStoresFieldByField) {
    TGMCPanel* d = windows().gmcPanel;
    settings().GmcThreshold = 77;
    d->Edit1->setText("45");
    d->Edit2->setText("2");
    d->Edit3->setText("0.1");
    d->Edit4->setText("abc");
    d->setResult(QDialog::Rejected);
    d->Button1Click();
    EXPECT_EQ(settings().GmcDirection, 45);
    EXPECT_EQ(settings().GmcFlow, 2);
    EXPECT_EQ(settings().BlurAmount, 0.2);
    EXPECT_EQ(d->Edit3->text(), "0.2");
    EXPECT_EQ(settings().GmcThreshold, 77);
    EXPECT_EQ(settings().GmcConfirmed, 0);
    EXPECT_NE(d->result(), QDialog::Accepted);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0], "'abc' は整数ではありません");

    d->Edit4->setText("120");
    d->Edit3->setText("-3");
    d->Button1Click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(settings().GmcThreshold, 120);
    EXPECT_EQ(settings().BlurAmount, 0.2);
    EXPECT_EQ(settings().GmcConfirmed, 1);
    // An integer field refuses a fraction before anything later is stored.
    d->Edit1->setText("10.5");
    d->Edit2->setText("3");
    d->Button1Click();
    EXPECT_EQ(settings().GmcDirection, 45);
    EXPECT_EQ(settings().GmcFlow, 2);
}

// --- commands and what they draw ---

TEST_F(FilterCommands, FiltersDrawOverTheDisplayFromTheStoredImage) {
    HalvaneWindows& f = windows();
    TChild* w = colourWindow();
    struct Case {
        const char* name;
        void (TMainForm::*handler)();
        std::function<void()> script;
        std::function<Picture(const Picture&)> expected;
    } cases[] = {
        {"edge", &TMainForm::N2Click, [&] { answerField(f.edg, f.edg->Edit1, "4"); },
         [](const Picture& p) { return EdgeEnhance(p, 4.0); }},
        {"blur", &TMainForm::N4Click, [&] { answerField(f.blur, f.blur->Edit1, "1.5"); },
         [](const Picture& p) { return BlurPicture(p, 1.5); }},
        {"gamma", &TMainForm::N6Click, [&] { answerField(f.gmm, f.gmm->Edit1, "2"); },
         [](const Picture& p) { return GammaCurve(p, 2.0); }},
        {"solarize", &TMainForm::N7Click, [] {}, [](const Picture& p) { return Solarize(p); }},
        {"sabattier", &TMainForm::N8Click, [&] { answerField(f.sabachie, f.sabachie->Edit1, "64"); },
         [](const Picture& p) { return Sabattier(p, 64.0); }},
        {"coma", &TMainForm::N9Click,
         [&] {
             f.gmm->Edit1->setText("0.5");
             answerComa("100", "-7", "0.5");
         },
         [](const Picture& p) { return GammaCurve(p, 0.5); }},
    };
    // Each runs twice, after another filter: the result never builds on what was shown.
    for (const Case& c : cases)
        for (int pass = 0; pass < 2; ++pass) {
            c.script();
            w->state.UndoFlg = "0";
            run(c.handler);
            EXPECT_TRUE(errors().empty()) << c.name;
            EXPECT_TRUE(w->image().samePixels(c.expected(source()))) << c.name << " pass " << pass;
            EXPECT_TRUE(w->imageZm().samePixels(source())) << c.name;
            EXPECT_EQ(w->state.UndoFlg, "1") << c.name;
        }
    EXPECT_EQ(settings().GammaValue, 0.5);  // coma correction read the gamma dialog's field
}

TEST_F(FilterCommands, CancellerBuildsOnTheDisplayAndABlurDiscardsIt) {
    TChild* w = colourWindow(2);
    answer(windows().gmcPanel, [] {});
    run(&TMainForm::P1Click);
    Picture once = source();
    GuideMissCancel(once, source().width(), source().height(), {0, 1, 0.2, 0});
    EXPECT_TRUE(w->image().samePixels(once));
    run(&TMainForm::P1Click);
    Picture twice = once;
    GuideMissCancel(twice, source().width(), source().height(), {0, 1, 0.2, 0});
    EXPECT_TRUE(w->image().samePixels(twice));
    EXPECT_FALSE(twice.samePixels(once));
    EXPECT_EQ(w->state.UndoFlg, "0");
    EXPECT_TRUE(w->imageZm().samePixels(source()));

    // The blur dialog closed without OK after the canceller stored ぼけ量 0.2: a one-cell kernel
    // redraws the stored image.
    run(&TMainForm::N4Click);
    EXPECT_EQ(settings().BlurAmount, 0.2);
    EXPECT_TRUE(w->image().samePixels(source()));
}

TEST_F(FilterCommands, CancellerNeedsOneAcceptedOk) {
    TChild* w = colourWindow(3);
    run(&TMainForm::P1Click);  // closed by its close box before any OK
    EXPECT_TRUE(w->image().samePixels(source()));
    EXPECT_EQ(platform().modalShown.size(), 1u);
    answer(windows().gmcPanel, [] {});
    run(&TMainForm::P1Click);
    EXPECT_FALSE(w->image().samePixels(source()));
    const Picture after = w->image();
    platform().modalHandlers.clear();
    run(&TMainForm::P1Click);  // close box, but confirmed once: runs again
    EXPECT_FALSE(w->image().samePixels(after));
}

TEST_F(FilterCommands, CancellerWorksThroughTheZoomedControl) {
    TChild* w = colourWindow(4, 9, 7);
    run(&TMainForm::Button1Click);
    run(&TMainForm::Button1Click);
    ASSERT_EQ(w->imageControlSize(), QSize(36, 28));
    answer(windows().gmcPanel, [&] {
        windows().gmcPanel->Edit1->setText("30");
        windows().gmcPanel->Edit4->setText("150");
    });
    run(&TMainForm::P1Click);
    Picture expected = source();
    ref::guideMiss(expected, 36, 28, 30, 1, 0.2, 150);
    EXPECT_TRUE(w->image().samePixels(expected));
}

TEST_F(FilterCommands, WindowKindsEachFilterActsOn) {
    HalvaneWindows& f = windows();
    answerComa("1", "1", "1");
    answer(f.gmcPanel, [] {});
    answerField(f.sabachie, f.sabachie->Edit1, "128");
    struct Case {
        const char* name;
        void (TMainForm::*handler)();
        bool sample, ppm;  // whether a sample window and a PPM window change
    } cases[] = {
        {"edge", &TMainForm::N2Click, false, false},   {"blur", &TMainForm::N4Click, false, false},
        {"gamma", &TMainForm::N6Click, false, false},  {"solarize", &TMainForm::N7Click, false, false},
        {"coma", &TMainForm::N9Click, false, false},   {"sabattier", &TMainForm::N8Click, true, true},
        {"canceller", &TMainForm::P1Click, true, true}};
    settings().EdgeStrength = 4;
    settings().BlurAmount = 1;
    const Picture p = ref::randomPicture(16, 12, 5);
    for (const Case& c : cases)
        for (int kind : {kSampleWindow, kPpmWindow}) {
            TChild* w = makeWindow(kind, p);
            run(c.handler);
            EXPECT_TRUE(errors().empty()) << c.name;
            const bool changes = kind == kSampleWindow ? c.sample : c.ppm;
            EXPECT_EQ(!w->image().samePixels(p), changes) << c.name << " kind " << kind;
            mainForm().closeImageWindow(w);
            hvtest::ProcessEvents();
        }
}

TEST_F(FilterCommands, WithoutAWindowNothingIsShownButTheCancellerDialog) {
    const std::pair<void (TMainForm::*)(), int> cases[] = {{&TMainForm::N2Click, 0}, {&TMainForm::N4Click, 0},
                                                           {&TMainForm::N6Click, 0}, {&TMainForm::N7Click, 0},
                                                           {&TMainForm::N8Click, 0}, {&TMainForm::N9Click, 0},
                                                           {&TMainForm::P1Click, 1}};
    answer(windows().gmcPanel, [] {});
    for (auto [handler, dialogs] : cases) {
        platform().modalShown.clear();
        run(handler);
        EXPECT_EQ(static_cast<int>(platform().modalShown.size()), dialogs);
        EXPECT_TRUE(errors().empty());
    }
}

TEST_F(FilterCommands, RefusedValuesReachTheCommandThroughTheCloseBox) {
    HalvaneWindows& f = windows();
    TChild* w = colourWindow(6);
    // OK refuses 6.5; the dialog is then closed by its close box and the stored 6.5 is used.
    answerField(f.edg, f.edg->Edit1, "6.5");
    run(&TMainForm::N2Click);
    EXPECT_EQ(platform().messages.front().text, msg::kEdgeRange);
    EXPECT_TRUE(w->image().samePixels(ref::edge(source(), 6.5)));
    answerField(f.blur, f.blur->Edit1, "11");
    run(&TMainForm::N4Click);
    EXPECT_TRUE(w->image().samePixels(BlurPicture(source(), 11)));
    EXPECT_TRUE(errors().empty());
}

// Faults and refused parameters end the command with the box and leave the display.
TEST_F(FilterCommands, FaultsLeaveTheDisplayUnchanged) {
    HalvaneWindows& f = windows();
    struct Case {
        const char* name;
        void (TMainForm::*handler)();
        std::function<void()> script;
        QString message;
    } cases[] = {
        {"edge 6", &TMainForm::N2Click, [&] { answerField(f.edg, f.edg->Edit1, "6"); },
         msg::kInvalidOperation},
        {"blur 0", &TMainForm::N4Click, [&] { settings().BlurAmount = 0; }, msg::kPositiveNumber},
        {"blur -2", &TMainForm::N4Click, [&] { settings().BlurAmount = -2; }, msg::kPositiveNumber},
        {"canceller flow -1", &TMainForm::P1Click, [&] { answerField(f.gmcPanel, f.gmcPanel->Edit2, "-1"); },
         msg::kGmcFlowNegative},
        {"canceller blur 0", &TMainForm::P1Click,
         [&] {
             f.gmcPanel->Edit2->setText("1");
             f.gmcPanel->Button1Click();
             platform().modalHandlers.erase("TGMCPanel");
             settings().BlurAmount = 0;
         },
         msg::kGmcBlurNotPositive},
        {"gamma -1", &TMainForm::N6Click, [&] { answerField(f.gmm, f.gmm->Edit1, "-1", true); },
         msg::kDivideByZero},
        {"gamma text", &TMainForm::N6Click, [&] { answerField(f.gmm, f.gmm->Edit1, "x", true); },
         "'x' は浮動小数点数ではありません"},
        {"sabattier 0 at 0", &TMainForm::N8Click,
         [&] { answerField(f.sabachie, f.sabachie->Edit1, "0", true); }, msg::kInvalidOperation},
        {"coma empty", &TMainForm::N9Click,
         [&] {
             f.gmm->Edit1->setText("2");
             answerComa("", "", "");
         },
         "'' は整数ではありません"},
        {"coma X 10.5", &TMainForm::N9Click, [&] { answerComa("10.5", "1", "1"); },
         "'10.5' は整数ではありません"},
        {"coma gamma -1", &TMainForm::N9Click,
         [&] {
             f.gmm->Edit1->setText("-1");
             answerComa("1", "1", "1");
         },
         msg::kDivideByZero},
    };
    Picture withZero = ref::randomPicture(10, 8, 7);
    withZero.row(0)[0] = 0;
    TChild* w = makeWindow(kColourWindow, withZero);
    Picture shown = ref::uniformPicture(10, 8, 33);
    for (const Case& c : cases) {
        w->image().draw(shown);
        w->state.UndoFlg = "0";
        platform().messages.clear();
        c.script();
        run(c.handler);
        ASSERT_FALSE(errors().empty()) << c.name;
        EXPECT_EQ(errors().back(), c.message) << c.name;
        EXPECT_TRUE(w->image().samePixels(shown)) << c.name;
        EXPECT_EQ(w->state.UndoFlg, "0") << c.name;
    }
}

TEST_F(FilterCommands, PowerZeroAndStepZeroAfterANonZeroByte) {
    HalvaneWindows& f = windows();
    Picture p = ref::randomPicture(6, 4, 8);
    p.row(0)[0] = 0;
    TChild* w = makeWindow(kColourWindow, p);
    answerField(f.gmm, f.gmm->Edit1, "0", true);
    run(&TMainForm::N6Click);
    EXPECT_TRUE(w->image().samePixels(ref::uniformPicture(6, 4, 255)));
    w->imageZm().row(0)[0] = 5;
    answerField(f.sabachie, f.sabachie->Edit1, "0");
    run(&TMainForm::N8Click);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0], msg::kDivideByZero);
}

}  // namespace
