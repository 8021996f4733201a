#pragma once
// KABU+ daily all-stock price files as the service publishes them, for tests and benchmarks:
// the real column layout ("SC,名称,市場,業種,日時,株価,...,始値,高値,安値,VWAP,出来高,..."),
// "-" in the cells of a code without trades that day, CR LF line ends, CP932 bytes.
// Header-only so the benchmarks can use it.
#include "framework/Encoding.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace tavora::test {

inline constexpr const char* kKabuPlusHeader =
    "SC,名称,市場,業種,日時,株価,前日比,前日比（％）,前日終値,始値,高値,安値,VWAP,出来高,出来高率,"
    "売買代金（百万円）,時価総額（百万円）,値幅下限,値幅上限,高値日付,年初来高値,年初来高値乖離率,安値日付,"
    "年初来安値,年初来安値乖離率";

// The prices one generated code has on one day (day counts from 0).
struct KabuPlusQuote {
    double open, high, low, close;
    std::int64_t volume;
};
inline KabuPlusQuote kabuPlusQuote(int codeIndex, int day) {
    const double base = 100.0 + codeIndex % 900 + day * 0.5;
    return {base, base + 3, base - 2, base + 1, 1000 + std::int64_t{codeIndex} * 7 + day};
}

// The codes of a generated file: 1301, 1303, ... (every other number, as listed codes are).
inline std::string kabuPlusCode(int codeIndex) {
    return std::to_string(1301 + codeIndex * 2);
}

// One day file in UTF-8. `date` is "YYYY-MM-DD"; the file writes it "YYYY/MM/DD 15:00".
// Every `noTradeEvery`-th code (0: none) has no trade: "-" in its price and volume cells.
inline std::string kabuPlusDayText(const std::string& date, int codes, int day = 0, int noTradeEvery = 0) {
    std::string when = date;
    for (char& c : when)
        if (c == '-')
            c = '/';
    when += " 15:00";
    std::string text = std::string(kKabuPlusHeader) + "\r\n";
    text.reserve(static_cast<std::size_t>(codes) * 200);
    char line[512];
    for (int i = 0; i < codes; ++i) {
        const std::string code = kabuPlusCode(i);
        if (noTradeEvery > 0 && i % noTradeEvery == noTradeEvery - 1) {
            std::snprintf(
                line, sizeof line,
                "%s,銘柄%d,東証スタンダード,サービス業,%s,-,-,-,-,-,-,-,-,-,-,-,1200,-,-,-,-,-,-,-,-\r\n",
                code.c_str(), i, when.c_str());
            text += line;
            continue;
        }
        const KabuPlusQuote q = kabuPlusQuote(i, day);
        std::snprintf(
            line, sizeof line,
            "%s,銘柄%d株式会社,東証プライム,電気機器,%s,%.1f,+1,+0.25,%.1f,%.1f,%.1f,%.1f,%.2f,%lld,0.51,"
            "%.1f,41500,%.0f,%.0f,2026/01/05,%.1f,-3.75,2025/04/07,%.1f,20.31\r\n",
            code.c_str(), i, when.c_str(), q.close, q.close - 1, q.open, q.high, q.low, (q.high + q.low) / 2,
            static_cast<long long>(q.volume), q.close * q.volume / 1e6,
            q.close - 500 > 1 ? q.close - 500 : 1.0, q.close + 500, q.high + 100, q.low - 50);
        text += line;
    }
    return text;
}

// The same file in CP932, as it is downloaded.
inline std::string kabuPlusDayFile(const std::string& date, int codes, int day = 0, int noTradeEvery = 0) {
    return framework::ConvUTFtoSJIS(kabuPlusDayText(date, codes, day, noTradeEvery)).text;
}

} // namespace tavora::test
