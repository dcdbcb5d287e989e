#include "view/ui/sample_window.h"

#include <QLineEdit>

#include "core/fparith.h"
#include "core/numtext.h"
#include "view/ui/child.h"
#include "view/ui/frame.h"
#include "view/view_ops.h"

TChild* ShowSamplePlane(ImageFrame& frame, const IntPlane& plane, int width, int height) {
    SamplePictures pictures = BuildSamplePictures(plane, width, height);  // may fail: no window yet
    TChild* window = frame.CreateImageWindow(kSampleWindow);
    window->setImage(std::move(pictures.display));
    const QSize client = frame.frameClientSize();
    window->setClientSize(client.width() - 50, client.height() - 100);
    window->setImageZm(std::move(pictures.raw));
    ToolStrip& strip = frame.toolStrip();
    strip.Edit1->setText(QStringLiteral("100.0%"));
    strip.Edit2->setText(QString::fromStdString(FormatInt(TruncToInt64(pictures.stats.mean))));
    strip.Edit3->setText(QString::fromStdString(FormatInt(pictures.stats.minimum)));
    window->state.Average = FormatReal(pictures.stats.mean);
    window->state.Minimum = FormatInt(pictures.stats.minimum);
    ResetViewState(window->state, width, height, 1);
    return window;
}
