#pragma once
// The sliding windows of the half-value computation: the highest high and the lowest
// non-zero low of the last N bars fed. Owned by one computation; one thread at a time.
//
// The window keeps, oldest first, only the bars that can still become the extreme (a bar
// followed by a better one can never be it again), so each bar is added and removed at
// most once: O(1) amortised per bar even in a steady trend, where the extreme would leave
// the window at every bar. The extreme is always the oldest bar holding the window's best
// value, and none while fewer than N bars were fed.
#include <cstdint>
#include <optional>
#include <vector>

namespace tavora::analysis {

class KeisenWrapList {
public:
    // Sets the window length N; a length of 0 or less never yields an extreme.
    void SetWindow(int n);
    int window() const { return m_window; }
    // Bars fed so far.
    std::int64_t count() const { return m_fed; }

    bool hasExtreme() const { return m_window > 0 && m_fed >= m_window && m_size > 0; }
    double extremeValue() const { return at(0).value; }
    // The 0-based feed number of the extreme's bar.
    std::int64_t extremeIndex() const { return at(0).seq; }

protected:
    struct Entry {
        std::int64_t seq;
        double value;
    };
    KeisenWrapList() = default;
    // Feeds one bar: `eligible` tells whether it may become the extreme at all, `better`
    // whether a value beats another (strictly, so that ties keep the older bar).
    template <class Better> void add(bool eligible, double value, Better better);

private:
    const Entry& at(std::size_t i) const { return m_ring[(m_head + i) & (m_ring.size() - 1)]; }
    Entry& at(std::size_t i) { return m_ring[(m_head + i) & (m_ring.size() - 1)]; }
    void grow();

    int m_window = 0;
    std::int64_t m_fed = 0;
    std::vector<Entry> m_ring; // power-of-two ring of candidates, best (and oldest) first
    std::size_t m_head = 0;
    std::size_t m_size = 0;
};

// The highest high of the window (an absent high counts as 0).
class KeisenWrapListMaxValue : public KeisenWrapList {
public:
    void AddBar(const std::optional<double>& high);
};

// The lowest low of the window among lows that are present and not 0; none when the
// window holds no such low.
class KeisenWrapListMinValue : public KeisenWrapList {
public:
    void AddBar(const std::optional<double>& low);
};

} // namespace tavora::analysis
