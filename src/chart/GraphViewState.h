#pragma once
// The view state of one chart panel: how bars map to pixel columns and prices to pixel rows,
// the scroll and zoom state, the paint parameters, the pointer-tool flags and defaults, and
// references to the period's bars, analysis lines and week-start Sundays. One per period
// panel; read and written on the UI thread only (the cli renders with its own).
#include "framework/Canvas.h"
#include "market/ChartPeriod.h"

#include <string>

namespace tavora::market {
class KeisenList;
class DateList;
}  // namespace tavora::market
namespace tavora::analysis {
class BunsekiGraphListList;
}

namespace tavora::chart {

using framework::ColorRef;

// The model of a scroll bar: the range and the position it accepted.
struct ScrollModel {
    int min = 0;
    int max = 0;
    int pos = 0;
    // Sets the range (a maximum below the minimum becomes the minimum) and clamps the position.
    void setRange(int lo, int hi);
    // Takes a requested position and returns the one accepted (clamped into the range).
    int accept(int requested);
};

// Colours, line styles and font sizes of the chart layers.
struct ChartPaint {
    ColorRef background = 0xFCFCFC;       // grbuckcr
    ColorRef dateGridColor = 0xE9E9E9;    // hiduke_sencr
    int dateGridStyle = 1;                // y_sen_cb
    ColorRef dateLabelColor = 0x383838;   // title_cr
    ColorRef priceGridColor = 0xE9E9E9;   // nedan_sencr
    int priceGridStyle = 1;               // x_sen_cb
    ColorRef priceLabelColor = 0x383838;  // title_cr
    ColorRef upOutline = 0x202020;        // yousen_sencr
    ColorRef upBody = 0xFFFFFF;           // yousen_buckcr
    ColorRef downOutline = 0x202020;      // insen_sencr
    ColorRef downBody = 0x181818;         // insen_buckcr
    ColorRef volumeOutline = 0xD3D3D3;    // dekidaka_sencr
    ColorRef volumeFill = 0xF4F4F4;       // dekidaka_buckcr
    ColorRef splitMarker = 0x383838;
    ColorRef titleColor = 0x383838;  // title_cr
    int dateLabelLargeSize = 8;      // months and years of the date axis
    int dateLabelSmallSize = 6;      // days; all labels of month and year charts
    int priceLabelSize = 8;
    int titleSize = 17;  // weight 700
    int subtitleSize = 9;
    ColorRef selectionFrame = 0x8A8A8A;
    ColorRef hoverFrame = 0xD3D3D3;
    ColorRef crossReadout = 0x383838;  // title_cr
    std::string fontFace = "メイリオ";
};

// One flag per pointer tool; at most one is set (the same on all four panels).
struct ToolFlags {
    bool cross = false;       // 十字カーソル
    bool timePrice = false;   // 値幅時間
    bool takayasu = false;    // 高安値表示
    bool rangeTime = false;   // 日数計算
    bool rangeNedan = false;  // 値幅計算
    bool line = false;        // 直線
    bool text = false;        // 文字
    bool memo = false;        // メモ
    bool select = false;      // 選択ツール
    void clear() { *this = ToolFlags{}; }
    bool any() const { return cross || timePrice || takayasu || rangeTime || rangeNedan || line || text || memo || select; }
};

// The style a tool gives what it draws; a field a tool does not use keeps its value unused.
struct ToolStyle {
    ColorRef lineColor = 0;
    ColorRef textColor = 0;
    int lineStyle = 1;  // 1 solid, 2 dotted, 3 dashed
    std::string fontFace = "メイリオ";
    int fontSize = 9;
};

// Defaults of new annotations and of the measuring tools, per tool.
struct ToolDefaults {
    ToolStyle cross{0xB76800, 0xB76800};
    ToolStyle timePrice{0xB76800, 0xB76800};
    ToolStyle takayasu{0, 0x383838};
    ToolStyle rangeTime{0xB2B2B2, 0xB2B2B2};
    ToolStyle rangeNedan{0xB2B2B2, 0xB2B2B2};
    ToolStyle line{0xB2B2B2, 0x8A8A8A};
    ToolStyle text{0, 0x383838};
    ToolStyle memo{0, 0x8A8A8A};
    int rangeNedanYoko = 1;  // 1 左, 2 中央, 3 固定: the yoko_ichi of new price ranges
};

struct GraphViewState {
    // Geometry (names as the stored scale and the annotations use them).
    int start_bar = 1;   // number of the bar drawn at x = 0 (= horizontal scroll position)
    int end_bar = 1;     // last bar whose left edge lies inside the plot (count + 1 past the end)
    int bottom_yen = 0;  // price at the bottom pixel row
    int x_haba_p = 5;    // bar pitch in pixels
    int prev_x_haba_p = 0;
    int grid_yen = 0;  // yen per major grid interval; 0 until a series is scaled
    int y_ichimemori = 5;  // tick size in pixels: 1, 2, 4, 5 or 10
    int five_ticks_px = 25;
    double grid_px = 250.0;
    int snap_kind = 0;  // 0 open, 1 close, 2 low, 3 high
    int low_limit_yen = 0;
    int high_limit_yen = 0;
    double pixel_to_yen = 0.0;
    double prev_pixel_to_yen = 0.0;
    std::string kikan = "d";  // "d", "w", "m" or "y"; set by the owner
    std::string anchor_date;  // "YYYY-MM-DD": the day the panel was created

    // The scroll bars' ranges and positions (the panel mirrors them into its controls).
    ScrollModel hscroll{1, 1, 1};
    ScrollModel vscroll{0, 0, 0};

    ChartPaint paint;
    ToolFlags tools;
    ToolDefaults toolDefaults;
    bool inProgress = false;  // between the two clicks of a two-click tool, or while typing
    bool busy = false;        // the chart is being loaded in the background

    // The period's data, owned by the panel; null while not attached.
    const market::KeisenList* bars = nullptr;
    const analysis::BunsekiGraphListList* graphs = nullptr;
    const market::DateList* weeks = nullptr;

    market::ChartPeriod period() const;
    // five_ticks_px, grid_px and pixel_to_yen from y_ichimemori and grid_yen.
    void recomputeScale();
};

// A view state as a panel of the period creates it, anchored at `today` ("YYYY-MM-DD").
GraphViewState makeViewState(market::ChartPeriod period, std::string today);

}  // namespace tavora::chart
