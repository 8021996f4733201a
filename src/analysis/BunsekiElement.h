#pragma once
// The analysis-graph definitions: one BunsekiElement per row of `bunsekitb`, in table
// order, held by the application context as a BunsekiList. Loaded at start-up and after
// each save of the editor on the UI thread; opening a chart reads a copy of it.
#include "analysis/FormulaTree.h"
#include "framework/Canvas.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::analysis {

// The in-memory line style of a definition (the stored `sensyu` codes differ: "1" solid,
// "2" dotted, "3" dashed).
enum class BunsekiLineStyle : int { Solid = 0, Dashed = 1, Dotted = 2 };

// The kinds of `sonota1`.
enum BunsekiKind : int {
    KindFormula = 0,
    KindHanne = 1,              // half value over N bars
    KindChikouSpan = 2,         // lagging span
    KindSenkouSpan1 = 3,        // leading span 1
    KindSenkouSpan2 = 4,        // leading span 2
    KindMovingAverage = 5,      // simple moving average of the close over N bars
    KindExponentialAverage = 6, // exponential moving average of the close over N bars
};

// The graph names that have roles in the Ichimoku computations.
inline constexpr std::string_view kTenkansenName = "転換線";
inline constexpr std::string_view kKijunsenName = "基準線";

// One definition.
struct BunsekiElement {
    std::string name; // `graphmei`
    bool shown = true;
    std::uint32_t colour = 0; // 0x00BBGGRR
    std::string formula;      // `siki`, the formula of a kind 0 graph
    int width = 1;
    BunsekiLineStyle lineStyle = BunsekiLineStyle::Solid;
    int kind = KindFormula;
    std::string param1; // `sonota2`
    std::string param2; // `sonota3`
    // What draws the graph's values when it is of kind 0, 5 or 6: the parsed formula (when it
    // parses), MA(C,N) or EMA(C,N); none otherwise. Made once when the definition is loaded
    // (CompileBunsekiProgram) and shared, read-only, by every chart opened from it.
    std::shared_ptr<const FormulaNode> program;

    // Empties the texts and restores the defaults.
    void initialize() { *this = BunsekiElement{}; }
};

// The definitions in table order.
class BunsekiList {
public:
    // Appends an element with the defaults and returns it.
    BunsekiElement& CreateBunsekiElement() { return m_elements.emplace_back(); }
    void clear() { m_elements.clear(); }

    std::size_t size() const { return m_elements.size(); }
    bool empty() const { return m_elements.empty(); }
    const BunsekiElement& operator[](std::size_t i) const { return m_elements[i]; }
    BunsekiElement& operator[](std::size_t i) { return m_elements[i]; }
    auto begin() const { return m_elements.begin(); }
    auto end() const { return m_elements.end(); }
    // The first definition of the name, or nullptr.
    const BunsekiElement* find(std::string_view name) const;

private:
    std::vector<BunsekiElement> m_elements;
};

// C `atoi` of a text (leading blanks, sign, digits; 0 when there is no number; clamped to
// the int range instead of overflowing).
int AtoiText(std::string_view text);

// `sensyu` text to the in-memory style: "1" solid, "2" dotted, "3" dashed, anything else
// solid.
BunsekiLineStyle LineStyleFromSensyu(std::string_view sensyu);
// The canvas style code (1 solid, 2 dotted, 3 dashed) of an in-memory style.
int CanvasLineStyle(BunsekiLineStyle style);
// The pen a graph is drawn with: its colour, its width (at least one pixel) and its style.
framework::Pen MakeGraphPen(std::uint32_t colour, int width, BunsekiLineStyle style);

} // namespace tavora::analysis
