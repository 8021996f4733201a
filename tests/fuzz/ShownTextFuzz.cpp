// Text from outside made safe to echo (file names, CSV cells, messages holding them).
// Invariants: the result is valid UTF-8 without a C0, DEL or C1 character; valid UTF-8 without
// control characters comes back unchanged; shownLine gives one line; neither grows the text
// by more than "; " per line break.
// fuzz-seeds: data/others/code_info.csv
#include "FuzzSupport.h"
#include "framework/Encoding.h"
#include "framework/ShownText.h"

using namespace tavora;

namespace {

bool hasControl(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            return true;
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(text[i + 1]) <= 0x9F)
            return true; // U+0080..U+009F
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string shown = framework::shownText(bytes);
    fuzz::check(framework::isValidUtf8(shown), "shownText gave invalid UTF-8");
    fuzz::check(!hasControl(shown), "shownText left a control character");
    fuzz::check(shown.size() <= bytes.size(), "shownText grew the text");
    if (framework::isValidUtf8(bytes) && !hasControl(bytes))
        fuzz::check(shown == bytes, "shownText changed clean text");

    const std::string line = framework::shownLine(bytes);
    fuzz::check(framework::isValidUtf8(line), "shownLine gave invalid UTF-8");
    fuzz::check(!hasControl(line), "shownLine left a control character");
    fuzz::check(line.size() <= 2 * bytes.size(), "shownLine grew the text beyond its breaks");
    return 0;
}
