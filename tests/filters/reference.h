// Reference filters, kept to check the real ones sample for sample: plain vectors indexed [x][y], the
// engine's plain convolution loop, per-byte curves computed byte by byte, and the guide-miss
// canceller over the whole control, pixel by pixel through colour values.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/picture.h"
#include "core/plane.h"
#include "filters/engine/kernel.h"
#include "tests/engine/reference.h"

namespace ref {

using Plane = std::vector<std::vector<int32_t>>;   // [x][y]
using Weights = std::vector<std::vector<double>>;  // [i][j]

inline Plane makePlane(int w, int h) {
    return Plane(w, std::vector<int32_t>(h, 0));
}
inline Weights makeWeights(int a, int b) {
    return Weights(a, std::vector<double>(b, 0.0));
}

// The engine's plain loops (normalise, four-deep loop, store) on these vectors: k comes back
// normalised, as the engine leaves it.
template <typename Loop>
void onEngineTypes(int a, int b, Weights& k, int w, int h, Plane& p, Loop loop) {
    Kernel kernel = MakeKernel(a, b);
    for (int i = 0; i < a; ++i)
        for (int j = 0; j < b; ++j) kernel[i][j] = k[i][j];
    IntPlane plane = MakePlane(w, h);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) plane[x][y] = p[x][y];
    loop(kernel, plane);
    for (int i = 0; i < a; ++i)
        for (int j = 0; j < b; ++j) k[i][j] = kernel[i][j];
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) p[x][y] = plane[x][y];
}

inline void convolve(int a, int b, Weights& k, int w, int h, Plane& p) {
    onEngineTypes(a, b, k, w, h, p, [&](Kernel& kernel, IntPlane& plane) {
        engine_ref::ConvolvePlane(a, b, kernel, w, h, plane);
    });
}

inline void convolveBelow(int threshold, int a, int b, Weights& k, int w, int h, Plane& p) {
    onEngineTypes(a, b, k, w, h, p, [&](Kernel& kernel, IntPlane& plane) {
        engine_ref::ConvolvePlaneBelow(threshold, a, b, kernel, w, h, plane);
    });
}

inline void clamp(Plane& p) {
    for (auto& column : p)
        for (int32_t& v : column) {
            if (v < 0) v = 0;
            if (v >= 255) v = 255;
        }
}

// Byte c of every pixel as a plane.
inline Plane bytePlane(const Picture& pic, int c) {
    Plane p = makePlane(pic.width(), pic.height());
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x) p[x][y] = pic.row(y)[3 * x + c];
    return p;
}

inline Picture joinBytes(const Plane (&p)[3], int w, int h) {
    Picture out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) out.row(y)[3 * x + c] = static_cast<uint8_t>(p[c][x][y]);
    return out;
}

// Blue, green and red planes convolved in turn with one kernel, then clamped.
inline Picture convolvePicture(const Picture& src, int a, int b, Weights k) {
    const int w = src.width();
    const int h = src.height();
    Plane p[3] = {bytePlane(src, 0), bytePlane(src, 1), bytePlane(src, 2)};
    for (auto& plane : p) convolve(a, b, k, w, h, plane);
    for (auto& plane : p) clamp(plane);
    return joinBytes(p, w, h);
}

inline Picture edge(const Picture& src, double e) {
    Weights k = makeWeights(3, 3);
    k[1][1] = 10 - e;
    k[0][1] = k[1][0] = k[1][2] = k[2][1] = -1;
    return convolvePicture(src, 3, 3, k);
}

inline Picture blur(const Picture& src, double s) {
    const int n = static_cast<int>(std::trunc(2.0L * s + 1));
    Weights k = makeWeights(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            k[i][j] = 10 * std::exp(-((i - s) * (i - s)) / s / s - ((j - s) * (j - s)) / s / s);
    return convolvePicture(src, n, n, k);
}

inline Picture solarize(const Picture& src) {
    Weights k = makeWeights(4, 4);
    k[1][0] = 5;
    k[1][1] = 5;
    k[1][2] = -4;
    k[1][3] = -4;
    return convolvePicture(src, 3, 3, k);
}

inline int gammaLevel(int v, double g) {
    const double f = static_cast<double>(v * (1.0L / 255.0L));
    return static_cast<int>(static_cast<int64_t>(std::trunc(std::pow(f, g) * 255.0L)) & 0xff);
}

inline int sabattierLevel(int v, double s) {
    const double q = static_cast<double>(static_cast<long double>(v) * 256 / s);
    return static_cast<int>(static_cast<int64_t>(std::trunc(std::fmod(q, 256.0))) & 0xff);
}

template <typename Curve>
Picture perByte(const Picture& src, Curve curve) {
    Picture out(src.width(), src.height());
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < 3 * src.width(); ++x) out.row(y)[x] = static_cast<uint8_t>(curve(src.row(y)[x]));
    return out;
}

// The canceller over every cell of a control of cw x ch, reading and writing through colour values.
// The rotation is the engine's (its own tests check it against the reference rotation).
inline void guideMiss(Picture& display, int cw, int ch, int direction, int flow, double blurAmount,
                      int threshold) {
    const int n = flow;
    const int s = 2 * n + 3;
    Kernel rotated = MakeKernel(s, s);
    rotated[0][2 * n] = -1.0;
    rotated[2 * n + 2][2 * n] = -1.0;
    rotated[2 * n][2 * n] = 3.0;
    RotateKernel(direction, s, s, rotated);
    Weights k = makeWeights(s, s);
    for (int i = 0; i < s; ++i)
        for (int j = 0; j < s; ++j) k[i][j] = rotated[i][j];

    Plane red = makePlane(cw, ch), green = makePlane(cw, ch), blue = makePlane(cw, ch);
    for (int x = 0; x < cw; ++x)
        for (int y = 0; y < ch; ++y) {
            const int32_t c = display.pixelValue(x, y);
            blue[x][y] = c / 65536;
            green[x][y] = (c - blue[x][y] * 65536) / 256;
            red[x][y] = c - blue[x][y] * 65536 - green[x][y] * 256;
        }
    for (Plane* p : {&red, &green, &blue}) convolve(s, s, k, cw, ch, *p);
    for (Plane* p : {&red, &green, &blue}) clamp(*p);
    for (int i = 0; i < s; ++i)
        for (int j = 0; j < s; ++j)
            k[i][j] = std::exp(-double((i - 2 * n) * (i - 2 * n)) / blurAmount / blurAmount -
                               double((j - 2 * n) * (j - 2 * n)) / blurAmount / blurAmount);
    for (Plane* p : {&red, &green, &blue}) convolveBelow(threshold, s, s, k, cw, ch, *p);
    for (Plane* p : {&red, &green, &blue}) clamp(*p);
    for (int x = 0; x < cw; ++x)
        for (int y = 0; y < ch; ++y)
            display.setPixelValue(x, y, blue[x][y] * 65536 + green[x][y] * 256 + red[x][y]);
}

inline Picture randomPicture(int w, int h, uint32_t seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3 * w; ++x) p.row(y)[x] = static_cast<uint8_t>(byte(gen));
    return p;
}

inline Picture uniformPicture(int w, int h, uint8_t v) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3 * w; ++x) p.row(y)[x] = v;
    return p;
}

}  // namespace ref
