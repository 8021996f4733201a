// The FTP directory listing of the reference-data server. Invariant: every entry kept has a
// name that is safe as one local file name, and a plain file's size text is all digits.
#include "FuzzSupport.h"
#include "framework/FtpFileList.h"

using namespace tavora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    // A fixed "now" keeps runs reproducible; one byte moves it across a year end.
    const std::time_t now = 1'765'324'800 + static_cast<std::time_t>(in.byte()) * 86'400;
    std::vector<std::string> rejected;
    const std::string listing(in.rest());
    const framework::FtpFileList list = framework::SetFtpFileList(listing, now, &rejected);
    for (const auto& e : list) {
        fuzz::check(framework::isSafeRemoteName(e.name), "an unsafe name was kept", e.name);
        fuzz::check(e.name.find('/') == std::string::npos && e.name != "." && e.name != "..",
                    "a name that leaves the folder", e.name);
        for (char c : e.sizeText)
            fuzz::check(c >= '0' && c <= '9', "a size that is not a number", e.sizeText);
        (void)e.size();
    }
    return 0;
}
