// A per-value table of a pixel operation with 8-bit results whose evaluation may fault. A fault is
// raised only where a faulting value actually occurs, at its first occurrence in scan order, as the
// plain pixel loop would have met it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/errors.h"
#include "core/fparith.h"
#include "core/picture.h"

template <size_t N>
class ValueTable {
  public:
    // f(v) for every v in 0 .. N-1; a FloatingPointError marks v as faulting.
    template <typename F>
    explicit ValueTable(F&& f) {
        for (size_t v = 0; v < N; ++v) {
            try {
                m_out[v] = static_cast<uint8_t>(f(static_cast<int>(v)));
            } catch (const FloatingPointError& e) {
                m_fault[v] = static_cast<uint8_t>(static_cast<int>(e.fault()) + 1);
                m_anyFault = true;
            }
        }
    }

    uint8_t operator[](size_t v) const { return m_out[v]; }

    // scan(check) calls check(v) for the values in scan order; the first faulting one raises its
    // fault. Nothing is scanned when no value faults.
    template <typename Scan>
    void replayFirstFault(Scan&& scan) const {
        if (!m_anyFault) return;
        scan([this](size_t v) {
            if (m_fault[v] != 0) RaiseFpFault(static_cast<FpFault>(m_fault[v] - 1));
        });
    }

    // The same over every byte of the picture, row by row.
    void replayFirstByteFault(const Picture& picture) const {
        replayFirstFault([&picture](auto&& check) {
            for (int y = 0; y < picture.height(); ++y) {
                const uint8_t* s = picture.row(y);
                for (int i = 0; i < 3 * picture.width(); ++i) check(s[i]);
            }
        });
    }

  private:
    std::array<uint8_t, N> m_out{};
    std::array<uint8_t, N> m_fault{};  // the fault plus one; 0 where v evaluated
    bool m_anyFault = false;
};
