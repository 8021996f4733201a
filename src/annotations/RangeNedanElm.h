#pragma once
// A price range (tool "値幅計算"): the difference between one price of the start bar and one
// price of the end bar, drawn as a capped vertical bar with the difference "%.2f" at its left.
// `yoko_ichi` places the bar at the end bar (1), midway (2) or at the start bar (3). Drawing
// rewrites `nehaba`. Its vertical offset follows the zoom. SetDate also sets the end date.
#include "annotations/GraphDrawElement.h"

namespace tavora::annotations {

class RangeNedanElm : public GraphDrawElement {
public:
    RangeNedanElm() : GraphDrawElement(std::string(kRangeNedanElm)) {}

    // Stored columns.
    std::string nehaba;    // |start price - end price|, "%.2f"
    int endyonhonne = 0;   // which price of the end bar (Yonhonne)
    int startyonhonne = 0; // which price of the start bar
    int endpixel = 0;      // stored and reloaded only
    std::string startdate; // start bar date
    std::string owaridate; // end bar date
    int yoko_ichi = 1;     // 1 at the end bar, 2 midway, 3 at the start bar (others: 3)

    void initialize() override;
    void SetDate(std::string_view text) override;
    void Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
              int start_bar, double pixel_to_yen, int bottom_yen, int y_ichimemori,
              const market::KeisenElm* firstBar) override;
    KindColumns kindColumns() const override;
    void setKindColumns(const KindColumns& columns) override;
    bool isKnownKind() const override { return true; }
};

// The price of a bar named by a Yonhonne code as single precision (missing or unknown code: 0).
float yonhonnePrice(const market::KeisenElm& bar, int code);

} // namespace tavora::annotations
