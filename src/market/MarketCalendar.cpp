#include "market/MarketCalendar.h"

#include "framework/Dates.h"
#include "framework/Log.h"

#include <algorithm>
#include <fstream>
#include <limits>

namespace tavora::market {

const char* calendarFileName(std::string_view market) {
    return market == kUsIndexMarket ? kUsCalendarFile : kJapanCalendarFile;
}

std::string ChooseCalendar(const CodeElm& entry, const std::string& marketDayDir) {
    return marketDayDir + "/" + calendarFileName(entry.market);
}

std::size_t AppendMarketDates(KeisenList& dayBars, const std::vector<std::string>& dates) {
    if (dayBars.empty())
        return 0;
    const int newest = dayBars.newest()->dateNumber();
    // Walk from the last date back to the first one that is not after the newest bar.
    std::vector<std::string> later;             // latest first
    int next = std::numeric_limits<int>::max(); // the date kept after this one
    for (std::size_t i = dates.size(); i > 0; --i) {
        const auto d = framework::parseDate(dates[i - 1]);
        if (!d)
            continue;
        const int number = framework::dateNumber(*d);
        if (number <= newest)
            break;
        if (number >= next) // out of calendar order: the bars would run backwards
            continue;
        next = number;
        later.push_back(framework::formatDate(*d));
    }
    const std::size_t count = later.size();
    // The calendar walk inserts each earlier date next to the newest bar, so the latest date
    // is created first and ends up next to the head.
    dayBars.insertNewest(count, true);
    for (std::size_t k = 0; k < count; ++k)
        dayBars[k].setDate(later[k]);
    return count;
}

std::vector<std::string> FutureMarketDates(const std::string& calendarPath, int newestDateNumber,
                                           std::vector<std::string>* skipped) {
    std::vector<std::string> future; // latest first while scanning
    std::ifstream in(calendarPath, std::ios::binary);
    if (!in)
        return future;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0)
        return future;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), size))
        return future;
    // Only the first field of the last lines matters, and it is ASCII: "," and line ends never
    // occur inside a Shift-JIS double-byte character (their trail bytes are 0x40 and above), so
    // the lines are scanned from the end without decoding the whole file. Blank lines and a
    // quoted date are tolerated.
    const std::string_view text = bytes;
    std::size_t end = text.size();
    int next = std::numeric_limits<int>::max(); // the date kept after this line
    while (end > 0) {
        std::size_t begin = text.rfind('\n', end - 1);
        begin = begin == std::string_view::npos ? 0 : begin + 1;
        std::string_view line = text.substr(begin, end - begin);
        end = begin == 0 ? 0 : begin - 1;
        std::string_view field = line.substr(0, line.find(','));
        while (!field.empty() && (field.back() == '\r' || field.back() == ' '))
            field.remove_suffix(1);
        if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
            field = field.substr(1, field.size() - 2);
        if (field.empty())
            continue;
        const auto d = framework::parseDate(field);
        if (!d) {
            if (skipped)
                skipped->push_back("市場カレンダーの日付が不正なため無視しました: " + calendarPath + ": " +
                                   framework::logExcerpt(field));
            continue;
        }
        const int number = framework::dateNumber(*d);
        if (number <= newestDateNumber)
            break;
        // Each date must come before the one kept after it, or the day bars would run backwards.
        if (number >= next) {
            if (skipped)
                skipped->push_back("市場カレンダーの日付が順に並んでいないため無視しました: " + calendarPath +
                                   ": " + framework::logExcerpt(field));
            continue;
        }
        next = number;
        future.push_back(framework::formatDate(*d));
    }
    std::reverse(future.begin(), future.end());
    return future;
}

std::size_t AppendMarketDays(KeisenList& dayBars, const std::string& calendarPath,
                             std::vector<std::string>* skipped) {
    if (dayBars.empty())
        return 0;
    return AppendMarketDates(dayBars,
                             FutureMarketDates(calendarPath, dayBars.newest()->dateNumber(), skipped));
}

} // namespace tavora::market
