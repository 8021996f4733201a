#include "framework/Encoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <optional>

using namespace tavora::framework;

namespace {

TEST(EncodingTest, Cp932RoundTripKeepsTheCharactersShiftJisWouldBreak) {
    // "－" (0x817C), backslash (0x5C, not "¥"), "～" (0x8160), a half-width kana and NEC "①".
    const std::string sjis = "\x81\x7C\x5C\x81\x60\xB1\x87\x40\x8A\x94";
    const std::string utf8 = "－\\～ｱ①株";
    auto toUtf = ConvSJIStoUTF(sjis);
    ASSERT_TRUE(toUtf.ok()) << toUtf.error;
    EXPECT_EQ(toUtf.text, utf8);
    auto back = ConvUTFtoSJIS(utf8);
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_EQ(back.text, sjis);
    EXPECT_EQ(ConvSJIStoUTF("").text, "");
}

TEST(EncodingTest, InvalidInputIsAnErrorResult) {
    auto truncated = ConvSJIStoUTF("ab\x82"); // lead byte without its trail byte
    EXPECT_FALSE(truncated.ok());
    EXPECT_EQ(truncated.errorOffset, 2u);
    EXPECT_TRUE(truncated.text.empty());

    EXPECT_FALSE(ConvSJIStoUTF("\xA0").ok());  // unassigned single byte
    EXPECT_FALSE(ConvUTFtoSJIS("a\xC3").ok()); // broken UTF-8
    auto emoji = ConvUTFtoSJIS("株😀");         // no CP932 form
    EXPECT_FALSE(emoji.ok());
    EXPECT_NE(emoji.error.find("no CP932 form"), std::string::npos) << emoji.error;
}

TEST(EncodingTest, Utf16BothOrdersAndBom) {
    EXPECT_EQ(ConvUTF16toUTF(std::string("\x2A\x68\x61\x00", 4), false).text, "株a");
    EXPECT_EQ(ConvUTF16toUTF(std::string("\x68\x2A\x00\x61", 4), true).text, "株a");
    EXPECT_EQ(decodeUtf16WithBom(std::string("\xFF\xFE\x2A\x68", 4)).text, "株");
    EXPECT_EQ(decodeUtf16WithBom(std::string("\xFE\xFF\x68\x2A", 4)).text, "株");
    EXPECT_EQ(decodeUtf16WithBom(std::string("\x2A\x68", 2)).text, "株"); // no BOM: little-endian
    EXPECT_TRUE(decodeUtf16WithBom("").ok());
    EXPECT_EQ(ConvUTF16toUTF(std::string("\x3D\xD8\x00\xDE", 4), false).text, "😀"); // surrogate pair
    EXPECT_FALSE(ConvUTF16toUTF(std::string("\x3D\xD8\x41\x00", 4), false).ok());   // unpaired
    EXPECT_FALSE(ConvUTF16toUTF("abc", false).ok());
}

TEST(EncodingTest, Utf8ValidityAndDatabaseText) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"plain", true},         {"株価－😀", true},           {"\xC0\xAF", false}, {"\xE0\x80\xAF", false},
        {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false}, {"\xE6\xA0", false}, {"\x81\x7C", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.bytes;

    EXPECT_EQ(textFromDatabase("株価"), "株価");
    EXPECT_EQ(textFromDatabase("\x8A\x94\x89\xBF"), "株価"); // CP932 from an older version
    std::string mixed = textFromDatabase("\x8A\x94\xFF");
    EXPECT_TRUE(isValidUtf8(mixed));
    EXPECT_EQ(mixed, "株\xEF\xBF\xBD");
}

} // namespace

namespace {

// CP932 text made of pieces whose decoding is known, some of them broken: the decoder takes
// ASCII runs as they are and the rest through iconv, so every mix of the two must decode as
// the pieces say, and the first broken piece must be named by its offset.
TEST(EncodingTest, Cp932MixesOfAsciiAndDoubleByteCharactersDecodePieceByPiece) {
    struct Piece {
        std::string cp932;
        std::string utf8; // empty: the piece is not valid CP932
    };
    const Piece pieces[] = {
        {"a,1", "a,1"},      {"\x83\x5C", "ソ"},  {"\x95\x5C", "表"}, {"\xB1", "ｱ"},   {"\x87\x40", "①"},
        {"\\~\r\n", "\\~\r\n"}, {"\x8A\x94", "株"}, {"\x81\x7C", "－"}, {"\x80", ""},    {"\x82\x0A", ""},
    };
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 3000; ++round) {
        std::string in;
        std::string expected;
        std::optional<std::size_t> firstBad;
        const int count = 1 + static_cast<int>(next() % 8);
        for (int k = 0; k < count; ++k) {
            const Piece& p = pieces[next() % std::size(pieces)];
            if (p.utf8.empty() && !firstBad)
                firstBad = in.size();
            in += p.cp932;
            expected += p.utf8;
        }
        if (next() % 10 == 0 && !firstBad) { // a lead byte cut off at the end
            firstBad = in.size();
            in += "\x83";
        }
        const auto r = ConvSJIStoUTF(in);
        if (firstBad) {
            ASSERT_FALSE(r.ok()) << round;
            EXPECT_EQ(r.errorOffset, *firstBad) << round;
        } else {
            ASSERT_TRUE(r.ok()) << round << ": " << r.error;
            EXPECT_EQ(r.text, expected) << round;
        }
    }
}

} // namespace
