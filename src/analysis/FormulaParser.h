#pragma once
// Parses the formula text of an analysis graph into a FormulaNode tree, or says where and
// why it stops. The language (written for people, documented in the README):
//
//     formula  := level(lowest precedence) End
//     level(p) := level(next p) { operator of precedence p  level(next p) }   (left-assoc.)
//     unary    := "-" unary | primary
//     primary  := number | series | function "(" arguments ")" | "(" formula ")"
//     series   := O | H | L | C | V
//     function := MA EMA WMA SUM HHV LLV STD REF (x, count)  ABS (x)  MAX MIN (a, b)
//
// The binary levels come from the operator table of FormulaTree.h. A count is a positive
// integer literal of at most four digits. Nesting (parentheses, calls, minus signs) and the
// height of the tree are bounded, so a hostile text can neither exhaust the stack here nor
// in the code that walks the tree. Pure functions; any thread.
#include "analysis/FormulaTree.h"
#include "framework/Result.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tavora::analysis {

// The longest formula text `bunsekitb.siki` keeps.
inline constexpr std::size_t kMaxFormulaBytes = 4095;
// Nesting of parentheses, calls and minus signs the parser follows.
inline constexpr int kMaxFormulaNesting = 64;
// The height of a tree (a long chain of "+" builds a tall one, too).
inline constexpr int kMaxFormulaHeight = 256;
// Every number is below this.
inline constexpr double kNumberLimit = 1e15;

enum class FormulaErrorCode {
    Empty,              // nothing but blanks
    TooLong,            // more than kMaxFormulaBytes
    BadCharacter,       // a character with no place in a formula
    BadNumber,          // "1." or ".5"
    NumberTooLarge,     // kNumberLimit or more
    UnknownName,        // a name that is neither a series nor a function
    ExpectedValue,      // an operator, ")" or the end where a value must stand
    ExpectedOperator,   // a value complete, then something that does not continue it
    ExpectedOpenParen,  // a function name without "("
    ExpectedComma,      // a function given too few arguments
    ExpectedCloseParen, // an unclosed "(" or a function given too many arguments
    BadCount,           // the count of a function is not an integer literal 1 .. 9999
    TooDeep,            // nesting or height beyond the limits
};

struct FormulaError {
    FormulaErrorCode code = FormulaErrorCode::Empty;
    std::size_t position = 0; // character where parsing stopped, from 0
    bool atEnd = false;       // the text ended there
    std::string subject;      // the name, character or function call form the message speaks of
};

// "N 文字目: …" / "式の終わり: …", for the editor.
std::string formulaErrorText(const FormulaError& e);
// The same in English, for tavora-cli.
std::string formulaErrorEnglish(const FormulaError& e);
framework::Failure formulaFailure(const FormulaError& e);

struct FormulaParse {
    std::unique_ptr<FormulaNode> tree; // set when the whole text parsed
    FormulaError error;                // meaningful when tree is null
    bool ok() const { return tree != nullptr; }
};

FormulaParse ParseFormula(std::string_view text);

// The call form of a function for messages and the README: "MA(x,n)", "ABS(x)", "MAX(a,b)".
std::string functionCallForm(FormulaFunction f);

} // namespace tavora::analysis
