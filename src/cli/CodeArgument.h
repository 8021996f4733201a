#pragma once
// How the import commands name a code given on the command line that cannot be a code: the
// reason in English, and the argument with control characters shown as escapes so that it
// cannot act on the terminal. Main thread only.
#include "market/StockCode.h"

#include <string>
#include <string_view>

namespace tavora::cli {

// "holds a control character", ...
const char* codeProblemName(market::CodeProblem problem);
// The argument quoted, control characters as \xNN, cut after 40 bytes.
std::string escapedCode(std::string_view code);

} // namespace tavora::cli
