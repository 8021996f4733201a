#pragma once
// Splits formula text into tokens. Full-width characters as a Japanese input method types
// them (Ｃ, （, ＋, ，, the ideographic space) are folded to their ASCII forms first, as are
// the minus sign −, × and ÷; letters are taken upper-case. Positions count characters of the
// text as typed, from 0, so that a message can point at the place the user sees.
// Pure functions; any thread.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::analysis {

enum class FormulaTokenKind {
    Number,     // digits, optionally a point and more digits
    Name,       // a letter, then letters, digits or "_"
    Operator,   // a symbol of the binary-operator table (also a unary minus)
    OpenParen,  // (
    CloseParen, // )
    Comma,      // ,
    Invalid,    // a character that has no place in a formula (text: the character as typed)
    BadNumber,  // digits and a point without digits after it, or a point without digits before
    End,        // after the last character
};

struct FormulaToken {
    FormulaTokenKind kind = FormulaTokenKind::End;
    std::string text;         // folded (ASCII) text; the original character for Invalid
    std::size_t position = 0; // character index in the text as typed
};

// The tokens of a text, ending with one End token. Tokenising stops after the first Invalid
// or BadNumber token (the End token follows it).
std::vector<FormulaToken> TokenizeFormula(std::string_view text);

} // namespace tavora::analysis
