#include "framework/ColorText.h"

#include <charconv>

namespace tavora::framework {

std::string ConvertCRtoTCHAR(std::uint32_t color) {
    return std::to_string(color);
}

std::uint32_t ConvertTCHARtoCR(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    std::uint32_t value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size())
        return 0;
    return value;
}

} // namespace tavora::framework
