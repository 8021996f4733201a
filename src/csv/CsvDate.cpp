#include "csv/CsvDate.h"

#include "framework/Dates.h"
#include "framework/TextTrim.h"

#include <cstdint>

namespace tavora::csv {

namespace {

// Decodes one UTF-8 character at `i` (advancing it); 0xFFFFFFFF for a broken sequence.
std::uint32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const int extra = lead < 0x80             ? 0
                      : (lead & 0xE0) == 0xC0 ? 1
                      : (lead & 0xF0) == 0xE0 ? 2
                      : (lead & 0xF8) == 0xF0 ? 3
                                              : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
        ++i;
        return 0xFFFFFFFF;
    }
    std::uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const unsigned char c = byte(i + static_cast<std::size_t>(k));
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFFFFFF;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

bool isDash(std::uint32_t cp) {
    switch (cp) {
    case 0x2010: // hyphen
    case 0x2011: // non-breaking hyphen
    case 0x2012: // figure dash
    case 0x2013: // en dash
    case 0x2014: // em dash
    case 0x2015: // horizontal bar
    case 0x2212: // minus sign
    case 0x30FC: // prolonged sound mark, often typed for a dash
    case 0xFE63: // small hyphen-minus
    case 0xFF0D: // full-width hyphen-minus
        return true;
    default:
        return false;
    }
}

// The cell in plain ASCII: full-width digits, dashes, slash and blanks folded; "年" and "月"
// become "-", "日" ends the date; "時" and "分" become ":" and "秒" goes. Empty when the cell
// holds any other character that is not ASCII.
std::optional<std::string> fold(std::string_view cell) {
    std::string out;
    out.reserve(cell.size());
    for (std::size_t i = 0; i < cell.size();) {
        const std::uint32_t cp = nextCodePoint(cell, i);
        if (cp < 0x80)
            out += static_cast<char>(cp);
        else if (cp >= 0xFF10 && cp <= 0xFF19)
            out += static_cast<char>('0' + (cp - 0xFF10));
        else if (isDash(cp) || cp == 0x5E74 /* 年 */ || cp == 0x6708 /* 月 */)
            out += '-';
        else if (cp == 0xFF0F)
            out += '/';
        else if (cp == 0x3000 || cp == 0x65E5 /* 日 */)
            out += ' ';
        else if (cp == 0x6642 /* 時 */ || cp == 0x5206 /* 分 */ || cp == 0xFF1A /* ： */)
            out += ':';
        else if (cp == 0x79D2 /* 秒 */)
            continue;
        else
            return std::nullopt;
    }
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view s) {
    for (char c : s)
        if (!isDigit(c))
            return false;
    return true;
}

// A time of day as cells carry it: "15:00", "9:00:00", "15:00:00.000", "15:00:" (from "15時00分").
bool isTimeOfDay(std::string_view s) {
    if (s.empty() || !isDigit(s.front()))
        return false;
    for (char c : s)
        if (!isDigit(c) && c != ':' && c != '.')
            return false;
    return s.find(':') != std::string_view::npos;
}

} // namespace

std::optional<std::string> normalizeCsvDate(std::string_view cell) {
    const auto folded = fold(cell);
    if (!folded)
        return std::nullopt;
    std::string_view text = framework::trimBlanks(*folded);
    // The date ends at the first blank or at the "T" of an ISO date-time.
    const std::size_t end = text.find_first_of(" \tT");
    std::string_view date = text.substr(0, end);
    if (end != std::string_view::npos && !isTimeOfDay(framework::trimBlanks(text.substr(end + 1))))
        return std::nullopt;

    std::string dashed;
    if (date.size() == 8 && allDigits(date)) {
        dashed = std::string(date.substr(0, 4)) + "-" + std::string(date.substr(4, 2)) + "-" +
                 std::string(date.substr(6, 2));
    } else {
        // Four-digit year, then one or two digits of month and of day, one kind of separator.
        if (date.size() < 8 || !allDigits(date.substr(0, 4)) || (date[4] != '-' && date[4] != '/'))
            return std::nullopt;
        const char sep = date[4];
        const std::size_t second = date.find(sep, 5);
        if (second == std::string_view::npos)
            return std::nullopt;
        const std::string_view month = date.substr(5, second - 5);
        const std::string_view day = date.substr(second + 1);
        if (month.empty() || month.size() > 2 || !allDigits(month) || day.empty() || day.size() > 2 ||
            !allDigits(day))
            return std::nullopt;
        // Padded to two digits: the strict reader below takes "YYYY-MM-DD" only.
        dashed = std::string(date.substr(0, 4)) + (month.size() == 1 ? "-0" : "-") + std::string(month) +
                 (day.size() == 1 ? "-0" : "-") + std::string(day);
    }
    const auto ymd = framework::parseDate(dashed);
    if (!ymd)
        return std::nullopt;
    return framework::formatDate(*ymd);
}

} // namespace tavora::csv
