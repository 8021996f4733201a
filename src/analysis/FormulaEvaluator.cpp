#include "analysis/FormulaEvaluator.h"

#include "analysis/WindowFunctions.h"

#include <cmath>
#include <limits>

namespace tavora::analysis {

namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

// Whatever is not a finite number is missing.
void finiteOnly(std::vector<double>& v) {
    for (double& x : v)
        if (!std::isfinite(x))
            x = kMissing;
}

template <class F> void combine(std::vector<double>& left, const std::vector<double>& right, F f) {
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = f(left[i], right[i]);
}

std::vector<double> evaluate(const FormulaNode& n, const BarSeries& bars);

std::vector<double> call(const FormulaNode& n, const BarSeries& bars) {
    std::vector<double> x = evaluate(*n.operands[0], bars);
    switch (n.function) {
    case FormulaFunction::MA:
        return MovingAverage(x, n.count);
    case FormulaFunction::EMA:
        return ExponentialAverage(x, n.count);
    case FormulaFunction::WMA:
        return WeightedAverage(x, n.count);
    case FormulaFunction::SUM:
        return MovingSum(x, n.count);
    case FormulaFunction::HHV:
        return Highest(x, n.count);
    case FormulaFunction::LLV:
        return Lowest(x, n.count);
    case FormulaFunction::STD:
        return StandardDeviation(x, n.count);
    case FormulaFunction::REF:
        return Shifted(x, n.count);
    case FormulaFunction::ABS:
        for (double& v : x)
            v = std::fabs(v);
        return x;
    case FormulaFunction::MAX:
    case FormulaFunction::MIN: {
        const std::vector<double> y = evaluate(*n.operands[1], bars);
        const bool max = n.function == FormulaFunction::MAX;
        // NaN must win: std::max would keep whichever operand came first.
        combine(x, y, [max](double a, double b) {
            if (std::isnan(a) || std::isnan(b))
                return kMissing;
            return max ? (a < b ? b : a) : (b < a ? b : a);
        });
        return x;
    }
    }
    return x;
}

std::vector<double> evaluate(const FormulaNode& n, const BarSeries& bars) {
    std::vector<double> out;
    switch (n.op) {
    case FormulaOp::Number:
        out.assign(bars.size(), n.number);
        return out;
    case FormulaOp::Series:
        return bars.field(n.series);
    case FormulaOp::Negate:
        out = evaluate(*n.operands[0], bars);
        for (double& v : out)
            v = -v;
        return out;
    case FormulaOp::Add:
    case FormulaOp::Subtract:
    case FormulaOp::Multiply:
    case FormulaOp::Divide: {
        out = evaluate(*n.operands[0], bars);
        const std::vector<double> right = evaluate(*n.operands[1], bars);
        switch (n.op) {
        case FormulaOp::Add:
            combine(out, right, [](double a, double b) { return a + b; });
            break;
        case FormulaOp::Subtract:
            combine(out, right, [](double a, double b) { return a - b; });
            break;
        case FormulaOp::Multiply:
            combine(out, right, [](double a, double b) { return a * b; });
            break;
        default:
            combine(out, right, [](double a, double b) { return b == 0.0 ? kMissing : a / b; });
            break;
        }
        finiteOnly(out);
        return out;
    }
    case FormulaOp::Call:
        out = call(n, bars);
        finiteOnly(out);
        return out;
    }
    return out;
}

} // namespace

std::vector<double> EvaluateFormula(const FormulaNode& tree, const BarSeries& bars) {
    std::vector<double> out = evaluate(tree, bars);
    for (double& x : out) {
        if (!std::isfinite(x))
            x = kMissing;
        else if (x == 0.0)
            x = 0.0; // no "-0.00" for a negated zero
    }
    return out;
}

} // namespace tavora::analysis
