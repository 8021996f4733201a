#pragma once
// One annotation of a chart: a line, text, memo, high/low mark, day count or price range,
// anchored to a bar by its date and to a price of that bar, with pixel offsets from that
// anchor so that it follows the chart when the view scrolls or zooms. GraphDrawElement holds
// the fields every kind has (named as their `graphctrltb` columns); the six kinds add theirs
// and override SetDate, HitTest and Draw. UI thread (or the thread that owns the list).
//
// For the document side: every stored column is a public field of the same name; the
// columns of one kind that the others do not use travel through KindColumns, so one encoder
// and one decoder serve all kinds. A row whose `classname` this program does not know is
// kept as a plain GraphDrawElement carrying the row as read (`storedRow`): it is listed (its
// id counts) but never drawn, hit or selected, so a save can write the row back unchanged.
#include "chart/ChartAnnotation.h"
#include "framework/Canvas.h"
#include "framework/Sql.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavora::annotations {

using framework::Canvas;
using framework::ColorRef;
using framework::Rect;

// The class names as stored in `classname`.
inline constexpr std::string_view kLineElm = "LineElm";
inline constexpr std::string_view kTextElm = "TextElm";
inline constexpr std::string_view kMemoElm = "MemoElm";
inline constexpr std::string_view kTakayasuElm = "TakayasuElm";
inline constexpr std::string_view kRangeTimeElm = "RangeTimeElm";
inline constexpr std::string_view kRangeNedanElm = "RangeNedanElm";

// Which price of a bar a price range measures (`startyonhonne`, `endyonhonne`) and which the
// pointer last snapped to (`snap_kind` of the view state).
enum Yonhonne : int { YonhonneOpen = 0, YonhonneClose = 1, YonhonneLow = 2, YonhonneHigh = 3 };

// The kind-specific columns. kindColumns() gives every one of them, with the stored value of
// a kind that does not use the column ("" for texts, 0 for numbers, 1 for yoko_ichi);
// setKindColumns() takes the present (non-empty optional) values of the columns the kind uses.
struct KindColumns {
    std::optional<std::string> daycount;  // RangeTimeElm
    std::optional<std::string> nehaba;    // RangeNedanElm
    std::optional<int> endyonhonne;       // RangeNedanElm
    std::optional<int> startyonhonne;     // RangeNedanElm
    std::optional<int> endpixel;          // RangeNedanElm
    std::optional<std::string> startdate; // RangeNedanElm
    std::optional<std::string> owaridate; // RangeNedanElm
    std::optional<int> endrange_y;        // LineElm
    std::optional<int> yoko_ichi;         // RangeNedanElm
};

class GraphDrawElement : public chart::ChartAnnotation {
public:
    // `className` is the stored class name: the kinds pass their own; a row of a kind this
    // program does not know keeps the name it was stored with.
    explicit GraphDrawElement(std::string className = {});
    ~GraphDrawElement() override = default;
    GraphDrawElement(const GraphDrawElement&) = default;
    GraphDrawElement& operator=(const GraphDrawElement&) = default;

    // ---- stored fields (column names) ----
    int id = 0;                 // number within its code and period
    std::string classname;      // see the constants above
    std::string date;           // anchor bar date "YYYY-MM-DD"
    std::string enddate;        // second bar date (other kinds repeat the anchor date)
    int hichi = 0;              // stored and reloaded only
    int vichi = 0;              // stored and reloaded only
    bool takane_kijyun = false; // anchored to the bar's high (else its low)
    int range_x = 0;            // pixels from the anchor bar's left edge
    int range_y = 0;            // pixels from the anchor price's row
    int init_range_y = 0;       // stored and reloaded only
    std::string str;            // text and memo contents
    int left = 0;               // box of the last drawing, plot-area pixels
    int top = 0;
    int width = 0;
    int height = 0;
    ColorRef font_cr = 0;
    int font_size = 9; // points
    int fontweight = 400;
    std::string fontmenu = "メイリオ";
    ColorRef pen_cr = 0;
    int penStyle = 1; // 1 solid, 2 dotted, 3 dashed; others draw solid
    int penWidth = 1;
    double prev_pixel_to_yen = 0.0; // stored and reloaded only
    double pixel_to_yen = 0.0;      // stored and reloaded only
    int init_y_ichimemori = 1;      // the view's tick size when the element was made
    int init_x_haba_p = 1;          // the view's bar pitch when made (price ranges)
    double init_pixel_to_yen = 0.0; // the view's pixel_to_yen when made
    bool view_bl = true;            // false: deleted (kept for the history)

    // ---- not stored ----
    int date_number = 0;    // `date` as YYYYMMDD
    int enddate_number = 0; // `enddate` as YYYYMMDD
    bool selected = false;  // drawn with a selection frame
    bool hit = false;       // result of the last hit test

    // The row as read, for a kind this program does not know; none for the six kinds.
    std::optional<framework::SQLListRow> storedRow;

    // ---- operations ----
    // Back to the construction values (the class name stays).
    virtual void initialize();
    // The anchor date and its number; the kinds that repeat it also set the end date.
    virtual void SetDate(std::string_view text);
    void SetEndDate(std::string_view text);
    int GetHeight() const { return height; }
    void SetPenStyle(int style) { penStyle = style; }
    void SetPenWidth(int w) { penWidth = w; }
    // Records and returns whether (x, y) hits the element: its box, for most kinds.
    virtual bool HitTest(int x, int y);
    // Draws the element and updates its box; the base draws nothing. `firstBar` is the bar
    // at `start_bar`. Nothing is drawn while `pixel_to_yen` is not positive.
    virtual void Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
                      int start_bar, double pixel_to_yen, int bottom_yen, int y_ichimemori,
                      const market::KeisenElm* firstBar);
    // The frame around the box (selection and hover): solid, width 1.
    void DrawFrame(Canvas& canvas, ColorRef color) const;

    virtual KindColumns kindColumns() const;
    virtual void setKindColumns(const KindColumns& columns);

    // One of the six kinds (false for a kept row of an unknown kind).
    virtual bool isKnownKind() const { return false; }

    // ---- chart::ChartAnnotation ----
    bool isVisible() const override { return view_bl && isKnownKind(); }
    int startDateNumber() const override { return date_number; }
    int endDateNumber() const override { return enddate_number; }
    std::string_view className() const override { return classname; }
    void draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int xHabaP, int startBar,
              double pixelToYen, int bottomYen, int yIchimemori, const market::KeisenElm* firstBar) override {
        Draw(canvas, client, view, xHabaP, startBar, pixelToYen, bottomYen, yIchimemori, firstBar);
    }

protected:
    // The element's font (size and weight clamped for drawing) and pen (width clamped).
    framework::Font drawFont() const;
    framework::Pen drawPen() const;
    // Box from (x, y) with the size; coordinates already clamped.
    void setBox(int x, int y, int w, int h);
    // The selection frame, in the view's selection colour, when the element is selected.
    void drawSelection(Canvas& canvas, const chart::GraphViewState& view) const;
};

// The element's date number as SetDate computes it ("2026-12-09" -> 20261209); 0 for a text
// that is not a real day (framework::parseDate).
int dateTextNumber(std::string_view text);

} // namespace tavora::annotations
