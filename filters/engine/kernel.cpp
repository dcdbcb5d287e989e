// Kernel allocation and the clamp of a plane to a range.
#include "filters/engine/kernel.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>

#include "core/errors.h"

int AllocKernel(int a, int b, Kernel& kernel) {
    kernel = Kernel();  // a failed call leaves an unusable kernel, never a stale one
    if (a < 0 || b < 0) return 1;
    const size_t cells = static_cast<size_t>(a) * static_cast<size_t>(b);
    if (cells > static_cast<size_t>(PTRDIFF_MAX) / sizeof(double)) return 1;
    std::unique_ptr<double*[]> rows(new (std::nothrow) double*[a > 0 ? a : 1]);
    if (!rows) return 1;
    std::unique_ptr<double[]> block(new (std::nothrow) double[cells > 0 ? cells : 1]);
    if (!block) return 1;
    for (size_t c = 0; c < cells; ++c) block[c] = 0.0;
    for (int i = 0; i < a; ++i) rows[i] = block.get() + static_cast<size_t>(i) * static_cast<size_t>(b);
    kernel.m_rows = std::move(rows);
    kernel.m_cells = std::move(block);
    kernel.m_a = a;
    kernel.m_b = b;
    kernel.m_valid = true;
    return 0;
}

Kernel MakeKernel(int a, int b) {
    Kernel kernel;
    if (AllocKernel(a, b, kernel) != 0) throw OutOfMemoryError();
    return kernel;
}

int ClampPlane(int lo, int hi, int W, int H, IntPlane& plane) {
    if (W <= 0 || H <= 0) return 0;
    if (!plane.valid() || W > plane.width() || H > plane.height())
        throw std::invalid_argument("clamp area larger than the plane");
    for (int x = 0; x < W; ++x) {
        int32_t* column = plane[x];
        for (int y = 0; y < H; ++y) {
            int32_t v = column[y];
            v = v < lo ? lo : v;
            v = v >= hi ? hi : v;  // tested on the raised value, so hi wins when lo > hi
            column[y] = v;
        }
    }
    return 0;
}
