#include "annotations/DocumentHistory.h"

#include <limits>

namespace tavora::annotations {

namespace {

int toInt(std::int64_t v) {
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

void setInt(const StoredRow& row, GraphCtrlColumn c, int& field) {
    if (const auto v = row.integer(c))
        field = toInt(*v);
}
void setText(const StoredRow& row, GraphCtrlColumn c, std::string& field) {
    if (auto v = row.text(c))
        field = std::move(*v);
}
void setReal(const StoredRow& row, GraphCtrlColumn c, double& field) {
    if (const auto v = row.real(c))
        field = *v;
}
void setFlag(const StoredRow& row, GraphCtrlColumn c, bool& field) {
    if (const auto v = row.flag(c))
        field = *v;
}
void setColour(const StoredRow& row, GraphCtrlColumn c, framework::ColorRef& field) {
    if (const auto v = row.colour(c))
        field = *v;
}
std::optional<int> optInt(const StoredRow& row, GraphCtrlColumn c) {
    const auto v = row.integer(c);
    return v ? std::optional<int>(toInt(*v)) : std::nullopt;
}

// The row as the list keeps an unknown kind's row: column names and text values.
framework::SQLListRow asListRow(const StoredRow& row) {
    framework::SQLListRow out;
    for (int c = 0; c < GraphCtrlColumnCount; ++c) {
        const auto column = static_cast<GraphCtrlColumn>(c);
        const std::string name(kGraphCtrlColumns[std::size_t(c)].name);
        if (const auto text = row.text(column))
            out.add(framework::SQLListElement::text(name, *text));
        else
            out.add(framework::SQLListElement::null(name));
    }
    return out;
}

} // namespace

GraphCtrlRow rowOfElement(const GraphDrawElement& e, market::ChartPeriod period, const std::string& code) {
    GraphCtrlRow r;
    r.id = e.id;
    r.classname = e.classname;
    r.date = e.date;
    r.enddate = e.enddate;
    r.hichi = e.hichi;
    r.vichi = e.vichi;
    r.takane_kijyun = e.takane_kijyun;
    r.range_x = e.range_x;
    r.range_y = e.range_y;
    r.init_range_y = e.init_range_y;
    r.str = e.str;
    r.left = e.left;
    r.top = e.top;
    r.width = e.width;
    r.height = e.GetHeight();
    r.font_cr = e.font_cr;
    r.font_size = e.font_size;
    r.fontweight = e.fontweight;
    r.fontmenu = e.fontmenu;
    r.pen_cr = e.pen_cr;
    r.penStyle = e.penStyle;
    r.penWidth = e.penWidth;
    r.prev_pixel_to_yen = e.prev_pixel_to_yen;
    r.pixel_to_yen = e.pixel_to_yen;
    r.init_y_ichimemori = e.init_y_ichimemori;
    r.init_x_haba_p = e.init_x_haba_p;
    r.init_pixel_to_yen = e.init_pixel_to_yen;
    r.view_bl = e.view_bl;
    r.kikan = period;
    const KindColumns k = e.kindColumns();
    r.daycount = k.daycount.value_or("");
    r.nehaba = k.nehaba.value_or("");
    r.endyonhonne = k.endyonhonne.value_or(0);
    r.startyonhonne = k.startyonhonne.value_or(0);
    r.endpixel = k.endpixel.value_or(0);
    r.startdate = k.startdate.value_or("");
    r.owaridate = k.owaridate.value_or("");
    r.endrange_y = k.endrange_y.value_or(0);
    r.code = code;
    r.yoko_ichi = k.yoko_ichi.value_or(1);
    return r;
}

void applyStoredRow(const StoredRow& row, GraphDrawElement& e) {
    setInt(row, ColId, e.id);
    if (const auto date = row.text(ColDate))
        e.SetDate(*date);
    if (const auto enddate = row.text(ColEndDate))
        e.SetEndDate(*enddate);
    setInt(row, ColHichi, e.hichi);
    setInt(row, ColVichi, e.vichi);
    setFlag(row, ColTakaneKijyun, e.takane_kijyun);
    setInt(row, ColRangeX, e.range_x);
    setInt(row, ColRangeY, e.range_y);
    setInt(row, ColInitRangeY, e.init_range_y);
    setText(row, ColStr, e.str);
    setInt(row, ColLeft, e.left);
    setInt(row, ColTop, e.top);
    setInt(row, ColWidth, e.width);
    setInt(row, ColHeight, e.height);
    setColour(row, ColFontCr, e.font_cr);
    setInt(row, ColFontSize, e.font_size);
    setInt(row, ColFontWeight, e.fontweight);
    setText(row, ColFontMenu, e.fontmenu);
    setColour(row, ColPenCr, e.pen_cr);
    if (const auto v = optInt(row, ColPenStyle))
        e.SetPenStyle(*v);
    if (const auto v = optInt(row, ColPenWidth))
        e.SetPenWidth(*v);
    setReal(row, ColPrevPixelToYen, e.prev_pixel_to_yen);
    setReal(row, ColPixelToYen, e.pixel_to_yen);
    e.init_y_ichimemori = row.initYIchimemori(); // a zoom divides by it
    setInt(row, ColInitXHabaP, e.init_x_haba_p);
    setReal(row, ColInitPixelToYen, e.init_pixel_to_yen);
    // Shown only when stored as "1": the save keeps exactly those, so nothing drawn on opening
    // is dropped by the next save.
    e.view_bl = row.flag(ColViewBl).value_or(false);
    KindColumns k;
    k.daycount = row.text(ColDayCount);
    k.nehaba = row.text(ColNehaba);
    k.endyonhonne = optInt(row, ColEndYonhonne);
    k.startyonhonne = optInt(row, ColStartYonhonne);
    k.endpixel = optInt(row, ColEndPixel);
    k.startdate = row.text(ColStartDate);
    k.owaridate = row.text(ColOwariDate);
    k.endrange_y = optInt(row, ColEndRangeY);
    k.yoko_ichi = optInt(row, ColYokoIchi);
    e.setKindColumns(k);
}

void fillCodeAnnotations(const std::vector<StoredRow>& rows, CodeAnnotations& lists) {
    for (const auto& row : rows)
        addCodeAnnotation(row, lists);
}

void addCodeAnnotation(const StoredRow& row, CodeAnnotations& lists) {
    const auto period = row.period();
    if (!period) {
        lists.foreign.push_back(asListRow(row));
        return;
    }
    GraphDrawList& list = lists.list(*period);
    const std::string classname = row.text(ColClassName).value_or("");
    const auto storedId = row.integer(ColId);
    // A row without an id takes the next one, as a new element would.
    if (GraphDrawElement* element =
            list.create(classname, storedId ? std::optional<int>(toInt(*storedId)) : std::nullopt)) {
        applyStoredRow(row, *element);
        return;
    }
    list.keepUnknown(toInt(storedId.value_or(0)), classname, asListRow(row));
}

void DocumentHistory::recordStep(const GraphDrawList& list, std::span<GraphDrawElement* const> elements) {
    std::vector<GraphCtrlRow> rows;
    rows.reserve(elements.size());
    for (const GraphDrawElement* e : elements)
        if (e && e->isKnownKind())
            rows.push_back(rowOfElement(*e, list.period(), list.code()));
    if (m_document.working.recordStep(rows) && m_recorded)
        m_recorded();
}

void DocumentHistory::recordGroupStep(std::span<const StepElements> parts) {
    std::vector<GraphCtrlRow> rows;
    for (const StepElements& part : parts)
        for (const GraphDrawElement* e : part.elements)
            if (part.list && e && e->isKnownKind())
                rows.push_back(rowOfElement(*e, part.list->period(), part.list->code()));
    if (!rows.empty() && m_document.working.recordStep(rows) && m_recorded)
        m_recorded();
}

void DocumentHistory::load(CodeAnnotations& lists) {
    m_document.working.forEachInCodeState(lists.code(),
                                          [&lists](StoredRow&& row) { addCodeAnnotation(row, lists); });
}

} // namespace tavora::annotations
