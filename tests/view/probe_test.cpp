// The probe and the click measurement through real mouse events on the Image control.
#include <QLabel>
#include <QTest>

#include "tests/support/gui_fixture.h"
#include "view/ui/image_control.h"

namespace {
class ProbeTest : public GuiFixture {
  protected:
    std::string label(QLabel* l) { return l->text().toStdString(); }
};

TEST_F(ProbeTest, MoveShowsThePixelUnderThePointerByKind) {
    Picture colour(200, 100);
    colour.setPixelValue(50, 25, JoinColour(30, 20, 10));
    Picture raw(200, 100);
    EncodeRawValue(4660, raw.row(25) + 3 * 50);
    struct Case {
        int kind;
        std::string text;
    };
    for (const Case& c :
         {Case{kColourWindow, "R=10  G=20  B=30   (101,51)"},
          Case{kSampleWindow, "Intensity = 4660   (101,51)"}, Case{kPpmWindow, "unchanged"}}) {
        TChild* w = makeWindow(c.kind, colour);
        w->setImageZm(raw);
        run(&TMainForm::Button1Click);  // zoom 2: (101, 51) is pixel (50, 25)
        mainForm().Label2->setText(QStringLiteral("unchanged"));
        QTest::mouseMove(w->imageControl(), QPoint(101, 51));
        QMouseEvent move(QEvent::MouseMove, QPointF(101, 51), QPointF(101, 51), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(w->imageControl(), &move);
        EXPECT_EQ(label(mainForm().Label2), c.text) << c.kind;
    }
}

TEST_F(ProbeTest, SampleProbeReadsRawValuesWhateverIsShown) {
    Picture raw(60, 60);
    EncodeRawValue(4660, raw.row(30) + 3 * 30);
    TChild* w = makeWindow(kSampleWindow, raw);
    w->state.Average = "2000";
    w->state.Minimum = "1000";
    run(&TMainForm::Button3Click);  // redraws the display from the raw values
    w->ImageMouseMove(30, 30);
    EXPECT_EQ(label(mainForm().Label2), "Intensity = 4660   (30,30)");
}

TEST_F(ProbeTest, ClickMeasuresAtTheUndividedPosition) {
    Picture p(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) p.setPixelValue(x, y, JoinColour(80, 80, 80));
    TChild* w = makeWindow(kColourWindow, p);
    struct Case {
        Qt::MouseButton button;
        QPoint at;
        bool zoom2;
        std::string extremes, fwhm;
    };
    const Case cases[] = {
        {Qt::LeftButton, {20, 20}, false, "MAX = 80 , MIN = 80", "FWHM = 6.2 pxls"},
        {Qt::RightButton, {20, 20}, false, "MAX = -1 , MIN = 256", "FWHM = 0.0 pxls"},
        {Qt::LeftButton, {3, 20}, false, "MAX = 80 , MIN = -1", "FWHM = 5.6 pxls"},
        {Qt::LeftButton, {50, 20}, true, "MAX = -1 , MIN = -1", "FWHM = 0.0 pxls"},  // beyond the picture
    };
    for (const Case& c : cases) {
        if (c.zoom2 && w->state.ZomN != "2") run(&TMainForm::Button1Click);
        QTest::mouseClick(w->imageControl(), c.button, {}, c.at);
        EXPECT_EQ(label(mainForm().Label3), c.extremes) << c.at.x();
        EXPECT_EQ(label(mainForm().Label4), c.fwhm) << c.at.x();
    }
    EXPECT_TRUE(platform().errors().empty());
}

TEST_F(ProbeTest, PaintingStretchesNearestNeighbour) {
    Picture p(2, 1);
    p.setPixelValue(0, 0, JoinColour(0, 0, 255));  // red
    p.setPixelValue(1, 0, JoinColour(255, 0, 0));  // blue
    TChild* w = makeWindow(kColourWindow, p);
    for (int i = 0; i < 4; ++i) run(&TMainForm::Button1Click);  // 16 x: 32 x 16
    ASSERT_EQ(w->imageControlSize(), QSize(32, 16));
    const QImage shot = w->imageControl()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(15, 8)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(16, 8)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(shot.pixel(0, 15)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(31, 0)), QColor(0, 0, 255));
    // A change in place shows at the next paint.
    w->image().setPixelValue(0, 0, JoinColour(0, 255, 0));
    EXPECT_EQ(QColor(w->imageControl()->grab().toImage().pixel(3, 3)), QColor(0, 255, 0));

    // A grey picture held as levels paints as its bytes would, and so after a change in place.
    const std::shared_ptr<LevelRows> levels = LevelRows::Make(2, 1);
    levels->row(0)[0] = 17;
    levels->row(0)[1] = 240;
    TChild* grey = makeWindow(kSampleWindow, Picture::FromLevels(levels, LevelForm::Grey));
    EXPECT_EQ(QColor(grey->imageControl()->grab().toImage().pixel(1, 0)), QColor(240, 240, 240));
    EXPECT_EQ(QColor(grey->imageControl()->grab().toImage().pixel(0, 0)), QColor(17, 17, 17));
    grey->image().setPixelValue(0, 0, JoinColour(0, 255, 0));
    EXPECT_EQ(QColor(grey->imageControl()->grab().toImage().pixel(0, 0)), QColor(0, 255, 0));
}
}  // namespace
