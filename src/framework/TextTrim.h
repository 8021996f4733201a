#pragma once
// Trimming of the blanks around a cell or field of a text file. Pure, safe from any thread.
#include <string_view>

namespace tavora::framework {

// The text without the spaces and tabs at both ends.
inline std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace tavora::framework
