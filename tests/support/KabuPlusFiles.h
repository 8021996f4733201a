#pragma once
// KABU+ daily all-stock price files as the service publishes them: CP932, comma-separated,
// the real header ("SC,名称,市場,業種,日時,株価,…,始値,高値,安値,…,出来高,…") and "-" for a
// price of a code that did not trade. Prices are made up from the code and the day.
#include "framework/Encoding.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tavora::test {

inline constexpr const char* kKabuPlusHeader =
    "SC,名称,市場,業種,日時,株価,前日比,前日比（％）,前日終値,始値,高値,安値,VWAP,出来高,出来高率,"
    "売買代金（千円）,時価総額（百万円）,値幅下限,値幅上限,高値日付,年初来高値,年初来高値乖離率,安値日付,"
    "年初来安値,年初来安値乖離率";

struct KabuPlusCode {
    std::string code;
    std::string name;
    std::string market = "東証プライム";
    std::string sector = "電気機器";
    bool traded = true; // false: "-" for every price, volume 0
};

inline std::vector<KabuPlusCode> kabuPlusSampleCodes() {
    return {{"0001", "日経平均", "指数", "指数"},
            {"1301", "極洋", "東証プライム", "水産・農林業"},
            {"7203", "トヨタ自動車", "東証プライム", "輸送用機器"},
            {"9999", "売買なし商事", "東証スタンダード", "サービス業", false}};
}

// The close of a code on a day (YYYYMMDD as a number), two decimals.
inline double kabuPlusClose(const std::string& code, int ymd) {
    return 1000.0 + std::stoi(code) % 977 + (ymd % 100) * 1.25;
}

// One day's file, UTF-8 (convert with ConvUTFtoSJIS for the CP932 bytes the service sends).
inline std::string kabuPlusDayText(int ymd, const std::vector<KabuPlusCode>& codes = kabuPlusSampleCodes()) {
    std::string text = std::string(kKabuPlusHeader) + "\r\n";
    char line[512];
    for (const auto& c : codes) {
        const double close = kabuPlusClose(c.code, ymd);
        if (c.traded)
            std::snprintf(
                line, sizeof line,
                "%s,%s,%s,%s,%04d/%02d/%02d 15:00,%.2f,+1.00,+0.10,%.2f,%.2f,%.2f,%.2f,%.2f,%lld,0.12,"
                "97000,512000,%.0f,%.0f,2026/03/02,%.0f,-3.1,2026/01/05,%.0f,12.5\r\n",
                c.code.c_str(), c.name.c_str(), c.market.c_str(), c.sector.c_str(), ymd / 10000,
                ymd / 100 % 100, ymd % 100, close, close - 1, close - 2, close + 5, close - 6, close - 0.5,
                3797444701LL + ymd % 1000, close - 300, close + 300, close + 100, close - 200);
        else
            std::snprintf(
                line, sizeof line,
                "%s,%s,%s,%s,%04d/%02d/%02d 15:00,-,-,-,%.2f,-,-,-,-,0,-,0,1200,%.0f,%.0f,-,-,-,-,-,-\r\n",
                c.code.c_str(), c.name.c_str(), c.market.c_str(), c.sector.c_str(), ymd / 10000,
                ymd / 100 % 100, ymd % 100, close, close - 300, close + 300);
        text += line;
    }
    return text;
}

inline std::string kabuPlusDayFile(int ymd, const std::vector<KabuPlusCode>& codes = kabuPlusSampleCodes()) {
    return framework::ConvUTFtoSJIS(kabuPlusDayText(ymd, codes)).text;
}

// The service path of a day's file.
inline std::string kabuPlusDayPath(int ymd) {
    return "/kabu.plus/csv/japan-all-stock-prices/daily/japan-all-stock-prices_" + std::to_string(ymd) +
           ".csv";
}

// Generated codes in bulk: 1301, 1303, ... with prices made up from their index and the day.
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

// A day file of many generated codes (benchmarks, large runs), UTF-8. `date` is "YYYY-MM-DD";
// the file writes it "YYYY/MM/DD 15:00".
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
