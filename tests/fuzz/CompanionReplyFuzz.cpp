// The companion's one-line reply to "TODAY <symbol>", read for a bar's day. The input is the
// bar's date, a "--" line, then the reply. Invariants: a reply is taken only when it holds no
// "ERROR", has exactly seven fields and the first is the bar's date; what is taken has that date,
// finite prices above zero and a volume that is not negative, and reads the same when written
// back in the reply's own form.
#include "FuzzSupport.h"
#include "acquisition/CompanionToday.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace tavora;

namespace {

// The date as it stands (it may hold any byte, NUL included), then the numbers.
std::string replyOf(const market::TodayPrices& t) {
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, ",x,%.17g,%.17g,%.17g,%.17g,%lld", t.open, t.high, t.low, t.close,
                  static_cast<long long>(t.volume));
    return t.date + numbers;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::string_view barDate = in.part();
    const std::string_view reply = in.rest();

    const auto taken = acquisition::ParseTodayReply(reply, barDate);
    if (!taken) {
        fuzz::check(!taken.english().empty(), "an ignored reply without a reason", reply);
        return 0;
    }
    fuzz::check(reply.find("ERROR") == std::string_view::npos, "a reply with ERROR was taken", reply);
    fuzz::check(std::count(reply.begin(), reply.end(), ',') == 6, "a reply without seven fields was taken", reply);
    fuzz::check(reply.substr(0, reply.find(',')) == barDate && taken->date == barDate,
                "a reply for another day was taken", reply);
    for (double price : {taken->open, taken->high, taken->low, taken->close})
        fuzz::check(std::isfinite(price) && price > 0, "a price that is not one was taken", reply);
    fuzz::check(taken->volume >= 0, "a negative volume was taken", reply);

    {
        const auto again = acquisition::ParseTodayReply(replyOf(*taken), barDate);
        fuzz::check(again && again->open == taken->open && again->high == taken->high &&
                        again->low == taken->low && again->close == taken->close &&
                        again->volume == taken->volume,
                    "a taken reply reads differently when written back", reply);
    }
    return 0;
}
