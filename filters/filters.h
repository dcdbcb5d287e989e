// The filters of the processing menu over 24-bit pictures (Qt-free). Each takes the picture it reads
// and its parameters and returns a new picture (or, for the guide-miss canceller, rewrites the display
// picture only once every fault has had its chance), so a failing filter leaves every picture as it
// was. Faults are FloatingPointError, refused parameters HvError with the message to show
// (msg::kPositiveNumber, msg::kGmcFlowNegative, msg::kGmcBlurNotPositive).
#pragma once

#include <cstdint>

#include "core/errors.h"
#include "core/picture.h"
#include "core/plane.h"

// Three planes of the picture's size, plane c holding byte c (blue, green, red) of every pixel.
struct BytePlanes {
    IntPlane plane[3];
};
BytePlanes PictureToPlanes(const Picture& source);
// A new picture of the planes' size whose byte c is the low byte of plane c.
Picture PlanesToPicture(const BytePlanes& planes);

// Sharpening with the 3 x 3 cross of centre 10 - strength and sides -1; strength 6 (sum 0) is the
// engine's 0 / 0.
Picture EdgeEnhance(const Picture& source, double strength);

// Kernel side of the blur: trunc(2 amount + 1) in extended precision.
int BlurKernelSide(double amount);
// Gaussian blur; an amount of 0 or below is refused with kPositiveNumber.
Picture BlurPicture(const Picture& source, double amount);

// trunc(255 (v / 255)^gamma) per byte, low byte kept. Also the tone curve of the coma correction.
Picture GammaCurve(const Picture& source, double gamma);

// Three-tap vertical filter 5/6, 5/6, -4/6 over (x, y-1), (x, y), (x, y+1).
Picture Solarize(const Picture& source);

// Sawtooth fold: trunc(fmod(v * 256 / step, 256)) per byte, low byte kept.
Picture Sabattier(const Picture& source, double step);

struct GmcParams {
    int direction = 0;        // degrees
    int flow = 0;             // n: kernel side 2n + 3
    double blurAmount = 0.0;  // Gaussian width B
    int threshold = 0;        // pixels below it are smoothed
};

// Guide-miss canceller over the display picture seen through a control of controlWidth x
// controlHeight: positions beyond the picture read the colour value -1 and writes there are lost.
// Beyond the picture's right and bottom edges only a band of one kernel side can reach a picture
// pixel, so the planes stop there and stay bounded at any zoom.
void GuideMissCancel(Picture& display, int controlWidth, int controlHeight, const GmcParams& params);

// Plane sides the canceller works on for a picture side and a control side: the control side, but
// at most the picture side plus the kernel side.
int GmcPlaneSide(int pictureSide, int controlSide, int flow);
