#include "benchmark/ui/benchmark_command.h"

#include <QLabel>

#include "benchmark/ui/forms.h"
#include "benchmark/workload.h"
#include "core/numtext.h"
#include "platform/platform.h"
#include "view/ui/child.h"
#include "view/ui/frame.h"
#include "view/ui/sample_window.h"
#include "view/view_model.h"

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

// A sample window captioned with the file name, holding the levels as its raw values.
TChild* ShowBenchmarkImage(ImageFrame& frame, ShownImage& shown) {
    return ShowSamplePictures(frame, std::move(shown.grey), std::move(shown.raw), shown.mean, shown.minimum,
                              shown.width, shown.height, Text(shown.caption));
}

namespace {

void FillPanel(Tpanel& panel, const WorkloadFigures& f, Platform& platform) {
    const MemoryStatus memory = platform.memoryStatus();
    // The order in which the labels are written.
    panel.Label17->setText(Text(FormatLocalDateTime(platform.localDateTime())));
    panel.Label11->setText(Text(FormatInt(f.score)));
    for (const Stage stage : {Stage::Total, Stage::Memory, Stage::FileAccess, Stage::Composite,
                              Stage::Convolution, Stage::ImageDisplay})
        panel.stageValue(stage)->setText(Text(SecondsText(f.msOf(stage))));
    panel.Label23->setText(Text(OsName(platform.osVersion())));
    panel.Label25->setText(Text(FormatInt(MemoryMegabytes(memory.availablePhysicalBytes))));
    panel.Label27->setText(Text(FormatInt(MemoryMegabytes(memory.totalPhysicalBytes))));
}

}  // namespace

BenchmarkReport BenchmarkCommand(ImageFrame& frame, Tpanel& panel, const WorkloadOptions& options) {
    Platform& platform = frame.platform();
    if (!platform.askYesNo(frame.frameWidget(), QStringLiteral("計測を開始します。"), QStringLiteral("確認")))
        return {};

    WorkloadFigures f;
    {
        BusyScope busy(platform);
        const WorkloadClock clock{[&platform] { return platform.tickCount(); }};
        f = RunWorkload(
            ProcessRandom(), clock, [&frame](ShownImage& shown) { ShowBenchmarkImage(frame, shown); },
            options);
    }

    FillPanel(panel, f, platform);
    platform.showModal(&panel);

    // Closing a window activates another one: decide on the four from one snapshot.
    const QList<TChild*> recent = frame.imageWindowsMostRecentFirst();
    for (int i = 0; i < 4 && i < recent.size(); ++i) frame.closeImageWindow(recent[i]);

    return {true, f};
}
