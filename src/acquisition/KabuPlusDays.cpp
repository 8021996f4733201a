#include "acquisition/KabuPlusDays.h"

#include "framework/CsvReader.h"
#include "framework/Files.h"

#include <algorithm>
#include <cstdio>

namespace tavora::acquisition {

namespace {

// Exactly "YYYY-MM-DD" naming a day of the calendar: the text ends up in a URL and a file
// name, so nothing else may pass.
std::optional<framework::YmdDate> strictDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    return framework::parseDate(text);
}

} // namespace

DownloadDays chooseDownloadDays(const std::string& calendarPath, const std::optional<std::string>& lastStored,
                                const std::string& oneYearAnchor, const std::string& today) {
    DownloadDays result;
    if (!framework::isliveFile(calendarPath)) {
        result.error = "営業日カレンダーがありません: " + calendarPath;
        return result;
    }
    const auto calendar = framework::ReadCsvFileInfo(calendarPath, framework::CsvEncoding::ShiftJis, ',');
    if (!calendar.ok()) {
        result.error = "営業日カレンダーを読めません: " + calendarPath + ": " + calendar.error;
        return result;
    }
    const int after = lastStored ? framework::ConvertCarenderToInt(*lastStored) : 0;
    const int from = framework::ConvertCarenderToInt(oneYearAnchor);
    const int until = framework::ConvertCarenderToInt(today);
    for (const auto& row : calendar.rows) {
        const auto day = row.empty() ? std::nullopt : strictDate(row.front());
        if (!day) {
            ++result.badRows;
            continue;
        }
        const int n = framework::dateNumber(*day);
        if (n > after && n >= from && n <= until)
            result.days.push_back(*day);
    }
    auto less = [](const auto& a, const auto& b) {
        return framework::dateNumber(a) < framework::dateNumber(b);
    };
    std::sort(result.days.begin(), result.days.end(), less);
    result.days.erase(std::unique(result.days.begin(), result.days.end()), result.days.end());
    return result;
}

std::string compactDate(const framework::YmdDate& day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", day.year, day.month, day.day);
    return text;
}

std::string kabuPlusPath(const framework::YmdDate& day) {
    return "/kabu.plus/csv/japan-all-stock-prices/daily/" + kabuPlusFileName(day);
}

std::string kabuPlusUrl(const std::string& baseUrl, const framework::YmdDate& day) {
    std::string base = baseUrl;
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base + kabuPlusPath(day);
}

std::string kabuPlusFileName(const framework::YmdDate& day) {
    return "japan-all-stock-prices_" + compactDate(day) + ".csv";
}

} // namespace tavora::acquisition
