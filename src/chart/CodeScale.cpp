#include "chart/CodeScale.h"

namespace tavora::chart {

std::optional<int> readScaleValue(std::string_view text, settings::ScaleBounds bounds) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    const std::size_t digits = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value <= bounds.max) // past the bound the exact value no longer matters
            value = value * 10 + (text[i] - '0');
    if (i == digits)
        return std::nullopt;
    if (negative)
        value = -value;
    if (value < bounds.min || value > bounds.max)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace tavora::chart
