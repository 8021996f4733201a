#pragma once
// What the keys and the mouse wheel do on a chart: the one table that turns a key press or a
// wheel notch into a chart action. The plot area's pointer tools take theirs first, the chart
// panel carries out the actions on its own view and hands the others (another code, another
// period) to the Home page. A new key goes here, so that one key never means two things.
// UI thread only.
#include <Qt>

#include <optional>

class QKeyEvent;

namespace tavora::chart::ui {

enum class ChartAction : int {
    // The chart panel's own view.
    ScrollBack,    // Left: one bar toward older bars
    ScrollForward, // Right: one bar toward newer bars
    PageBack,      // Shift+Left: one screen toward older bars
    PageForward,   // Shift+Right: one screen toward newer bars
    Oldest,        // Home: the oldest bar at the left edge
    Newest,        // End: the newest bars at the right edge
    WiderBars,     // + (and Ctrl + wheel forward): the next bar width of the scale table
    NarrowerBars,  // - (and Ctrl + wheel backward)
    FitPrices,     // F: the price axis fitted to the bars in view
    PricesUp,      // wheel forward: the price axis one step up
    PricesDown,    // wheel backward
    // The plot area's pointer tools.
    DeleteSelection, // Delete: the selected elements removed
    // Carried out by the Home page.
    PreviousCode, // Page Up
    NextCode,     // Page Down
    ShowDay,      // 1 to 4: the period tabs, in this order
    ShowWeek,
    ShowMonth,
    ShowYear,
};

// The action of a key with its modifiers; none for a key the chart leaves alone (it then goes
// on to the parent widgets).
std::optional<ChartAction> chartActionForKey(int key, Qt::KeyboardModifiers modifiers);
std::optional<ChartAction> chartActionForKey(const QKeyEvent& event);
// The action of one wheel notch: `direction` -1 forward (away from the user), +1 backward.
ChartAction chartActionForWheel(int direction, Qt::KeyboardModifiers modifiers);
// Whether the Home page carries the action out (rather than the chart panel).
bool isHomeAction(ChartAction action);

} // namespace tavora::chart::ui
