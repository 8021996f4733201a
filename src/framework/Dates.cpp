#include "framework/Dates.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace tavora::framework {

namespace {

// Reads a run of decimal digits (at most 9) as an int; nullopt when there is none.
std::optional<int> readNumber(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The value of `count` ASCII digits at `text`; -1 when one of them is not a digit.
int fixedDigits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
        if (digit > 9)
            return -1;
        value = value * 10 + static_cast<int>(digit);
    }
    return value;
}

// atoi over a part of the text: optional sign, then digits; stops at anything else.
int atoiPart(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value >= 100'000'000) // stays within int; no date part is that long
            break;
        value = value * 10 + (text[i] - '0');
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

bool isValidDate(int y, int m, int d) {
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

std::string formatDate(int year, int month, int day) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
    return buf;
}

YmdDate todayYmd() {
    if (const char* env = std::getenv("TAVORA_TODAY"); env && *env) {
        if (auto d = parseDate(env))
            return *d;
    }
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

std::string todayOverrideProblem() {
    const char* env = std::getenv("TAVORA_TODAY");
    if (!env || !*env || parseDate(env))
        return {};
    std::string value(env);
    if (value.size() > 40)
        value = value.substr(0, 40) + "...";
    return "TAVORA_TODAY='" + value + "' is not a date as YYYY-MM-DD (unset it to use the clock)";
}

std::string todayDate() {
    return formatDate(todayYmd());
}

std::optional<YmdDate> parseDate(std::string_view text) {
    // Fixed widths keep text order equal to date order and rule out absurd years and months
    // (an eight-digit "year" once reached the period builders and overflowed their keys).
    if (text.size() != 10 || (text[4] != '-' && text[4] != '/') || text[7] != text[4])
        return std::nullopt;
    const YmdDate d{fixedDigits(text, 0, 4), fixedDigits(text, 5, 2), fixedDigits(text, 8, 2)};
    if (!isValidDate(d.year, d.month, d.day))
        return std::nullopt;
    return d;
}

std::string canonicalDate(std::string_view text) {
    const auto d = parseDate(text);
    return d ? formatDate(*d) : std::string();
}

YmdDate splitDate(std::string_view text) {
    YmdDate out;
    auto first = text.find_first_of("-/");
    out.year = atoiPart(text.substr(0, first));
    if (first == std::string_view::npos)
        return out;
    auto rest = text.substr(first + 1);
    auto second = rest.find_first_of("-/");
    out.month = atoiPart(rest.substr(0, second));
    if (second != std::string_view::npos)
        out.day = atoiPart(rest.substr(second + 1));
    return out;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Howard Hinnant's days_from_civil / civil_from_days (proleptic Gregorian).
long long daysFromCivil(int year, int month, int day) {
    long long y = static_cast<long long>(year) - (month <= 2 ? 1 : 0);
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long mp = (static_cast<long long>(month) + 9) % 12;
    long long doy = (153 * mp + 2) / 5 + static_cast<long long>(day) - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

YmdDate civilFromDays(long long days) {
    days += 719468;
    long long era = (days >= 0 ? days : days - 146096) / 146097;
    long long doe = days - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(y + (m <= 2 ? 1 : 0)), m, d};
}

int dayOfWeek(int year, int month, int day) {
    long long days = daysFromCivil(year, month, day); // 1970-01-01 was a Thursday (4)
    long long w = (days + 4) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

std::string GetDayOfDifferDay(std::string_view date, int days) {
    auto d = parseDate(date);
    if (!d)
        return {};
    return formatDate(civilFromDays(daysFromCivil(d->year, d->month, d->day) + days));
}

std::string GetDayOfDifferMonth(std::string_view date, int months) {
    auto d = parseDate(date);
    if (!d)
        return {};
    long long index = static_cast<long long>(d->year) * 12 + (d->month - 1) + months;
    long long y = index >= 0 ? index / 12 : (index - 11) / 12;
    int m = static_cast<int>(index - y * 12) + 1;
    int day = d->day;
    if (int len = daysInMonth(static_cast<int>(y), m); day > len)
        day = len;
    return formatDate(static_cast<int>(y), m, day);
}

int ConvertCarenderToInt(std::string_view date) {
    if (auto d = parseDate(date))
        return dateNumber(*d);
    if (date.size() == 8) {
        if (auto n = readNumber(date)) {
            YmdDate d{*n / 10000, *n / 100 % 100, *n % 100};
            if (isValidDate(d.year, d.month, d.day))
                return *n;
        }
    }
    return 0;
}

std::string RemoveHyfunCarender(std::string_view date) {
    std::string out;
    out.reserve(date.size());
    for (char c : date)
        if (c != '-')
            out += c;
    return out;
}

int weekOfYear(int year, int month, int day) {
    // strftime's %W: (yday + 7 - days since Monday) / 7.
    long long days = daysFromCivil(year, month, day);
    const long long yday = days - daysFromCivil(year, 1, 1);
    long long w = (days + 3) % 7; // 1970-01-01 was a Thursday: 3 days since Monday
    const long long sinceMonday = w < 0 ? w + 7 : w;
    return static_cast<int>((yday + 7 - sinceMonday) / 7);
}

int GetWeekNum1970(int ymd) {
    return weekOfYear(ymd / 10000, ymd / 100 % 100, ymd % 100);
}

int weekKey(int year, int month, int day) {
    // For 1970 on this equals strftime("%W") of mktime at local midnight: %W depends only on
    // the calendar date, so the arithmetic avoids two libc calls per bar.
    // Before 1970 GetWeekNum1970 gives the same; calling the arithmetic directly keeps the key
    // free of the date-number packing, which does not fit an int for absurd months or years.
    return weekOfYear(year, month, day);
}

} // namespace tavora::framework
