#include "core/numtext.h"

#include <locale.h>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "core/errors.h"
#include "core/fparith.h"

namespace {
// The C locale, whatever the process locale is (Qt sets the user's locale at start-up).
locale_t cLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

class CLocaleScope {
  public:
    CLocaleScope() : m_previous(uselocale(cLocale())) {}
    ~CLocaleScope() { uselocale(m_previous); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    locale_t m_previous;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

std::string FormatText(const char* format, ...) {
    CLocaleScope scope;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(out.data(), out.size() + 1, format, args);
    va_end(args);
    return out;
}

std::string FormatInt(long long value) {
    return std::to_string(value);
}

std::string FormatPercent(double percent) {
    return FormatText("%2.1lf%%", percent);
}

std::string FormatReal(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    // 15 significant digits: one before the point and fourteen after in exponent form.
    const std::string e = FormatText("%.14e", value);
    const bool negative = e[0] == '-';
    const size_t start = negative ? 1 : 0;
    std::string digits;
    digits += e[start];
    size_t pos = start + 2;  // skip the point
    while (isDigit(e[pos])) digits += e[pos++];
    const int exponent = std::atoi(e.c_str() + pos + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent);
        return out;
    }
    if (exponent < 0) {
        out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
        return out;
    }
    const size_t intDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
        out += digits + std::string(intDigits - digits.size(), '0');
    } else {
        out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
    }
    return out;
}

int ParseInt(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    long long value = 0;
    const size_t firstDigit = i;
    for (; i < t.size() && isDigit(t[i]); ++i) {
        value = value * 10 + (t[i] - '0');
        if (value > 2147483648LL) break;
    }
    if (i == firstDigit || i != t.size() || (negative ? value > 2147483648LL : value > 2147483647LL))
        throw ConversionError(
            FormatText("'%.*s' は整数ではありません", static_cast<int>(text.size()), text.data()));
    return static_cast<int>(negative ? -value : value);
}

long double ParseRealExtended(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    // [sign] (digits [. digits] | . digits) [(e|E) [sign] digits]
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t mantissaDigits = 0;
    while (i < t.size() && isDigit(t[i])) ++i, ++mantissaDigits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i])) ++i, ++mantissaDigits;
    }
    bool ok = mantissaDigits > 0;
    if (ok && i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < t.size() && isDigit(t[i])) ++i, ++expDigits;
        ok = expDigits > 0;
    }
    ok = ok && i == t.size();
    long double value = 0;
    if (ok) {
        const std::string s(t);
        value = strtold_l(s.c_str(), nullptr, cLocale());
        ok = std::isfinite(value);
    }
    if (!ok)
        throw ConversionError(
            FormatText("'%.*s' は浮動小数点数ではありません", static_cast<int>(text.size()), text.data()));
    return value;
}

double ParseReal(std::string_view text) {
    return CheckedToDouble(ParseRealExtended(text));
}
