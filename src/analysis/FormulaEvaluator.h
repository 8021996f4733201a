#pragma once
// Evaluates a formula tree over a bar series: the value at every position, oldest first,
// NaN where it is missing (an input missing, too few bars for a window, a division by zero)
// and a finite number everywhere else: infinities and NaN of the arithmetic never come out.
// Each node is one pass over the series. Pure; any thread.
#include "analysis/BarSeries.h"
#include "analysis/FormulaTree.h"

#include <vector>

namespace tavora::analysis {

std::vector<double> EvaluateFormula(const FormulaNode& tree, const BarSeries& bars);

} // namespace tavora::analysis
