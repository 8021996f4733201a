#include "framework/ShownText.h"

namespace tavora::framework {

namespace {

// The length of the well-formed UTF-8 sequence at `at` (1 to 4), or 0 when it is not one;
// `code` gets its code point.
std::size_t utf8Sequence(std::string_view text, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u)
            return 0;
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

bool isControl(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

} // namespace

std::string shownText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = utf8Sequence(text, i, code);
        if (length == 0 || isControl(code)) {
            shown += '?';
            i += length == 0 ? 1 : length;
            continue;
        }
        shown.append(text.substr(i, length));
        i += length;
    }
    return shown;
}

std::string shownLine(std::string_view text) {
    std::string joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '\n' && text[i] != '\r') {
            joined += text[i++];
            continue;
        }
        while (i < text.size() && (text[i] == '\n' || text[i] == '\r' || text[i] == ' ' || text[i] == '\t'))
            ++i;
        while (!joined.empty() && (joined.back() == ' ' || joined.back() == '\t'))
            joined.pop_back();
        if (!joined.empty() && i < text.size())
            joined += "; ";
    }
    return shownText(joined);
}

} // namespace tavora::framework
