#pragma once
// The stock catalogue: one CodeElm per code of the code-list file, with name, sector, market,
// the ticker symbol the companion understands, the code's splits and the favourite mark.
// A CodeList is built and changed on the UI thread; workers get copies of the entries they need.
#include "framework/Result.h"
#include "market/Bunkatsu.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::market {

struct CodeElm {
    std::string code;   // key of the price database, e.g. "7203"
    std::string name;   // 銘柄名
    std::string sector; // 業種
    std::string market; // 市場, e.g. "東証指数", "米国指数", "名証"
    std::string symbol; // ticker symbol derived from code and market
    BunkatsuList splits;
    bool favourite = false;

    // Empties the texts and the splits and clears the favourite mark.
    void initialize() { *this = CodeElm{}; }
    // A copy of the five texts only (no splits, no favourite mark).
    CodeElm textCopy() const { return CodeElm{code, name, sector, market, symbol, {}, false}; }
};

// Catalogue entries in file order. Entries keep their addresses until the list is changed.
class CodeList {
public:
    using Entries = std::vector<CodeElm>;

    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    CodeElm& operator[](std::size_t i) { return m_entries[i]; }
    const CodeElm& operator[](std::size_t i) const { return m_entries[i]; }
    Entries::iterator begin() { return m_entries.begin(); }
    Entries::iterator end() { return m_entries.end(); }
    Entries::const_iterator begin() const { return m_entries.begin(); }
    Entries::const_iterator end() const { return m_entries.end(); }
    CodeElm* first() { return m_entries.empty() ? nullptr : &m_entries.front(); }

    CodeElm& append(CodeElm entry) { return m_entries.emplace_back(std::move(entry)); }
    void clear() { m_entries.clear(); }

private:
    Entries m_entries;
};

// The ticker symbol of a code on a market ("^N225" for "0001", code + ".T" for a Tokyo stock...).
std::string deriveSymbol(std::string_view code, std::string_view market);

// Appends one entry per record with at least four fields (code, name, sector, market; further
// fields ignored) and derives its symbol. Does not empty the list first.
void AppendCodeRecords(CodeList& list, const std::vector<std::vector<std::string>>& records);
// Reads a code-list file (UTF-8, ",") and appends its entries. Fails with the reader's reason
// when the file cannot be read; the list is then unchanged.
framework::Result<> LoadCodeList(CodeList& list, const std::string& path);
// Whether a code-list file can serve as the catalogue; fails when it is missing, cannot be
// read, or gives no entry when loaded as the start-up loads it (a record with the four
// fields). The settings page and `tavora-cli config codelistcsvpath` both ask this.
framework::Result<> CheckCodeListFile(const std::string& path);
// Empties the target and appends a text copy of every source entry.
void CopyCodeList(CodeList& target, const CodeList& source);
// The first entry whose code equals the text exactly; nullptr when none.
CodeElm* FindCode(CodeList& list, std::string_view code);
const CodeElm* FindCode(const CodeList& list, std::string_view code);
// The positions of the entries whose code or name contains the text, in list order. Both are
// compared after width and case folding (SearchText.h), so "dji" finds "DJI" and a full-width
// "１００７" finds "1007".
std::vector<std::size_t> SearchCodeIndices(const CodeList& list, std::string_view text);
// Appends to `result` a text copy of every entry SearchCodeIndices finds, in list order.
void SearchCodes(const CodeList& list, std::string_view text, CodeList& result);

} // namespace tavora::market
