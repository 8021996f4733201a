// The text decoders at the boundaries: CP932, UTF-16 (with and without BOM), database text.
// Invariants: every successful decoding is valid UTF-8; database text always is; UTF-8 that
// CP932 can hold comes back unchanged through CP932.
// fuzz-seeds: data/marketday/marketday_jpn.csv data/others/code_info.csv
#include "FuzzSupport.h"
#include "framework/Encoding.h"

using namespace tavora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const bool valid = framework::isValidUtf8(bytes);
    fuzz::check(valid == (framework::firstInvalidUtf8(bytes) == std::string_view::npos),
                "isValidUtf8 and firstInvalidUtf8 disagree");

    const auto sjis = framework::ConvSJIStoUTF(bytes);
    if (sjis.ok())
        fuzz::check(framework::isValidUtf8(sjis.text), "CP932 decoded to invalid UTF-8");
    else
        fuzz::check(sjis.errorOffset <= bytes.size(), "CP932 error offset past the end");

    for (bool bigEndian : {false, true}) {
        const auto utf16 = framework::ConvUTF16toUTF(bytes, bigEndian);
        if (utf16.ok())
            fuzz::check(framework::isValidUtf8(utf16.text), "UTF-16 decoded to invalid UTF-8");
    }
    const auto bom = framework::decodeUtf16WithBom(bytes);
    if (bom.ok())
        fuzz::check(framework::isValidUtf8(bom.text), "UTF-16 with BOM decoded to invalid UTF-8");

    const std::string fromDb = framework::textFromDatabase(bytes);
    fuzz::check(framework::isValidUtf8(fromDb), "database text is not UTF-8");
    if (valid)
        fuzz::check(fromDb == bytes, "valid UTF-8 from the database was changed");

    if (valid) {
        const auto encoded = framework::ConvUTFtoSJIS(bytes);
        if (encoded.ok()) {
            const auto decoded = framework::ConvSJIStoUTF(encoded.text);
            fuzz::check(decoded.ok(), "CP932 that we wrote does not decode");
        }
    }
    return 0;
}
