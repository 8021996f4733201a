#pragma once
// The computation of a graph drawn from a formula tree: moving averages (kinds 5 and 6, whose
// tree is MA(C,N) or EMA(C,N)) and formula graphs (kind 0). At the start of a full run it
// evaluates the tree over the period's series in one pass per function; each bar's turn then
// writes that bar's value, so values and analysis lines come in the graphs' order like the
// other kinds'. Bars without prices get no value. Same threads as GraphKeisan.h.
#include "analysis/GraphKeisan.h"

#include <memory>
#include <vector>

namespace tavora::analysis {

class FormulaKeisan : public GraphKeisanElm {
public:
    FormulaKeisan(BunsekiGraphList& target, std::shared_ptr<const FormulaNode> program)
        : GraphKeisanElm(target, 1), m_program(std::move(program)) {}

    bool needsSeries() const override { return true; }
    void BeginRun(const BarSeries& series) override;
    void EndRun() override;
    // In a run: writes the bar's value. Outside one (today's prices arrived after the chart
    // was computed): evaluates the target's bars as they are now and writes the bar's value.
    void ComputeBar(market::KeisenElm& bar) override;

private:
    void evaluate(const BarSeries& series);

    std::shared_ptr<const FormulaNode> m_program;
    std::vector<double> m_values; // by series position (oldest first); NaN: no value
    bool m_running = false;
};

} // namespace tavora::analysis
