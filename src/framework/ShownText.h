#pragma once
// Text that came from outside (a file name, a CSV cell, a message holding either) made safe to
// show on a terminal or in one line of a message: control characters (C0, DEL and the C1
// range) and bytes that are not UTF-8 become "?", so an escape sequence in a file name cannot
// retitle or reprogram the terminal, and a line break cannot forge a line of output. Pure;
// any thread.
#include <string>
#include <string_view>

namespace tavora::framework {

std::string shownText(std::string_view text);

// The same for a message of several lines: each line break (CR LF, LF or CR, with the blanks
// around it) becomes "; ", so the message stays one line.
std::string shownLine(std::string_view text);

} // namespace tavora::framework
