#pragma once
// The week-start Sundays of a chart panel, from 2 January 1983 to the last Sunday not later
// than 60 months after today, ascending; chart drawing and printing place week marks with its
// lookup. Built once per panel; read-only afterwards, so any thread may read it.
#include "framework/Dates.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavora::market {

struct DateElm {
    std::string date; // "YYYY-MM-DD"
    int number = 0;   // year * 10000 + month * 100 + day
};

class DateList {
public:
    // Builds the Sundays for the given today (the panel passes framework::todayYmd()).
    explicit DateList(const framework::YmdDate& today);
    DateList() = default;

    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const DateElm& operator[](std::size_t i) const { return m_entries[i]; }
    const DateElm* first() const { return m_entries.empty() ? nullptr : &m_entries.front(); }
    const DateElm* last() const { return m_entries.empty() ? nullptr : &m_entries.back(); }
    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

    // The entry equal to the date, else the Sunday just after it; nullptr when the date is
    // later than the last entry or earlier than the first (or not a date).
    const DateElm* find(std::string_view date) const;

    void reset() { m_entries.clear(); }

private:
    std::vector<DateElm> m_entries;
};

} // namespace tavora::market
