// The plain and the below-threshold convolution of a plane with a kernel.
//
// Results are those of the four-deep loop (x, y, i, j; A[x][y] += K[i][j] * P[sx][sy] in double,
// zero weights skipped, taps outside the plane left out), bit for bit. The fast path differs only
// in how it gets there:
//  - The non-zero taps are listed once, in the loop's order (i outer, j inner), so every pixel
//    still adds its products in the same sequence.
//  - Taps whose column lies outside the plane are dropped from the list for that output column,
//    as the loop drops them.
//  - Along y the input columns are widened to doubles in a ring of zero-padded columns, and taps
//    whose row lies outside the plane read a padding 0 instead of being skipped. This cannot
//    change a sum: the weights are finite (normalisation fails otherwise), so such a product is
//    w * 0 = +0 or -0. The running sum starts at +0 and is never -0 (in round-to-nearest x + y is
//    -0 only when both are -0, and an exact cancellation gives +0), and s + (+-0) == s for every
//    s that is not -0. So the padded sum equals the skipping sum in every bit.
//  - Neighbouring rows of one column are computed together in vector registers, one pixel per
//    lane, each lane doing the same multiply-then-add sequence as the scalar loop.
//  - The plane is written column by column as soon as no later output needs the column's old
//    values (they live on in the ring). Faults cannot occur on this path: it is only taken when
//    sum |w| <= 2^30, so |A| < 2^62 for any 32-bit samples; only the rare accumulation outside
//    the 32-bit range needs the exact conversion, done per column. Larger weights go through a
//    buffered path that checks every accumulation before anything is written.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "core/errors.h"
#include "core/fparith.h"
#include "filters/engine/kernel.h"
#include "filters/engine/simd.h"

namespace hv::engine {
namespace {

struct Tap {
    int dx;
    int dy;
    double w;
};

const ColumnKernels& kernelsFor(SimdLevel level) {
    RequireSimdLevel(level);
    static const ColumnKernels* const kByLevel[] = {&kSse2Kernels, &kAvx2Kernels, &kAvx512Kernels};
    return *kByLevel[static_cast<int>(level)];  // in SimdLevel's order
}

void checkArguments(int a, int b, const Kernel& kernel, int W, int H, const IntPlane& plane) {
    if (a > 0 && b > 0 && (!kernel.valid() || a > kernel.a() || b > kernel.b()))
        throw std::invalid_argument("convolution window larger than the kernel");
    if (W > 0 && H > 0 && (!plane.valid() || W > plane.width() || H > plane.height()))
        throw std::invalid_argument("convolution area larger than the plane");
}

// The kernel divided by the sum of its weights, without touching the kernel. The sum runs from
// 0.0 in the loop's order; the divisions go in the same order and the first one that faults
// decides the error (a zero sum: 0 / 0 when K[0][0] is 0, else a division by zero).
std::vector<double> normalisedWeights(int a, int b, const Kernel& kernel) {
    std::vector<double> q;
    if (a <= 0 || b <= 0) return q;
    double s = 0.0;
    for (int i = 0; i < a; ++i) {
        for (int j = 0; j < b; ++j) {
            const double w = kernel[i][j];
            const double sum = s + w;
            if (std::isnan(sum) && !std::isnan(s) && !std::isnan(w)) RaiseFpFault(FpFault::InvalidOperation);
            if (std::isinf(sum) && std::isfinite(s) && std::isfinite(w)) RaiseFpFault(FpFault::Overflow);
            s = sum;
        }
    }
    q.resize(static_cast<size_t>(a) * static_cast<size_t>(b));
    for (int i = 0; i < a; ++i)
        for (int j = 0; j < b; ++j) q[static_cast<size_t>(i) * b + j] = CheckedDivide(kernel[i][j], s);
    return q;
}

void commitWeights(int a, int b, const std::vector<double>& q, Kernel& kernel) {
    for (int i = 0; i < a; ++i)
        for (int j = 0; j < b; ++j) kernel[i][j] = q[static_cast<size_t>(i) * b + j];
}

// Non-zero taps (negative zero is zero) in the loop's order; shift 1 displaces the window.
std::vector<Tap> listTaps(int a, int b, const std::vector<double>& q, int shift) {
    std::vector<Tap> taps;
    for (int i = 0; i < a; ++i) {
        for (int j = 0; j < b; ++j) {
            const double w = q[static_cast<size_t>(i) * b + j];
            if (w != 0.0) taps.push_back({i - a / 2 + shift, j - b / 2 + shift, w});
        }
    }
    return taps;
}

inline int32_t truncSample(double v) {
    const int32_t t = TruncToInt32(v);
    return t < 0 ? 0 : t;
}

// Streaming path over the ring of widened columns (see the top of the file).
class RingConvolution {
  public:
    RingConvolution(const std::vector<Tap>& taps, int W, int H) : m_taps(taps), m_W(W), m_H(H) {
        int dxLo = 0, dxHi = 0, dyLo = 0, dyHi = 0;  // 0 included: the pixel's own column and row
        for (const Tap& t : taps) {
            dxLo = std::min(dxLo, t.dx);
            dxHi = std::max(dxHi, t.dx);
            dyLo = std::min(dyLo, t.dy);
            dyHi = std::max(dyHi, t.dy);
        }
        m_dxHi = dxHi;
        m_slots = dxHi - dxLo + 1;
        m_padTop = -dyLo;
        const size_t rows = (static_cast<size_t>(H) + kRowBlock - 1) / kRowBlock * kRowBlock;
        m_stride = (static_cast<size_t>(m_padTop) + rows + static_cast<size_t>(dyHi) + 7) / 8 * 8;
        m_ring.assign(m_stride * static_cast<size_t>(m_slots), 0.0);
        m_src.resize(taps.size());
        m_weights.resize(taps.size());
    }

    void run(const ColumnKernels& kernels, const double* threshold, IntPlane& plane) {
        int widened = -1;
        for (int x = 0; x < m_W; ++x) {
            const int need = std::min(m_W - 1, x + m_dxHi);
            while (widened < need) {
                ++widened;
                kernels.widen(plane[widened], slot(widened), m_H);
            }
            int n = 0;
            for (const Tap& t : m_taps) {
                const int sx = x + t.dx;
                if (sx < 0 || sx >= m_W) continue;
                m_src[n] = slot(sx) + t.dy;
                m_weights[n] = t.w;
                ++n;
            }
            ColumnJob job;
            job.src = m_src.data();
            job.weights = m_weights.data();
            job.taps = n;
            job.rows = m_H;
            job.out = plane[x];
            if (threshold) {
                job.centre = slot(x);
                job.threshold = *threshold;
            }
            if (kernels.column(job)) exactColumn(job);
        }
    }

  private:
    // Row 0 of column c in the ring; rows above and below the plane read 0.
    double* slot(int c) { return m_ring.data() + static_cast<size_t>(c % m_slots) * m_stride + m_padTop; }

    // Scalar redo of a column with the full 32-bit conversion (low 32 bits of the truncation).
    static void exactColumn(const ColumnJob& job) {
        for (int y = 0; y < job.rows; ++y) {
            double acc;
            if (job.centre && job.centre[y] >= job.threshold) {
                acc = job.centre[y];
            } else {
                acc = 0.0;
                for (int t = 0; t < job.taps; ++t) acc += job.weights[t] * job.src[t][y];
            }
            job.out[y] = truncSample(acc);
        }
    }

    const std::vector<Tap>& m_taps;
    int m_W;
    int m_H;
    int m_dxHi = 0;
    int m_slots = 1;
    int m_padTop = 0;
    size_t m_stride = 0;
    std::vector<double> m_ring;
    std::vector<const double*> m_src;
    std::vector<double> m_weights;
};

// Buffered path for weights large enough to fault: the whole accumulation first, then the checks
// in the algorithm's order (an overflowing accumulation before any conversion), then the writes.
class BufferedConvolution {
  public:
    BufferedConvolution(const std::vector<Tap>& taps, int W, int H) : m_taps(taps), m_W(W), m_H(H) {
        m_acc.assign(static_cast<size_t>(W) * static_cast<size_t>(H), 0.0);
    }

    void run(const int* threshold, IntPlane& plane) {
        for (int x = 0; x < m_W; ++x) {
            for (int y = 0; y < m_H; ++y) {
                double& acc = m_acc[static_cast<size_t>(x) * m_H + y];
                if (threshold && plane[x][y] >= *threshold) {
                    acc = plane[x][y];
                    continue;
                }
                for (const Tap& t : m_taps) {
                    const int sx = x + t.dx;
                    const int sy = y + t.dy;
                    if (sx >= 0 && sx < m_W && sy >= 0 && sy < m_H) acc += t.w * plane[sx][sy];
                }
            }
        }
        // Finite weights and samples: a non-finite sum means some product or sum overflowed.
        for (double acc : m_acc)
            if (!std::isfinite(acc)) RaiseFpFault(FpFault::Overflow);
        for (double acc : m_acc) (void)TruncToInt64(acc);
        for (int x = 0; x < m_W; ++x)
            for (int y = 0; y < m_H; ++y) plane[x][y] = truncSample(m_acc[static_cast<size_t>(x) * m_H + y]);
    }

  private:
    const std::vector<Tap>& m_taps;
    int m_W;
    int m_H;
    std::vector<double> m_acc;
};

int convolve(SimdLevel level, const int* threshold, int a, int b, Kernel& kernel, int W, int H,
             IntPlane& plane) {
    const ColumnKernels& kernels = kernelsFor(level);
    checkArguments(a, b, kernel, W, H, plane);
    // Nothing is changed until every fault and allocation failure that can stop the call is past.
    try {
        const std::vector<double> q = normalisedWeights(a, b, kernel);
        const std::vector<Tap> taps = listTaps(a, b, q, threshold ? 1 : 0);
        double sumAbs = 0.0;
        for (const Tap& t : taps) sumAbs += std::fabs(t.w);
        if (sumAbs <= 1073741824.0) {
            if (W <= 0 || H <= 0) {
                commitWeights(a, b, q, kernel);
                return 0;
            }
            RingConvolution ring(taps, W, H);
            commitWeights(a, b, q, kernel);
            const double t = threshold ? static_cast<double>(*threshold) : 0.0;
            ring.run(kernels, threshold ? &t : nullptr, plane);
        } else {
            BufferedConvolution buffered(taps, std::max(W, 0), std::max(H, 0));
            commitWeights(a, b, q, kernel);
            buffered.run(threshold, plane);
        }
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    } catch (const std::length_error&) {
        throw OutOfMemoryError();
    }
    return 0;
}

}  // namespace

int ConvolvePlaneOn(SimdLevel level, int a, int b, Kernel& kernel, int W, int H, IntPlane& plane) {
    return convolve(level, nullptr, a, b, kernel, W, H, plane);
}

int ConvolvePlaneBelowOn(SimdLevel level, int threshold, int a, int b, Kernel& kernel, int W, int H,
                         IntPlane& plane) {
    return convolve(level, &threshold, a, b, kernel, W, H, plane);
}

}  // namespace hv::engine

int ConvolvePlane(int a, int b, Kernel& kernel, int W, int H, IntPlane& plane) {
    return hv::engine::ConvolvePlaneOn(hv::engine::BestSimdLevel(), a, b, kernel, W, H, plane);
}

int ConvolvePlaneBelow(int threshold, int a, int b, Kernel& kernel, int W, int H, IntPlane& plane) {
    return hv::engine::ConvolvePlaneBelowOn(hv::engine::BestSimdLevel(), threshold, a, b, kernel, W, H,
                                            plane);
}
