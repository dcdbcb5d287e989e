// The convolution engine: kernels of double weights indexed [i][j] (i along x), their rotation,
// the plain and the below-threshold convolution of an IntPlane, and the clamp to a byte range.
#pragma once

#include <memory>

#include "core/plane.h"

// a rows (along x) of b doubles each, all in one block behind the row table. Move-only.
class Kernel {
  public:
    Kernel() = default;
    Kernel(Kernel&&) noexcept = default;
    Kernel& operator=(Kernel&&) noexcept = default;

    double* operator[](int i) const { return m_rows[i]; }
    bool valid() const { return m_valid; }
    int a() const { return m_a; }
    int b() const { return m_b; }

  private:
    friend int AllocKernel(int a, int b, Kernel& kernel);
    std::unique_ptr<double*[]> m_rows;
    std::unique_ptr<double[]> m_cells;
    int m_a = 0;
    int m_b = 0;
    bool m_valid = false;
};

// 0 on success (every weight 0.0), 1 when memory runs out or a side is negative.
int AllocKernel(int a, int b, Kernel& kernel);
// AllocKernel that throws OutOfMemoryError instead of returning 1.
Kernel MakeKernel(int a, int b);

int ClampPlane(int lo, int hi, int W, int H, IntPlane& plane);
int RotateKernel(double angle, int a, int b, Kernel& kernel);
// Normalises the kernel in place by its sum (FloatingPointError when the sum is 0: the first weight's
// division decides the message), then replaces every pixel by the truncated weighted sum of its
// neighbourhood (anchor [a/2][b/2], taps outside the plane left out, negative results 0).
int ConvolvePlane(int a, int b, Kernel& kernel, int W, int H, IntPlane& plane);
// As ConvolvePlane for pixels below the threshold, with the window displaced by one cell; other
// pixels keep their value.
int ConvolvePlaneBelow(int threshold, int a, int b, Kernel& kernel, int W, int H, IntPlane& plane);
