// Floating-point fault detection. The arithmetic runs with the faults masked; these helpers look at
// the operands and raise FloatingPointError where the x87 unit, unmasked, would have trapped.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/errors.h"

[[noreturn]] void RaiseFpFault(FpFault fault);

// a / b: x / 0 with x != 0 is a division by zero; 0 / 0 and NaN operands are invalid; a finite
// quotient too large for a double is an overflow.
double CheckedDivide(double a, double b);
long double CheckedDivide(long double a, long double b);

// A result that must be finite: NaN is invalid, an infinity out of finite operands is an overflow.
double CheckFinite(double value);

// Rounds an extended value to a double; a finite value beyond the double range is an overflow.
double CheckedToDouble(long double value);

// Truncation toward zero to a 64-bit integer, as a real-to-integer conversion does: NaN, infinities
// and values outside the int64 range are invalid operations.
int64_t TruncToInt64(long double value);

// Truncation toward zero to 32 bits: the 64-bit truncation, then the low 32 bits (two's complement),
// as an integer variable receives it.
inline int32_t TruncToInt32(long double value) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(TruncToInt64(value))));
}

// pow with the C library's fault reports: pow(0, y < 0) is a division by zero, a negative base with
// a non-integral exponent is invalid, a finite overflow is an overflow.
double CheckedPow(double base, double exponent);

// Square root: a negative argument is invalid.
double CheckedSqrt(double value);
