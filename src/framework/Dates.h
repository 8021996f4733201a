#pragma once
// Calendar helpers on date texts "YYYY-MM-DD" (text order is date order) and their integer
// form year * 10000 + month * 100 + day. Pure functions of the proleptic Gregorian calendar,
// safe from any thread; only todayDate() looks at the clock and the environment.
#include <optional>
#include <string>
#include <string_view>

namespace tavora::framework {

struct YmdDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const YmdDate&) const = default;
};

// Today's local date as "YYYY-MM-DD"; TAVORA_TODAY=YYYY-MM-DD overrides it (for reproducible
// runs and tests). An unparsable override is ignored here; programs refuse it at start
// (todayOverrideProblem).
std::string todayDate();
inline std::string getTodayDate() {
    return todayDate();
}
YmdDate todayYmd();
// Why TAVORA_TODAY cannot be used (one line naming the value), or empty when it is unset,
// empty or a date parseDate accepts.
std::string todayOverrideProblem();

// "%04d-%02d-%02d".
std::string formatDate(int year, int month, int day);
inline std::string formatDate(const YmdDate& d) {
    return formatDate(d.year, d.month, d.day);
}

// The one strict reader of dates that come from files, databases and the environment:
// "YYYY-MM-DD" (or "YYYY/MM/DD"): a four-digit year, two-digit month and day, one kind of
// separator, nothing before or after, and the date must exist in the calendar (years 1 to
// 9999). Empty otherwise. A reader that gets an empty result skips the record and logs it.
std::optional<YmdDate> parseDate(std::string_view text);
// The canonical "YYYY-MM-DD" form of a date parseDate accepts; empty when it does not.
std::string canonicalDate(std::string_view text);
// True for a day that exists in the calendar, years 1 to 9999.
bool isValidDate(int year, int month, int day);
// Lenient split (not a validation: see parseDate): the text up to the first "-" or "/" is the year, up to the
// second the month, the rest the day, each read like atoi (a missing part is 0). Never fails.
YmdDate splitDate(std::string_view text);

// year * 10000 + month * 100 + day.
constexpr int dateNumber(int year, int month, int day) {
    return year * 10000 + month * 100 + day;
}
inline int dateNumber(const YmdDate& d) {
    return dateNumber(d.year, d.month, d.day);
}

bool isLeapYear(int year);
// Days of a month (28..31); 0 for a month outside 1..12.
int daysInMonth(int year, int month);

// The date `days` days after (before, when negative) `date`; empty when `date` does not parse.
std::string GetDayOfDifferDay(std::string_view date, int days);
// The date `months` months after (before) `date`, the day clamped to the length of the target
// month (three months back from 2026-05-31 is 2026-02-28); empty when `date` does not parse.
std::string GetDayOfDifferMonth(std::string_view date, int months);

// "2026-12-09" or "2026/12/09" (or "20261209") -> 20261209; 0 when the text is not a date
// (parseDate's rules, or eight digits that make a real date).
int ConvertCarenderToInt(std::string_view date);
// "2026-12-09" -> "20261209": the text without its "-" separators.
std::string RemoveHyfunCarender(std::string_view date);

// Week-of-year number as strftime "%W" gives it (weeks start on Monday; the days before the
// year's first Monday are week 0), computed arithmetically for any year.
int weekOfYear(int year, int month, int day);
// The week key of bars before 1970, from year * 10000 + month * 100 + day: equal for the days
// of one Monday-to-Sunday week, different for neighbouring weeks, 0 again from 1 January.
int GetWeekNum1970(int ymd);
// The week key of a bar: "%W" of the local date for years from 1970 on, GetWeekNum1970 before.
// Both are the same arithmetic, so the key is continuous across 1970.
int weekKey(int year, int month, int day);

// Day of week, 0 = Sunday .. 6 = Saturday.
int dayOfWeek(int year, int month, int day);
// Days since 1970-01-01 (negative before it).
long long daysFromCivil(int year, int month, int day);
YmdDate civilFromDays(long long days);

} // namespace tavora::framework
