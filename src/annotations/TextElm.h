#pragma once
// A free text (tool "文字") and a memo (tool "メモ", a note icon whose text is shown on hover).
// Both sit at range_x, range_y from the anchor bar's left edge and its high or low price; their
// offsets do not follow the vertical zoom. SetDate also sets the end date.
#include "annotations/GraphDrawElement.h"

namespace tavora::annotations {

class TextElm : public GraphDrawElement {
public:
    TextElm() : GraphDrawElement(std::string(kTextElm)) {}

    void SetDate(std::string_view text) override;
    // The box is the text's size with its explicit line breaks (no wrapping of its own).
    void Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
              int start_bar, double pixel_to_yen, int bottom_yen, int y_ichimemori,
              const market::KeisenElm* firstBar) override;
    bool isKnownKind() const override { return true; }

protected:
    explicit TextElm(std::string className) : GraphDrawElement(std::move(className)) {}
    // Left and top of the box from the anchor bar; false when the bar is not met.
    bool place(const chart::GraphViewState& view, const Rect& client, int x_haba_p, int start_bar,
               double pixel_to_yen, int bottom_yen, const market::KeisenElm* firstBar, int& x, int& y) const;
};

class MemoElm : public TextElm {
public:
    static constexpr int kIconSize = 16;

    MemoElm() : TextElm(std::string(kMemoElm)) {}

    // The note icon (16 x 16) in the element's pen; the text is not drawn on the chart.
    void Draw(Canvas& canvas, const Rect& client, const chart::GraphViewState& view, int x_haba_p,
              int start_bar, double pixel_to_yen, int bottom_yen, int y_ichimemori,
              const market::KeisenElm* firstBar) override;
};

} // namespace tavora::annotations
