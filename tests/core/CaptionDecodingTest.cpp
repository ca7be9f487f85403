#include "core/CaptionDecoding.h"

#include "Latin1CodePage.h"
#include "core/AppError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring Units(std::initializer_list<uint32_t> units) {
    std::wstring text;
    for (const uint32_t unit : units) {
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

// A caption in the stored form: "0X", the Base64 of its UTF-16LE bytes, the checksum of that Base64.
std::wstring StoredForm(std::wstring_view caption) {
    const std::wstring base64 = clsBase64().GetEncodedB64String(caption, true, kLatin1);
    return L"0X" + base64 + XorChecksumHex(base64);
}

TEST(CaptionDecodingTest, Utf8ToStringDecodesOneToFourByteSequencesLeniently) {
    const struct {
        std::vector<uint8_t> bytes;
        std::wstring text;
    } cases[] = {
        {{}, L""},
        {{0x41, 0x7F}, Units({0x41, 0x7F})},
        {{0xC3, 0xA9}, Units({0xE9})},
        {{0xDF, 0xBF}, Units({0x7FF})},
        {{0xE2, 0x82, 0xAC}, Units({0x20AC})},
        {{0xEF, 0xBF, 0xBF}, Units({0xFFFF})},
        {{0xF0, 0x9F, 0x98, 0x80}, Units({0xD83D, 0xDE00})},     // U+1F600 as its surrogate pair
        {{0xF4, 0x8F, 0xBF, 0xBF}, Units({0xDBFF, 0xDFFF})},     // U+10FFFF
        {{0xF4, 0x90, 0x80, 0x80, 0x41}, Units({0xFFFD, 0x41})}, // beyond Unicode
        // Bytes that begin no sequence are the characters of their codes.
        {{0xC0}, Units({0xC0})},
        {{0x80, 0xC1, 0x41}, Units({0x80, 0xC1, 0x41})},
        // Continuation bytes are not checked; overlong forms are read as they come.
        {{0xC3, 0x41}, Units({0xC1})},
        {{0xE0, 0x80, 0x80}, Units({0x0000})},
        {{0xED, 0xA0, 0x80}, Units({0xD800})},
        {{0xF0, 0x80, 0x80, 0x80}, Units({0x0000})},
        {{0xF5, 0x80, 0x80}, Units({0x5000})}, // not a four-byte lead: three bytes
        // A sequence that runs past the end stops the decoding.
        {{0xC3}, L""},
        {{0x41, 0x42, 0xC3}, L"AB"},
        {{0x41, 0xE2, 0x82}, L"A"},
        {{0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98}, Units({0x20AC})},
        {{0xF5, 0x80}, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToString(c.bytes), c.text) << testing::PrintToString(c.bytes);
    }
}

TEST(CaptionDecodingTest, Utf8ToStringOfALongTextKeepsEveryCharacter) {
    std::vector<uint8_t> bytes;
    std::wstring expected;
    for (int i = 0; i < 3000; ++i) {
        bytes.insert(bytes.end(), {0xC3, 0xA9, static_cast<uint8_t>('a' + i % 26), 0xE2, 0x82, 0xAC});
        expected += Units({0xE9, static_cast<uint32_t>('a' + i % 26), 0x20AC});
    }
    EXPECT_EQ(Utf8ToString(bytes), expected);
}

TEST(CaptionDecodingTest, AnsiUtf8ToStringReadsUtf8CarriedOneByteACharacter) {
    EXPECT_EQ(AnsiUtf8ToString(L"", kLatin1.toAnsi), L"");
    EXPECT_EQ(AnsiUtf8ToString(L"", nullptr), L"");
    EXPECT_EQ(AnsiUtf8ToString(L"Points", kLatin1.toAnsi), L"Points");
    EXPECT_EQ(AnsiUtf8ToString(Units({0xC3, 0xA9, 0x74, 0xC3, 0xA9}), kLatin1.toAnsi), Units({0xE9, 0x74, 0xE9}));
    EXPECT_EQ(AnsiUtf8ToString(Units({0xE2, 0x82, 0xAC}), kLatin1.toAnsi), Units({0x20AC}));
    EXPECT_THROW((void)AnsiUtf8ToString(L"x", nullptr), AppError);
}

TEST(CaptionDecodingTest, XorChecksumHexOfTheUtf16Bytes) {
    const struct {
        std::wstring text;
        const wchar_t* hex;
    } cases[] = {
        {L"A", L"41"},
        {L"AA", L"00"},
        {L"", L"00"},
        {L"AB", L"03"},
        {Units({0xE9}), L"E9"},
        {Units({0x0141}), L"40"},
        {Units({0x20AC}), L"8C"},
        {L"\x0F", L"0F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XorChecksumHex(c.text), c.hex);
    }
    // 3D D8 00 DE: a surrogate pair, also where one wide character holds U+1F600.
    EXPECT_EQ(XorChecksumHex(Units({0xD83D, 0xDE00})), L"3B");
    if constexpr (sizeof(wchar_t) > 2) {
        EXPECT_EQ(XorChecksumHex(Units({0x1F600})), L"3B");
        // Beside other characters the whole text counts: 41 00 3D D8 00 DE.
        EXPECT_EQ(XorChecksumHex(Units({0x41, 0x1F600})), L"7A");
        // Beyond U+10FFFF a wide character stands for U+FFFD: FD FF.
        EXPECT_EQ(XorChecksumHex(Units({0x110000})), L"02");
    }
}

TEST(CaptionDecodingTest, IsEncodedUniStringChecksTheMarkerAndTheChecksum) {
    const struct {
        std::wstring text;
        bool encoded;
    } cases[] = {
        {L"0X00", true},                        // an empty middle part against "00"
        {L"0X01", false},     {L"0x00", false}, // the marker's case is exact
        {L"0X0", false},                        // three characters at most is never the stored form
        {L"0X", false},       {L"", false},         {L"Points", false},
        {L"0XQQA=41", false}, // checksum of "QQA=" is 51 ^ 51 ^ 41 ^ 3D = 7C
        {L"0XQQA=7C", true},  {L"0XQQA=7c", false}, {StoredForm(L"Gr\u00F6\u00DFe"), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsEncodedUniString(c.text), c.encoded) << testing::PrintToString(c.text);
    }
}

TEST(CaptionDecodingTest, DecodeUniStringDecodesTheStoredFormAndPassesEverythingElse) {
    for (const std::wstring& caption : {std::wstring(L"Points"), std::wstring(L"Gr\u00F6\u00DFe \u20AC"),
                                        Units({0x4E2D, 0xD83D, 0xDE00}), std::wstring(L"0X00")}) {
        EXPECT_EQ(DecodeUniString(StoredForm(caption), kLatin1.toAnsi), caption);
    }
    EXPECT_EQ(DecodeUniString(L"0X00", kLatin1.toAnsi), L"");
    EXPECT_EQ(DecodeUniString(L"0XQQA=7C", kLatin1.toAnsi), L"A");
    // Blanks inside the Base64 part are skipped (the checksum covers them).
    EXPECT_EQ(DecodeUniString(L"0XQQ A=" + XorChecksumHex(L"QQ A="), kLatin1.toAnsi), L"A");

    const std::wstring unchanged[] = {
        L"Points",
        L"",
        L"0XQQA=41",                     // wrong checksum
        L"0XQQ" + XorChecksumHex(L"QQ"), // checksum right, Base64 length wrong: the whole text
        L"0XQUJDRA" + XorChecksumHex(L"QUJDRA"),
    };
    for (const std::wstring& text : unchanged) {
        EXPECT_EQ(DecodeUniString(text, kLatin1.toAnsi), text) << testing::PrintToString(text);
    }
    EXPECT_EQ(DecodeUniString(L"0XQQA=7C", nullptr), L"0XQQA=7C");
}

} // namespace
