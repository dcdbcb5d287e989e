#include "core/numtext.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <utility>

#include "core/errors.h"
#include "tests/support/thrown.h"

namespace {

TEST(FormatReal, GeneralFormat) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {2.0, "2"},
        {0.5, "0.5"},
        {1.1, "1.1"},
        {1.1 * 1.1, "1.21"},
        {1.1 * 1.1 * 1.1, "1.331"},
        {0.0625, "0.0625"},
        {0.9090909090909091, "0.909090909090909"},
        {1.234, "1.234"},
        {1234.0, "1234"},
        {-12.5, "-12.5"},
        {33812.32510412328, "33812.3251041233"},
        {0.00001, "0.00001"},
        {0.000001, "1E-6"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {999999999999999.9, "1E15"},
        {2.5e-7, "2.5E-7"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatReal(c.value), c.text) << c.text;
}

TEST(FormatReal, IgnoresProcessLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
    EXPECT_EQ(FormatReal(1.5), "1.5");
    EXPECT_EQ(FormatPercent(100.0), "100.0%");
    EXPECT_EQ(ParseReal("2.5"), 2.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FormatPercent, ZoomTexts) {
    EXPECT_EQ(FormatPercent(100.0), "100.0%");
    EXPECT_EQ(FormatPercent(1600.0), "1600.0%");
    EXPECT_EQ(FormatPercent(6.25), "6.2%");  // round-half-even of the binary value 6.25
    EXPECT_EQ(FormatPercent(50.0), "50.0%");
}

TEST(ParseInt, AcceptsAndRefuses) {
    const std::pair<const char*, int> accepted[] = {{"255", 255},
                                                    {"-12", -12},
                                                    {"+7", 7},
                                                    {" 42 ", 42},
                                                    {"2147483647", INT_MAX},
                                                    {"-2147483648", INT_MIN}};
    for (const auto& [text, value] : accepted) EXPECT_EQ(ParseInt(text), value) << text;
    for (const char* bad : {"", " ", "10.5", "1e3", "abc", "12a", "2147483648", "-2147483649", "--1", "+"})
        EXPECT_EQ(hvtest::MessageOf<ConversionError>([&] { ParseInt(bad); }),
                  "'" + std::string(bad) + "' は整数ではありません");
}

TEST(ParseReal, AcceptsAndRefuses) {
    const std::pair<const char*, double> accepted[] = {{"1.0", 1.0}, {"-0.5", -0.5},    {".5", 0.5},
                                                       {"5.", 5.0},  {"1.5e3", 1500.0}, {" 2 ", 2.0}};
    for (const auto& [text, value] : accepted) EXPECT_EQ(ParseReal(text), value) << text;
    // Extended first, then rounded: the contrast text parses back to the double 1/1.1 rounds to.
    EXPECT_EQ(ParseReal("0.909090909090909"), static_cast<double>(0.909090909090909L));
    EXPECT_EQ(ParseRealExtended("0.1"), 0.1L);
    for (const char* bad : {"", " ", "abc", "1,5", "1.2.3", "e5", "1e", "inf", "nan", "0x10", "1e99999"})
        EXPECT_EQ(hvtest::MessageOf<ConversionError>([&] { ParseReal(bad); }),
                  "'" + std::string(bad) + "' は浮動小数点数ではありません");
}

TEST(ParseReal, BeyondDoubleRangeOverflows) {
    EXPECT_THROW(ParseReal("1e400"), FloatingPointError);
    EXPECT_EQ(ParseRealExtended("1e400"), 1e400L);
}

}  // namespace
