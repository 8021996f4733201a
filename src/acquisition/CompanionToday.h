#pragma once
// Today's bar from the running companion program: the request "TODAY <symbol>" over its local
// socket and the strict reading of its one-line reply
//   date,(unused),open,high,low,close,volume
// A reply that is not exactly that, for another day, or "ERROR" is ignored, as is a companion
// that is absent, refuses or stalls. Nothing here touches a chart or the database: the caller
// merges the accepted prices where it owns the bars. Any thread.
#include "framework/PipeClient.h"
#include "framework/Result.h"
#include "market/TodayPrices.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavora::acquisition {

inline constexpr const char* kTodayRequest = "TODAY ";

// The prices of a reply for the bar dated `barDate`; a failure saying why (in English, the
// same text for the log and tavora-cli) when the reply must be ignored.
framework::Result<market::TodayPrices> ParseTodayReply(std::string_view reply, std::string_view barDate);

struct TodayAnswer {
    std::string reply; // the reply line as received (may be empty)
    // The accepted prices, or why nothing was accepted.
    framework::Result<market::TodayPrices> prices = framework::Failure::untranslated("no reply");

    bool accepted() const { return prices.ok(); }
};

// Asks the companion at `socketPath` for today's prices of `symbol` and reads the reply for
// the bar dated `barDate`.
TodayAnswer AskCompanionToday(const std::string& socketPath, const std::string& symbol,
                              const std::string& barDate, const framework::PipeLimits& limits = {},
                              const framework::CancelFlag* cancel = nullptr);

} // namespace tavora::acquisition
