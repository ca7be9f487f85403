#include "core/clsBase64.h"

#include "Latin1CodePage.h"
#include "core/AppError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// RFC 4648, section 10: one input of every length modulo 3, both paddings included.
TEST(clsBase64Test, EncodesAndDecodesTheRfcVectors) {
    const struct {
        const char* plain;
        const char* encoded;
    } cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    const clsBase64 codec;
    for (const auto& c : cases) {
        EXPECT_EQ(Text(codec.EncodeB64(Bytes(c.plain))), c.encoded);
        EXPECT_EQ(Text(codec.DecodeB64(Bytes(c.encoded))), c.plain);
    }
}

TEST(clsBase64Test, DecodingAnEncodingGivesTheBytesBack) {
    const clsBase64 codec;
    std::vector<uint8_t> all;
    for (int i = 0; i < 256; ++i) {
        all.push_back(static_cast<uint8_t>(255 - i));
    }
    for (const size_t length : {0, 1, 2, 3, 4, 5, 6, 7, 254, 255, 256}) {
        const std::vector<uint8_t> bytes(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(length));
        const std::vector<uint8_t> encoded = codec.EncodeB64(bytes);
        EXPECT_EQ(encoded.size(), (length + 2) / 3 * 4);
        EXPECT_EQ(codec.DecodeB64(encoded), bytes) << length;
    }
}

TEST(clsBase64Test, BlanksAndLineBreaksBetweenCharactersAreIgnored) {
    const clsBase64 codec;
    const std::vector<uint8_t> plain = Bytes("Many hands make light work.");
    EXPECT_EQ(codec.DecodeB64(Bytes("TWFueSBoYW5kcyBtYWtlIGxpZ2h0IHdvcmsu")), plain);
    EXPECT_EQ(codec.DecodeB64(Bytes("TWFu\r\neSBo YW5k\tcyBt\nYWtl\rIGxp Z2h0\r\n IHdv cmsu\r\n")), plain);
    EXPECT_EQ(codec.DecodeB64(Bytes("Z g = =")), Bytes("f"));
    EXPECT_EQ(codec.DecodeB64(Bytes(" \r\n\t")), Bytes(""));
    EXPECT_EQ(codec.DecodeB64(codec.Span(5, codec.EncodeB64(plain))), plain);
}

TEST(clsBase64Test, SpanEndsEveryLineWithCarriageReturnAndLineFeed) {
    EXPECT_EQ(Text(clsBase64::Span(4, Bytes("abcdefghij"))), "abcd\r\nefgh\r\nij\r\n");
    EXPECT_EQ(Text(clsBase64::Span(4, Bytes("abcdefgh"))), "abcd\r\nefgh\r\n");
    EXPECT_EQ(Text(clsBase64::Span(76, Bytes("ab"))), "ab\r\n");
    EXPECT_EQ(Text(clsBase64::Span(3, Bytes(""))), "");
    EXPECT_THROW((void)clsBase64::Span(0, Bytes("ab")), AppError);
    EXPECT_THROW((void)clsBase64::Span(-4, Bytes("ab")), AppError);
    EXPECT_EQ(Text(clsBase64::Unspan(Bytes("a b\r\nc\td"))), "abcd");
}

// A partial group would have to be read past the end of the text: such a text is refused.
TEST(clsBase64Test, DecodingRefusesACountThatIsNoMultipleOfFour) {
    const clsBase64 codec;
    for (const char* text : {"Q", "QQ", "QQ=", "QUJ", "QUJDR", "QUJDRA", "QUJDRA=", "=", "==="}) {
        EXPECT_THROW((void)codec.DecodeB64(Bytes(text)), AppError) << text;
    }
}

// Characters outside the alphabet count 255 (a "=" that is not trailing padding 64); their bits go
// into the bytes, and only trailing padding shortens the result.
TEST(clsBase64Test, CharactersOutsideTheAlphabetEnterTheArithmetic) {
    const clsBase64 codec;
    const struct {
        std::vector<uint8_t> text;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {Bytes("!!!!"), {0xFF, 0xFF, 0xFF}},
        {Bytes("===="), {0x04}}, // all padding: one byte of 64s
        {Bytes("========"), {0x04, 0x10, 0x40, 0x04}},
        {Bytes("QQ=A"), {0x41, 0x10, 0x00}}, // "=" in third place, but the text does not end in "="
        {Bytes("QUJD\xE9\xEA\xFF\x80"), {0x41, 0x42, 0x43, 0xFF, 0xFF, 0xFF}}, // inside and above the table
        {Bytes("Q=Q="), {0x44, 0x04}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(codec.DecodeB64(c.text), c.bytes) << Text(c.text);
    }
}

TEST(clsBase64Test, DecodingTableCoversCodesUpTo233) {
    const clsBase64 codec;
    EXPECT_EQ(codec.DecodeValue('A'), 0);
    EXPECT_EQ(codec.DecodeValue('Z'), 25);
    EXPECT_EQ(codec.DecodeValue('a'), 26);
    EXPECT_EQ(codec.DecodeValue('z'), 51);
    EXPECT_EQ(codec.DecodeValue('0'), 52);
    EXPECT_EQ(codec.DecodeValue('9'), 61);
    EXPECT_EQ(codec.DecodeValue('+'), 62);
    EXPECT_EQ(codec.DecodeValue('/'), 63);
    EXPECT_EQ(codec.DecodeValue('='), 64);
    for (const uint32_t code : {0u, 0x2Du, 0x5Fu, 0x7Fu, 233u, 234u, 255u, 0xFFFFu, 0x10FFFFu, 0xFFFFFFFFu}) {
        EXPECT_EQ(codec.DecodeValue(code), 255) << code;
    }
}

TEST(clsBase64Test, TextMembersUseUtf16OrTheAnsiCodePage) {
    const clsBase64 codec;
    EXPECT_EQ(codec.GetEncodedB64String(L"A", true, kLatin1), L"QQA=");
    EXPECT_EQ(codec.GetEncodedB64String(L"\u00E9t\u00E9", false, kLatin1), L"6XTp");
    EXPECT_EQ(codec.GetEncodedB64String(L"", true, kLatin1), L"");
    EXPECT_EQ(codec.GetDecodedB64String(L"QQA=", true, kLatin1), L"A");
    EXPECT_EQ(codec.GetDecodedB64String(L"6XTp", false, kLatin1), L"\u00E9t\u00E9");
    EXPECT_EQ(codec.GetDecodedB64String(L"", false, kLatin1), L"");
    const std::wstring text = L"Gr\u00F6\u00DFe \u20AC \u4E2D";
    EXPECT_EQ(codec.GetDecodedB64String(codec.GetEncodedB64String(text, true, kLatin1), true, kLatin1), text);
    EXPECT_EQ(codec.GetDecodedB64String(L"QQA=\r\n", true, kLatin1), L"A");
}

TEST(clsBase64Test, TextMembersReturnTheirInputOnAnyError) {
    const clsBase64 codec;
    EXPECT_EQ(codec.GetDecodedB64String(L"QUJDRA", true, kLatin1), L"QUJDRA");
    EXPECT_EQ(codec.GetDecodedB64String(L"\u4E2D", false, kLatin1), L"\u4E2D");
    EXPECT_EQ(codec.GetDecodedB64String(L"QUJD", false, AnsiCodePage{&ToLatin1, nullptr}), L"QUJD");
    EXPECT_EQ(codec.GetDecodedB64String(L"QUJD", true, AnsiCodePage{}), L"QUJD");
    EXPECT_EQ(codec.GetEncodedB64String(L"abc", false, AnsiCodePage{}), L"abc");
    // A character outside the code page arrives as "?", which is not rejected.
    EXPECT_EQ(codec.GetDecodedB64String(L"QUJ\u4E2D", false, kLatin1), L"AB\u00FF");
}

TEST(clsBase64Test, Utf16BytesAreLittleEndianCodeUnits) {
    EXPECT_EQ(clsBase64::UnicodeStr2ByteArray(L"A\u20AC"), (std::vector<uint8_t>{0x41, 0x00, 0xAC, 0x20}));
    EXPECT_EQ(clsBase64::UnicodeStr2ByteArray(std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}),
              (std::vector<uint8_t>{0x3D, 0xD8, 0x00, 0xDE}));
    if constexpr (sizeof(wchar_t) > 2) {
        // One wide character above U+FFFF: the surrogate pair Windows text would hold.
        EXPECT_EQ(clsBase64::UnicodeStr2ByteArray(std::wstring(1, static_cast<wchar_t>(0x1F600))),
                  (std::vector<uint8_t>{0x3D, 0xD8, 0x00, 0xDE}));
    }
    EXPECT_EQ(clsBase64::ByteArray2UnicodeStr(std::vector<uint8_t>{0x41, 0x00, 0xAC, 0x20}), L"A\u20AC");
    // An odd last byte is no code unit.
    EXPECT_EQ(clsBase64::ByteArray2UnicodeStr(std::vector<uint8_t>{0x41, 0x00, 0x42}), L"A");
    EXPECT_EQ(clsBase64::ByteArray2UnicodeStr(std::vector<uint8_t>{0x42}), L"");
}

} // namespace
