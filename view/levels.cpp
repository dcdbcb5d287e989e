#include <cmath>

#include "core/fparith.h"
#include "core/numtext.h"
#include "view/view_model.h"

SampleStats SampleStatistics(const IntPlane& plane, int width, int height) {
    double sum = 0.0;
    double count = 0.0;
    int32_t minimum = 65536;
    // Every fourth column and row, nothing within 10 pixels of an edge (64-bit bounds so a huge
    // size cannot overflow the step).
    for (long long x = 10; x < static_cast<long long>(width) - 10; x += 4) {
        const int32_t* column = plane[static_cast<int>(x)];
        for (long long y = 10; y < static_cast<long long>(height) - 10; y += 4) {
            const int32_t v = column[y];
            sum += v;
            count += 1.0;
            if (v < minimum) minimum = v;
        }
    }
    SampleStats stats;
    stats.mean = CheckedDivide(sum, count);  // an empty grid is 0 / 0
    stats.minimum = minimum;
    stats.count = count;
    return stats;
}

int DisplayLevel(int32_t v, int32_t minimum, double mean, int scale) {
    // 32-bit integer product, wrapping as the machine's registers do.
    const int32_t d = static_cast<int32_t>((static_cast<uint32_t>(v) - static_cast<uint32_t>(minimum)) *
                                           static_cast<uint32_t>(scale));
    const double q = CheckedDivide(static_cast<double>(d), mean - static_cast<double>(minimum));
    const int64_t level = TruncToInt64(q);
    if (level > 255) return 255;
    if (level < 0) return 0;
    return static_cast<int>(level);
}

void ResetViewState(ChildState& state, int width, int height, int colN) {
    state.DemX = FormatInt(width);
    state.DemY = FormatInt(height);
    state.ColN = FormatInt(colN);
    state.ZomN = "1.00";
    state.UndoFlg = "0";
}
