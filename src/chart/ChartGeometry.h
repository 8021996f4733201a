#pragma once
// The mapping of bars to pixel columns and prices to pixel rows, the automatic and chosen
// price scale, the zoom steps of the range sliders, the scroll ranges and the positioning of
// a freshly loaded series. Functions on a GraphViewState, shared by the chart panel, the
// print sheet, the cli renderer and the tests. UI thread (or whoever owns the state).
//
// Bars are numbered from 1, oldest first (display order); the KeisenList keeps them newest
// first, so bar k is list index size - k.
#include "chart/CodeScale.h"
#include "chart/GraphViewState.h"
#include "market/Keisen.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::chart {

// ---- bars and columns ----
int barCount(const GraphViewState& vs);
// The bar numbered k, or null when there is none.
const market::KeisenElm* barByNumber(const GraphViewState& vs, int k);
// Number of a bar of the state's list.
int barNumber(const GraphViewState& vs, const market::KeisenElm& bar);
// Number of the bar of a date (case-insensitive comparison); 0 when absent.
int dateNumberOf(const GraphViewState& vs, std::string_view date);
// Bars from `from` to `to` in display order, both counted; 0 when `to` does not follow.
int barsBetween(const GraphViewState& vs, const market::KeisenElm& from, const market::KeisenElm& to);
// start_bar + x / x_haba_p; none when the series has no such bar.
std::optional<int> barAtColumn(const GraphViewState& vs, int x);
int barLeft(const GraphViewState& vs, int k);
int barCentre(const GraphViewState& vs, int k);

// ---- prices and rows (H = plot-area client height) ----
double priceAtRow(const GraphViewState& vs, int height, int y);
int rowOfPrice(const GraphViewState& vs, int height, double price);

// ---- automatic scale ----
// Highest high, truncated to whole yen, of at most 1,002 bars from the newest bar that has an
// open price toward older bars; 0 when no bar has an open.
int recentHighestHigh(const market::KeisenList& bars);
// Highest truncated high of every bar.
int highestHigh(const market::KeisenList& bars);
// The grid interval for the highest high M.
int automaticGridYen(market::ChartPeriod period, int highest);
// Scale combo entries of the period, in order.
const std::vector<std::string>& scaleComboEntries(market::ChartPeriod period);
// The smallest multiple of grid_yen that is at least highest + 10 x grid_yen.
int highLimitFor(int highest, int gridYen);
// After a series is loaded: grid_yen (the fixed interval when non-zero, else automatic),
// pixel_to_yen and the price limits. Returns the combo box text ("%d" of grid_yen).
std::string scaleNewSeries(GraphViewState& vs, int fixedGridYen);
// A combo entry chosen: grid_yen and the period's fixed interval in `scale` become it, the
// limits follow from every bar, the vertical range is recomputed and the view re-centred on
// the newest priced close. H = plot height.
void chooseScale(GraphViewState& vs, int gridYen, CodeScale& scale, int height);

// ---- horizontal zoom and scrolling (W = plot width) ----
std::optional<int> pitchForSlider(double r);     // none: 0.05 to below 0.1 keeps the pitch
std::optional<double> sliderForPitch(int pitch);  // none: other pitches leave the slider
// The horizontal scroll range of a W-wide plot: from the oldest bar at the left edge (1) to
// the newest bar at the right edge, widened to reach the placements (below) of today's bar
// and of the newest priced bar, so a short series can stand where it is placed.
void setHorizontalRange(GraphViewState& vs, int width);
void scrollHorizontally(GraphViewState& vs, int position);
// Zoom from the slider: new pitch, range, anchor bar brought into view.
void zoomHorizontally(GraphViewState& vs, double r, int width);
// The next bar pitch of the slider's table (2, 3, 5, 7, ... 21) above (direction > 0) or below
// (direction < 0) `pitch`; none past either end. A pitch between entries goes to its neighbour.
std::optional<int> nextPitch(int pitch, int direction);

// ---- vertical zoom and scrolling ----
int tickForSlider(double r);
std::optional<double> sliderForTick(int tick);
int verticalScrollMax(const GraphViewState& vs, int height);
void setVerticalRange(GraphViewState& vs, int height);
void scrollVertically(GraphViewState& vs, int position);
void zoomVertically(GraphViewState& vs, double r, int height);
// Fits the price axis to the bars in view of a W x H plot: the largest tick size (1, 2, 4, 5
// or 10, as the vertical slider offers) at which their highest high and lowest low fit inside
// the plot less a tenth of its height above and below, and the view centred on them. False,
// with nothing changed, when no bar in view has prices or no scale is set.
bool fitPricesToView(GraphViewState& vs, int width, int height);

// ---- redraw choice ----
enum class ScrollSource { Drag, EdgeScroll, Wheel, Other };
enum class Redraw { Fast, Full };
Redraw redrawFor(ScrollSource source);

// ---- positioning ----
// Pitches between a placed bar's left edge and the right edge of the plot.
inline constexpr int kPlacementPitches = 30;
// The scroll position that places bar k 30 pitches left of the right edge of a W-wide plot
// (at most the bar count less one); below 1 when the bars before it do not reach the left edge.
int placementPosition(const GraphViewState& vs, int k, int width);
// The bar of the period holding anchor_date (today): the newest bar dated on or before it, the
// oldest bar when the series starts later; null without bars.
const market::KeisenElm* anchoredBar(const GraphViewState& vs);
// The newest bar that has an open price; null when none has.
const market::KeisenElm* newestPricedBar(const GraphViewState& vs);
// Where the scroll stands with today's bar or the newest priced bar placed; none without one.
std::optional<int> anchorPosition(const GraphViewState& vs, int width);
std::optional<int> newestPosition(const GraphViewState& vs, int width);
// The bar placed (above) in a W-wide plot, as far as the scroll range allows.
void bringIntoViewHorizontally(GraphViewState& vs, const market::KeisenElm& bar, int width);
void centreVertically(GraphViewState& vs, const market::KeisenElm* bar, int height);
// The newest bar that has an open price, then toward older bars the first whose close is not
// "0.00"; null when none.
const market::KeisenElm* newestClosedBar(const market::KeisenList& bars);
// After a series is loaded: both scroll ranges, the anchor date's bar brought into view and
// the view centred on the newest close.
void positionAfterLoad(GraphViewState& vs, int width, int height);

// A series just attached to the state (bars and graphs set): the code's stored scale applied,
// the series scaled and the view positioned for a W x H plot. Returns the scale combo text.
std::string showNewSeries(GraphViewState& vs, const CodeScale& scale, int width, int height);

// ---- stored per-code scale ----
// Pitch, tick size (and the derived values) of the state's period from a code's scale.
void applyCodeScale(GraphViewState& vs, const CodeScale& scale);
// The state's pitch and tick size written into a code's scale.
void storeCodeScale(const GraphViewState& vs, CodeScale& scale);

}  // namespace tavora::chart
