// The font binder against real GDI: what it creates is read back with GetObject, what it selects with
// GetCurrentObject, on memory DCs of the test's own.
#include "draw/clsFontHDC.h"

#include <gtest/gtest.h>

#include <string>

#include "core/AppError.h"
#include "core/Color.h"
#include "support/GdiCount.h"

namespace {

LOGFONTW Describe(HFONT font) {
    LOGFONTW info{};
    ::GetObjectW(font, sizeof(info), &info);
    return info;
}

HGDIOBJ CurrentFont(HDC dc) {
    return ::GetCurrentObject(dc, OBJ_FONT);
}

class clsFontHDCTest : public ::testing::Test {
protected:
    UniqueMemoryDC dc_{::CreateCompatibleDC(nullptr)};
    UniqueMemoryDC otherDc_{::CreateCompatibleDC(nullptr)};
};

TEST_F(clsFontHDCTest, CreatesTheDescribedFontAndSelectsIt) {
    clsFontHDC binder;
    binder.SetFontToDC(dc_.get(), L"MS Sans Serif", 8, -1, true, true, false, true, ANTIALIASED_QUALITY, 0, true);
    ASSERT_NE(binder.hFont(), nullptr);
    EXPECT_EQ(CurrentFont(dc_.get()), binder.hFont());

    const LOGFONTW font = Describe(binder.hFont());
    EXPECT_EQ(font.lfHeight, -11); // 8 points at 96 pixels per inch
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_FALSE(font.lfUnderline);
    EXPECT_TRUE(font.lfStrikeOut);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif");

    binder.SetFontToDC(dc_.get(), L"Arial", 8, -1, false, false, true, false, 0, 0, true);
    const LOGFONTW plain = Describe(binder.hFont());
    EXPECT_EQ(plain.lfWeight, FW_NORMAL);
    EXPECT_FALSE(plain.lfItalic);
    EXPECT_TRUE(plain.lfUnderline);
    EXPECT_FALSE(plain.lfStrikeOut);
}

TEST_F(clsFontHDCTest, HeightFollowsTheResolution) {
    clsFontHDC binder;
    binder.SetFontToDC(dc_.get(), L"Arial", 12, -1, false, false, false, false, 0, 0, true);
    EXPECT_EQ(Describe(binder.hFont()).lfHeight, -16);
    binder.SetFontToDC(dc_.get(), L"Arial", 8, -1, false, false, false, false, 0, 0, false);
    EXPECT_EQ(Describe(binder.hFont()).lfHeight, -::MulDiv(8, ::GetDeviceCaps(dc_.get(), LOGPIXELSY), 72));
}

TEST_F(clsFontHDCTest, StdFontSizesRoundHalfToEven) {
    struct Case {
        double size;
        LONG height; // at 96 pixels per inch
    };
    // The window font of the ruler is 8.25 points, used as 8.
    const Case cases[] = {{8.25, -11}, {8.5, -11}, {9.5, -13}, {7.5, -11}, {8.75, -12}};
    clsFontHDC binder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const StdFont font{L"MS Sans Serif", c.size, false, true, true, false};
        binder.SetFontToDCStdFont(dc_.get(), font, -1, 0, 0, true);
        const LOGFONTW made = Describe(binder.hFont());
        EXPECT_EQ(made.lfHeight, c.height);
        EXPECT_TRUE(made.lfItalic);
        EXPECT_TRUE(made.lfUnderline);
        EXPECT_EQ(std::wstring(made.lfFaceName), L"MS Sans Serif");
    }
}

TEST_F(clsFontHDCTest, TextColourIsSetUnlessMinusOne) {
    struct Case {
        int32_t colour;
        COLORREF expected;
    };
    const COLORREF preset = RGB(1, 2, 3);
    const Case cases[] = {
        {-1, preset},
        {0, RGB(0, 0, 0)},
        {Rgb(200, 100, 50), RGB(200, 100, 50)},
        {static_cast<int32_t>(0x80000012), ::GetSysColor(COLOR_BTNTEXT)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colour);
        ::SetTextColor(dc_.get(), preset);
        clsFontHDC binder;
        binder.SetFontToDC(dc_.get(), L"Arial", 8, c.colour, false, false, false, false, 0, 0, true);
        EXPECT_EQ(::GetTextColor(dc_.get()), c.expected);
    }
}

TEST_F(clsFontHDCTest, CharWeightIncChangesTheAverageWidth) {
    clsFontHDC binder;
    binder.SetFontToDC(dc_.get(), L"Arial", 10, -1, false, false, false, false, 0, 0, true);
    TEXTMETRICW metrics{};
    ASSERT_TRUE(::GetTextMetricsW(dc_.get(), &metrics));
    ASSERT_GT(metrics.tmAveCharWidth, 2);

    struct Case {
        int16_t increase;
        LONG width;
    };
    const Case cases[] = {{3, metrics.tmAveCharWidth + 3}, {-2, metrics.tmAveCharWidth - 2}, {-100, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.increase);
        binder.SetFontToDC(dc_.get(), L"Arial", 10, -1, false, false, false, false, 0, c.increase, true);
        ASSERT_NE(binder.hFont(), nullptr);
        EXPECT_EQ(CurrentFont(dc_.get()), binder.hFont());
        const LOGFONTW font = Describe(binder.hFont());
        EXPECT_EQ(font.lfWidth, c.width);
        EXPECT_EQ(font.lfHeight, -13);
    }
}

TEST_F(clsFontHDCTest, EndingTheBinderRestoresThePreviousFontAndDeletesItsOwn) {
    const HGDIOBJ original = CurrentFont(dc_.get());
    HFONT made = nullptr;
    {
        clsFontHDC binder;
        binder.SetFontToDC(dc_.get(), L"Arial", 8, -1, false, false, false, false, 0, 0, true);
        made = binder.hFont();
        ASSERT_EQ(CurrentFont(dc_.get()), made);
        // A second selection into the same DC still restores the very first font at the end.
        binder.SetFontToDC(dc_.get(), L"Arial", 10, -1, false, false, false, false, 0, -1, true);
    }
    EXPECT_EQ(CurrentFont(dc_.get()), original);
    EXPECT_EQ(::GetObjectType(made), 0u);

    clsFontHDC binder;
    binder.SetFontToDC(dc_.get(), L"Arial", 8, -1, false, false, false, false, 0, 0, true);
    binder.Destroy();
    EXPECT_EQ(CurrentFont(dc_.get()), original);
    EXPECT_EQ(binder.hFont(), nullptr);
    binder.Destroy();
}

TEST_F(clsFontHDCTest, ASecondContextRestoresTheFirst) {
    const HGDIOBJ firstOriginal = CurrentFont(dc_.get());
    clsFontHDC binder;
    binder.SetFontToDC(dc_.get(), L"Arial", 8, -1, false, false, false, false, 0, 0, true);
    binder.SetFontToDC(otherDc_.get(), L"Arial", 9, -1, false, false, false, false, 0, 0, true);
    EXPECT_EQ(CurrentFont(dc_.get()), firstOriginal);
    EXPECT_EQ(CurrentFont(otherDc_.get()), binder.hFont());
}

TEST_F(clsFontHDCTest, NullContextThrowsAndKeepsTheSelection) {
    clsFontHDC binder;
    binder.SetFontToDC(dc_.get(), L"Arial", 8, -1, false, false, false, false, 0, 0, true);
    const HFONT selected = binder.hFont();
    try {
        binder.SetFontToDC(nullptr, L"Arial", 12, 0, false, false, false, false, 0, 0, true);
        ADD_FAILURE() << "nothing thrown";
    } catch (const AppError& error) {
        EXPECT_EQ(error.Number(), 0x80040001u);
        EXPECT_EQ(error.Source(), "clsFontHDC.SetFontToDC");
        EXPECT_EQ(error.Description(), "Cannot use this DC!");
    }
    EXPECT_EQ(binder.hFont(), selected);
    EXPECT_EQ(CurrentFont(dc_.get()), selected);
    EXPECT_EQ(::GetObjectType(selected), static_cast<DWORD>(OBJ_FONT));

    const StdFont font{L"Arial", 8.25};
    EXPECT_THROW(binder.SetFontToDCStdFont(nullptr, font), AppError);
    EXPECT_EQ(CurrentFont(dc_.get()), selected);
}

TEST_F(clsFontHDCTest, LongFaceNamesAreCutToFit) {
    const std::wstring name(40, L'x');
    clsFontHDC binder;
    binder.SetFontToDC(dc_.get(), name, 8, -1, false, false, false, false, 0, 0, true);
    ASSERT_NE(binder.hFont(), nullptr);
    EXPECT_EQ(std::wstring(Describe(binder.hFont()).lfFaceName), name.substr(0, LF_FACESIZE - 1));
}

TEST_F(clsFontHDCTest, SizesBeyondSixteenBitsAreCutNotWrapped) {
    clsFontHDC binder;
    // 65536.4 would wrap to 0 points; cut, it is the largest size a 16-bit value holds.
    binder.SetFontToDCStdFont(dc_.get(), StdFont{L"Arial", 65536.4}, -1, 0, 0, true);
    ASSERT_NE(binder.hFont(), nullptr);
    EXPECT_EQ(Describe(binder.hFont()).lfHeight, -::MulDiv(32767, 96, 72));
}

TEST_F(clsFontHDCTest, BindingLeavesNoGdiObjectsBehind) {
    const auto exercise = [&] {
        clsFontHDC binder;
        binder.SetFontToDC(dc_.get(), L"MS Sans Serif", 8, 0, false, false, false, false, 0, 0, false);
        binder.SetFontToDC(dc_.get(), L"Arial", 10, -1, true, true, true, true, 0, -3, true);
        binder.SetFontToDCStdFont(otherDc_.get(), StdFont{L"Arial", 8.25}, -1, 0, 2, false);
        try {
            binder.SetFontToDC(nullptr, L"Arial", 8);
        } catch (const AppError&) {
        }
    };
    const auto [before, after] = CountsAround(200, [&](int) { exercise(); });
    EXPECT_EQ(after, before);
}

} // namespace
