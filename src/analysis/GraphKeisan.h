#pragma once
// The indicator computations of one chart period: half value, lagging span, leading span 1,
// leading span 2, and the moving averages and formulas of FormulaKeisan.h. Bars are fed one at a time, oldest first; each computation keeps its
// window and write cursor between calls and writes "%.2f" texts into its graph list and a
// line into the analysis text of the bar where the value is placed.
//
// Runs on whichever thread owns the chart data at the time (the chart-opening worker, or the
// thread that merges today's bar); callers make sure only one works on a chart at once.
//
// How a code is opened (the opening routine of the market subsystem) drives this file and
// BunsekiGraphList.h, with `defs` the context's BunsekiList:
//   3.  day:    ClearBunsekiGraphValues(dayGraphs); then the day bar list is rebuilt
//   6.  day:    after the future market days are appended:
//               CreateBunsekiGraphLists(dayBars, defs, dayGraphs)
//   7.  w/m/y:  ClearBunsekiGraphValues(graphs) before their bar lists are rebuilt
//   9.  day:    dayKeisan.clear(); CreateGraphKeisanList(dayKeisan, dayGraphs)
//   12. w/m/y:  after the future periods are added:
//               CreateBunsekiGraphLists(bars, defs, graphs);
//               keisan.clear(); CreateGraphKeisanList(keisan, graphs)
//   13. all:    RunGraphKeisan(bars, keisan, emptyAfter), emptyAfter being the date number of
//               the newest day bar with an open price for week and month, 0 for day and year
// (ResetGraphKeisan does the last three calls of step 12 and 13 in one.) Graph lists refer
// to the bars of their bar list, which must not gain or lose bars afterwards.
//
// Today's bar from the companion: ComputeGraphKeisanBar(dayKeisan, todayBar) on the day
// period (its windows and cursors carry on), and RebuildGraphKeisan for the other three.
#include "analysis/BarSeries.h"
#include "analysis/BunsekiGraphList.h"
#include "analysis/KeisenWrapList.h"
#include "market/Keisen.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace tavora::analysis {

// One computation writing into one graph list.
class GraphKeisanElm {
public:
    // Cursor positions: an element index, the head (-1), or none.
    static constexpr std::ptrdiff_t kHead = -1;
    static constexpr std::ptrdiff_t kNone = -2;

    explicit GraphKeisanElm(BunsekiGraphList& target, int shift = 1) : m_target(&target), m_shift(shift) {}
    virtual ~GraphKeisanElm() = default;
    GraphKeisanElm(const GraphKeisanElm&) = delete;
    GraphKeisanElm& operator=(const GraphKeisanElm&) = delete;

    virtual void SetWindow(int /*n*/) {}
    // Feeds one bar (which has an open price) of the target's bar list.
    virtual void ComputeBar(market::KeisenElm& /*bar*/) {}
    // Computations over the whole series (moving averages, formulas) compute every value when
    // a full run starts and write each at its bar's turn, so the order of the lines in a
    // bar's analysis text stays the order of the graphs. Outside a run, ComputeBar of such a
    // computation evaluates the series itself.
    virtual bool needsSeries() const { return false; }
    virtual void BeginRun(const BarSeries& /*series*/) {}
    virtual void EndRun() {}

    // Places the output cursor for a value produced at `bar`, moved by the shift: s >= 2
    // puts it s - 1 bars newer, 0 and 1 on the bar, s < 0 max(1, -s - 1) bars older. Past
    // either end of the list it stays none.
    void SeekOutput(const market::KeisenElm& bar);

    BunsekiGraphList& target() const { return *m_target; }
    int shift() const { return m_shift; }
    void setShift(int s) { m_shift = s; }
    std::ptrdiff_t outputCursor() const { return m_out; }
    // Room to reserve in a bar's analysis text when its first line is written.
    void setAnalysisReserve(std::size_t n) { m_analysisReserve = n; }

protected:
    // Writes the value at the output cursor (nothing on the head, which has no bar) and its
    // line into the analysis text of the cursor's bar.
    void writeValue(double value);
    // One element towards newer bars, as long as the cursor is set.
    void advanceOutput();
    static void advanceNewer(std::ptrdiff_t& cursor) {
        if (cursor != kNone)
            cursor = cursor == kHead ? kNone : cursor - 1;
    }

    BunsekiGraphList* m_target;
    int m_shift;
    std::ptrdiff_t m_out = kNone;
    std::size_t m_analysisReserve = 0;
    // The last value written and its text.
    double m_lastValue = 0.0;
    std::size_t m_lastLength = 0;
    char m_lastText[kValueTextSize] = {};
};

// Half value: (highest high + lowest non-zero low of the last N bars) / 2.
class HanneKeisan : public GraphKeisanElm {
public:
    using GraphKeisanElm::GraphKeisanElm;
    void SetWindow(int n) override;
    void ComputeBar(market::KeisenElm& bar) override;

    const KeisenWrapListMaxValue& highs() const { return m_max; }
    const KeisenWrapListMinValue& lows() const { return m_min; }

private:
    KeisenWrapListMaxValue m_max;
    KeisenWrapListMinValue m_min;
};

// Lagging span: the bar's close, placed earlier by the shift.
class ChikouSpanKeisan : public GraphKeisanElm {
public:
    using GraphKeisanElm::GraphKeisanElm;
    void ComputeBar(market::KeisenElm& bar) override;
};

// Leading span 1: (conversion line + base line) / 2 of the same bar, placed later by the
// shift. It reads what its sources wrote for the bar earlier in the same pass, so they must
// come before it in the definition order.
class SenkouSpan1Keisan : public GraphKeisanElm {
public:
    SenkouSpan1Keisan(BunsekiGraphList& target, BunsekiGraphList* tenkansen, BunsekiGraphList* kijunsen,
                      int shift = 26)
        : GraphKeisanElm(target, shift), m_tenkan(tenkansen), m_kijun(kijunsen) {}
    void ComputeBar(market::KeisenElm& bar) override;

private:
    static void follow(const BunsekiGraphList* source, std::ptrdiff_t& cursor, const market::KeisenElm& bar);
    static double read(const BunsekiGraphList& source, std::ptrdiff_t cursor);

    BunsekiGraphList* m_tenkan;
    BunsekiGraphList* m_kijun;
    std::ptrdiff_t m_tenkanCursor = kNone;
    std::ptrdiff_t m_kijunCursor = kNone;
};

// The computations of one chart period, in the order of the graph lists they serve.
class GraphKeisanList {
public:
    std::size_t size() const { return m_elms.size(); }
    bool empty() const { return m_elms.empty(); }
    GraphKeisanElm& operator[](std::size_t i) { return *m_elms[i]; }
    void clear() { m_elms.clear(); }
    GraphKeisanElm& append(std::unique_ptr<GraphKeisanElm> elm) {
        return *m_elms.emplace_back(std::move(elm));
    }
    // ComputeBar of every computation, in order.
    void ComputeBar(market::KeisenElm& bar) {
        for (auto& e : m_elms)
            e->ComputeBar(bar);
    }
    bool needsSeries() const {
        for (const auto& e : m_elms)
            if (e->needsSeries())
                return true;
        return false;
    }
    void BeginRun(const BarSeries& series) {
        for (auto& e : m_elms)
            e->BeginRun(series);
    }
    void EndRun() {
        for (auto& e : m_elms)
            e->EndRun();
    }

private:
    std::vector<std::unique_ptr<GraphKeisanElm>> m_elms;
};

// Appends one computation per graph list of kinds 1 to 6 and per formula that parses (the
// caller empties the list): 1 half value (window atoi(param1), shift 1), 2 lagging span
// (shift -atoi(param1)), 3 leading span 1 (sources the first lists named "転換線" and "基準線",
// shift 26), 4 leading span 2 (window atoi(param1), shift 26), 5 and 6 moving averages and 0
// formulas (their program, values at their own bars). A formula that does not parse gets none.
void CreateGraphKeisanList(GraphKeisanList& keisan, BunsekiGraphListList& lists);

// Feeds every bar that has an open price, oldest first, to every computation in order.
// When emptyAfter is not 0, a bar whose date number is later than it has its four prices
// made absent just before its turn (so it is skipped): the week and month lists pass the
// date number of the newest day bar with an open price.
void RunGraphKeisan(market::KeisenList& bars, GraphKeisanList& keisan, int emptyAfter = 0);

// Rebuilds the computations of a period and runs them: empties the computations, the
// graph values, then CreateGraphKeisanList and RunGraphKeisan.
void ResetGraphKeisan(market::KeisenList& bars, BunsekiGraphListList& lists, GraphKeisanList& keisan,
                      int emptyAfter = 0);

// Today's bar arrived after the chart was computed. Day period: the bar goes to every
// computation, whose windows and cursors carry on from the full run.
void ComputeGraphKeisanBar(GraphKeisanList& keisan, market::KeisenElm& bar);
// Week, month and year periods: the analysis texts of the bars are emptied and the
// computations rebuilt and run in full (no bar is emptied).
void RebuildGraphKeisan(market::KeisenList& bars, BunsekiGraphListList& lists, GraphKeisanList& keisan);

} // namespace tavora::analysis
