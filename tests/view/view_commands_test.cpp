// The view commands wired to the main window: zoom, display range, up-downs, sample windows.
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "core/errors.h"
#include "core/numtext.h"
#include "tests/support/gui_fixture.h"
#include "view/ui/sample_window.h"
#include "view/ui/updown.h"
#include "view/view_ops.h"

namespace {
class ViewCommandsTest : public GuiFixture {
  protected:
    std::string edit1() { return mainForm().Edit1->text().toStdString(); }
    QSize outer(TChild* w) { return w->subWindow()->size(); }

    // A sample window made by the open command's route: a plane of 16-bit samples.
    TChild* showPlane(int w, int h, int32_t base, int32_t step) {
        IntPlane plane = MakePlane(w, h);
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y) plane[x][y] = base + step * ((x + y) % 5);
        TChild* window = nullptr;
        mainForm().runCommand([&] { window = ShowSamplePlane(mainForm(), plane, w, h); });
        hvtest::ProcessEvents();
        return window;
    }
};

TEST_F(ViewCommandsTest, ZoomOfA400x300ImageInAn892WideFrame) {
    TChild* w = makeWindow(kColourWindow, Picture(400, 300));
    ASSERT_EQ(mainForm().frameClientSize().width(), 892);
    run(&TMainForm::Button1Click);
    EXPECT_EQ(w->imageControlSize(), QSize(800, 600));
    EXPECT_EQ(w->clientSize(), QSize(800, 600));  // fitted around the Image control
    EXPECT_EQ(edit1(), "200.0%");
    EXPECT_EQ(w->state.ZomN, "2");
    run(&TMainForm::Button1Click);
    EXPECT_EQ(w->imageControlSize(), QSize(1600, 1200));
    EXPECT_EQ(outer(w), QSize(872, mainForm().frameClientSize().height() - 60));
    EXPECT_EQ(edit1(), "400.0%");
    EXPECT_EQ(w->state.ZomN, "4");
    // The window scrolls; the pictures keep the image's own size.
    EXPECT_EQ(w->image().width(), 400);
    EXPECT_EQ(w->imageZm().height(), 300);
}

TEST_F(ViewCommandsTest, ZoomStopsAtItsLimits) {
    struct Case {
        void (TMainForm::*button)();
        int presses;
        const char* zomN;
        const char* text;
        QSize control;
    };
    const Case cases[] = {
        {&TMainForm::Button1Click, 5, "16", "1600.0%", QSize(1600, 1600)},
        {&TMainForm::Button2Click, 4, "0.0625", "6.2%", QSize(6, 6)},
        {&TMainForm::Button2Click, 5, "0.0625", "6.2%", QSize(6, 6)},
    };
    for (const Case& c : cases) {
        TChild* w = makeWindow(kColourWindow, Picture(100, 100));
        for (int i = 0; i < c.presses; ++i) run(c.button);
        EXPECT_EQ(w->state.ZomN, c.zomN);
        EXPECT_EQ(edit1(), c.text);
        EXPECT_EQ(w->imageControlSize(), c.control);
        mainForm().closeImageWindow(w);
        hvtest::ProcessEvents();
    }
    EXPECT_TRUE(platform().errors().empty());
}

TEST_F(ViewCommandsTest, ZoomInThenOutFitsTheWindowAsWhenItWasMade) {
    TChild* w = makeWindow(kColourWindow, Picture(300, 200));
    const QSize client = w->clientSize();
    run(&TMainForm::Button1Click);
    run(&TMainForm::Button2Click);
    EXPECT_EQ(w->state.ZomN, "1");
    EXPECT_EQ(edit1(), "100.0%");
    EXPECT_EQ(w->imageControlSize(), QSize(300, 200));
    EXPECT_EQ(w->clientSize(), client);
}

TEST_F(ViewCommandsTest, ActivationShowsEachWindowsZoom) {
    TChild* a = makeWindow(kColourWindow, Picture(50, 50));
    run(&TMainForm::Button1Click);
    TChild* b = makeWindow(kColourWindow, Picture(50, 50));
    mainForm().Edit1->setText(QStringLiteral("100.0%"));  // what the creator writes
    EXPECT_EQ(b->state.ZomN, "1.00");
    mainForm().Edit2->setText(QStringLiteral("77"));
    mainForm().mdiArea()->setActiveSubWindow(a->subWindow());
    EXPECT_EQ(edit1(), "200.0%");
    mainForm().mdiArea()->setActiveSubWindow(b->subWindow());
    EXPECT_EQ(edit1(), "100.0%");
    EXPECT_EQ(mainForm().Edit2->text(), QStringLiteral("77"));  // nothing else is restored
}

TEST_F(ViewCommandsTest, HighAndLowOnAColourWindow) {
    Picture p(3, 1);
    p.setPixelValue(0, 0, JoinColour(200, 240, 0));
    p.setPixelValue(1, 0, JoinColour(255, 255, 255));
    p.setPixelValue(2, 0, JoinColour(1, 128, 17));
    TChild* w = makeWindow(kColourWindow, p);
    run(&TMainForm::Button3Click);
    EXPECT_EQ(w->state.Contrast, "1.1");
    EXPECT_EQ(w->image().pixelValue(0, 0), JoinColour(220, 255, 0));
    run(&TMainForm::Button3Click);
    run(&TMainForm::Button3Click);
    EXPECT_EQ(w->state.Contrast, "1.331");
    EXPECT_TRUE(w->imageZm().samePixels(p));  // the stored image never changes
    w->state.Contrast = "1.0";
    run(&TMainForm::Button4Click);
    EXPECT_EQ(w->state.Contrast, "0.909090909090909");
    EXPECT_EQ(w->image().pixelValue(1, 0), JoinColour(231, 231, 231));
    run(&TMainForm::Button3Click);
    EXPECT_EQ(w->state.Contrast, "1");
    EXPECT_TRUE(w->image().samePixels(w->imageZm()));
}

TEST_F(ViewCommandsTest, HighAndLowOnSampleAndPpmWindows) {
    TChild* s = showPlane(60, 60, 1000, 100);  // samples 1000..1400
    ASSERT_NE(s, nullptr);
    const Picture before = s->image();
    run(&TMainForm::Button3Click);
    const double mean = ParseReal(s->state.Average);
    const int minimum = ParseInt(s->state.Minimum);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{3, 4}, std::pair{59, 59}}) {
        const int v = s->imageZm().pixelValue(x, y);
        const int level = DisplayLevel(v, minimum, mean, 100);
        EXPECT_EQ(s->image().pixelValue(x, y), JoinColour(level, level, level));
    }
    const Picture high = s->image();
    run(&TMainForm::Button4Click);
    EXPECT_TRUE(s->image().samePixels(high));  // "L" re-maps the same way
    EXPECT_FALSE(s->image().samePixels(before));
    EXPECT_EQ(s->state.Contrast, "1.0");

    Picture colour(4, 4);
    colour.setPixelValue(1, 1, JoinColour(100, 100, 100));
    TChild* ppm = makeWindow(kPpmWindow, colour);
    run(&TMainForm::Button3Click);
    EXPECT_TRUE(ppm->image().samePixels(colour));
    EXPECT_EQ(ppm->state.Contrast, "1.0");
    EXPECT_TRUE(platform().errors().empty());
}

TEST_F(ViewCommandsTest, SampleWindowWithEqualAverageAndMinimumShowsTheFault) {
    TChild* s = showPlane(40, 40, 1000, 10);
    s->state.Average = "1000";
    s->state.Minimum = "1000";
    const Picture before = s->image();
    run(&TMainForm::Button3Click);
    EXPECT_EQ(platform().errors(), std::vector<QString>{QString::fromUtf8(msg::kInvalidOperation)});
    EXPECT_TRUE(s->image().samePixels(before));
    EXPECT_EQ(platform().busyDepth, 0);
}

TEST_F(ViewCommandsTest, UpDownsAtTheirLimits) {
    TChild* w = makeWindow(kColourWindow, Picture(10, 10));
    struct Case {
        UpDown* upDown;
        int start;
        bool up;
        int position;
        QLineEdit* edit;
        std::string ChildState::*field;
    };
    TMainForm& f = mainForm();
    const Case cases[] = {
        {f.UpDown1, 255, true, 265, f.Edit2, &ChildState::MAX},
        {f.UpDown1, 32767, true, 32767, f.Edit2, &ChildState::MAX},
        {f.UpDown1, 32765, true, 32767, f.Edit2, &ChildState::MAX},
        {f.UpDown1, 0, false, 0, f.Edit2, &ChildState::MAX},
        {f.UpDown2, -32767, false, -32767, f.Edit3, &ChildState::MIN},
        {f.UpDown2, 0, false, -10, f.Edit3, &ChildState::MIN},
        {f.UpDown2, 32767, true, 32767, f.Edit3, &ChildState::MIN},
    };
    const Picture shown = w->image();
    for (const Case& c : cases) {
        c.upDown->setPosition(c.start);
        c.upDown->click(c.up);  // moves within the range, then the handler runs
        const int expected = c.position;
        EXPECT_EQ(c.upDown->position(), expected) << c.start;
        EXPECT_EQ(c.edit->text().toInt(), expected);
        EXPECT_EQ(w->state.*c.field, FormatInt(expected));
    }
    EXPECT_TRUE(w->image().samePixels(shown));
    // The handler sets the increment to 10 after the move.
    f.UpDown1->setPosition(100);
    f.UpDown1->setIncrement(1);
    f.UpDown1->click(true);
    EXPECT_EQ(f.UpDown1->position(), 101);
    EXPECT_EQ(f.UpDown1->increment(), 10);
}

TEST_F(ViewCommandsTest, FirstMaxClickReplacesTheMeanWithThePosition) {
    showPlane(60, 60, 1000, 100);
    EXPECT_NE(mainForm().Edit2->text(), QStringLiteral("0"));
    mainForm().UpDown1->setPosition(0);
    mainForm().UpDown1->click(true);
    EXPECT_EQ(mainForm().Edit2->text(), QStringLiteral("10"));
}

TEST_F(ViewCommandsTest, ShowSamplePlaneFillsTheWindowAndTheFields) {
    mainForm().Edit1->setText(QStringLiteral("400.0%"));
    TChild* s = showPlane(300, 200, 1000, 100);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->state.FilterI, "2");
    EXPECT_EQ(s->state.ZomN, "1.00");
    EXPECT_EQ(s->state.DemX, "300");
    EXPECT_EQ(s->state.DemY, "200");
    EXPECT_EQ(s->state.ColN, "1");
    EXPECT_EQ(s->caption(), QString());
    IntPlane plane = MakePlane(300, 200);
    for (int x = 0; x < 300; ++x)
        for (int y = 0; y < 200; ++y) plane[x][y] = 1000 + 100 * ((x + y) % 5);
    const SampleStats stats = SampleStatistics(plane, 300, 200);
    EXPECT_EQ(s->state.Average, FormatReal(stats.mean));
    EXPECT_EQ(s->state.Minimum, FormatInt(stats.minimum));
    EXPECT_EQ(edit1(), "100.0%");
    EXPECT_EQ(mainForm().Edit2->text().toStdString(), FormatInt(static_cast<long long>(stats.mean)));
    EXPECT_EQ(mainForm().Edit3->text().toStdString(), FormatInt(stats.minimum));
    const QSize frame = mainForm().frameClientSize();
    EXPECT_EQ(s->clientSize(), QSize(frame.width() - 50, frame.height() - 100));
    EXPECT_EQ(s->imageZm().pixelValue(7, 3), plane[7][3]);
}

TEST_F(ViewCommandsTest, ShowSamplePlaneRefusalsMakeNoWindow) {
    struct Case {
        int w, h;
        int32_t step;
    };
    for (const Case& c : {Case{50, 50, 0}, Case{20, 100, 7}}) {
        EXPECT_EQ(showPlane(c.w, c.h, 1234, c.step), nullptr);
        EXPECT_EQ(mainForm().mdiArea()->subWindowList().size(), 0);
    }
    EXPECT_EQ(platform().errors(), (std::vector<QString>{QString::fromUtf8(msg::kInvalidOperation),
                                                         QString::fromUtf8(msg::kInvalidOperation)}));
}

TEST_F(ViewCommandsTest, EveryImageCommandIsANoOpOnceTheLastWindowIsClosed) {
    TChild* w = makeWindow(kColourWindow, Picture(20, 20));
    mainForm().closeImageWindow(w);
    hvtest::ProcessEvents();
    ASSERT_EQ(mainForm().ActiveImageWindow(), nullptr);
    TMainForm& f = mainForm();
    f.Edit1->setText(QStringLiteral("e1"));
    f.Edit2->setText(QStringLiteral("e2"));
    f.Edit3->setText(QStringLiteral("e3"));
    for (auto handler : {&TMainForm::Button1Click, &TMainForm::Button2Click, &TMainForm::Button3Click,
                         &TMainForm::Button4Click, &TMainForm::UpDown1Click, &TMainForm::UpDown2Click,
                         &TMainForm::N1Click, &TMainForm::M1Click, &TMainForm::R1Click, &TMainForm::RGB2Click,
                         &TMainForm::N7Click, &TMainForm::Save1Click, &TMainForm::SaveButtonClick})
        run(handler);
    f.UpDown1->click(true);
    EXPECT_TRUE(platform().errors().empty());
    EXPECT_TRUE(platform().modalShown.empty());
    EXPECT_TRUE(platform().saveRequests.empty());
    EXPECT_EQ(f.Edit1->text(), QStringLiteral("e1"));
    EXPECT_EQ(f.Edit2->text(), QStringLiteral("e2"));
    EXPECT_EQ(f.Edit3->text(), QStringLiteral("e3"));
    EXPECT_TRUE(f.mdiArea()->subWindowList().isEmpty());
}
}  // namespace
