#include "view/ui/view_commands.h"

#include <QLineEdit>

#include "core/numtext.h"
#include "view/ui/child.h"
#include "view/ui/frame.h"
#include "view/ui/updown.h"
#include "view/view_ops.h"

void ZoomCommand(ImageFrame& frame, bool zoomIn) {
    TChild* window = frame.ActiveImageWindow();
    if (!window) return;
    window->setImageAutoSize(false);  // stays off in this window, also at a limit
    const int width = ParseInt(window->state.DemX);
    const int height = ParseInt(window->state.DemY);
    const double z0 = ParseReal(window->state.ZomN);
    const std::optional<double> step = zoomIn ? ZoomInStep(z0) : ZoomOutStep(z0);
    if (!step) return;
    const double z = *step;
    window->bringToFront();
    const QSize client = frame.frameClientSize();
    const ZoomLayout layout = ComputeZoomLayout(width, height, z, client.width(), client.height());
    window->setImageControlSize(layout.imageWidth, layout.imageHeight);
    if (layout.fillFrame)
        window->setOuterSize(layout.outerWidth, layout.outerHeight);
    else
        window->fitToContents();
    frame.toolStrip().Edit1->setText(QString::fromStdString(ZoomText(z)));
    window->state.ZomN = FormatReal(z);
}

void DisplayRangeCommand(ImageFrame& frame, bool high) {
    TChild* window = frame.ActiveImageWindow();
    if (!window) return;
    const int kind = WindowKind(window->state);
    if (kind == kColourWindow) {
        const std::string c = ContrastStep(window->imageZm(), window->image(), window->state.Contrast, high);
        window->state.Contrast = c;
    } else if (kind == kSampleWindow) {
        SampleRemap(window->imageZm(), window->image(), window->state.Average, window->state.Minimum);
    }
}

namespace {
void upDownCommand(ImageFrame& frame, UpDown* upDown, QLineEdit* edit, std::string ChildState::*field) {
    TChild* window = frame.ActiveImageWindow();
    if (!window) return;
    upDown->setIncrement(10);
    const std::string p = FormatInt(upDown->position());
    edit->setText(QString::fromStdString(p));
    window->state.*field = p;
}
}  // namespace

void MaxUpDownCommand(ImageFrame& frame) {
    upDownCommand(frame, frame.toolStrip().UpDown1, frame.toolStrip().Edit2, &ChildState::MAX);
}

void MinUpDownCommand(ImageFrame& frame) {
    upDownCommand(frame, frame.toolStrip().UpDown2, frame.toolStrip().Edit3, &ChildState::MIN);
}
