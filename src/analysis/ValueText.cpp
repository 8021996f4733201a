#include "analysis/ValueText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tavora::analysis {

namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

std::size_t slowFormat(double v, char* buf, std::size_t size) {
    auto [end, ec] = std::to_chars(buf, buf + size, v, std::chars_format::fixed, 2);
    if (ec != std::errc())
        return 0;
    std::size_t n = static_cast<std::size_t>(end - buf);
    // printf keeps the sign of a negative value that rounds to zero; to_chars does too,
    // but spell it out for -0.0 so both paths agree.
    if (std::signbit(v) && buf[0] != '-') {
        if (n + 1 > size)
            return 0;
        std::memmove(buf + 1, buf, n);
        buf[0] = '-';
        ++n;
    }
    return n;
}

} // namespace

std::size_t FormatValue2(double v, char* buf, std::size_t size) {
    const double a = std::fabs(v);
    // Fast path: scale to hundredths and round, unless the scaled value lies so close to a
    // rounding boundary that the multiplication's own error could decide it; those (and
    // huge or non-finite values) go through the exact conversion.
    if (!(a < 1e15))
        return slowFormat(v, buf, size);
    const double scaled = a * 100.0;
    const double fl = std::floor(scaled);
    const double frac = scaled - fl;
    if (std::fabs(frac - 0.5) <= scaled * 4e-16 + 1e-300)
        return slowFormat(v, buf, size);
    std::uint64_t cents = static_cast<std::uint64_t>(fl) + (frac > 0.5 ? 1 : 0);

    char tmp[24];
    char* p = tmp + sizeof tmp;
    const auto pair = [&p](std::uint64_t twoDigits) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * twoDigits, 2);
    };
    pair(cents % 100);
    cents /= 100;
    *--p = '.';
    while (cents >= 100) {
        pair(cents % 100);
        cents /= 100;
    }
    if (cents >= 10)
        pair(cents);
    else
        *--p = static_cast<char>('0' + cents);
    if (std::signbit(v))
        *--p = '-';
    const std::size_t n = static_cast<std::size_t>(tmp + sizeof tmp - p);
    if (n > size)
        return 0;
    std::memcpy(buf, p, n);
    return n;
}

double ParseValueText(std::string_view text) {
    // Fast path for what FormatValue2 writes: [-]digits.dd with at most 13 digits. The
    // quotient of two exact integers is correctly rounded, so it equals strtod's result.
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    std::uint64_t n = 0;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 14) {
        n = n * 10 + static_cast<std::uint64_t>(text[i] - '0');
        ++i;
        ++digits;
    }
    if (digits > 0 && digits < 14 && i + 3 == text.size() && text[i] == '.' && text[i + 1] >= '0' &&
        text[i + 1] <= '9' && text[i + 2] >= '0' && text[i + 2] <= '9') {
        n = n * 100 + static_cast<std::uint64_t>(text[i + 1] - '0') * 10 +
            static_cast<std::uint64_t>(text[i + 2] - '0');
        const double v = static_cast<double>(n) / 100.0;
        return negative ? -v : v;
    }
    // Anything else: the longest leading number, as atof reads it.
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    if (start < text.size() && text[start] == '+')
        ++start;
    double v = 0.0;
    auto res = std::from_chars(text.data() + start, text.data() + text.size(), v);
    return res.ec == std::errc() ? v : 0.0;
}

} // namespace tavora::analysis
