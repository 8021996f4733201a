#pragma once
// How a stock code read from a file or typed by the user becomes a key of the price database:
// folded as the code search folds it (full-width forms to ASCII, half-width katakana to
// full-width) with Latin letters in upper case, the case the catalogue writes its codes in
// ("DJI", "N225"), and refused when it could never be shown, searched or used in a file name.
// Plain functions and a value type, safe from any thread.
#include "market/CodeList.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tavora::market {

// Longest code in characters; catalogue codes have four or five.
inline constexpr std::size_t kMaxStockCodeChars = 16;

enum class CodeProblem {
    None,
    Empty,     // nothing but blanks
    TooLong,   // more than kMaxStockCodeChars characters
    Control,   // a control character (NUL, line break, escape...)
    Separator, // a blank, comma, semicolon or another separator
    Path,      // "/", "\\" or another character a file name cannot hold
    NotText,   // bytes that are not UTF-8
};

struct StockCode {
    std::string code; // the folded code; empty unless `problem` is None
    CodeProblem problem = CodeProblem::None;
    bool ok() const { return problem == CodeProblem::None; }
};

// The folded code of a cell or an argument (blanks around it trimmed), or why it is refused.
StockCode foldStockCode(std::string_view text);
// The reason in the program's own words, for panels and result texts.
const char* codeProblemText(CodeProblem problem);

// The catalogue's codes, to map a folded code onto the catalogue's own spelling (a catalogue
// whose codes are in lower case is still met) and to say which codes it lacks.
class CatalogueCodes {
public:
    CatalogueCodes() = default;
    explicit CatalogueCodes(const std::vector<std::string>& codes);
    explicit CatalogueCodes(const CodeList& list);

    bool empty() const { return m_exact.empty(); }
    // The catalogue's spelling of a folded code; none when the catalogue lacks it.
    std::optional<std::string> find(const std::string& code) const;

private:
    void add(const std::string& code);

    std::unordered_set<std::string> m_exact;
    std::unordered_map<std::string, std::string> m_folded; // foldForSearch(code) -> code
};

} // namespace tavora::market
