#pragma once
// How the code search compares texts: both the typed text and the catalogue's codes and names
// are folded first, so that what a Japanese input method types matches what the code list
// holds. The folding is the part of NFKC that catalogue texts and typed queries meet
// (full-width ASCII to ASCII, half-width katakana to full-width with their sound marks
// composed, the ideographic space to a space, the full-width currency signs), followed by
// case folding of Latin letters (ASCII and Latin-1). Plain functions, any thread.
#include <string>
#include <string_view>

namespace tavora::market {

// The folded form of a UTF-8 text. Bytes that are not valid UTF-8 pass through unchanged.
std::string foldForSearch(std::string_view utf8);

// A search text folded once, matched against many texts.
class SearchText {
public:
    explicit SearchText(std::string_view text) : m_folded(foldForSearch(text)) {}

    bool empty() const { return m_folded.empty(); }
    const std::string& folded() const { return m_folded; }
    // Whether the folded `text` contains the folded search text (an empty search text is
    // contained in every text).
    bool isIn(std::string_view text) const;

private:
    std::string m_folded;
};

} // namespace tavora::market
