// The benchmark's timed stages and what each shows: one table for the workload, the result window
// and the command line's reports.
#pragma once

// The timed stages, in the order of the result window's rows.
enum class Stage { FileAccess, ImageDisplay, Memory, Composite, Convolution, Total };
inline constexpr int kStageCount = 6;

// What the result window and the reports show of one stage: the row's caption, the value label's
// name, the unit text and the key of the command line's JSON report.
struct StageInfo {
    Stage stage;
    const char* caption;
    const char* valueLabel;
    const char* unit;
    const char* jsonKey;
};
inline constexpr StageInfo kStages[kStageCount] = {
    {Stage::FileAccess, "ファイルアクセス", "Label7", "秒", "file_access"},
    {Stage::ImageDisplay, "画像表示", "Label30", "秒", "display"},
    {Stage::Memory, "メモリ確保", "Label8", "秒", "memory"},
    {Stage::Composite, "コンポジット", "Label9", "秒", "composite"},
    {Stage::Convolution, "コンボリューション", "Label10", "秒", "convolution"},
    {Stage::Total, "トータル所要時間", "Label19", "秒", "total"},
};
static_assert([] {
    for (int k = 0; k < kStageCount; ++k)
        if (static_cast<int>(kStages[k].stage) != k) return false;
    return true;
}());
inline constexpr const StageInfo& StageOf(Stage stage) {
    return kStages[static_cast<int>(stage)];
}
