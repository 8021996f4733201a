#include "analysis/WindowFunctions.h"

#include <cmath>
#include <cstddef>
#include <deque>
#include <limits>

namespace tavora::analysis {

namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

bool present(double v) {
    return !std::isnan(v);
}

// The last n present values in a ring, oldest first from `head`.
class Ring {
public:
    explicit Ring(std::size_t n) : m_values(n) {}
    std::size_t capacity() const { return m_values.size(); }
    std::size_t size() const { return m_size; }
    bool full() const { return m_size == m_values.size(); }
    // Adds a value; returns the one it pushed out (when the ring was full).
    double push(double v) {
        double out = kMissing;
        if (full()) {
            out = m_values[m_head];
            m_values[m_head] = v;
            m_head = (m_head + 1) % m_values.size();
        } else {
            m_values[(m_head + m_size) % m_values.size()] = v;
            ++m_size;
        }
        return out;
    }
    // The k-th value from the oldest.
    double at(std::size_t k) const { return m_values[(m_head + k) % m_values.size()]; }

private:
    std::vector<double> m_values;
    std::size_t m_head = 0;
    std::size_t m_size = 0;
};

// A running sum that keeps what rounding drops (Neumaier): a huge value entering and leaving
// the window takes nothing of the small ones with it.
class Compensated {
public:
    void add(double x) {
        const double t = m_sum + x;
        m_lost += std::fabs(m_sum) >= std::fabs(x) ? (m_sum - t) + x : (x - t) + m_sum;
        m_sum = t;
    }
    double value() const { return m_sum + m_lost; }
    void reset() { m_sum = m_lost = 0.0; }

private:
    double m_sum = 0.0;
    double m_lost = 0.0;
};

// A window of n present values with running sums of the values minus a reference K (and of
// their squares): subtracting K keeps the squares small so the variance does not cancel.
// The sums are computed afresh every n values, so no rounding (or an overflow) outlives a
// window.
class Sums {
public:
    explicit Sums(std::size_t n) : m_ring(n) {}
    const Ring& ring() const { return m_ring; }
    double reference() const { return m_reference; }
    double sum() const { return m_sum.value(); }
    double squares() const { return m_squares.value(); }

    void push(double v) {
        if (m_ring.size() == 0)
            m_reference = v;
        const double out = m_ring.push(v);
        if (++m_sinceFresh >= m_ring.capacity()) {
            refresh();
            return;
        }
        const double d = v - m_reference;
        m_sum.add(d);
        m_squares.add(d * d);
        if (present(out)) {
            const double o = out - m_reference;
            m_sum.add(-o);
            m_squares.add(-(o * o));
        }
    }

private:
    void refresh() {
        m_sinceFresh = 0;
        m_reference = m_ring.at(m_ring.size() - 1);
        m_sum.reset();
        m_squares.reset();
        for (std::size_t k = 0; k < m_ring.size(); ++k) {
            const double d = m_ring.at(k) - m_reference;
            m_sum.add(d);
            m_squares.add(d * d);
        }
    }

    Ring m_ring;
    double m_reference = 0.0;
    Compensated m_sum;
    Compensated m_squares;
    std::size_t m_sinceFresh = 0;
};

// A window of n values cannot fill on a series shorter than n: no memory for it.
bool tooLong(std::span<const double> x, int n) {
    return n < 1 || static_cast<std::size_t>(n) > x.size();
}

template <class F> std::vector<double> windowed(std::span<const double> x, int n, F&& value) {
    std::vector<double> out(x.size(), kMissing);
    if (tooLong(x, n))
        return out;
    Sums sums(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!present(x[i]))
            continue;
        sums.push(x[i]);
        if (sums.ring().full())
            out[i] = value(sums);
    }
    return out;
}

template <class Better> std::vector<double> extreme(std::span<const double> x, int n, Better better) {
    std::vector<double> out(x.size(), kMissing);
    if (tooLong(x, n))
        return out;
    // Candidates (sequence number among present values, value): each later one is not
    // beaten by an earlier one, so the front is the window's extreme.
    std::deque<std::pair<std::size_t, double>> candidates;
    std::size_t seen = 0;
    const auto window = static_cast<std::size_t>(n);
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!present(x[i]))
            continue;
        while (!candidates.empty() && !better(candidates.back().second, x[i]))
            candidates.pop_back();
        candidates.emplace_back(seen, x[i]);
        ++seen;
        while (candidates.front().first + window < seen) // left the window
            candidates.pop_front();
        if (seen >= window)
            out[i] = candidates.front().second;
    }
    return out;
}

} // namespace

std::vector<double> MovingAverage(std::span<const double> x, int n) {
    const double count = n;
    return windowed(x, n, [count](const Sums& s) { return s.reference() + s.sum() / count; });
}

std::vector<double> MovingSum(std::span<const double> x, int n) {
    const double count = n;
    return windowed(x, n, [count](const Sums& s) { return s.reference() * count + s.sum(); });
}

std::vector<double> StandardDeviation(std::span<const double> x, int n) {
    const double count = n;
    return windowed(x, n, [count](const Sums& s) {
        const double mean = s.sum() / count;
        const double variance = s.squares() / count - mean * mean;
        return variance > 0.0 ? std::sqrt(variance) : 0.0;
    });
}

std::vector<double> ExponentialAverage(std::span<const double> x, int n) {
    std::vector<double> out(x.size(), kMissing);
    if (tooLong(x, n))
        return out;
    const double alpha = 2.0 / (static_cast<double>(n) + 1.0);
    std::size_t seen = 0;
    double e = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!present(x[i]))
            continue;
        ++seen;
        if (seen < static_cast<std::size_t>(n)) {
            e += x[i];
            continue;
        }
        if (seen == static_cast<std::size_t>(n))
            e = (e + x[i]) / static_cast<double>(n);
        else
            e += alpha * (x[i] - e);
        out[i] = e;
    }
    return out;
}

std::vector<double> WeightedAverage(std::span<const double> x, int n) {
    std::vector<double> out(x.size(), kMissing);
    if (tooLong(x, n))
        return out;
    const auto window = static_cast<std::size_t>(n);
    const double denominator = static_cast<double>(n) * (static_cast<double>(n) + 1.0) / 2.0;
    Ring ring(window);
    Compensated sum;      // plain sum of the window
    Compensated weighted; // sum of k * value, k = 1 for the oldest
    std::size_t sinceFresh = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!present(x[i]))
            continue;
        const double v = x[i];
        if (ring.full()) {
            // Every weight drops by one (the oldest to 0, so it leaves) and v enters with n.
            weighted.add(static_cast<double>(n) * v);
            weighted.add(-sum.value());
            sum.add(v);
            sum.add(-ring.push(v));
        } else {
            ring.push(v);
            sum.add(v);
            weighted.add(static_cast<double>(ring.size()) * v);
        }
        if (++sinceFresh >= window) {
            sinceFresh = 0;
            sum.reset();
            weighted.reset();
            for (std::size_t k = 0; k < ring.size(); ++k) {
                sum.add(ring.at(k));
                weighted.add(static_cast<double>(k + 1) * ring.at(k));
            }
        }
        if (ring.full())
            out[i] = weighted.value() / denominator;
    }
    return out;
}

std::vector<double> Highest(std::span<const double> x, int n) {
    return extreme(x, n, [](double kept, double v) { return kept > v; });
}

std::vector<double> Lowest(std::span<const double> x, int n) {
    return extreme(x, n, [](double kept, double v) { return kept < v; });
}

std::vector<double> Shifted(std::span<const double> x, int k) {
    std::vector<double> out(x.size(), kMissing);
    if (k < 0)
        return out;
    const auto shift = static_cast<std::size_t>(k);
    for (std::size_t i = shift; i < x.size(); ++i)
        out[i] = x[i - shift];
    return out;
}

} // namespace tavora::analysis
