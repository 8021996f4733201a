#include "market/SearchText.h"

#include <array>
#include <cstdint>

namespace tavora::market {

namespace {

constexpr char32_t kVoicedMark = 0x3099;     // combining katakana-hiragana voiced sound mark
constexpr char32_t kSemiVoicedMark = 0x309A; // combining semi-voiced sound mark

// U+FF61 to U+FF9F, the half-width katakana block, in their full-width forms.
// clang-format off
constexpr std::array<char16_t, 63> kHalfWidthKana{
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, kVoicedMark, kSemiVoicedMark};

// U+FFE0 to U+FFEE: full-width signs and half-width forms; 0 keeps the character.
constexpr std::array<char16_t, 15> kFullWidthSigns{
    0x00A2, 0x00A3, 0x00AC, 0, 0x00A6, 0x00A5, 0x20A9, 0,
    0x2502, 0x2190, 0x2191, 0x2192, 0x2193, 0x25A0, 0x25CB};
// clang-format on

char32_t widthFolded(char32_t c) {
    if (c == 0x3000)
        return U' ';
    if (c >= 0xFF01 && c <= 0xFF5E)
        return c - 0xFEE0;
    if (c >= 0xFF61 && c <= 0xFF9F)
        return kHalfWidthKana[c - 0xFF61];
    if (c >= 0xFFE0 && c <= 0xFFEE && kFullWidthSigns[c - 0xFFE0] != 0)
        return kFullWidthSigns[c - 0xFFE0];
    return c;
}

char32_t caseFolded(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    return c;
}

// The kana a sound mark composes with `base` into, or 0.
char32_t composed(char32_t base, char32_t mark) {
    const bool hiragana = base >= 0x3041 && base <= 0x309F;
    const char32_t k = hiragana ? base + 0x60 : base; // the katakana of the same row
    const bool kaToTo =
        (k >= 0x30AB && k <= 0x30C2 && (k - 0x30AB) % 2 == 0) || k == 0x30C4 || k == 0x30C6 || k == 0x30C8;
    const bool haToHo = k >= 0x30CF && k <= 0x30DD && (k - 0x30CF) % 3 == 0;
    if (mark == kSemiVoicedMark)
        return haToHo ? base + 2 : 0;
    if (kaToTo || haToHo)
        return base + 1;
    switch (base) {
    case 0x3046:
        return 0x3094; // う
    case 0x309D:
        return 0x309E; // ゝ
    case 0x30A6:
        return 0x30F4; // ウ
    case 0x30EF:
        return 0x30F7; // ワ
    case 0x30F0:
        return 0x30F8; // ヰ
    case 0x30F1:
        return 0x30F9; // ヱ
    case 0x30F2:
        return 0x30FA; // ヲ
    case 0x30FD:
        return 0x30FE; // ヽ
    default:
        return 0;
    }
}

// Decodes one UTF-8 character at `s[i]`; 0 length for a byte that starts no valid sequence.
std::size_t decode(std::string_view s, std::size_t i, char32_t& out) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    std::size_t len = b0 >= 0xF0 && b0 <= 0xF4 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 < 0xE0 ? 2 : 0;
    if (len == 0 || i + len > s.size())
        return 0;
    char32_t c = b0 & (0xFF >> (len + 1));
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    out = c;
    return len;
}

void encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string foldForSearch(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    char32_t last = 0;      // the last character written, while it may still take a mark
    std::size_t lastAt = 0; // where it starts in `out`
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t len = decode(utf8, i, c);
        if (len == 0) {
            out += utf8[i++]; // not UTF-8: kept as it is
            last = 0;
            continue;
        }
        i += len;
        c = caseFolded(widthFolded(c));
        if ((c == kVoicedMark || c == kSemiVoicedMark) && last != 0) {
            if (const char32_t kana = composed(last, c)) {
                out.resize(lastAt);
                encode(kana, out);
                last = 0;
                continue;
            }
        }
        lastAt = out.size();
        encode(c, out);
        last = c;
    }
    return out;
}

bool SearchText::isIn(std::string_view text) const {
    return foldForSearch(text).find(m_folded) != std::string::npos;
}

} // namespace tavora::market
