#include "analysis/FormulaLexer.h"

#include "analysis/FormulaTree.h"

namespace tavora::analysis {

namespace {

constexpr char32_t kBadByte = 0xFFFD;

// One character of the text: its code point, folded, and where it stood.
struct Char {
    char32_t c;
    std::size_t position;
    std::string_view original; // its bytes as typed
};

// Decodes UTF-8; a byte that does not start a well-formed sequence is one bad character.
char32_t decode(std::string_view text, std::size_t& i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    int extra = 0;
    char32_t c = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        extra = 1;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        extra = 2;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        extra = 3;
        c = b & 0x07;
    } else {
        ++i;
        return kBadByte;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) {
        ++i;
        return kBadByte;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto cb = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
        if ((cb & 0xC0) != 0x80) {
            ++i;
            return kBadByte;
        }
        c = (c << 6) | (cb & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    const char32_t minimum = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
    if (c < minimum || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        ++i;
        return kBadByte;
    }
    i += static_cast<std::size_t>(extra) + 1;
    return c;
}

char32_t fold(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) // full-width ASCII
        c -= 0xFEE0;
    else if (c == 0x3000) // ideographic space
        c = ' ';
    else if (c == 0x2212) // minus sign
        c = '-';
    else if (c == 0x00D7) // ×
        c = '*';
    else if (c == 0x00F7) // ÷
        c = '/';
    if (c >= 'a' && c <= 'z')
        c -= 'a' - 'A';
    return c;
}

std::vector<Char> foldedCharacters(std::string_view text) {
    std::vector<Char> out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        const char32_t c = decode(text, i);
        out.push_back({fold(c), out.size(), text.substr(start, i - start)});
    }
    return out;
}

bool isDigit(char32_t c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char32_t c) {
    return c >= 'A' && c <= 'Z';
}
bool isSpace(char32_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::vector<FormulaToken> TokenizeFormula(std::string_view text) {
    const std::vector<Char> chars = foldedCharacters(text);
    std::vector<FormulaToken> tokens;
    std::size_t i = 0;
    const auto ascii = [&](std::size_t from, std::size_t to) {
        std::string s;
        for (std::size_t k = from; k < to; ++k)
            s.push_back(static_cast<char>(chars[k].c));
        return s;
    };
    while (i < chars.size()) {
        const char32_t c = chars[i].c;
        const std::size_t at = i;
        if (isSpace(c)) {
            ++i;
            continue;
        }
        if (isDigit(c) || c == '.') {
            while (i < chars.size() && isDigit(chars[i].c))
                ++i;
            bool bad = at == i; // a point with no digit before it
            if (i < chars.size() && chars[i].c == '.') {
                ++i;
                const std::size_t fraction = i;
                while (i < chars.size() && isDigit(chars[i].c))
                    ++i;
                bad = bad || fraction == i;
            }
            tokens.push_back(
                {bad ? FormulaTokenKind::BadNumber : FormulaTokenKind::Number, ascii(at, i), at});
            if (bad)
                break;
            continue;
        }
        if (isLetter(c)) {
            while (i < chars.size() && (isLetter(chars[i].c) || isDigit(chars[i].c) || chars[i].c == '_'))
                ++i;
            tokens.push_back({FormulaTokenKind::Name, ascii(at, i), at});
            continue;
        }
        if (c == '(' || c == ')' || c == ',') {
            tokens.push_back({c == '('   ? FormulaTokenKind::OpenParen
                              : c == ')' ? FormulaTokenKind::CloseParen
                                         : FormulaTokenKind::Comma,
                              std::string(1, static_cast<char>(c)), at});
            ++i;
            continue;
        }
        // The longest operator symbol that starts here.
        std::size_t longest = 0;
        for (const auto& op : binaryOperators()) {
            const std::size_t n = op.symbol.size();
            if (n <= longest || i + n > chars.size())
                continue;
            bool match = true;
            for (std::size_t k = 0; k < n && match; ++k)
                match = chars[i + k].c == static_cast<unsigned char>(op.symbol[k]);
            if (match)
                longest = n;
        }
        if (longest > 0) {
            tokens.push_back({FormulaTokenKind::Operator, ascii(i, i + longest), at});
            i += longest;
            continue;
        }
        tokens.push_back({FormulaTokenKind::Invalid, std::string(chars[i].original), at});
        break;
    }
    tokens.push_back({FormulaTokenKind::End, {}, chars.size()});
    return tokens;
}

} // namespace tavora::analysis
