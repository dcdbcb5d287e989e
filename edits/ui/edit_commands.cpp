#include "edits/ui/edit_commands.h"

#include <array>
#include <string>
#include <utility>

#include "edits/edits.h"
#include "view/ui/child.h"
#include "view/ui/frame.h"
#include "view/view_model.h"
#include "view/view_ops.h"

namespace {

// The active window when it is a colour window; the edits leave every other kind alone.
TChild* activeColourWindow(ImageFrame& frame) {
    TChild* window = frame.ActiveImageWindow();
    if (!window || WindowKind(window->state) != kColourWindow) return nullptr;
    return window;
}

// Mirror and flip show their result over the display image only; the stored image keeps the
// unedited picture, so the next redraw from it discards the edit.
void showOverDisplay(TChild& window, const Picture& result) {
    window.image().draw(result);
    window.imageChanged();
}

}  // namespace

void NegativeCommand(ImageFrame& frame) {
    TChild* window = activeColourWindow(frame);
    if (!window) return;
    const Picture result = NegativeOf(std::as_const(*window).imageZm());
    showOverDisplay(*window, result);
    window->imageZm().draw(result);  // the negative alone replaces the stored image as well
}

void MirrorCommand(ImageFrame& frame) {
    TChild* window = activeColourWindow(frame);
    if (!window) return;
    showOverDisplay(*window, MirrorOf(std::as_const(*window).imageZm()));
}

void FlipCommand(ImageFrame& frame) {
    TChild* window = activeColourWindow(frame);
    if (!window) return;
    showOverDisplay(*window, FlipOf(std::as_const(*window).imageZm()));
}

void RgbSplitCommand(ImageFrame& frame) {
    TChild* source = activeColourWindow(frame);
    if (!source) return;
    const Picture& stored = std::as_const(*source).imageZm();
    const int w = stored.width();
    const int h = stored.height();
    // Every picture the three windows will hold exists before the first window is made, so that
    // running out of memory leaves no half-made window behind.
    struct Pictures {
        Picture display;
        Picture stored;
    };
    std::array<Pictures, 3> channels;
    for (int k = kBlueChannel; k <= kRedChannel; ++k) {
        channels[k].display = ChannelOf(stored, k);
        channels[k].stored = channels[k].display;
    }
    static const char* const kCaptions[3] = {"Blue", "Green", "Red"};
    ToolStrip& strip = frame.toolStrip();
    for (int k = kBlueChannel; k <= kRedChannel; ++k) {
        TChild* window = frame.CreateImageWindow(0);  // its kind is written with the other fields
        window->setImage(std::move(channels[k].display));
        window->setImageZm(std::move(channels[k].stored));
        window->setClientSize(w, h);
        window->setCaption(QString::fromLatin1(kCaptions[k]));
        window->fitToContents();
        ResetToolStripRange(strip, window->state);
        ResetViewState(window->state, w, h, 3);
        window->state.FilterI = std::to_string(kColourWindow);
    }
}
