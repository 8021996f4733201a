#pragma once
// Length limits of texts the user types, counted in characters (code points), so that a limit
// never cuts a character in two. Pure functions, safe from any thread.
#include <cstddef>
#include <string_view>

namespace tavora::framework {

// The number of characters of UTF-8 text (a byte that starts no valid sequence counts as one).
std::size_t characterCount(std::string_view utf8);
// The first `maxCharacters` characters of the text, whole.
std::string_view leadingCharacters(std::string_view utf8, std::size_t maxCharacters);

} // namespace tavora::framework
