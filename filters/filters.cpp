#include "filters/filters.h"

#include <algorithm>
#include <cmath>

#include "core/errors.h"
#include "core/fparith.h"
#include "core/value_table.h"
#include "filters/engine/kernel.h"

namespace {

// A kernel side beyond this cannot be held (2 GiB of weights); refusing it up front keeps absurd
// parameters from exhausting the machine or overflowing the side's arithmetic.
constexpr int64_t kMaxKernelSide = 16384;

int checkedKernelSide(int64_t side) {
    if (side > kMaxKernelSide) throw OutOfMemoryError();
    return static_cast<int>(side);
}

// d^2 / w / w of a Gaussian weight. A tiny width makes the quotient overflow, which is a fault like
// any other (the exponential of the result would merely underflow to 0).
double gaussianTerm(double d, double w) {
    return CheckedDivide(CheckedDivide(d * d, w), w);
}

// Rows are copied into the column-major planes in bands of rows, so that both sides stay in cache.
constexpr int kBand = 16;

void convolveAndClamp(int a, int b, Kernel& kernel, BytePlanes& planes) {
    const int w = planes.plane[0].width();
    const int h = planes.plane[0].height();
    // Blue, green, red in turn: each call normalises the same kernel again.
    for (IntPlane& p : planes.plane) ConvolvePlane(a, b, kernel, w, h, p);
    for (IntPlane& p : planes.plane) ClampPlane(0, 255, w, h, p);
}

// Every byte of the picture mapped through a per-level curve.
Picture mapBytes(const Picture& source, const ValueTable<256>& t) {
    t.replayFirstByteFault(source);
    const int w = source.width();
    const int h = source.height();
    Picture target(w, h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = source.row(y);
        uint8_t* d = target.row(y);
        for (int i = 0; i < 3 * w; ++i) d[i] = t[s[i]];
    }
    return target;
}

}  // namespace

BytePlanes PictureToPlanes(const Picture& source) {
    const int w = source.width();
    const int h = source.height();
    BytePlanes planes;
    for (IntPlane& p : planes.plane) p = MakePlane(w, h);
    for (int y0 = 0; y0 < h; y0 += kBand) {
        const int y1 = std::min(h, y0 + kBand);
        for (int x = 0; x < w; ++x) {
            int32_t* c0 = planes.plane[0][x];
            int32_t* c1 = planes.plane[1][x];
            int32_t* c2 = planes.plane[2][x];
            const uint8_t* px = source.row(y0) + 3 * x;
            for (int y = y0; y < y1; ++y, px += source.stride()) {
                c0[y] = px[0];
                c1[y] = px[1];
                c2[y] = px[2];
            }
        }
    }
    return planes;
}

Picture PlanesToPicture(const BytePlanes& planes) {
    const int w = planes.plane[0].width();
    const int h = planes.plane[0].height();
    Picture target(w, h);
    for (int y0 = 0; y0 < h; y0 += kBand) {
        const int y1 = std::min(h, y0 + kBand);
        for (int x = 0; x < w; ++x) {
            const int32_t* c0 = planes.plane[0][x];
            const int32_t* c1 = planes.plane[1][x];
            const int32_t* c2 = planes.plane[2][x];
            uint8_t* px = target.row(y0) + 3 * x;
            for (int y = y0; y < y1; ++y, px += target.stride()) {
                px[0] = static_cast<uint8_t>(c0[y]);
                px[1] = static_cast<uint8_t>(c1[y]);
                px[2] = static_cast<uint8_t>(c2[y]);
            }
        }
    }
    return target;
}

Picture EdgeEnhance(const Picture& source, double strength) {
    BytePlanes planes = PictureToPlanes(source);
    Kernel k = MakeKernel(3, 3);
    k[1][1] = 10.0 - strength;
    k[0][1] = -1.0;
    k[1][0] = -1.0;
    k[1][2] = -1.0;
    k[2][1] = -1.0;
    convolveAndClamp(3, 3, k, planes);
    return PlanesToPicture(planes);
}

int BlurKernelSide(double amount) {
    const int64_t side = TruncToInt64(2.0L * amount + 1.0L);
    return checkedKernelSide(side);
}

Picture BlurPicture(const Picture& source, double amount) {
    // The kernel side would be 1 or less and the weights not finite: refuse rather than guess.
    if (!(amount > 0.0)) throw HvError(msg::kPositiveNumber);
    const int n = BlurKernelSide(amount);
    const double s = amount;
    Kernel k = MakeKernel(n, n);
    for (int i = 0; i < n; ++i) {
        const double di = i - s;
        for (int j = 0; j < n; ++j) {
            const double dj = j - s;
            k[i][j] = 10.0 * std::exp(-gaussianTerm(di, s) - gaussianTerm(dj, s));
        }
    }
    BytePlanes planes = PictureToPlanes(source);
    convolveAndClamp(n, n, k, planes);
    return PlanesToPicture(planes);
}

Picture GammaCurve(const Picture& source, double gamma) {
    const ValueTable<256> t([gamma](int v) {
        const double f = static_cast<double>(static_cast<long double>(v) * (1.0L / 255.0L));
        const long double p = static_cast<long double>(CheckedPow(f, gamma)) * 255.0;
        return static_cast<uint8_t>(TruncToInt64(p));
    });
    return mapBytes(source, t);
}

Picture Solarize(const Picture& source) {
    BytePlanes planes = PictureToPlanes(source);
    // A 4 x 4 kernel used through a 3 x 3 window: only [1][0..2] take part.
    Kernel k = MakeKernel(4, 4);
    k[1][0] = 5.0;
    k[1][1] = 5.0;
    k[1][2] = -4.0;
    k[1][3] = -4.0;
    convolveAndClamp(3, 3, k, planes);
    return PlanesToPicture(planes);
}

Picture Sabattier(const Picture& source, double step) {
    const ValueTable<256> t([step](int v) {
        const long double q =
            CheckedDivide(static_cast<long double>(v) * 256, static_cast<long double>(step));
        const double r = std::fmod(CheckedToDouble(q), 256.0);
        return static_cast<uint8_t>(TruncToInt64(r));
    });
    return mapBytes(source, t);
}

int GmcPlaneSide(int pictureSide, int controlSide, int flow) {
    const int64_t reach = static_cast<int64_t>(pictureSide) + 2 * static_cast<int64_t>(flow) + 3;
    return static_cast<int>(std::min<int64_t>(controlSide, reach));
}

void GuideMissCancel(Picture& display, int controlWidth, int controlHeight, const GmcParams& params) {
    if (params.flow < 0) throw HvError(msg::kGmcFlowNegative);
    if (!(params.blurAmount > 0.0)) throw HvError(msg::kGmcBlurNotPositive);
    const int n = params.flow;
    const int s = checkedKernelSide(2 * static_cast<int64_t>(n) + 3);

    // Output (x, y) reads the sharpened values up to n + 2 cells on, and those read the picture up to
    // n + 1 cells further: s cells in all. Cells further out cannot reach a picture pixel.
    const int w = std::max(0, GmcPlaneSide(display.width(), controlWidth, n));
    const int h = std::max(0, GmcPlaneSide(display.height(), controlHeight, n));

    IntPlane pred = MakePlane(w, h);
    IntPlane pgreen = MakePlane(w, h);
    IntPlane pblue = MakePlane(w, h);
    Kernel k = MakeKernel(s, s);
    k[0][2 * n] = -1.0;
    k[2 * n + 2][2 * n] = -1.0;
    k[2 * n][2 * n] = 3.0;
    RotateKernel(static_cast<double>(params.direction), s, s, k);

    for (int x = 0; x < w; ++x) {
        int32_t* r = pred[x];
        int32_t* g = pgreen[x];
        int32_t* b = pblue[x];
        for (int y = 0; y < h; ++y) {
            const ColourParts c = SplitColour(display.pixelValue(x, y));
            b[y] = c.blue;
            g[y] = c.green;
            r[y] = c.red;
        }
    }

    IntPlane* order[3] = {&pred, &pgreen, &pblue};
    for (IntPlane* p : order) ConvolvePlane(s, s, k, w, h, *p);
    for (IntPlane* p : order) ClampPlane(0, 255, w, h, *p);

    const double bl = params.blurAmount;
    for (int i = 0; i < s; ++i) {
        const double di = i - 2 * n;
        for (int j = 0; j < s; ++j) {
            const double dj = j - 2 * n;
            k[i][j] = std::exp(-gaussianTerm(di, bl) - gaussianTerm(dj, bl));
        }
    }
    for (IntPlane* p : order) ConvolvePlaneBelow(params.threshold, s, s, k, w, h, *p);
    for (IntPlane* p : order) ClampPlane(0, 255, w, h, *p);

    // Every fault has been raised by now: the display changes only here. Writes beyond the picture
    // have no effect.
    const int wx = std::min(w, display.width());
    const int hy = std::min(h, display.height());
    for (int y = 0; y < hy; ++y) {
        uint8_t* row = display.row(y);
        for (int x = 0; x < wx; ++x) {
            row[3 * x] = static_cast<uint8_t>(pblue[x][y]);
            row[3 * x + 1] = static_cast<uint8_t>(pgreen[x][y]);
            row[3 * x + 2] = static_cast<uint8_t>(pred[x][y]);
        }
    }
}
