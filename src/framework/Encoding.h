#pragma once
// Text encodings at the program's boundaries: UTF-8 inside; CP932 (glibc iconv "CP932", never
// "SHIFT_JIS", which rejects "－", maps 0x5C to "¥" and decodes 0x817C differently) for files
// and peers documented as Shift-JIS; UTF-16 where a file says so. Safe from any thread (each
// call uses its own iconv descriptor).
#include <cstddef>
#include <string>
#include <string_view>

namespace tavora::framework {

// A converted text, or the reason it could not be converted.
struct EncodingResult {
    std::string text;
    std::string error;           // empty on success
    std::size_t errorOffset = 0; // byte offset of the first bad input byte, when failed
    bool ok() const { return error.empty(); }
};

// CP932 bytes -> UTF-8. Bytes that are not valid CP932 make an error result.
EncodingResult ConvSJIStoUTF(std::string_view cp932);
// UTF-8 -> CP932. Invalid UTF-8, or a character CP932 cannot hold, makes an error result.
EncodingResult ConvUTFtoSJIS(std::string_view utf8);
// UTF-16 (no BOM handling here; see decodeUtf16WithBom) -> UTF-8. An odd byte count or an
// unpaired surrogate makes an error result.
EncodingResult ConvUTF16toUTF(std::string_view bytes, bool bigEndian);
// UTF-16 with an optional BOM (FF FE little-endian, FE FF big-endian; little-endian without).
EncodingResult decodeUtf16WithBom(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (no overlongs, surrogates or values above U+10FFFF).
bool isValidUtf8(std::string_view bytes);
// The offset of the first byte that breaks UTF-8, or npos when the text is valid.
std::size_t firstInvalidUtf8(std::string_view bytes);

// Text read from a database: taken as UTF-8 when it is valid UTF-8, else as CP932 (files written
// by older versions). Bytes that are neither become U+FFFD, so the result is always valid UTF-8.
std::string textFromDatabase(std::string_view bytes);

} // namespace tavora::framework
