#include "core/fparith.h"

#include <cfloat>

void RaiseFpFault(FpFault fault) {
    throw FloatingPointError(fault);
}

namespace {
template <typename T>
T dividePrecise(T a, T b) {
    if (std::isnan(a) || std::isnan(b)) RaiseFpFault(FpFault::InvalidOperation);
    if (b == 0) RaiseFpFault(a == 0 ? FpFault::InvalidOperation : FpFault::DivideByZero);
    if (std::isinf(a) && std::isinf(b)) RaiseFpFault(FpFault::InvalidOperation);
    const T q = a / b;
    if (std::isinf(q) && !std::isinf(a)) RaiseFpFault(FpFault::Overflow);
    return q;
}
}  // namespace

double CheckedDivide(double a, double b) {
    return dividePrecise(a, b);
}
long double CheckedDivide(long double a, long double b) {
    return dividePrecise(a, b);
}

double CheckFinite(double value) {
    if (std::isnan(value)) RaiseFpFault(FpFault::InvalidOperation);
    if (std::isinf(value)) RaiseFpFault(FpFault::Overflow);
    return value;
}

double CheckedToDouble(long double value) {
    if (std::isnan(value)) RaiseFpFault(FpFault::InvalidOperation);
    const double d = static_cast<double>(value);
    if (std::isinf(d) && !std::isinf(value)) RaiseFpFault(FpFault::Overflow);
    return d;
}

int64_t TruncToInt64(long double value) {
    if (!std::isfinite(value)) RaiseFpFault(FpFault::InvalidOperation);
    const long double t = std::trunc(value);
    // 2^63 is exact in extended precision.
    if (t >= 9223372036854775808.0L || t < -9223372036854775808.0L) RaiseFpFault(FpFault::InvalidOperation);
    return static_cast<int64_t>(t);
}

double CheckedPow(double base, double exponent) {
    if (std::isnan(base) || std::isnan(exponent)) RaiseFpFault(FpFault::InvalidOperation);
    if (base == 0 && exponent < 0) RaiseFpFault(FpFault::DivideByZero);
    if (base < 0 && std::isfinite(exponent) && std::trunc(exponent) != exponent)
        RaiseFpFault(FpFault::InvalidOperation);
    const double r = std::pow(base, exponent);
    if (std::isnan(r)) RaiseFpFault(FpFault::InvalidOperation);
    if (std::isinf(r) && std::isfinite(base) && std::isfinite(exponent)) RaiseFpFault(FpFault::Overflow);
    return r;
}

double CheckedSqrt(double value) {
    if (std::isnan(value) || value < 0) RaiseFpFault(FpFault::InvalidOperation);
    return std::sqrt(value);
}
