#include "analysis/KeisenWrapList.h"

namespace tavora::analysis {

void KeisenWrapList::SetWindow(int n) {
    m_window = n;
    m_fed = 0;
    m_head = 0;
    m_size = 0;
    m_ring.clear();
}

void KeisenWrapList::grow() {
    // The ring never holds more than N candidates; it grows by doubling, so a window
    // parameter far larger than the bar list costs nothing up front.
    std::vector<Entry> bigger(m_ring.empty() ? 16 : m_ring.size() * 2);
    for (std::size_t i = 0; i < m_size; ++i)
        bigger[i] = at(i);
    m_ring.swap(bigger);
    m_head = 0;
}

template <class Better> void KeisenWrapList::add(bool eligible, double value, Better better) {
    if (m_window <= 0)
        return;
    const std::int64_t seq = m_fed++;
    // The oldest candidate leaves once it is N bars old.
    if (m_size > 0 && at(0).seq <= seq - m_window) {
        m_head = (m_head + 1) & (m_ring.size() - 1);
        --m_size;
    }
    if (!eligible)
        return;
    // Candidates that the new bar beats can never be the extreme again; equal ones stay
    // ahead of it, so a tie keeps the older bar.
    while (m_size > 0 && better(value, at(m_size - 1).value))
        --m_size;
    if (m_size == m_ring.size())
        grow();
    at(m_size) = Entry{seq, value};
    ++m_size;
}

void KeisenWrapListMaxValue::AddBar(const std::optional<double>& high) {
    add(true, high.value_or(0.0), [](double a, double b) { return a > b; });
}

void KeisenWrapListMinValue::AddBar(const std::optional<double>& low) {
    const double v = low.value_or(0.0);
    add(v != 0.0, v, [](double a, double b) { return a < b; });
}

} // namespace tavora::analysis
