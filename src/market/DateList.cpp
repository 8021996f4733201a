#include "market/DateList.h"

#include <algorithm>

namespace tavora::market {

DateList::DateList(const framework::YmdDate& today) {
    // The last day included: the same day 60 months ahead, normalised as mktime would (29
    // February of a common year is 1 March).
    const long long firstDay = framework::daysFromCivil(1983, 1, 2);
    const long long lastDay = framework::daysFromCivil(today.year + 5, today.month, 1) + today.day - 1;
    m_entries.reserve(static_cast<std::size_t>(std::max(0LL, (lastDay - firstDay) / 7 + 1)));
    for (long long d = firstDay; d <= lastDay; d += 7) {
        const auto ymd = framework::civilFromDays(d);
        m_entries.push_back({framework::formatDate(ymd), framework::dateNumber(ymd)});
    }
}

const DateElm* DateList::find(std::string_view date) const {
    const auto parsed = framework::parseDate(date);
    if (!parsed || m_entries.empty())
        return nullptr;
    const int n = framework::dateNumber(*parsed);
    if (n < m_entries.front().number || n > m_entries.back().number)
        return nullptr;
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), n,
                                     [](const DateElm& e, int v) { return e.number < v; });
    return it == m_entries.end() ? nullptr : &*it;
}

} // namespace tavora::market
