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

// 0 on success (every weight 0.0), 1 when memory runs out or a side is negative; on 1 the kernel
// is left invalid. A side of 0 gives an empty, valid kernel.
int AllocKernel(int a, int b, Kernel& kernel);
// AllocKernel that throws OutOfMemoryError instead of returning 1.
Kernel MakeKernel(int a, int b);

// Every sample of the W x H area below lo becomes lo, then every one at or above hi becomes hi.
int ClampPlane(int lo, int hi, int W, int H, IntPlane& plane);
// Turns the a x b window of the kernel by angle degrees about its centre, resampled bilinearly.
// A non-finite angle is an invalid operation; the scratch kernel's failure is OutOfMemoryError.
int RotateKernel(double angle, int a, int b, Kernel& kernel);
// Normalises the kernel in place by its sum, then replaces every pixel by the truncated weighted
// sum of its neighbourhood (anchor [a/2][b/2], taps outside the plane left out, negative results 0,
// results beyond 32 bits keep their low 32 bits). Faults raise FloatingPointError and leave the
// plane unchanged: a zero sum (the first division decides: 0 / 0 when K[0][0] is 0, else a division
// by zero; the kernel is not changed either), an accumulation that overflows, one beyond the 64-bit
// range. Scratch memory failure: OutOfMemoryError, nothing changed. A window larger than the kernel
// or an area larger than the plane: std::invalid_argument.
int ConvolvePlane(int a, int b, Kernel& kernel, int W, int H, IntPlane& plane);
// As ConvolvePlane for pixels below the threshold, with the window displaced by one cell; other
// pixels keep their value (negatives 0).
int ConvolvePlaneBelow(int threshold, int a, int b, Kernel& kernel, int W, int H, IntPlane& plane);
