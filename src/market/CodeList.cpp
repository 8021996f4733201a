#include "market/CodeList.h"

#include "market/SearchText.h"

namespace tavora::market {

namespace {

bool isIndexMarket(std::string_view market) {
    return market == "指数" || market == "米国指数" || market == "海外指数" || market == "東証指数" ||
           market == "大証指数";
}

} // namespace

std::string deriveSymbol(std::string_view code, std::string_view market) {
    if (code == "0001")
        return "^N225";
    if (code == "0002")
        return "^TOPX";
    if (code == "DJI")
        return "^DJI";
    if (code == "NSD")
        return "^IXIC";
    std::string symbol(code);
    if (isIndexMarket(market))
        return symbol;
    if (market == "福証")
        return symbol + ".F";
    if (market == "名証")
        return symbol + ".N";
    if (market == "札証")
        return symbol + ".S";
    return symbol + ".T";
}

void AppendCodeRecords(CodeList& list, const std::vector<std::vector<std::string>>& records) {
    for (const auto& record : records) {
        if (record.size() < 4)
            continue;
        CodeElm entry;
        entry.code = record[0];
        entry.name = record[1];
        entry.sector = record[2];
        entry.market = record[3];
        entry.symbol = deriveSymbol(entry.code, entry.market);
        list.append(std::move(entry));
    }
}

void CopyCodeList(CodeList& target, const CodeList& source) {
    if (&target == &source)
        return;
    target.clear();
    for (const auto& entry : source)
        target.append(entry.textCopy());
}

CodeElm* FindCode(CodeList& list, std::string_view code) {
    for (auto& entry : list)
        if (entry.code == code)
            return &entry;
    return nullptr;
}

const CodeElm* FindCode(const CodeList& list, std::string_view code) {
    return FindCode(const_cast<CodeList&>(list), code);
}

std::vector<std::size_t> SearchCodeIndices(const CodeList& list, std::string_view text) {
    const SearchText wanted(text);
    std::vector<std::size_t> hits;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (wanted.isIn(list[i].code) || wanted.isIn(list[i].name))
            hits.push_back(i);
    return hits;
}

void SearchCodes(const CodeList& list, std::string_view text, CodeList& result) {
    for (const std::size_t i : SearchCodeIndices(list, text))
        result.append(list[i].textCopy());
}

} // namespace tavora::market
