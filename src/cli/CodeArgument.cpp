#include "cli/CodeArgument.h"

#include <cstdio>

namespace tavora::cli {

const char* codeProblemName(market::CodeProblem problem) {
    switch (problem) {
    case market::CodeProblem::None:
        return "";
    case market::CodeProblem::Empty:
        return "it is empty";
    case market::CodeProblem::TooLong:
        return "it is longer than 16 characters";
    case market::CodeProblem::Control:
        return "it holds a control character";
    case market::CodeProblem::Separator:
        return "it holds a blank or a separator";
    case market::CodeProblem::Path:
        return "it holds a character a file name cannot hold (/ \\ : * ? \" < >)";
    case market::CodeProblem::NotText:
        return "it is not UTF-8 text";
    }
    return "";
}

std::string escapedCode(std::string_view code) {
    constexpr std::size_t kShown = 40;
    std::string text = "\"";
    for (char c : code.substr(0, kShown)) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            text += hex;
        } else {
            text += c;
        }
    }
    text += code.size() > kShown ? "...\"" : "\"";
    return text;
}

} // namespace tavora::cli
