#pragma once
// One annotation element as a row of `graphctrltb`, both ways:
// - GraphCtrlRow holds the element's values; values() encodes them as the document stores
//   them: reals "%.8f" in the C locale, colours in the colour-text form, flags "1"/"0",
//   integers bound as integers (also `top`, though its declared type is TEXT), and the key
//   "%d%s%s" of id, period letter and code.
// - StoredRow holds a row as read back (the storage classes kept, NULL for a column the
//   document lacks) and decodes one column at a time: texts that are not valid UTF-8 are
//   CP932, reals and integers parsed in the C locale, flags true for "1", colours from text.
// Plain data; safe from any thread.
#include "annotations/DocumentSchema.h"
#include "framework/SqlValue.h"
#include "market/ChartPeriod.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tavora::annotations {

using StoredValues = std::array<framework::SqlValue, GraphCtrlColumnCount>;

struct GraphCtrlRow {
    int id = 0;
    std::string classname;
    std::string date;
    std::string enddate;
    int hichi = 0;
    int vichi = 0;
    bool takane_kijyun = false;
    int range_x = 0;
    int range_y = 0;
    int init_range_y = 0;
    std::string str;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::uint32_t font_cr = 0;
    int font_size = 9;
    int fontweight = 400;
    std::string fontmenu = "メイリオ";
    std::uint32_t pen_cr = 0;
    int penStyle = 1;
    int penWidth = 1;
    double prev_pixel_to_yen = 0.0;
    double pixel_to_yen = 0.0;
    int init_y_ichimemori = 1;
    int init_x_haba_p = 1;
    double init_pixel_to_yen = 0.0;
    bool view_bl = true;
    market::ChartPeriod kikan = market::ChartPeriod::Day;
    // Kind-specific columns; kinds that do not use them keep these values.
    std::string daycount;
    std::string nehaba;
    int endyonhonne = 0;
    int startyonhonne = 0;
    int endpixel = 0;
    std::string startdate;
    std::string owaridate;
    int endrange_y = 0;
    std::string code;
    int yoko_ichi = 1;

    // "%d%s%s": id 3 on the day chart of code 7203 gives "3d7203".
    std::string idkikancode() const;
    // The stored values, in column order.
    StoredValues values() const;
};

// "%.8f" whatever the process locale is.
std::string formatReal8(double value);
// A real written by any version: leading blanks allowed, C-locale decimal point; 0 otherwise.
double parseStoredReal(std::string_view text);

class StoredRow {
public:
    StoredRow() = default;
    explicit StoredRow(StoredValues values) : m_values(std::move(values)) {}

    const StoredValues& values() const { return m_values; }
    const framework::SqlValue& value(GraphCtrlColumn c) const { return m_values[c]; }
    bool has(GraphCtrlColumn c) const { return !m_values[c].isNull(); }

    // Each decodes a present column; none for NULL.
    std::optional<std::string> text(GraphCtrlColumn c) const;
    std::optional<std::int64_t> integer(GraphCtrlColumn c) const;
    std::optional<double> real(GraphCtrlColumn c) const;
    std::optional<bool> flag(GraphCtrlColumn c) const;
    std::optional<std::uint32_t> colour(GraphCtrlColumn c) const;

    // The period of `kikan`; none for a letter other than d, w, m and y.
    std::optional<market::ChartPeriod> period() const;
    // `init_y_ichimemori` as drawing may divide by it: a missing or non-positive value reads 1.
    int initYIchimemori() const;

private:
    StoredValues m_values;
};

} // namespace tavora::annotations
