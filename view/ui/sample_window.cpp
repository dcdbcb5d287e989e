#include "view/ui/sample_window.h"

#include <QLineEdit>

#include "core/fparith.h"
#include "core/numtext.h"
#include "view/ui/child.h"
#include "view/ui/frame.h"
#include "view/view_ops.h"

TChild* ShowSamplePictures(ImageFrame& frame, Picture display, Picture raw, double mean, int32_t minimum,
                           int width, int height, const QString& caption) {
    TChild* window = frame.CreateImageWindow(kSampleWindow);
    window->setImage(std::move(display));
    const QSize client = frame.frameClientSize();
    window->setClientSize(client.width() - 50, client.height() - 100);
    window->setImageZm(std::move(raw));
    window->setCaption(caption);
    ToolStrip& strip = frame.toolStrip();
    if (strip.Edit1) strip.Edit1->setText(QStringLiteral("100.0%"));
    if (strip.Edit2) strip.Edit2->setText(QString::fromStdString(FormatInt(TruncToInt64(mean))));
    if (strip.Edit3) strip.Edit3->setText(QString::fromStdString(FormatInt(minimum)));
    window->state.Average = FormatReal(mean);
    window->state.Minimum = FormatInt(minimum);
    ResetViewState(window->state, width, height, 1);
    window->show();
    return window;
}

TChild* ShowSamplePlane(ImageFrame& frame, const IntPlane& plane, int width, int height) {
    SamplePictures pictures = BuildSamplePictures(plane, width, height);  // may fail: no window yet
    return ShowSamplePictures(frame, std::move(pictures.display), std::move(pictures.raw),
                              pictures.stats.mean, pictures.stats.minimum, width, height);
}
