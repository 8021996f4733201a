#include "analysis/GraphKeisan.h"

#include "analysis/FormulaKeisan.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace tavora::analysis {

void GraphKeisanElm::SeekOutput(const market::KeisenElm& bar) {
    std::ptrdiff_t i = m_target->indexOfBar(bar);
    if (i < 0) {
        m_out = kNone;
        return;
    }
    const auto count = static_cast<std::ptrdiff_t>(m_target->count());
    if (m_shift >= 2) {
        // Towards newer bars; the head is the last place before the end.
        i -= static_cast<std::ptrdiff_t>(m_shift) - 1;
        m_out = i >= kHead ? i : kNone;
    } else if (m_shift >= 0) {
        m_out = i;
    } else {
        const std::ptrdiff_t moves = -static_cast<std::ptrdiff_t>(m_shift) - 1;
        i += moves < 1 ? 1 : moves;
        m_out = i < count ? i : kNone;
    }
}

void GraphKeisanElm::writeValue(double value) {
    if (m_out < 0)
        return; // none, or the head: it has no bar and is never drawn
    // A window's extremes often hold for many bars, so the same value repeats: its text is
    // kept rather than formatted again.
    if (m_lastLength == 0 || value != m_lastValue || std::signbit(value) != std::signbit(m_lastValue)) {
        m_lastLength = FormatValue2(value, m_lastText, kValueTextSize - 1);
        m_lastText[m_lastLength] = '\0';
        m_lastValue = value;
    }
    const std::size_t n = m_lastLength;
    if (n == 0)
        return; // too long to keep: leave the bar without a value rather than a cut number
    // Whole buffers are copied: a fixed-size copy is a few moves, a call per value is not.
    std::memcpy(m_target->element(static_cast<std::size_t>(m_out)).value, m_lastText, kValueTextSize);

    // The bar's line "name value\r\n"; a line that does not fit is dropped whole.
    market::KeisenElm& bar = *m_target->bar(static_cast<std::size_t>(m_out));
    const std::size_t prefix = m_target->name.size() + 1;
    const std::size_t lineSize = prefix + n + 2;
    if (bar.analysis.size() + lineSize > market::KeisenElm::kMaxAnalysisText)
        return;
    if (bar.analysis.capacity() < bar.analysis.size() + lineSize)
        bar.analysis.reserve(std::max(bar.analysis.size() + lineSize, m_analysisReserve));
    char line[market::KeisenElm::kMaxAnalysisText + kValueTextSize];
    std::memcpy(line, m_target->name.data(), prefix - 1);
    line[prefix - 1] = ' ';
    std::memcpy(line + prefix, m_lastText, kValueTextSize);
    line[prefix + n] = '\r';
    line[prefix + n + 1] = '\n';
    bar.analysis.append(line, lineSize);
}

void GraphKeisanElm::advanceOutput() {
    advanceNewer(m_out);
}

void HanneKeisan::SetWindow(int n) {
    m_max.SetWindow(n);
    m_min.SetWindow(n);
}

void HanneKeisan::ComputeBar(market::KeisenElm& bar) {
    m_max.AddBar(bar.high);
    m_min.AddBar(bar.low);
    if (m_max.hasExtreme() && m_min.hasExtreme()) {
        if (m_out == kNone)
            SeekOutput(bar);
        writeValue((m_max.extremeValue() + m_min.extremeValue()) * 0.5);
    }
    advanceOutput();
}

void ChikouSpanKeisan::ComputeBar(market::KeisenElm& bar) {
    if (m_out == kNone) {
        SeekOutput(bar);
        if (m_out == kNone)
            return;
    }
    writeValue(bar.close.value_or(0.0));
    advanceOutput();
}

void SenkouSpan1Keisan::follow(const BunsekiGraphList* source, std::ptrdiff_t& cursor,
                               const market::KeisenElm& bar) {
    if (cursor != kNone)
        advanceNewer(cursor);
    else if (source != nullptr) {
        const std::ptrdiff_t i = source->indexOfBar(bar);
        cursor = i >= 0 ? i : kNone;
    }
}

double SenkouSpan1Keisan::read(const BunsekiGraphList& source, std::ptrdiff_t cursor) {
    return cursor < 0 ? 0.0 : source.number(static_cast<std::size_t>(cursor));
}

void SenkouSpan1Keisan::ComputeBar(market::KeisenElm& bar) {
    follow(m_kijun, m_kijunCursor, bar);
    follow(m_tenkan, m_tenkanCursor, bar);
    if (m_kijunCursor != kNone && m_tenkanCursor != kNone) {
        const double kijun = read(*m_kijun, m_kijunCursor);
        const double tenkan = read(*m_tenkan, m_tenkanCursor);
        if (kijun != 0.0 && tenkan != 0.0) {
            if (m_out == kNone)
                SeekOutput(bar);
            writeValue((tenkan + kijun) * 0.5);
        }
    }
    advanceOutput();
}

void CreateGraphKeisanList(GraphKeisanList& keisan, BunsekiGraphListList& lists) {
    // Room for one line of every graph in a bar's analysis text, so that a bar's text is
    // allocated once rather than grown line by line.
    std::size_t reserve = 0;
    lists.forEach([&](BunsekiGraphList& l) {
        if ((l.kind >= KindHanne && l.kind <= KindSenkouSpan2) || l.program)
            reserve += l.name.size() + 16;
    });
    if (reserve > market::KeisenElm::kMaxAnalysisText)
        reserve = market::KeisenElm::kMaxAnalysisText;

    BunsekiGraphList* tenkan = lists.find(kTenkansenName);
    BunsekiGraphList* kijun = lists.find(kKijunsenName);
    lists.forEach([&](BunsekiGraphList& l) {
        std::unique_ptr<GraphKeisanElm> elm;
        switch (l.kind) {
        case KindHanne:
        case KindSenkouSpan2:
            elm = std::make_unique<HanneKeisan>(l, l.kind == KindHanne ? 1 : 26);
            elm->SetWindow(AtoiText(l.param1));
            break;
        case KindChikouSpan: {
            const int n = AtoiText(l.param1);
            elm = std::make_unique<ChikouSpanKeisan>(l, n == INT_MIN ? INT_MAX : -n);
            break;
        }
        case KindSenkouSpan1:
            elm = std::make_unique<SenkouSpan1Keisan>(l, tenkan, kijun, 26);
            break;
        case KindFormula:
        case KindMovingAverage:
        case KindExponentialAverage:
            if (!l.program)
                return; // a formula that does not parse, a window that is not a number
            elm = std::make_unique<FormulaKeisan>(l, l.program);
            break;
        default:
            return;
        }
        elm->setAnalysisReserve(reserve);
        keisan.append(std::move(elm));
    });
}

void RunGraphKeisan(market::KeisenList& bars, GraphKeisanList& keisan, int emptyAfter) {
    if (keisan.empty() && emptyAfter == 0)
        return;
    const bool series = keisan.needsSeries() && !bars.empty();
    if (series)
        keisan.BeginRun(BarSeriesOf(std::span<const market::KeisenElm>(&bars[0], bars.size()), emptyAfter));
    for (auto it = bars.rbegin(); it != bars.rend(); ++it) {
        market::KeisenElm& bar = *it;
        if (emptyAfter != 0 && bar.dateNumber() > emptyAfter)
            bar.clearPrices();
        if (bar.open)
            keisan.ComputeBar(bar);
    }
    if (series)
        keisan.EndRun();
}

void ResetGraphKeisan(market::KeisenList& bars, BunsekiGraphListList& lists, GraphKeisanList& keisan,
                      int emptyAfter) {
    keisan.clear();
    ClearBunsekiGraphValues(lists);
    CreateGraphKeisanList(keisan, lists);
    RunGraphKeisan(bars, keisan, emptyAfter);
}

void ComputeGraphKeisanBar(GraphKeisanList& keisan, market::KeisenElm& bar) {
    keisan.ComputeBar(bar);
}

void RebuildGraphKeisan(market::KeisenList& bars, BunsekiGraphListList& lists, GraphKeisanList& keisan) {
    for (auto& bar : bars)
        bar.analysis.clear();
    ResetGraphKeisan(bars, lists, keisan, 0);
}

} // namespace tavora::analysis
