// Numbers to text by number format.
//
//   General     up to `digits` significant digits, trailing zeros dropped; the whole-number part
//               is never rounded away (digits widen to cover it, up to 15), and numbers from
//               1E+15 up or below 1E-04 are shown in scientific form
//   Fixed       `digits` decimals (scientific from 1E+15 up, where fixed would hide the rounding)
//   Scientific  `digits` decimals of the mantissa, "E", the signed exponent of at least 2 digits
//   Currency    "$" and `digits` decimals, always with thousands separators
// Attributes: Punctuated adds thousands separators, Parens shows negatives as "(1)" instead of
// "-1", Percent shows the number times 100 followed by "%". NaN and infinities read "NaN",
// "Infinity" and "-Infinity" whatever the format; a result that rounds to zero has no sign.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "store/api/Conversions.h"
#include "vlt/TextBuffer.h"

namespace store {
namespace {

constexpr int kMaxDigits = 15;
constexpr double kScientificFrom = 1e15;

enum : std::uint8_t { kGeneral = 0, kFixed = 1, kScientific = 2, kCurrency = 3 };
enum : std::uint8_t { kPunctuated = 0x1, kParens = 0x2, kPercent = 0x4 };

std::string Printf(const char* format, int precision, double value) {
    char text[400]; // %.15f of a number below 1e15 needs at most 32 bytes; %e far fewer
    std::snprintf(text, sizeof text, format, precision, value);
    return text;
}

// "%.*E" with the mantissa's trailing zeros dropped when trim is set.
std::string Scientific(double a, int decimals, bool trim) {
    std::string s = Printf("%.*E", decimals, a);
    if (trim) {
        const std::size_t e = s.find('E');
        std::size_t end = e;
        if (s.find('.') < e) {
            while (s[end - 1] == '0')
                --end;
            if (s[end - 1] == '.')
                --end;
        }
        s.erase(end, e - end);
    }
    return s;
}

// The decimal exponent of a once rounded to sig significant digits.
int ExponentOf(double a, int sig) {
    const std::string e = Printf("%.*e", sig - 1, a);
    return std::atoi(e.c_str() + e.find('e') + 1);
}

std::string General(double a, int digits) {
    if (a == 0)
        return "0";
    // Widen the significant digits to cover every whole digit (up to the 15 a double holds).
    const int wholeDigits = a < 1 ? 0 : int(Printf("%.*f", 0, std::floor(a)).size());
    int sig = digits < 1 ? 1 : digits;
    if (sig < wholeDigits)
        sig = wholeDigits > kMaxDigits ? kMaxDigits : wholeDigits;
    const int exponent = ExponentOf(a, sig);
    if (exponent >= kMaxDigits || exponent < -4)
        return Scientific(a, sig - 1, true);
    std::string s = Printf("%.*f", sig - 1 - exponent > 0 ? sig - 1 - exponent : 0, a);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
    }
    return s;
}

// Puts the decimal and thousands separators into a plain "123456.78" text.
std::string Punctuate(const std::string& plain, const IntlFormat& intl, bool thousands) {
    const std::size_t point = plain.find('.');
    const std::string whole = plain.substr(0, point);
    std::string out;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (thousands && i > 0 && (whole.size() - i) % 3 == 0)
            out.push_back(intl.thousandSeparator);
        out.push_back(whole[i]);
    }
    if (point != std::string::npos) {
        out.push_back(intl.decimalSeparator);
        out.append(plain, point + 1);
    }
    return out;
}

bool AllZeroDigits(const std::string& s) {
    const std::size_t e = s.find('E');
    for (std::size_t i = 0; i < s.size() && i < e; ++i)
        if (s[i] >= '1' && s[i] <= '9')
            return false;
    return true;
}

} // namespace

Status NumberToText(const IntlFormat* intlIn, const NumberFormat* formatIn, double number,
                    char* buffer, std::size_t size, std::size_t* length) {
    const IntlFormat intl = intlIn ? *intlIn : IntlFormat{};
    const NumberFormat format = formatIn ? *formatIn : NumberFormat{};
    if (format.format > kCurrency) {
        vlt::PutText("", buffer, size, length);
        return kInvalidArgument;
    }
    if (std::isnan(number))
        return vlt::PutText("NaN", buffer, size, length);
    if (std::isinf(number))
        return vlt::PutText(number < 0 ? "-Infinity" : "Infinity", buffer, size, length);

    const int digits = format.digits > kMaxDigits ? kMaxDigits : format.digits;
    const bool percent = format.attributes & kPercent;
    double value = percent ? number * 100 : number;
    if (std::isinf(value)) // a percent beyond the range of doubles
        value = number;
    const double a = std::fabs(value);

    std::string body;
    bool scientific = false;
    switch (format.format) {
    case kGeneral:
        body = General(a, digits);
        scientific = body.find('E') != std::string::npos;
        break;
    case kFixed:
    case kCurrency:
        scientific = a >= kScientificFrom;
        body = scientific ? Scientific(a, digits, false) : Printf("%.*f", digits, a);
        break;
    case kScientific:
        scientific = true;
        body = Scientific(a, digits, false);
        break;
    }
    const bool thousands =
        !scientific && ((format.attributes & kPunctuated) || format.format == kCurrency);
    if (scientific) {
        for (char& c : body)
            if (c == '.')
                c = intl.decimalSeparator;
    } else {
        body = Punctuate(body, intl, thousands);
    }
    if (format.format == kCurrency)
        body = "$" + body;
    if (percent)
        body.push_back('%');
    if (std::signbit(value) && !AllZeroDigits(body))
        body = (format.attributes & kParens) ? "(" + body + ")" : "-" + body;
    return vlt::PutText(body, buffer, size, length);
}

} // namespace store
