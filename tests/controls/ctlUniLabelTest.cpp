// The labels as real child windows of a real form: layout, colours, shapes and events, with pixels
// read back from the drawn face.
#include "controls/ctlUniLabel.h"
#include "controls/ctlUniLabelNoFlick.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlHost.h"
#include "draw/DrawHelpers.h"
#include "support/GdiCount.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
const StdFont TestFont{L"Arial", 12, true};

// A label on the host at rect with the font above, white face and black text unless the set says
// otherwise.
template <typename Label> void Make(Label& label, HWND host, RECT rect, PropertyBag props) {
    ASSERT_TRUE(label.Create(host, rect, WithLook(std::move(props), TestFont, White, Black)));
}

// The label drawn by DrawControl into a canvas of its size.
std::vector<COLORREF> Drawn(ctlUniLabel& label) {
    DibCanvas canvas(label.SurfaceWidth(), label.SurfaceHeight(), RGB(1, 2, 3));
    label.DrawControl(canvas.dc());
    std::vector<COLORREF> pixels;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            pixels.push_back(canvas.pixel(x, y));
        }
    }
    return pixels;
}

// Width of one line and the line height of TestFont, measured without the drawing code under test.
struct TextMetrics {
    int width;
    int lineHeight;
};
TextMetrics Measure(const std::wstring& line) {
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    clsFontHDC font;
    font.SetFontToDCStdFont(dc.get(), TestFont);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &extent);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.get(), &metrics);
    return {extent.cx, metrics.tmHeight};
}

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

class LabelTest : public ::testing::Test {
protected:
    ControlHost host;
};

TEST_F(LabelTest, PropertySetIgnoresCaseTakesDefaultsAndSkipsUnreadableValues) {
    ctlUniLabel label;
    const PropertyBag props{
        {"CAPTION", StringToBytes(L"Stored")}, // the stored form: UTF-16LE bytes
        {"autosize", true},
        {"tIp", std::wstring(L"as text")},   // a form may give text
        {"backcolor", std::wstring(L"red")}, // wrong kind: keeps the default
        {"Margin", int32_t{70000}},          // does not fit 16 bits: keeps the default
        {"ROUNDEDBORDERS", int32_t{1}},      // a number reads as a boolean
    };
    ASSERT_TRUE(label.Create(host.hwnd(), {10, 10, 60, 30}, props));
    EXPECT_EQ(label.Caption(), L"Stored");
    EXPECT_TRUE(label.AutoSize());
    EXPECT_EQ(label.Tip(), L"as text");
    EXPECT_EQ(label.BackColor(), UniControl::kButtonFace);
    EXPECT_EQ(label.Margin(), 0);
    EXPECT_TRUE(label.RoundedBorders());
    // Missing names: the label's defaults, the font of the host (which has none: MS Sans Serif).
    EXPECT_EQ(label.ForeColor(), UniControl::kButtonText);
    EXPECT_EQ(label.BorderColor(), -1);
    EXPECT_EQ(label.Style(), 0);
    EXPECT_EQ(label.VAlignment(), 0);
    EXPECT_TRUE(label.Enabled());
    EXPECT_FALSE(label.UseRoundRegions());
    EXPECT_EQ(label.Font().name, L"MS Sans Serif");
    EXPECT_FALSE(label.PropertiesChanged());

    // Written back under the same names, strings as bytes; a new label reads the same values.
    PropertyBag saved;
    label.WriteProperties(saved);
    const auto* caption = std::get_if<std::vector<uint8_t>>(saved.Find("caption"));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(*caption, StringToBytes(L"Stored"));
    EXPECT_EQ(saved.ReadInteger("BACKSTYLE", 0), 1);
    ctlUniLabel copy;
    ASSERT_TRUE(copy.Create(host.hwnd(), {10, 40, 60, 60}, saved));
    EXPECT_EQ(copy.Caption(), L"Stored");
    EXPECT_EQ(copy.Tip(), L"as text");
    EXPECT_TRUE(copy.AutoSize());
    EXPECT_TRUE(copy.RoundedBorders());

    copy.Tip(L"changed");
    EXPECT_TRUE(copy.PropertiesChanged());
}

TEST_F(LabelTest, SurfaceWindowTextIsTheCaption) {
    ctlUniLabel label;
    ctlUniLabelNoFlick noFlick;
    Make(label, host.hwnd(), {10, 10, 150, 30}, {{"Caption", std::wstring(L"Gr\u00fc\u00dfe \u2192 1")}});
    Make(noFlick, host.hwnd(), {10, 40, 150, 60}, {{"Caption", std::wstring(L"Tip")}});
    const auto text = [](HWND w) {
        wchar_t buffer[64]{};
        ::SendMessageW(w, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
        return std::wstring(buffer);
    };
    EXPECT_EQ(text(label.hWnd()), L"Gr\u00fc\u00dfe \u2192 1");
    EXPECT_EQ(text(noFlick.hWnd()), L"Tip");
    label.Caption(L"\u65b0\u3057\u3044");
    noFlick.Caption(L"");
    EXPECT_EQ(text(label.hWnd()), L"\u65b0\u3057\u3044");
    EXPECT_EQ(text(noFlick.hWnd()), L"");
}

TEST_F(LabelTest, ReentrantDrawControlDoesNothing) {
    ctlUniLabel label;
    Make(label, host.hwnd(), {10, 10, 20, 20}, {{"Caption", std::wstring(L"Grows")}, {"AutoSize", true}});
    ::SetWindowPos(label.hWnd(), nullptr, 0, 0, 5, 5, SWP_NOMOVE | SWP_NOZORDER); // make the next draw resize
    DibCanvas inner(200, 50, RGB(1, 2, 3));
    int resizes = 0;
    label.events.Resize = [&] {
        ++resizes;
        label.DrawControl(inner.dc()); // the label is drawing: this must not draw
    };
    DibCanvas outer(200, 50, RGB(1, 2, 3));
    label.DrawControl(outer.dc());
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(inner.pixel(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(inner.pixel(2, 2), RGB(1, 2, 3));
    EXPECT_EQ(outer.pixel(0, 0), White) << "the outer drawing itself went through";
}

TEST_F(LabelTest, AutoSizeFitsTheCaption) {
    const TextMetrics shortLine = Measure(L"Short");
    const TextMetrics longLine = Measure(L"A much longer line");
    struct Case {
        const wchar_t* caption;
        int32_t borderStyle;
        int16_t margin;
        int width, height; // expected
    };
    const Case cases[] = {
        {L"", 1, 3, 70, 25}, // nothing to measure: the size stays
        {L"Short\r\nA much longer line", 0, 0, longLine.width, 2 * longLine.lineHeight},
        {L"Short\r\nA much longer line", 1, 3, longLine.width + 4 + 6, 2 * longLine.lineHeight + 4 + 6},
        {L"A much longer line\rShort", 1, 0, longLine.width + 4, 2 * longLine.lineHeight + 4},
        {L"Short", 0, 5, shortLine.width + 10, shortLine.lineHeight + 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "border " << c.borderStyle << " margin " << c.margin << " width "
                                        << c.width);
        ctlUniLabel label;
        Make(label, host.hwnd(), {20, 20, 90, 45},
             {{"Caption", std::wstring(c.caption)},
              {"AutoSize", true},
              {"BorderStyle", c.borderStyle},
              {"Margin", int32_t{c.margin}}});
        label.Refresh(true);
        const RECT place = PlaceInParent(label.hWnd());
        EXPECT_EQ(Width(place), c.width);
        EXPECT_EQ(Height(place), c.height);
        EXPECT_EQ(place.left, 20) << "left-aligned labels keep their left edge";
    }
}

TEST_F(LabelTest, AutoSizeKeepsTheAnchorOfTheAlignment) {
    struct Case {
        int32_t alignment;
        int shift; // of the left edge when the label grows by 10 pixels
    };
    for (const Case c : {Case{0, 0}, Case{2, -5}, Case{1, -10}}) {
        SCOPED_TRACE(testing::Message() << "alignment " << c.alignment);
        ctlUniLabel label;
        Make(label, host.hwnd(), {150, 20, 200, 40},
             {{"Caption", std::wstring(L"Anchor")}, {"AutoSize", true}, {"Alignment", c.alignment}});
        label.Refresh(true);
        const RECT before = PlaceInParent(label.hWnd());
        label.Margin(5); // 10 pixels wider and higher
        label.Refresh(true);
        const RECT after = PlaceInParent(label.hWnd());
        EXPECT_EQ(Width(after), Width(before) + 10);
        EXPECT_EQ(after.left, before.left + c.shift);
        EXPECT_EQ(after.top, before.top);
    }
}

TEST_F(LabelTest, VerticalAlignmentCentresButClampsATooTallTextToTheTop) {
    const auto drawnWith = [&](const wchar_t* caption, int height, int32_t vAlignment) {
        ctlUniLabel label;
        Make(label, host.hwnd(), {10, 10, 130, 10 + height},
             {{"Caption", std::wstring(caption)}, {"VAlignment", vAlignment}});
        return Drawn(label);
    };
    const wchar_t* tall = L"One\r\nTwo\r\nThree\r\nFour";
    EXPECT_EQ(drawnWith(tall, 20, 1), drawnWith(tall, 20, 0)) << "a text taller than the face starts at the top";
    EXPECT_NE(drawnWith(L"One", 60, 1), drawnWith(L"One", 60, 0)) << "a short text is moved down";
}

TEST_F(LabelTest, DisabledLabelDrawsGreyAndReturnsToForeColor) {
    ctlUniLabel label;
    Make(label, host.hwnd(), {10, 10, 200, 40},
         {{"Caption", std::wstring(L"HELLO")}, {"ForeColor", static_cast<int32_t>(Red)}});
    const COLORREF grey = static_cast<COLORREF>(TranslateColor(UniControl::kGrayText));
    ASSERT_NE(grey, White);

    label.Enabled(false);
    EXPECT_FALSE(::IsWindowEnabled(label.hWnd()));
    std::vector<COLORREF> pixels = Drawn(label);
    EXPECT_GT(CountColour(pixels, grey), 0);
    EXPECT_EQ(CountColour(pixels, Red), 0);

    label.Enabled(true);
    pixels = Drawn(label);
    EXPECT_GT(CountColour(pixels, Red), 0);
    EXPECT_EQ(CountColour(pixels, grey), 0);
}

TEST_F(LabelTest, MarginChangesNothingWithoutAutoSize) {
    ctlUniLabel label;
    Make(label, host.hwnd(), {10, 10, 130, 40},
         {{"Caption", std::wstring(L"Margin")}, {"BorderStyle", int32_t{1}}, {"Alignment", int32_t{2}}});
    const std::vector<COLORREF> before = Drawn(label);
    label.Margin(12);
    label.Refresh(true);
    EXPECT_EQ(Drawn(label), before);
    const RECT place = PlaceInParent(label.hWnd());
    EXPECT_EQ(Width(place), 120);
    EXPECT_EQ(Height(place), 30);
}

TEST_F(LabelTest, TransparentBackStyleShowsOnlyTheCaption) {
    ctlUniLabelNoFlick label;
    Make(label, host.hwnd(), {10, 10, 130, 50}, {{"Caption", std::wstring(L"HI")}, {"BackStyle", int32_t{0}}});
    EXPECT_EQ(label.BackStyle(), 0);
    UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(label.hWnd(), shape.get()), ERROR) << "the surface is shaped";

    int width = 0;
    int height = 0;
    const std::vector<COLORREF> face = PrintedPixels(label.hWnd(), &width, &height);
    int glyphPixels = 0;
    int glyphsInside = 0;
    int backInside = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside = ::PtInRegion(shape.get(), x, y) != FALSE;
            if (face[static_cast<size_t>(y) * width + x] == Black) {
                ++glyphPixels;
                glyphsInside += inside ? 1 : 0;
            } else if (face[static_cast<size_t>(y) * width + x] == White) {
                backInside += inside ? 1 : 0;
            }
        }
    }
    EXPECT_GT(glyphPixels, 20);
    EXPECT_EQ(glyphsInside, glyphPixels) << "every pixel of the caption shows";
    EXPECT_EQ(backInside, 0) << "no pixel of the back does";
    EXPECT_FALSE(::PtInRegion(shape.get(), width - 1, height - 1)) << "a click beside the text misses the label";

    label.BackStyle(1);
    EXPECT_EQ(::GetWindowRgn(label.hWnd(), shape.get()), ERROR) << "opaque again: no shape";
}

TEST_F(LabelTest, UseRoundRegionsOffAlsoTurnsRoundedBordersOff) {
    ctlUniLabel label;
    Make(label, host.hwnd(), {10, 10, 130, 40}, {{"Caption", std::wstring(L"Round")}});
    UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    label.UseRoundRegions(true);
    EXPECT_TRUE(label.RoundedBorders());
    label.Refresh(true);
    ASSERT_NE(::GetWindowRgn(label.hWnd(), shape.get()), ERROR);
    EXPECT_TRUE(::PtInRegion(shape.get(), 60, 15));

    label.UseRoundRegions(false);
    EXPECT_FALSE(label.RoundedBorders());
    label.Refresh(true);
    EXPECT_EQ(::GetWindowRgn(label.hWnd(), shape.get()), ERROR);
}

TEST_F(LabelTest, NoFlickLabelShowsEveryChangeAtOnce) {
    ctlUniLabelNoFlick label;
    Make(label, host.hwnd(), {10, 10, 40, 30},
         {{"Caption", std::wstring(L"Tip")}, {"AutoSize", true}, {"BorderStyle", int32_t{1}}, {"Margin", int32_t{2}}});
    const int before = label.SurfaceWidth();
    label.Caption(L"A much longer tip"); // no message is pumped from here on
    const TextMetrics expected = Measure(L"A much longer tip");
    EXPECT_EQ(label.SurfaceWidth(), expected.width + 8);
    EXPECT_GT(label.SurfaceWidth(), before);
    int width = 0;
    const std::vector<COLORREF> shown = PrintedPixels(label.hWnd(), &width);
    int textRight = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == Black) {
            textRight = std::max(textRight, static_cast<int>(i % width));
        }
    }
    EXPECT_GT(textRight, before) << "the image already holds the longer caption";

    // The image's DC measures in the label's font.
    EXPECT_EQ(MeasureText(label.hDC(), L"A much longer tip", 0).cx, expected.width);
}

TEST_F(LabelTest, MouseInputRaisesTheEventsInOrder) {
    ctlUniLabel label;
    Make(label, host.hwnd(), {10, 10, 130, 40}, {{"Caption", std::wstring(L"Click")}});
    std::vector<std::string> seen;
    label.events.MouseDown = [&](int16_t& b, int16_t&, float& x, float& y) {
        seen.push_back("down" + std::to_string(b) + "@" + std::to_string(static_cast<int>(x)) + "," +
                       std::to_string(static_cast<int>(y)));
    };
    label.events.MouseUp = [&](int16_t& b, int16_t&, float&, float&) { seen.push_back("up" + std::to_string(b)); };
    label.events.Click = [&] { seen.push_back("click"); };
    label.events.DblClick = [&] { seen.push_back("dbl"); };
    const auto send = [&](UINT msg, WPARAM keys, int x, int y) {
        ::SendMessageW(label.hWnd(), msg, keys, MAKELPARAM(x, y));
    };
    send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 6);
    send(WM_LBUTTONUP, 0, 5, 6);
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, 5, 6);
    send(WM_LBUTTONUP, 0, 5, 6);
    send(WM_RBUTTONDOWN, MK_RBUTTON, 7, 8);
    send(WM_RBUTTONUP, 0, 7, 8);
    send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 6);
    send(WM_LBUTTONUP, 0, 500, 6); // released off the label: no click
    const std::vector<std::string> expected{"down1@5,6", "up1", "click",     "dbl", "up1",
                                            "down2@7,8", "up2", "down1@5,6", "up1"};
    EXPECT_EQ(seen, expected);
}

TEST_F(LabelTest, RedrawingLeaksNoGdiObjects) {
    ctlUniLabel label;
    ctlUniLabel painted; // shaped from its paint handler: the pumping below also shows that ends
    ctlUniLabelNoFlick noFlick;
    Make(label, host.hwnd(), {10, 10, 130, 40}, {{"Caption", std::wstring(L"Round")}, {"UseRoundRegions", true}});
    Make(painted, host.hwnd(), {140, 10, 260, 40}, {{"Caption", std::wstring(L"Painted")}, {"BackStyle", int32_t{0}}});
    Make(noFlick, host.hwnd(), {10, 50, 130, 80},
         {{"Caption", std::wstring(L"See through")}, {"BackStyle", int32_t{0}}, {"AutoSize", true}});
    const auto round = [&](int i) {
        label.Caption(i % 2 ? L"Round" : L"Rounder");
        label.Refresh(true);
        painted.ForeColor(i % 2 ? 0 : 0xFF);
        painted.AutoSize(i % 2 == 0);
        noFlick.Caption(i % 2 ? L"See through" : L"See\r\nthrough");
        noFlick.Enabled(i % 3 != 0);
        PumpPendingMessages();
    };
    const auto [before, after] = CountsAround(200, round);
    EXPECT_EQ(after, before);
}

} // namespace
