#include "market/StockCode.h"

#include "framework/Encoding.h"
#include "framework/TextTrim.h"
#include "market/SearchText.h"

namespace tavora::market {

namespace {

// The characters a code may not hold besides control characters: blanks and separators of
// the files codes travel in, and what a file name (an export is named after its code) cannot hold.
CodeProblem asciiProblem(unsigned char c) {
    if (c == '\t')
        return CodeProblem::Separator;
    if (c < 0x20 || c == 0x7F)
        return CodeProblem::Control;
    switch (c) {
    case ' ':
    case ',':
    case ';':
    case '|':
        return CodeProblem::Separator;
    case '/':
    case '\\':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
        return CodeProblem::Path;
    default:
        return CodeProblem::None;
    }
}

// Counts the characters of valid UTF-8 and finds the first problem among them.
CodeProblem checkFolded(std::string_view s, std::size_t& chars) {
    chars = 0;
    for (std::size_t i = 0; i < s.size(); ++chars) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            if (auto p = asciiProblem(b); p != CodeProblem::None)
                return p;
            ++i;
            continue;
        }
        const std::size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        if (b == 0xC2 && i + 1 < s.size()) { // U+0080..U+009F and the no-break space
            const auto b1 = static_cast<unsigned char>(s[i + 1]);
            if (b1 < 0xA0)
                return CodeProblem::Control;
            if (b1 == 0xA0)
                return CodeProblem::Separator;
        }
        if (s.substr(i, 3) == "\xE3\x80\x80") // the ideographic space
            return CodeProblem::Separator;
        if (s.substr(i, 3) == "\xE2\x80\xA8" || s.substr(i, 3) == "\xE2\x80\xA9") // line, paragraph
            return CodeProblem::Control;
        i += len;
    }
    return CodeProblem::None;
}

} // namespace

StockCode foldStockCode(std::string_view text) {
    StockCode result;
    text = framework::trimBlanks(text);
    if (text.empty()) {
        result.problem = CodeProblem::Empty;
        return result;
    }
    if (!framework::isValidUtf8(text)) {
        result.problem = CodeProblem::NotText;
        return result;
    }
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    // Plain ASCII (every KABU+ code) needs no width folding.
    std::string folded = ascii ? std::string(text) : foldForSearch(text);
    for (char& c : folded)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    // An ideographic space folds to a blank: trimmed like the blanks typed around a code.
    const std::string_view trimmed = framework::trimBlanks(folded);
    std::size_t chars = 0;
    result.problem = trimmed.empty() ? CodeProblem::Empty : checkFolded(trimmed, chars);
    if (result.problem == CodeProblem::None && chars > kMaxStockCodeChars)
        result.problem = CodeProblem::TooLong;
    if (result.ok())
        result.code = std::string(trimmed);
    return result;
}

const char* codeProblemText(CodeProblem problem) {
    switch (problem) {
    case CodeProblem::None:
        return "";
    case CodeProblem::Empty:
        return "コードが空です";
    case CodeProblem::TooLong:
        return "コードが16文字より長いです";
    case CodeProblem::Control:
        return "コードに制御文字があります";
    case CodeProblem::Separator:
        return "コードに空白か区切り文字があります";
    case CodeProblem::Path:
        return "コードにファイル名に使えない文字（/ \\ : * ? \" < >）があります";
    case CodeProblem::NotText:
        return "コードが文字になっていません";
    }
    return "";
}

CatalogueCodes::CatalogueCodes(const std::vector<std::string>& codes) {
    for (const auto& code : codes)
        add(code);
}

CatalogueCodes::CatalogueCodes(const CodeList& list) {
    for (const auto& entry : list)
        add(entry.code);
}

void CatalogueCodes::add(const std::string& code) {
    m_exact.insert(code);
    m_folded.emplace(foldForSearch(code), code); // the first entry of a spelling wins
}

std::optional<std::string> CatalogueCodes::find(const std::string& code) const {
    if (m_exact.contains(code))
        return code;
    if (auto it = m_folded.find(foldForSearch(code)); it != m_folded.end())
        return it->second;
    return std::nullopt;
}

} // namespace tavora::market
