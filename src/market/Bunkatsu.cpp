#include "market/Bunkatsu.h"

#include <charconv>
#include <cmath>

namespace tavora::market {

std::optional<double> parseSplitRatio(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size())
        return std::nullopt;
    if (!std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

} // namespace tavora::market
