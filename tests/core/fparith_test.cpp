#include "core/fparith.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "tests/support/thrown.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(FpFaults, DetectedFromOperands) {
    struct Case {
        const char* name;
        std::function<void()> op;
        const char* message;
    };
    const Case cases[] = {
        {"1/0", [] { CheckedDivide(1.0, 0.0); }, msg::kDivideByZero},
        {"-3/-0", [] { CheckedDivide(-3.0, -0.0); }, msg::kDivideByZero},
        {"0/0", [] { CheckedDivide(0.0, 0.0); }, msg::kInvalidOperation},
        {"inf/inf", [] { CheckedDivide(kInf, kInf); }, msg::kInvalidOperation},
        {"nan/1", [] { CheckedDivide(kNaN, 1.0); }, msg::kInvalidOperation},
        {"big/small", [] { CheckedDivide(1e300, 1e-300); }, msg::kOverflow},
        {"1/3", [] { CheckedDivide(1.0, 3.0); }, ""},
        {"ext 5/0", [] { CheckedDivide(5.0L, 0.0L); }, msg::kDivideByZero},
        {"trunc nan", [] { TruncToInt64(kNaN); }, msg::kInvalidOperation},
        {"trunc inf", [] { TruncToInt64(kInf); }, msg::kInvalidOperation},
        {"trunc 2^63", [] { TruncToInt64(9223372036854775808.0L); }, msg::kInvalidOperation},
        {"trunc -2^63", [] { TruncToInt64(-9223372036854775808.0L); }, ""},
        {"to double 1e400", [] { CheckedToDouble(1e400L); }, msg::kOverflow},
        {"pow(0,-1)", [] { CheckedPow(0.0, -1.0); }, msg::kDivideByZero},
        {"pow(0,0)", [] { CheckedPow(0.0, 0.0); }, ""},
        {"pow(-2,0.5)", [] { CheckedPow(-2.0, 0.5); }, msg::kInvalidOperation},
        {"pow(10,400)", [] { CheckedPow(10.0, 400.0); }, msg::kOverflow},
        {"sqrt(-1)", [] { CheckedSqrt(-1.0); }, msg::kInvalidOperation},
        {"finite nan", [] { CheckFinite(kNaN); }, msg::kInvalidOperation},
    };
    for (const Case& c : cases) EXPECT_EQ(hvtest::MessageOf<FloatingPointError>(c.op), c.message) << c.name;
}

TEST(Truncation, TowardZero) {
    EXPECT_EQ(TruncToInt64(2.9L), 2);
    EXPECT_EQ(TruncToInt64(-2.9L), -2);
    EXPECT_EQ(TruncToInt64(-0.7L), 0);
    EXPECT_EQ(TruncToInt64(254.9999L), 254);
    // An integer variable keeps the low 32 bits of the 64-bit result.
    EXPECT_EQ(TruncToInt32(4294967296.0L + 5), 5);
    EXPECT_EQ(TruncToInt32(2147483648.0L), -2147483647 - 1);
}

}  // namespace
