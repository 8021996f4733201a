#include "framework/TextLimit.h"

namespace tavora::framework {

namespace {

// The length of the character starting at `at`: the whole sequence when it is well formed
// (lead byte and the continuation bytes it announces), else 1.
std::size_t characterLength(std::string_view s, std::size_t at) {
    const auto lead = static_cast<unsigned char>(s[at]);
    std::size_t n = 1;
    if (lead >= 0xF0 && lead <= 0xF4)
        n = 4;
    else if (lead >= 0xE0)
        n = lead <= 0xEF ? 3 : 1;
    else if (lead >= 0xC2)
        n = 2;
    if (n == 1 || at + n > s.size())
        return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[at + i]) & 0xC0) != 0x80)
            return 1;
    return n;
}

} // namespace

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < utf8.size(); at += characterLength(utf8, at))
        ++count;
    return count;
}

std::string_view leadingCharacters(std::string_view utf8, std::size_t maxCharacters) {
    std::size_t at = 0;
    for (std::size_t taken = 0; taken < maxCharacters && at < utf8.size(); ++taken)
        at += characterLength(utf8, at);
    return utf8.substr(0, at);
}

} // namespace tavora::framework
