#pragma once
// The functions of the formula language over a whole series, oldest first, NaN for missing.
// The windowed ones look at the last n values that are present: where x is missing the result
// is missing too, and a result appears once n values were seen. Each is one pass over the
// series with running sums (refreshed every n steps so rounding cannot accumulate) or a
// monotonic deque, never n steps per bar. The results may hold infinities where sums
// overflow; the evaluator turns those into missing values. Pure functions; any thread.
#include <span>
#include <vector>

namespace tavora::analysis {

// Mean of the last n values (a simple moving average).
std::vector<double> MovingAverage(std::span<const double> x, int n);
// Exponential moving average: alpha = 2 / (n + 1); the first value is the mean of the first
// n values, then E += alpha * (x - E).
std::vector<double> ExponentialAverage(std::span<const double> x, int n);
// Weighted moving average: weights 1 (oldest) to n (newest).
std::vector<double> WeightedAverage(std::span<const double> x, int n);
std::vector<double> MovingSum(std::span<const double> x, int n);
std::vector<double> Highest(std::span<const double> x, int n);
std::vector<double> Lowest(std::span<const double> x, int n);
// Population standard deviation of the last n values.
std::vector<double> StandardDeviation(std::span<const double> x, int n);
// The value k positions earlier (missing for the first k positions).
std::vector<double> Shifted(std::span<const double> x, int k);

} // namespace tavora::analysis
