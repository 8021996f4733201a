#include "annotations/PointerTools.h"

#include "annotations/ElementGeometry.h"
#include "annotations/LineElm.h"
#include "annotations/RangeNedanElm.h"
#include "annotations/RangeTimeElm.h"
#include "annotations/TakayasuElm.h"
#include "annotations/TextElm.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartLayers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace tavora::annotations {

using framework::Canvas;
using framework::Font;
using framework::Pen;
using framework::Point;
using framework::TextAlign;
using framework::TextFormat;
using market::KeisenElm;

namespace {

constexpr int kEdgeZone = 30;
constexpr int kEditorWidth = 250;
constexpr int kEditorHeight = 100;
constexpr int kLabelFontSize = 9; // snap label and read-out

std::string intText(long long value) {
    return std::to_string(value);
}

} // namespace

std::string limitCharacters(std::string text, std::size_t maxCharacters) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue; // continuation byte of the character before
        if (characters == maxCharacters) {
            text.resize(i);
            break;
        }
        ++characters;
    }
    return text;
}

PointerTools::PointerTools(chart::GraphViewState& view, PointerToolHost& host) : m_view(view), m_host(host) {}

void PointerTools::setList(GraphDrawList* list) {
    m_list = list;
    listReloaded();
}

void PointerTools::dropPointers() {
    m_creating = nullptr;
    m_hovered = nullptr;
    m_editing = nullptr;
    m_visible.clear();
    m_generation = m_list ? m_list->generation() : 0;
}

void PointerTools::listReloaded() {
    dropPointers();
    if (m_editorOpen) {
        m_editorOpen = false;
        m_host.hideEditor();
    }
    m_view.inProgress = false;
    m_startBar = 0;
}

void PointerTools::setVisible(const chart::VisibleAnnotations& drawn) {
    if (!valid()) {
        m_visible.clear();
        return;
    }
    m_visible.assign(drawn);
}

void PointerTools::abandonOperation() {
    if (!valid())
        dropPointers();
    const bool wasInProgress = m_view.inProgress || m_editorOpen;
    if (m_creating) {
        // Made by the first click and never recorded: it goes as if it had never been.
        m_list->remove(m_creating);
        m_creating = nullptr;
        m_visible.clear();
    }
    if (m_editorOpen) {
        if (GraphDrawElement* changed = commitEditor())
            record({changed});
    }
    m_view.inProgress = false;
    m_startBar = 0;
    m_hovered = nullptr;
    if (wasInProgress)
        m_host.repaintFull();
}

double PointerTools::priceAt(int y) const {
    return chart::priceAtRow(m_view, m_client.height(), y);
}

int PointerTools::rowOf(double price) const {
    return chart::rowOfPrice(m_view, m_client.height(), price);
}

void PointerTools::record(std::vector<GraphDrawElement*> elements) {
    if (!elements.empty())
        m_host.recordStep(std::move(elements));
}

// ---- motion ----

bool PointerTools::onMotion(Canvas& canvas, int x, int y) {
    if (m_view.busy)
        return false;
    if (!valid())
        dropPointers();
    if (x < m_client.left || x >= m_client.right || y < m_client.top || y >= m_client.bottom)
        return false;
    if (m_last && m_last->x == x && m_last->y == y)
        return false;
    m_last = Point{x, y};
    m_pointerRow = y;
    const chart::ToolFlags& tools = m_view.tools;
    const bool measuring = tools.timePrice || tools.rangeTime || tools.rangeNedan || tools.line;
    if (m_view.inProgress && (tools.timePrice || tools.rangeTime || tools.rangeNedan))
        edgeScroll(x, y);
    m_currentBar = chart::barAtColumn(m_view, x).value_or(0);
    if (m_currentBar == 0)
        return false;
    if (tools.cross) {
        drawCross(canvas, x, y, m_currentBar);
        return true;
    }
    if (tools.text && m_editorOpen && m_host.editorHasFocus())
        return false;
    if (tools.select || tools.text || tools.memo) {
        drawSnapLabel(canvas, y, m_currentBar);
        hoverTest(canvas, hoverCandidates(), tools.memo);
        return true;
    }
    if (tools.takayasu || measuring) {
        drawSnapLabel(canvas, y, m_currentBar);
        if (m_view.inProgress)
            continueOperation(canvas, y);
        return true;
    }
    return false;
}

bool PointerTools::onLeave(Canvas& canvas) {
    m_last.reset();
    m_hovered = nullptr;
    m_currentBar = 0;
    if (m_view.busy)
        return false;
    if (!valid())
        dropPointers();
    // What follows the pointer (cross, snap label, hover frame, memo text) goes with it; an
    // element being made stays as far as it was drawn.
    canvas.restoreFromCleanCopy();
    if (GraphDrawElement* element = creating())
        drawElement(canvas, *element);
    return true;
}

void PointerTools::edgeScroll(int x, int y) {
    int dx = 0, dy = 0;
    if (x < kEdgeZone)
        dx = -1;
    else if (x > m_client.right - kEdgeZone)
        dx = 1;
    if (y < kEdgeZone)
        dy = -1;
    else if (y > m_client.bottom - kEdgeZone)
        dy = 1;
    if (dx != 0 || dy != 0)
        m_host.scrollStep(dx, dy);
}

void PointerTools::drawCross(Canvas& canvas, int x, int y, int bar) {
    const KeisenElm* b = chart::barByNumber(m_view, bar);
    if (!b)
        return;
    const chart::ToolStyle& style = m_view.toolDefaults.cross;
    canvas.restoreFromCleanCopy();
    canvas.setPen(Pen{style.lineColor, 1, style.lineStyle});
    canvas.line({x, m_client.top}, {x, m_client.bottom});
    canvas.line({m_client.left, y}, {m_client.right, y});
    canvas.setFont(Font{style.fontFace, drawFontSize(style.fontSize), 500});
    canvas.setTextColor(style.textColor);
    const framework::Size dateSize = canvas.measureText(b->date);
    canvas.drawText(Rect{x + 2, m_client.top, x + 2 + dateSize.width, m_client.top + dateSize.height},
                    b->date, TextFormat::singleLine(TextAlign::Left));
    // The price at the right edge, below the line, or above it where it would reach into the
    // date axis (with the pointer among the date labels, just above them); on the chart's
    // background so no axis label shows through it.
    const std::string price = formatPrice(priceAt(y));
    const framework::Size priceSize = canvas.measureText(price);
    const int dateAxisTop = m_client.bottom - chart::dateAxisHeight(m_view.period());
    int top = y + 2;
    if (top + priceSize.height > dateAxisTop)
        top = std::min(y - 2, dateAxisTop) - priceSize.height;
    const Rect priceBox{m_client.right - priceSize.width - 2, top, m_client.right, top + priceSize.height};
    canvas.fillRect(priceBox, m_view.paint.background);
    canvas.drawText(priceBox, price, TextFormat::singleLine(TextAlign::Right));
    drawReadout(canvas, bar);
}

void PointerTools::drawReadout(Canvas& canvas, int bar) {
    const KeisenElm* b = chart::barByNumber(m_view, bar);
    canvas.setFont(Font{m_view.paint.fontFace, kLabelFontSize, 500});
    canvas.setTextColor(m_view.paint.crossReadout);
    const int lineHeight = canvas.measureText(b->date).height;
    // A day without prices (a future day) has no volume either: blank like its prices.
    std::string volume = "出来高 " + (b->open ? intText(b->volume) : std::string());
    if (!b->split.empty())
        volume += " 分割 " + b->split;
    const std::array<std::string, 6> lines{b->date,
                                           "始値 " + b->openText(),
                                           "高値 " + b->highText(),
                                           "安値 " + b->lowText(),
                                           "終値 " + b->closeText(),
                                           volume};
    constexpr int kLeft = 10;
    constexpr int kRight = 300;
    int top = m_host.titleBottom();
    for (const std::string& line : lines) {
        canvas.drawText(Rect{kLeft, top, kRight, top + lineHeight}, line,
                        TextFormat::singleLine(TextAlign::Left));
        top += lineHeight;
    }
    if (!b->analysis.empty()) {
        const framework::Size size = canvas.measureWrappedText(b->analysis, kRight - kLeft);
        canvas.drawText(Rect{kLeft, top, kRight, top + size.height}, b->analysis, TextFormat::wrapped());
    }
}

double PointerTools::snapTo(int y, const KeisenElm& bar) {
    const KeisenElm* b = &bar;
    const double m = std::trunc(priceAt(y));
    const double open = priceOr0(b->open), high = priceOr0(b->high), low = priceOr0(b->low),
                 close = priceOr0(b->close);
    const double dOpen = std::fabs(m - open), dHigh = std::fabs(m - high), dLow = std::fabs(m - low),
                 dClose = std::fabs(m - close);
    // Ties go to the high, then the open, then the close.
    double snapped = low;
    const char* caption = "安値 ";
    m_view.snap_kind = YonhonneLow;
    if (dHigh <= dOpen && dHigh <= dLow && dHigh <= dClose) {
        snapped = high;
        caption = "高値 ";
        m_view.snap_kind = YonhonneHigh;
    } else if (dOpen <= dLow && dOpen <= dClose && dOpen <= dHigh) {
        snapped = open;
        caption = "始値 ";
        m_view.snap_kind = YonhonneOpen;
    } else if (dClose <= dLow && dClose <= dOpen && dClose <= dHigh) {
        snapped = close;
        caption = "終値 ";
        m_view.snap_kind = YonhonneClose;
    }
    m_snapLabel = caption + formatPrice(snapped);
    return snapped;
}

void PointerTools::drawSnapLabel(Canvas& canvas, int y, int bar) {
    const KeisenElm* b = chart::barByNumber(m_view, bar);
    if (!b)
        return;
    canvas.restoreFromCleanCopy();
    const double snapped = snapTo(y, *b);
    const int cx = chart::barCentre(m_view, bar);
    const int yp = rowOf(snapped);
    canvas.setPen(Pen{m_view.paint.titleColor, 1, framework::LineSolid});
    canvas.line({cx + 2, yp}, {cx + 10, yp});
    canvas.setFont(Font{m_view.paint.fontFace, kLabelFontSize, 500});
    canvas.setTextColor(m_view.paint.titleColor);
    const int h = canvas.measureText(b->date).height;
    const int left = cx + 12, top = yp - 10;
    canvas.drawText(Rect{left, top, left + 100, top + h}, b->date, TextFormat::singleLine(TextAlign::Left));
    canvas.drawText(Rect{left, top + h, left + 100, top + 2 * h}, m_snapLabel,
                    TextFormat::singleLine(TextAlign::Left));
}

void PointerTools::drawElement(Canvas& canvas, GraphDrawElement& element) {
    element.Draw(canvas, m_client, m_view, m_view.x_haba_p, m_view.start_bar, m_view.pixel_to_yen,
                 m_view.bottom_yen, m_view.y_ichimemori,
                 chart::barByNumber(m_view, std::max(1, m_view.start_bar)));
}

const GraphDrawWrapList& PointerTools::hoverCandidates() const {
    const chart::ToolFlags& tools = m_view.tools;
    return tools.select ? m_visible.all : tools.text ? m_visible.texts : m_visible.memos;
}

GraphDrawElement* PointerTools::elementAt(const GraphDrawWrapList& candidates, int x, int y) const {
    for (GraphDrawElement* element : candidates.elements)
        if (element->view_bl && element->HitTest(x, y))
            return element;
    return nullptr;
}

void PointerTools::hoverTest(Canvas& canvas, const GraphDrawWrapList& candidates, bool showMemoText) {
    const Point at = *m_last;
    m_hovered = elementAt(candidates, at.x, at.y);
    if (GraphDrawElement* element = m_hovered) {
        drawElement(canvas, *element);
        element->DrawFrame(canvas, m_view.paint.hoverFrame);
        if (showMemoText) {
            const int right = element->left + element->width;
            canvas.setPen(Pen{m_view.paint.hoverFrame, 1, framework::LineSolid});
            canvas.line({right + 2, element->top + 6}, {right + 6, element->top + 6});
            canvas.setFont(Font{element->fontmenu, drawFontSize(element->font_size), element->fontweight});
            canvas.setTextColor(element->font_cr);
            const framework::Size size = canvas.measureTextLines(element->str);
            const int left = right + 8, top = element->top + 6;
            canvas.drawText(Rect{left, top, left + size.width, top + size.height}, element->str,
                            TextFormat::wrapped());
        }
    }
}

void PointerTools::continueOperation(Canvas& canvas, int y) {
    if (m_view.tools.timePrice && m_startBar != 0) {
        drawTimePrice(canvas, y);
        return;
    }
    if (GraphDrawElement* element = advanceOperation(y))
        drawElement(canvas, *element);
}

GraphDrawElement* PointerTools::advanceOperation(int y) {
    GraphDrawElement* element = creating();
    const KeisenElm* c = chart::barByNumber(m_view, m_currentBar);
    if (!element || !c)
        return nullptr;
    if (auto* count = dynamic_cast<RangeTimeElm*>(element)) {
        const int earlier = std::min(m_startBar, m_currentBar);
        const KeisenElm* e = chart::barByNumber(m_view, earlier);
        count->SetDate(e->date);
        count->daycount = intText(std::abs(m_currentBar - m_startBar) + 1);
        count->range_y = clampCoord(std::int64_t(y) - rowOf(priceOr0(e->low)) - count->height - 2);
    } else if (auto* range = dynamic_cast<RangeNedanElm*>(element)) {
        range->SetEndDate(c->date);
        range->owaridate = c->date;
        range->endyonhonne = m_view.snap_kind;
    } else if (auto* line = dynamic_cast<LineElm*>(element)) {
        line->SetEndDate(c->date);
        line->endrange_y = clampCoord(std::int64_t(y) - rowOf(priceOr0(c->low)) - 4);
    }
    return element;
}

void PointerTools::drawTimePrice(Canvas& canvas, int y) {
    const KeisenElm* s = chart::barByNumber(m_view, m_startBar);
    const KeisenElm* c = chart::barByNumber(m_view, m_currentBar);
    if (!s || !c)
        return;
    const chart::ToolStyle& style = m_view.toolDefaults.timePrice;
    const double pointer = priceAt(y);
    const std::string count = intText(std::abs(m_currentBar - m_startBar) + 1);
    const std::string startText = formatPrice(m_startPrice);
    const std::string pointerText = formatPrice(pointer);
    const std::string difference = formatPrice(std::fabs(pointer - m_startPrice));
    const int xs = chart::barCentre(m_view, m_startBar);
    const int xe = chart::barCentre(m_view, m_currentBar);
    const int ys = rowOf(std::trunc(m_startPrice));
    const int yc = y;
    canvas.setPen(Pen{style.lineColor, 1, style.lineStyle});
    const std::array<Point, 5> box{{{xs, ys}, {xe, ys}, {xe, yc}, {xs, yc}, {xs, ys}}};
    canvas.polyline(box);
    canvas.setFont(Font{style.fontFace, drawFontSize(style.fontSize), 500});
    canvas.setTextColor(style.textColor);
    const int h = canvas.measureText(count).height;
    const int lower = std::max(ys, yc), upper = std::min(ys, yc);
    const int l = std::min(xs, xe), r = std::max(xs, xe);
    const int W = m_client.right;
    const int mid = (xs + xe) / 2;
    if (mid > W - kEdgeZone)
        canvas.drawText(Rect{l, lower - h, W - 20, lower}, count, TextFormat::singleLine(TextAlign::Right));
    else if (mid < m_client.left)
        canvas.drawText(Rect{m_client.left + 20, lower - h, r, lower}, count,
                        TextFormat::singleLine(TextAlign::Left));
    else
        canvas.drawText(Rect{l, lower - h, r, lower}, count, TextFormat::singleLine(TextAlign::Center));
    if (r + 2 > W - kEdgeZone)
        canvas.drawText(Rect{m_client.left, upper, W - 20, lower}, difference,
                        TextFormat::singleLine(TextAlign::Right));
    else
        canvas.drawText(Rect{r + 2, upper, W, lower}, difference, TextFormat::singleLine(TextAlign::Left));
    const int sw = canvas.measureText(s->date).width, cw = canvas.measureText(c->date).width;
    canvas.drawText(Rect{xs, lower, xs + sw, lower + h}, s->date, TextFormat::singleLine(TextAlign::Left));
    canvas.drawText(Rect{xe, lower, xe + cw, lower + h}, c->date, TextFormat::singleLine(TextAlign::Left));
    canvas.drawText(Rect{r + 2, ys - h, r + 2 + canvas.measureText(startText).width, ys}, startText,
                    TextFormat::singleLine(TextAlign::Left));
    canvas.drawText(Rect{r + 2, yc - h, r + 2 + canvas.measureText(pointerText).width, yc}, pointerText,
                    TextFormat::singleLine(TextAlign::Left));
}

// ---- presses ----

void PointerTools::onPress(int x, int y, bool ctrl) {
    // While a code is opening, whatever is placed now would end up under the next code.
    if (m_view.busy)
        return;
    if (!valid())
        dropPointers();
    if (!m_list) {
        m_host.requestCode();
        return;
    }
    m_pointerRow = y;
    m_currentBar = chart::barAtColumn(m_view, x).value_or(0);
    if (m_view.tools.text && m_editorOpen) {
        // The click that ends typing: whatever is under the pointer.
        m_hovered = nullptr;
        if (GraphDrawElement* changed = commitEditor())
            record({changed});
        m_view.inProgress = false;
        m_host.repaintFull();
        return;
    }
    if (m_currentBar == 0)
        return;
    // The click decides what it acts on: the element under it, the bar under it and the price
    // snapped to there, as the motion handler maps a position. The last motion the event loop
    // got round to may lie elsewhere (a click follows a fast move before that is processed).
    const chart::ToolFlags& tools = m_view.tools;
    if (tools.select || tools.text || tools.memo)
        m_hovered = elementAt(hoverCandidates(), x, y);
    if (m_hovered) {
        pressHovered(ctrl);
        return;
    }
    if (!ctrl)
        m_list->setSelected(false);
    snapTo(y, *chart::barByNumber(m_view, m_currentBar));
    pressTool(y, m_currentBar);
}

void PointerTools::pressHovered(bool ctrl) {
    GraphDrawElement* element = m_hovered;
    if (!element->view_bl)
        return;
    const chart::ToolFlags& tools = m_view.tools;
    if (tools.memo && element->classname == kMemoElm) {
        m_hovered = nullptr;
        m_host.openMemo(static_cast<MemoElm&>(*element));
        return;
    }
    if (tools.text && element->classname == kTextElm) {
        editExistingText(static_cast<TextElm&>(*element));
        return;
    }
    if (element->selected) {
        element->selected = false;
    } else {
        if (!ctrl)
            m_list->setSelected(false);
        element->selected = true;
    }
    m_host.repaintFull();
}

void PointerTools::pressTool(int y, int bar) {
    const chart::ToolFlags& tools = m_view.tools;
    const chart::ToolDefaults& defaults = m_view.toolDefaults;
    const KeisenElm* b = chart::barByNumber(m_view, bar);
    const double pointer = priceAt(y);
    auto applyStyle = [](GraphDrawElement& e, const chart::ToolStyle& style) {
        e.font_cr = style.textColor;
        e.pen_cr = style.lineColor;
        e.fontmenu = style.fontFace;
        e.font_size = style.fontSize;
        e.SetPenStyle(style.lineStyle);
    };
    if (tools.takayasu) {
        if (!hasPrices(*b))
            return; // a future day has no high or low to mark
        TakayasuElm& mark = m_list->createTakayasu();
        applyStyle(mark, defaults.takayasu);
        mark.SetDate(b->date);
        mark.takane_kijyun = std::trunc(priceOr0(b->high)) < std::trunc(pointer);
        record({&mark});
        m_host.repaintFull();
        return;
    }
    if (tools.timePrice) {
        if (!m_view.inProgress) {
            m_view.inProgress = true;
            m_startBar = bar;
            m_startPrice = pointer;
            m_startScroll = m_view.start_bar;
            m_startBottom = m_view.bottom_yen;
        } else {
            m_view.inProgress = false;
            m_startBar = 0;
        }
        m_host.repaintFull();
        return;
    }
    if (tools.rangeTime || tools.rangeNedan || tools.line) {
        if (m_view.inProgress && creating()) {
            advanceOperation(y); // the end where the click is
            finishTwoClick();
            return;
        }
        if (tools.rangeNedan && !hasPrices(*b))
            return; // no price to measure from
        GraphDrawElement* made = nullptr;
        if (tools.rangeTime) {
            RangeTimeElm& count = m_list->createRangeTime();
            applyStyle(count, defaults.rangeTime);
            count.SetDate(b->date);
            made = &count;
        } else if (tools.rangeNedan) {
            RangeNedanElm& range = m_list->createRangeNedan();
            applyStyle(range, defaults.rangeNedan);
            range.yoko_ichi = defaults.rangeNedanYoko;
            range.startyonhonne = range.endyonhonne = m_view.snap_kind;
            range.SetDate(b->date);
            range.startdate = b->date;
            range.owaridate = b->date;
            range.init_x_haba_p = m_view.x_haba_p;
            made = &range;
        } else {
            LineElm& line = m_list->createLine();
            applyStyle(line, defaults.line);
            line.SetDate(b->date);
            line.range_y = clampCoord(std::int64_t(y) - rowOf(priceOr0(b->low)));
            made = &line;
        }
        startTwoClick(*made, bar);
        // The element is complete from the first click on: a second click on the same spot
        // records what a move there would have made.
        advanceOperation(y);
        m_host.repaintFull();
        return;
    }
    if (tools.text) {
        openTextEditor(bar, y);
        return;
    }
    if (tools.memo) {
        MemoElm& memo = m_list->createMemo();
        memo.SetDate(b->date);
        char text[64];
        std::snprintf(text, sizeof text, "%d年%d月%d日メモ\r\n", b->year, b->month, b->day);
        memo.str = text;
        memo.pen_cr = memo.font_cr = defaults.memo.textColor;
        memo.fontmenu = defaults.memo.fontFace;
        memo.font_size = defaults.memo.fontSize;
        memo.range_y = clampCoord(std::int64_t(y) - rowOf(priceOr0(b->low)));
        record({&memo});
        m_host.repaintFull();
    }
}

void PointerTools::startTwoClick(GraphDrawElement& element, int bar) {
    element.init_y_ichimemori = m_view.y_ichimemori;
    element.init_pixel_to_yen = m_view.pixel_to_yen;
    m_creating = &element;
    m_startBar = bar;
    m_view.inProgress = true;
}

void PointerTools::finishTwoClick() {
    GraphDrawElement* made = m_creating;
    const KeisenElm* start = chart::barByNumber(m_view, m_startBar);
    const KeisenElm* end = chart::barByNumber(m_view, m_currentBar);
    m_creating = nullptr;
    m_view.inProgress = false;
    m_startBar = 0;
    if (made->classname == kRangeNedanElm && !(start && end && hasPrices(*start) && hasPrices(*end))) {
        // A price range needs a price at both ends; one ending on a day without prices would
        // measure against nothing. It goes as if it had never been begun.
        m_list->remove(made);
        m_visible.clear();
    } else {
        record({made});
    }
    m_host.repaintFull();
}

void PointerTools::openTextEditor(int bar, int y) {
    const KeisenElm* b = chart::barByNumber(m_view, bar);
    const chart::ToolStyle& style = m_view.toolDefaults.text;
    m_view.inProgress = true;
    m_editing = nullptr;
    m_editorOffset = clampCoord(std::int64_t(y) - rowOf(priceOr0(b->low)));
    m_editorDate = b->date;
    const int left = chart::barLeft(m_view, bar);
    m_editorLook = EditorRequest{Rect{left, y, left + kEditorWidth, y + kEditorHeight}, std::string(),
                                 style.textColor, style.fontFace, style.fontSize};
    m_editorOpen = true;
    m_host.showEditor(m_editorLook);
}

void PointerTools::editExistingText(TextElm& text) {
    m_view.inProgress = true;
    m_editing = &text;
    m_editorLook =
        EditorRequest{Rect{text.left, text.top, text.left + kEditorWidth, text.top + kEditorHeight}, text.str,
                      text.font_cr, text.fontmenu, text.font_size};
    m_editorOpen = true;
    m_host.showEditor(m_editorLook);
}

GraphDrawElement* PointerTools::commitEditor() {
    const std::string text = limitCharacters(m_host.editorText(), kMaxTextCharacters);
    m_editorOpen = false;
    m_host.hideEditor();
    GraphDrawElement* changed = nullptr;
    if (TextElm* existing = editing()) {
        if (text.empty()) {
            existing->view_bl = false;
        } else {
            existing->str = text;
            existing->font_cr = m_editorLook.textColor;
            existing->fontmenu = m_editorLook.fontFace;
            existing->font_size = m_editorLook.fontSize;
        }
        changed = existing;
    } else if (!text.empty() && m_list && valid()) {
        const chart::ToolStyle& style = m_view.toolDefaults.text;
        TextElm& made = m_list->createText();
        made.font_cr = style.textColor;
        made.fontmenu = style.fontFace;
        made.font_size = style.fontSize;
        made.SetDate(m_editorDate);
        made.range_y = m_editorOffset;
        made.str = text;
        changed = &made;
    }
    m_editing = nullptr;
    m_view.inProgress = false;
    return changed;
}

void PointerTools::onRelease() {
    if (hovered())
        m_host.repaintFull();
}

void PointerTools::onDelete() {
    if (m_view.busy || !m_list)
        return;
    if (!valid())
        dropPointers();
    std::vector<GraphDrawElement*> deleted = m_list->deleteSelected();
    for (GraphDrawElement* e : deleted)
        e->selected = false;
    m_hovered = nullptr;
    // Nothing selected: no step, so the redo tail stays.
    record(deleted);
    m_host.repaintFull();
}

} // namespace tavora::annotations
