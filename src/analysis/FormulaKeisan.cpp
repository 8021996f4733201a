#include "analysis/FormulaKeisan.h"

#include "analysis/FormulaEvaluator.h"

#include <cmath>
#include <limits>

namespace tavora::analysis {

void FormulaKeisan::evaluate(const BarSeries& series) {
    m_values = EvaluateFormula(*m_program, series);
    // A constant has a value everywhere; a bar without prices still gets none.
    for (std::size_t k = 0; k < m_values.size(); ++k)
        if (!series.priced[k])
            m_values[k] = std::numeric_limits<double>::quiet_NaN();
}

void FormulaKeisan::BeginRun(const BarSeries& series) {
    evaluate(series);
    m_running = true;
}

void FormulaKeisan::EndRun() {
    m_running = false;
    m_values = {};
}

void FormulaKeisan::ComputeBar(market::KeisenElm& bar) {
    const std::ptrdiff_t i = m_target->indexOfBar(bar);
    if (i < 0)
        return;
    const std::size_t count = m_target->count();
    if (!m_running)
        evaluate(BarSeriesOf(std::span<const market::KeisenElm>(m_target->bar(0), count)));
    const std::size_t position = count - 1 - static_cast<std::size_t>(i);
    if (position < m_values.size() && !std::isnan(m_values[position])) {
        m_out = i;
        writeValue(m_values[position]);
    }
    if (!m_running)
        m_values = {};
}

} // namespace tavora::analysis
