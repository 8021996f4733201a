// The check of a KABU+ daily file reply before it is stored. Invariant: a file is stored only
// from a whole HTTP 200 reply whose body is not empty and holds no HTML mark in any letter case;
// every other reply gives a reason.
#include "FuzzSupport.h"
#include "acquisition/KabuPlusDownload.h"

#include <algorithm>

using namespace tavora;

namespace {

bool holdsHtmlMark(std::string body) {
    std::transform(body.begin(), body.end(), body.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return body.find("<html") != std::string::npos || body.find("<!doctype html") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    static constexpr long kStatuses[] = {200, 0, 404, 401, 403, 500, 301, 206};
    const std::uint8_t choice = in.byte();
    acquisition::HttpsReply reply;
    reply.status = kStatuses[choice % 8];
    reply.complete = (choice & 0x08) == 0;
    reply.body = std::string(in.rest());
    if (!reply.complete)
        reply.error = "transfer closed with bytes remaining";

    const auto problem = acquisition::kabuPlusReplyProblem(reply);
    const bool storable =
        reply.status == 200 && reply.complete && !reply.body.empty() && !holdsHtmlMark(reply.body);
    fuzz::check(problem.has_value() != storable,
                storable ? "a good file was refused" : "a bad reply was stored",
                problem.value_or(reply.body.substr(0, 200)));
    if (problem)
        fuzz::check(!problem->empty(), "a refusal without a reason");
    return 0;
}
