#pragma once
// What the annotation property panel ("コントロールの編集") edits, without its widgets: which
// tool it is for, what its boxes show for that tool, what "初期値に戻す" shows, and how the
// confirmed values reach the tool's defaults (the four views and the settings the exit save
// writes) or the selected elements. UI thread.
#include "annotations/AnnotationHistory.h"
#include "annotations/CodeAnnotations.h"
#include "chart/GraphViewState.h"

#include <optional>
#include <string>
#include <vector>

namespace tavora::annotations {

// The tool whose defaults the panel edits; Select edits the selected elements instead.
enum class PropertyTool { None, Cross, TimePrice, Takayasu, RangeTime, RangeNedan, Line, Text, Select, Memo };

// The first pressed tool in the order cross cursor, time-and-price, high/low, day count,
// price range, line, text, selection, memo; None when no tool is pressed.
PropertyTool propertyToolOf(const chart::ToolFlags& tools);

// Font sizes the panel accepts.
inline constexpr int kFontSizeMin = 1;
inline constexpr int kFontSizeMax = 72;
// The size a text gives, or none when it is not a whole number from 1 to 72.
std::optional<int> fontSizeOf(std::string_view text);

// What the boxes show. An empty text is an empty box.
struct PropertyValues {
    std::string fontSize;
    std::string fontFace;
    std::string lineStyle; // one of the three stored texts, or empty
    framework::ColorRef colour = 0;
    int yoko = 1; // the price range's horizontal position: 1 左, 2 中央, 3 固定
    bool operator==(const PropertyValues&) const = default;
};

// The boxes for a tool: their values and which of them can be used.
struct PropertyForm {
    PropertyValues values;
    bool sizeEnabled = false;
    bool faceEnabled = false;
    bool styleEnabled = false;
    bool colourEnabled = false;
    bool yokoEnabled = false;
    bool resetEnabled = false;
};
PropertyForm propertyForm(PropertyTool tool, const chart::ToolDefaults& defaults);

// What "初期値に戻す" shows for the tool: `shown` with the tool's initial values put in (the
// boxes the tool does not use stay as they are). Unchanged for None and Select.
PropertyValues resetValues(PropertyTool tool, PropertyValues shown);

// Why the values cannot be confirmed (the message to show), or none.
std::optional<std::string> confirmationProblem(const PropertyForm& form, const PropertyValues& shown);

// A tool's confirmed values into a view's defaults (chart::takeToolSettings then carries the
// defaults into the settings).
void applyToToolDefaults(PropertyTool tool, const PropertyValues& values, chart::ToolDefaults& defaults);

// What the panel shows for the selected elements of the four periods: the values of the first
// (the shown period's elements first, then the other periods in order), whether a value differs
// among the elements that carry it (face and size: kinds with a label; line style: kinds with a
// line; colour: all, the line's for lines and price ranges, else the text's), and how many
// elements are selected.
struct SelectionSummary {
    std::size_t count = 0;
    PropertyValues values; // empty texts where no selected element carries the value
    bool sizeMixed = false;
    bool faceMixed = false;
    bool styleMixed = false;
    bool colourMixed = false;
};
SelectionSummary summarizeSelection(const CodeAnnotations& lists, market::ChartPeriod shownFirst);
// The boxes for the selection: its values, every box but the position and the reset usable.
PropertyForm selectionForm(const SelectionSummary& summary);
// What a confirmation applies to the selection: only the boxes the user changed from what the
// panel showed (a box left as it was, even one showing the first of differing values, changes
// nothing); the colour travels separately (applied only when picked).
PropertyValues editedValues(const PropertyValues& shown, const PropertyValues& filled);

// The selection's confirmed values into one element: face, size and line style where their
// box is not empty, and the colour (text and line alike) only when one was picked. Returns
// whether anything of the element changed.
bool applyToElement(const PropertyValues& values, bool colourPicked, GraphDrawElement& element);

// Applies the values to every selected element of the four periods; the lists with changed
// elements, in period order (empty when none is selected or nothing changed): one history step.
std::vector<StepElements> applyToSelection(CodeAnnotations& lists, const PropertyValues& values,
                                           bool colourPicked);

} // namespace tavora::annotations
