#include "output/GeneralNumber.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxDigits = 15;

std::size_t Put(char* out, const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return n;
}

// Drops the zeros ending the fraction of text[0, end), and its point when nothing is left of it.
std::size_t TrimFraction(const char* text, std::size_t end) {
    if (!std::memchr(text, '.', end))
        return end;
    while (text[end - 1] == '0')
        --end;
    if (text[end - 1] == '.')
        --end;
    return end;
}

} // namespace

std::size_t FormatGeneralNumber(double value, int digits, char* out) {
    if (std::isnan(value))
        return Put(out, "NaN");
    if (std::isinf(value))
        return Put(out, value < 0 ? "-Infinity" : "Infinity");
    const double a = std::fabs(value);
    if (a == 0)
        return Put(out, "0"); // no sign for a zero
    if (digits > kMaxDigits)
        digits = kMaxDigits;
    if (a < 1e15 && a == std::floor(a)) {
        // A whole number below 1E+15 keeps all its digits whatever the precision, and has no
        // fraction to trim: its integer digits are the text.
        std::size_t n = 0;
        if (std::signbit(value))
            out[n++] = '-';
        const auto r = std::to_chars(out + n, out + kGeneralNumberSize, std::uint64_t(a));
        return std::size_t(r.ptr - out);
    }

    // %.0f of the whole part may take 309 digits; only its length matters.
    char wide[320];
    int wholeDigits = 0;
    if (a >= 1 && a < 1e15) {
        // Powers of ten are exact doubles up to 1E22: counting is exact and saves a conversion
        // for every number a dump shows.
        const double whole = std::floor(a);
        double power = 10;
        for (wholeDigits = 1; whole >= power; ++wholeDigits)
            power *= 10;
    } else if (a >= 1) {
        const auto r =
            std::to_chars(wide, wide + sizeof wide, std::floor(a), std::chars_format::fixed, 0);
        wholeDigits = int(r.ptr - wide);
    }
    int sig = digits < 1 ? 1 : digits;
    if (sig < wholeDigits)
        sig = wholeDigits > kMaxDigits ? kMaxDigits : wholeDigits;

    // The exponent once rounded to sig digits, from the scientific form (which may be the text).
    char sci[kGeneralNumberSize];
    const auto s = std::to_chars(sci, sci + sizeof sci, a, std::chars_format::scientific, sig - 1);
    const char* e = static_cast<const char*>(std::memchr(sci, 'e', std::size_t(s.ptr - sci)));
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), s.ptr, exponent);

    std::size_t n = 0;
    if (std::signbit(value))
        out[n++] = '-'; // never a zero here, so the digits are not all zeros
    if (exponent >= kMaxDigits || exponent < -4) {
        const std::size_t mantissa = TrimFraction(sci, std::size_t(e - sci));
        std::memcpy(out + n, sci, mantissa);
        n += mantissa;
        out[n++] = 'E';
        const std::size_t rest = std::size_t(s.ptr - e - 1);
        std::memcpy(out + n, e + 1, rest);
        return n + rest;
    }
    const int decimals = sig - 1 - exponent > 0 ? sig - 1 - exponent : 0;
    // Below 1E+15 with at most 15 significant digits: the text fits the buffer.
    const auto f =
        std::to_chars(out + n, out + kGeneralNumberSize, a, std::chars_format::fixed, decimals);
    return n + TrimFraction(out + n, std::size_t(f.ptr - (out + n)));
}
