// Number texts: the general real format, the zoom percentage, and locale-free parsing with the
// system's conversion errors.
#pragma once

#include <string>
#include <string_view>

// Shortest text of the value rounded to 15 significant digits, without trailing zeros or a trailing
// decimal point ("2", "0.5", "1.21", "0.0625", "33812.3251041233"). Exponent form ("1E-6", "1E15")
// only when the decimal exponent is below -5 or at least 15. NaN and infinities print as "NAN",
// "INF" and "-INF".
std::string FormatReal(double value);

// Integer text in plain decimal.
std::string FormatInt(long long value);

// The zoom field: value formatted with "%2.1lf%" ("100.0%", "1600.0%", " 6.2%").
std::string FormatPercent(double percent);

// printf-like formatting into a std::string (C locale for numbers).
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Parses a decimal integer: optional blanks, optional sign, digits, optional blanks; the value must
// fit in 32 bits. Otherwise throws ConversionError "'%s' は整数ではありません".
int ParseInt(std::string_view text);

// Parses a decimal real ("1", "-0.5", "1.5e3", ".5"), blanks around allowed, '.' as the only
// separator, in extended precision. Otherwise throws ConversionError "'%s' は浮動小数点数ではありません".
long double ParseRealExtended(std::string_view text);

// ParseRealExtended rounded to a double (where a double setting or field holds the value).
double ParseReal(std::string_view text);
