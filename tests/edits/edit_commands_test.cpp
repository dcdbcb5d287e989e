// The edit commands on real windows: what each draws on, what later redraws show, the windows RGB
// separation makes, and the kinds left alone.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "edits/edits.h"
#include "tests/support/gui_fixture.h"
#include "view/ui/updown.h"

namespace {

class EditCommands : public GuiFixture {
  protected:
    int windowCount() { return static_cast<int>(mainForm().imageWindowsMostRecentFirst().size()); }
};

// Three rows of distinct pixels; row y holds levels around 100 * y (H's effect is easy to tell).
Picture rows3(int w = 4) {
    Picture p(w, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixelValue(x, y, JoinColour(100 * y + x, 100 * y + 2 * x, 50 * y + 3 * x));
    return p;
}

// The "H" result from a picture: each byte times 1.1 truncated, 255 from 256 on (exact for the
// bytes used here: no product lands within rounding of an integer).
Picture brightened(const Picture& p) {
    Picture out(p.width(), p.height());
    for (int y = 0; y < p.height(); ++y)
        for (int i = 0; i < 3 * p.width(); ++i) {
            const int v = p.row(y)[i] * 11 / 10;
            out.row(y)[i] = static_cast<uint8_t>(v > 255 ? 255 : v);
        }
    return out;
}

TEST_F(EditCommands, NegativeTwiceRestoresBothPictures) {
    const Picture original = rows3();
    TChild* w = makeWindow(kColourWindow, original);
    w->image().setPixelValue(0, 0, 0x010203);  // something drawn over the display before
    run(&TMainForm::N1Click);
    EXPECT_TRUE(w->image().samePixels(NegativeOf(original)));
    EXPECT_TRUE(w->imageZm().samePixels(NegativeOf(original)));
    EXPECT_EQ(w->image().pixelValue(0, 1), JoinColour(155, 155, 205));
    run(&TMainForm::N1Click);
    EXPECT_TRUE(w->image().samePixels(original));
    EXPECT_TRUE(w->imageZm().samePixels(original));
}

TEST_F(EditCommands, FlipAndMirrorShowOverTheDisplayOnly) {
    const Picture original = rows3(5);
    TChild* w = makeWindow(kColourWindow, original);
    const ChildState before = w->state;
    const struct {
        void (TMainForm::*handler)();
        Picture (*edit)(const Picture&);
    } cases[] = {{&TMainForm::R1Click, FlipOf}, {&TMainForm::M1Click, MirrorOf}};
    for (const auto& c : cases) {
        for (int time = 0; time < 2; ++time) {  // again: still the edit of the stored image
            run(c.handler);
            EXPECT_TRUE(w->image().samePixels(c.edit(original)));
            EXPECT_TRUE(w->imageZm().samePixels(original));
        }
    }
    EXPECT_EQ(w->image().pixelValue(0, 0), original.pixelValue(4, 0));  // mirror: left takes right
    EXPECT_EQ(w->state.Contrast, before.Contrast);
    EXPECT_EQ(w->state.UndoFlg, before.UndoFlg);
    EXPECT_EQ(w->state.ZomN, before.ZomN);
    EXPECT_TRUE(platform().errors().empty());
}

TEST_F(EditCommands, RedrawsDiscardFlipAndFlipShowsNoContrast) {
    const Picture original = rows3();
    TChild* w = makeWindow(kColourWindow, original);
    run(&TMainForm::R1Click);
    run(&TMainForm::Button3Click);  // "H" redraws from the stored image: rows 0, 1, 2 brightened
    EXPECT_TRUE(w->image().samePixels(brightened(original)));
    EXPECT_EQ(w->state.Contrast, "1.1");
    run(&TMainForm::R1Click);  // the flip shows the stored image at contrast 1
    EXPECT_TRUE(w->image().samePixels(FlipOf(original)));
    EXPECT_EQ(w->state.Contrast, "1.1");
    run(&TMainForm::N1Click);  // the negative redraws from the stored image too
    EXPECT_TRUE(w->image().samePixels(NegativeOf(original)));
}

TEST_F(EditCommands, RgbSplitMakesThreeGreyWindowsFromTheStoredImage) {
    const Picture original = rows3(6);
    TChild* source = makeWindow(kColourWindow, original);
    source->setCaption("source");
    run(&TMainForm::Button1Click);  // zoom the source to 2
    run(&TMainForm::R1Click);       // and flip its display: the channels ignore both
    const Picture sourceDisplay = source->image();
    const ChildState sourceState = source->state;
    mainForm().toolStrip().UpDown1->setPosition(120);
    mainForm().toolStrip().UpDown2->setPosition(-40);

    run(&TMainForm::RGB2Click);
    ASSERT_TRUE(platform().errors().empty()) << platform().errors()[0].toStdString();
    const QList<TChild*> windows = mainForm().imageWindowsMostRecentFirst();
    ASSERT_EQ(windows.size(), 4);
    EXPECT_EQ(mainForm().ActiveImageWindow(), windows[0]);
    const char* captions[] = {"Red", "Green", "Blue"};  // most recent first
    const int channels[] = {kRedChannel, kGreenChannel, kBlueChannel};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(captions[i]);
        TChild* w = windows[i];
        EXPECT_EQ(w->caption(), QString::fromLatin1(captions[i]));
        EXPECT_TRUE(w->image().samePixels(ChannelOf(original, channels[i])));
        EXPECT_TRUE(w->imageZm().samePixels(ChannelOf(original, channels[i])));
        EXPECT_EQ(hvtest::StateText(w->state),
                  "DemX=6|DemY=3|ColN=3|ZomN=1.00|UndoFlg=0|Contrast=1.0|Average= "
                  "|Minimum=|FilterI=1|MAX=255|MIN=0");
        EXPECT_EQ(w->imageControlSize(), QSize(6, 3));
    }
    EXPECT_EQ(windows[3], source);
    ToolStrip& strip = mainForm().toolStrip();
    EXPECT_EQ(strip.Edit1->text(), QStringLiteral("100.0%"));
    EXPECT_EQ(strip.Edit2->text(), QStringLiteral("255"));
    EXPECT_EQ(strip.Edit3->text(), QStringLiteral("0"));
    EXPECT_EQ(strip.UpDown1->position(), 255);
    EXPECT_EQ(strip.UpDown2->position(), 0);
    // The source is untouched.
    EXPECT_TRUE(source->image().samePixels(sourceDisplay));
    EXPECT_TRUE(source->imageZm().samePixels(original));
    EXPECT_EQ(source->state.ZomN, sourceState.ZomN);
    EXPECT_EQ(source->caption(), QStringLiteral("source"));
    EXPECT_EQ(source->state.ColN, sourceState.ColN);
}

TEST_F(EditCommands, RgbSplitOfOnePixelAndOfANegative) {
    Picture one(1, 1);
    one.setPixelValue(0, 0, JoinColour(10, 20, 30));
    makeWindow(kColourWindow, one);
    run(&TMainForm::N1Click);  // the negative replaces the stored image, so the channels carry it
    run(&TMainForm::RGB2Click);
    const QList<TChild*> windows = mainForm().imageWindowsMostRecentFirst();
    ASSERT_EQ(windows.size(), 4);
    const int greys[] = {255 - 30, 255 - 20, 255 - 10};  // Red, Green, Blue
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(windows[i]->image().width(), 1);
        EXPECT_EQ(windows[i]->image().pixelValue(0, 0), JoinColour(greys[i], greys[i], greys[i])) << i;
    }
    // Separating a grey channel again gives three equal windows.
    run(&TMainForm::RGB2Click);
    const QList<TChild*> again = mainForm().imageWindowsMostRecentFirst();
    ASSERT_EQ(again.size(), 7);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(again[i]->image().samePixels(windows[0]->image()));
}

TEST_F(EditCommands, OtherKindsAndNoWindowAreLeftAlone) {
    void (TMainForm::*const handlers[])() = {&TMainForm::N1Click, &TMainForm::M1Click, &TMainForm::R1Click,
                                             &TMainForm::RGB2Click};
    for (auto handler : handlers) run(handler);  // no window at all
    EXPECT_EQ(windowCount(), 0);

    const Picture original = rows3(5);
    for (int kind : {kSampleWindow, kPpmWindow, 0}) {
        SCOPED_TRACE(kind);
        TChild* w = makeWindow(kind, original);
        const int count = windowCount();
        for (auto handler : handlers) run(handler);
        EXPECT_EQ(windowCount(), count);
        EXPECT_TRUE(w->image().samePixels(original));
        EXPECT_TRUE(w->imageZm().samePixels(original));
    }
    EXPECT_TRUE(platform().errors().empty());
}

}  // namespace
