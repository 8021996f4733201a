#include "annotations/GraphCtrlRow.h"

#include "framework/ColorText.h"
#include "framework/Encoding.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tavora::annotations {

using framework::SqlValue;

std::string GraphCtrlRow::idkikancode() const {
    return std::to_string(id) + std::string(market::periodLetter(kikan)) + code;
}

std::string formatReal8(double value) {
    char buf[400]; // the widest double in fixed notation with 8 decimals fits
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 8);
    return ec == std::errc() ? std::string(buf, end) : std::string("0.00000000");
}

double parseStoredReal(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return 0.0;
    text.remove_prefix(start);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return ec == std::errc() && std::isfinite(value) ? value : 0.0;
}

StoredValues GraphCtrlRow::values() const {
    auto integer = [](std::int64_t v) { return SqlValue::ofInteger(v); };
    auto text = [](std::string v) { return SqlValue::ofText(std::move(v)); };
    auto flag = [](bool v) { return SqlValue::ofText(v ? "1" : "0"); };
    auto colour = [](std::uint32_t v) { return SqlValue::ofText(framework::ConvertCRtoTCHAR(v)); };
    auto real = [](double v) { return SqlValue::ofText(formatReal8(v)); };
    return StoredValues{
        text(idkikancode()),
        integer(id),
        text(classname),
        text(date),
        text(enddate),
        integer(hichi),
        integer(vichi),
        flag(takane_kijyun),
        integer(range_x),
        integer(range_y),
        integer(init_range_y),
        text(str),
        integer(left),
        integer(top),
        integer(width),
        integer(height),
        colour(font_cr),
        integer(font_size),
        integer(fontweight),
        text(fontmenu),
        colour(pen_cr),
        integer(penStyle),
        integer(penWidth),
        real(prev_pixel_to_yen),
        real(pixel_to_yen),
        integer(init_y_ichimemori),
        integer(init_x_haba_p),
        real(init_pixel_to_yen),
        flag(view_bl),
        text(std::string(market::periodLetter(kikan))),
        text(daycount),
        text(nehaba),
        integer(endyonhonne),
        integer(startyonhonne),
        integer(endpixel),
        text(startdate),
        text(owaridate),
        integer(endrange_y),
        text(code),
        integer(yoko_ichi),
    };
}

namespace {

// The text form of any stored value (numbers as SQLite would print them).
std::string asText(const SqlValue& v) {
    switch (v.type) {
    case SqlValue::Type::Integer:
        return std::to_string(v.integer);
    case SqlValue::Type::Real: {
        char buf[64];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v.real);
        return ec == std::errc() ? std::string(buf, end) : std::string();
    }
    default:
        return v.bytes;
    }
}

std::int64_t clampToInt64(double d) {
    if (!std::isfinite(d))
        return 0;
    if (d >= 9.2e18)
        return std::numeric_limits<std::int64_t>::max();
    if (d <= -9.2e18)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(d);
}

} // namespace

std::optional<std::string> StoredRow::text(GraphCtrlColumn c) const {
    if (!has(c))
        return std::nullopt;
    return framework::textFromDatabase(asText(m_values[c]));
}

std::optional<std::int64_t> StoredRow::integer(GraphCtrlColumn c) const {
    const SqlValue& v = m_values[c];
    switch (v.type) {
    case SqlValue::Type::Null:
        return std::nullopt;
    case SqlValue::Type::Integer:
        return v.integer;
    case SqlValue::Type::Real:
        return clampToInt64(v.real);
    default:
        // Text as atoi reads it: the leading whole number, 0 when there is none.
        return clampToInt64(std::trunc(parseStoredReal(v.bytes)));
    }
}

std::optional<double> StoredRow::real(GraphCtrlColumn c) const {
    const SqlValue& v = m_values[c];
    switch (v.type) {
    case SqlValue::Type::Null:
        return std::nullopt;
    case SqlValue::Type::Integer:
        return static_cast<double>(v.integer);
    case SqlValue::Type::Real:
        return std::isfinite(v.real) ? v.real : 0.0;
    default:
        return parseStoredReal(v.bytes);
    }
}

std::optional<bool> StoredRow::flag(GraphCtrlColumn c) const {
    if (!has(c))
        return std::nullopt;
    return asText(m_values[c]) == "1";
}

std::optional<std::uint32_t> StoredRow::colour(GraphCtrlColumn c) const {
    if (!has(c))
        return std::nullopt;
    return framework::ConvertTCHARtoCR(asText(m_values[c]));
}

std::optional<market::ChartPeriod> StoredRow::period() const {
    if (!has(ColKikan))
        return std::nullopt;
    return market::periodFromLetter(asText(m_values[ColKikan]));
}

int StoredRow::initYIchimemori() const {
    const auto v = integer(ColInitYIchimemori);
    return v && *v > 0 && *v <= std::numeric_limits<int>::max() ? static_cast<int>(*v) : 1;
}

} // namespace tavora::annotations
