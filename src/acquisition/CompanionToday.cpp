#include "acquisition/CompanionToday.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace tavora::acquisition {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos)
            return fields;
        line.remove_prefix(comma + 1);
    }
}

// A price: the whole field one finite decimal number above 0.
std::optional<double> priceField(std::string_view field) {
    field = trimmed(field);
    double v = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (field.empty() || ec != std::errc() || end != field.data() + field.size() || !std::isfinite(v) ||
        v <= 0)
        return std::nullopt;
    return v;
}

// A volume: the whole field one decimal integer of 64 bits, not negative.
std::optional<std::int64_t> volumeField(std::string_view field) {
    field = trimmed(field);
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (field.empty() || ec != std::errc() || end != field.data() + field.size() || v < 0)
        return std::nullopt;
    return v;
}

framework::Failure reject(std::string why) {
    return framework::Failure::untranslated(std::move(why));
}

} // namespace

framework::Result<market::TodayPrices> ParseTodayReply(std::string_view reply, std::string_view barDate) {
    if (reply.find("ERROR") != std::string_view::npos)
        return reject("the companion answered ERROR");
    const auto fields = splitFields(reply);
    if (fields.size() != 7)
        return reject("the reply has " + std::to_string(fields.size()) + " fields, not 7");
    if (fields[0] != barDate)
        return reject("the reply is for " + std::string(fields[0]) + ", not " + std::string(barDate));
    market::TodayPrices t;
    t.date = std::string(barDate);
    static const char* const names[] = {"open", "high", "low", "close"};
    double* prices[] = {&t.open, &t.high, &t.low, &t.close};
    for (int i = 0; i < 4; ++i) {
        const auto v = priceField(fields[std::size_t(2 + i)]);
        if (!v)
            return reject(std::string("the ") + names[i] + " is not a price: '" +
                          std::string(fields[std::size_t(2 + i)]) + "'");
        *prices[i] = *v;
    }
    const auto volume = volumeField(fields[6]);
    if (!volume)
        return reject("the volume is not a whole number of shares: '" + std::string(fields[6]) + "'");
    t.volume = *volume;
    return t;
}

TodayAnswer AskCompanionToday(const std::string& socketPath, const std::string& symbol,
                              const std::string& barDate, const framework::PipeLimits& limits,
                              const framework::CancelFlag* cancel) {
    TodayAnswer answer;
    if (symbol.empty()) {
        answer.prices = reject("the code has no symbol");
        return answer;
    }
    const framework::PipeReply reply =
        framework::SendCommandToPipe(socketPath, kTodayRequest + symbol, limits, cancel);
    if (!reply.ok()) {
        answer.prices = reject(reply.error);
        return answer;
    }
    answer.reply = reply.text;
    answer.prices = ParseTodayReply(reply.text, barDate);
    return answer;
}

} // namespace tavora::acquisition
