// The system's ANSI code page as the caption decoders see it, on the running system.
#include "util/SystemCodePage.h"

#include "core/CaptionDecoding.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(SystemCodePageTest, AsciiRoundTripsAndEmptyStaysEmpty) {
    EXPECT_EQ(ToSystemAnsi(L"Points"), "Points");
    EXPECT_EQ(FromSystemAnsi("Points"), L"Points");
    EXPECT_EQ(ToSystemAnsi(L""), "");
    EXPECT_EQ(FromSystemAnsi(""), L"");
    // An embedded NUL is a character like any other.
    EXPECT_EQ(ToSystemAnsi(std::wstring_view(L"a\0b", 3)), std::string("a\0b", 3));
}

// UTF-8 carried one byte per character, as a caption read through the ANSI menu calls arrives: the
// Windows-1252 characters of the bytes C3 A9 ("Ã©") and E2 82 AC ("â‚¬", 0x82 being U+201A).
TEST(SystemCodePageTest, Windows1252BytesAndUtf8Captions) {
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "system code page " << ::GetACP();
    }
    EXPECT_EQ(ToSystemAnsi(L"\u00E9\u20AC"), "\xE9\x80");
    EXPECT_EQ(FromSystemAnsi("\xE9\x80"), L"\u00E9\u20AC");
    EXPECT_EQ(ToSystemAnsi(L"\u4E2D"), "?"); // not in the code page: its default character
    EXPECT_EQ(AnsiUtf8ToString(L"Gr\u00C3\u00B6\u00C3\u0178e", &ToSystemAnsi), L"Gr\u00F6\u00DFe");
    EXPECT_EQ(AnsiUtf8ToString(L"\u00E2\u201A\u00AC 5", &ToSystemAnsi), L"\u20AC 5");
    EXPECT_EQ(DecodeUniString(L"0XQQA=7C", &ToSystemAnsi), L"A");
    EXPECT_EQ(clsBase64().GetDecodedB64String(L"6XTp", false, {&ToSystemAnsi, &FromSystemAnsi}), L"\u00E9t\u00E9");
}

} // namespace
