// Measuring and painting menu items: sizes answered to WM_MEASUREITEM for each kind of item, and
// each kind drawn into a 32-bpp canvas whose pixels are read back (gradients, separator lines,
// captioned separators, the selector face against a reference painting, disabled and checked items,
// pictures); the DPI scaling of the painting functions; no GDI object left behind.
#include "menu/ctlUTF8Menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/CaptionDecoding.h"
#include "core/clsBase64.h"
#include "draw/DrawHelpers.h"
#include "draw/XPFrame.h"
#include "menu/MenuFixture.h"
#include "support/DibCanvas.h"
#include "support/GdiCount.h"
#include "util/SystemCodePage.h"

using namespace menutest;

namespace {

constexpr int32_t Back = Rgb(200, 190, 180);
constexpr int32_t Navy = Rgb(0, 0, 128);         // MenuForeColorNormal: text and separator lines
constexpr int32_t DarkRed = Rgb(128, 0, 0);      // MenuForeColorDisabled
constexpr int32_t Green = Rgb(0, 100, 0);        // ExtSepForeColor
constexpr int32_t Selector = Rgb(127, 138, 167); // the tray menu's selector
constexpr int32_t White = 0xFFFFFF;
constexpr COLORREF Magenta = RGB(255, 0, 255);
constexpr COLORREF Red = RGB(255, 0, 0);

// "Größe" in the stored "0X" form.
std::wstring Encoded(std::wstring_view text) {
    const std::wstring base64 =
        clsBase64().GetEncodedB64String(text, true, AnsiCodePage{&ToSystemAnsi, &FromSystemAnsi});
    return L"0X" + base64 + XorChecksumHex(base64);
}

// A 16 x 16 picture: magenta (its transparent colour, top-left) around a red 6 x 6 square.
PicturePtr MakeSquarePicture() {
    DibCanvas canvas(16, 16, Magenta);
    const UniqueBrush red(::CreateSolidBrush(Red));
    const RECT square{5, 5, 11, 11};
    ::FillRect(canvas.dc(), &square, red.get());
    ::GdiFlush();
    // A copy that no DC holds.
    HBITMAP copy = static_cast<HBITMAP>(::CopyImage(canvas.bitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return std::make_shared<const Picture>(Picture::FromBitmap(copy));
}

// Column k of an n-column gradient from `from` to `to`, per channel.
int32_t Mix(int32_t from, int32_t to, int k, int n) {
    const auto channel = [&](int shift) {
        const double f = (from >> shift) & 0xFF;
        const double t = (to >> shift) & 0xFF;
        return static_cast<int>((f * (n - k) + t * k) / n + 0.5);
    };
    return Rgb(channel(0), channel(8), channel(16));
}

bool Near(COLORREF actual, int32_t expected, int tolerance) {
    return std::abs(GetRValue(actual) - (expected & 0xFF)) <= tolerance &&
           std::abs(GetGValue(actual) - ((expected >> 8) & 0xFF)) <= tolerance &&
           std::abs(GetBValue(actual) - ((expected >> 16) & 0xFF)) <= tolerance;
}

// A form whose menu bar holds a bar item and a popup with one item of every sort, and the control
// attached to it with the tray menu's look in fixed colours.
class MenuPaint : public ::testing::Test {
protected:
    void SetUp() override {
        pictures_->Add(MakeSquarePicture());
        menu_.ImageArray(pictures_);
        menu_.FadeBackground(true);
        menu_.MenuBackColor(Back);
        menu_.MenuForeColorNormal(Navy);
        menu_.MenuForeColorDisabled(DarkRed);
        menu_.SelectorBackColor(Selector);
        menu_.SelectorForeColor(White);
        menu_.ExtSepBackColor(Back);
        menu_.ExtSepForeColor(Green);
        menu_.RoundSelector(true);
        // "Tall" gets a 24 x 30 picture from the form.
        menu_.events.ItemPicture = [this](std::wstring& text, const Picture*& picture, int16_t& width, int16_t& height,
                                          bool&, bool, UINT) {
            if (text == L"Tall") {
                picture = tall_.get();
                width = 24;
                height = 30;
            }
        };
        menu_.Attach(host_.hwnd());
        ASSERT_EQ(menu_.ItemCount(), 9u);
    }
    void TearDown() override { menu_.Detach(); }

    // The record number of the item with this caption.
    ULONG_PTR Record(std::wstring_view caption, int32_t kind = 1) const {
        for (const std::wstring& key : menu_.ItemKeys()) {
            const clsCtlUniIMenuItem* r = menu_.Item(key);
            if (r->sText == caption && r->iType == kind) {
                return static_cast<ULONG_PTR>(r->lId);
            }
        }
        ADD_FAILURE() << "no record";
        return 0;
    }

    void Draw(HDC dc, ULONG_PTR record, UINT state, RECT rect) {
        DRAWITEMSTRUCT draw{ODT_MENU};
        draw.hDC = dc;
        draw.rcItem = rect;
        draw.itemData = record;
        draw.itemState = state;
        menu_.DrawMenuItem(draw, menu_.StringMode());
    }

    HostWindow host_{BuildMenuBar({
        {L"Points", 1},
        {L"&Menu",
         2,
         0,
         {{L"Points", 10},
          {L"Open\tCtrl+O", 11},
          {nullptr, 0},
          {L"[SEP]General", 12},
          {L"Tall", 13},
          {L"Pic|1", 14},
          {Encoded(L"Gr\u00f6\u00dfe").c_str(), 15}}},
    })};
    std::shared_ptr<PictureList> pictures_ = std::make_shared<PictureList>();
    std::unique_ptr<Picture> tall_ =
        std::make_unique<Picture>(Picture::FromBitmap(::CreateBitmap(24, 30, 1, 32, nullptr)));
    ctlUTF8Menu menu_;
};

} // namespace

TEST_F(MenuPaint, EachKindIsMeasuredByItsRule) {
    // The text sizes with the control's menu font.
    const WindowDC dc(host_.hwnd());
    const UniqueFont font(::CreateFontIndirectW(&menu_.MenuFont()));
    const SelectGuard select(dc.get(), font.get());
    const auto text = [&](std::wstring_view t) { return MeasureText(dc.get(), t, 0); };
    const int th = text(L"Points").cy;
    ASSERT_GT(th, 0);
    // A 13-pixel text makes 13 + 2 = 15, raised to the picture's 16 + 2, plus 2 for the full selector.
    const int itemHeight = std::max(th + 2, 18) + 2;
    if (th <= 16) {
        EXPECT_EQ(itemHeight, 20);
    }

    struct Case {
        const char* name;
        ULONG_PTR record;
        int width;
        int height;
    };
    const std::vector<Case> cases{
        {"popup item", Record(L"Points"), text(L"Points").cx + 6 + 16, itemHeight},
        {"shortcut", Record(L"Open\tCtrl+O"), text(L"Open    Ctrl+O").cx + 6 + 16, itemHeight},
        {"separator", Record(L"", 2), 77 /* as received */, 5},
        {"captioned separator", Record(L"[SEP]General", 3), text(L"General").cx + 4, th + 2},
        {"form's tall picture", Record(L"Tall"), text(L"Tall").cx + 6 + 24, std::max(th + 2, 32) + 2},
        {"image list picture", Record(L"Pic|1"), text(L"Pic").cx + 6 + 16, itemHeight},
        {"menu-bar item", Record(L"Points", 0), text(L"Points").cx, itemHeight},
        {"decoded caption", Record(Encoded(L"Gr\u00f6\u00dfe")), text(L"Gr\u00f6\u00dfe").cx + 6 + 16, itemHeight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MEASUREITEMSTRUCT measure{ODT_MENU};
        measure.itemWidth = 77;
        measure.itemData = c.record;
        ASSERT_EQ(::SendMessageW(host_.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), 1);
        EXPECT_EQ(static_cast<int>(measure.itemWidth), c.width);
        EXPECT_EQ(static_cast<int>(measure.itemHeight), c.height);
    }

    // Measured on a DC of the caller's (a benchmark's canvas): the same sizes.
    DibCanvas canvas(10, 10, RGB(1, 2, 3));
    MEASUREITEMSTRUCT onCanvas{ODT_MENU};
    onCanvas.itemData = Record(L"Open\tCtrl+O");
    menu_.MeasureMenuItem(onCanvas, menu_.StringMode(), canvas.dc());
    EXPECT_EQ(static_cast<int>(onCanvas.itemWidth), cases[1].width);
    EXPECT_EQ(static_cast<int>(onCanvas.itemHeight), cases[1].height);

    // With a left band a captioned separator makes room for it.
    menu_.LeftBand(true);
    MEASUREITEMSTRUCT measure{ODT_MENU};
    measure.itemData = Record(L"[SEP]General", 3);
    ::SendMessageW(host_.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_EQ(static_cast<int>(measure.itemWidth), text(L"General").cx + 6 + 16);
}

TEST_F(MenuPaint, BackgroundsAreGradientsOfTheMenuColourFromMinus17ToPlus17) {
    const int32_t from = ShadeColor(Back, -17);
    const int32_t to = ShadeColor(Back, 17);
    struct Case {
        const char* name;
        ULONG_PTR record;
        int height;
    };
    for (const Case& c : {Case{"popup item", Record(L"Points"), 20}, Case{"separator", Record(L"", 2), 5},
                          Case{"captioned separator", Record(L"[SEP]General", 3), 20}}) {
        SCOPED_TRACE(c.name);
        DibCanvas canvas(160, c.height, RGB(1, 2, 3));
        Draw(canvas.dc(), c.record, 0, RECT{0, 0, 160, c.height});
        EXPECT_EQ(canvas.pixel(0, 0), static_cast<COLORREF>(from));
        EXPECT_TRUE(Near(canvas.pixel(80, 0), Mix(from, to, 80, 160), 1));
        EXPECT_TRUE(Near(canvas.pixel(159, 0), Mix(from, to, 159, 160), 1));
        EXPECT_EQ(canvas.pixel(0, c.height - 1), static_cast<COLORREF>(from));
    }
}

TEST_F(MenuPaint, ASeparatorIsADarkLineTwoBelowTheTopAndAWhiteLineUnderIt) {
    DibCanvas canvas(160, 15, RGB(1, 2, 3));
    Draw(canvas.dc(), Record(L"", 2), 0, RECT{0, 5, 160, 10});
    for (int x = 2; x < 158; ++x) {
        ASSERT_EQ(canvas.pixel(x, 7), static_cast<COLORREF>(Navy)) << x;
        ASSERT_EQ(canvas.pixel(x, 8), static_cast<COLORREF>(White)) << x;
        ASSERT_FALSE(Near(canvas.pixel(x, 6), Navy, 40) || Near(canvas.pixel(x, 9), White, 10)) << x;
    }
    for (const int x : {0, 1, 158, 159}) {
        EXPECT_NE(canvas.pixel(x, 7), static_cast<COLORREF>(Navy)) << x;
        EXPECT_NE(canvas.pixel(x, 8), static_cast<COLORREF>(White)) << x;
    }
    // Nothing outside the item.
    EXPECT_EQ(canvas.pixel(80, 4), RGB(1, 2, 3));
    EXPECT_EQ(canvas.pixel(80, 10), RGB(1, 2, 3));
}

TEST_F(MenuPaint, ACaptionedSeparatorCentresItsCaptionBetweenTwoRules) {
    DibCanvas canvas(160, 20, RGB(1, 2, 3));
    Draw(canvas.dc(), Record(L"[SEP]General", 3), 0, RECT{0, 0, 160, 20});
    const int tw = MeasureText(canvas.dc(), L"General", 0).cx;
    const int m = (160 - 4 - tw) / 2;
    const int y = 20 / 2 + 1;

    // The caption, without its marker, in the separator's text colour, centred.
    int left = 160, right = -1;
    for (int py = 0; py < 20; ++py) {
        for (int px = 0; px < 160; ++px) {
            if (canvas.pixel(px, py) == static_cast<COLORREF>(Green)) {
                left = std::min(left, px);
                right = std::max(right, px);
            }
        }
    }
    ASSERT_LE(left, right);
    EXPECT_GE(left, m);
    EXPECT_LT(right, m + tw + 4);
    EXPECT_LE(std::abs((left + right + 1) - 160), 3) << left << ".." << right;

    // The rules: dark at mid-height + 1, white under them.
    for (const int x : {2, m - 1, m + tw + 4, m + tw + 4 + m - 3}) {
        EXPECT_EQ(canvas.pixel(x, y), static_cast<COLORREF>(Navy)) << x;
        EXPECT_EQ(canvas.pixel(x, y + 1), static_cast<COLORREF>(White)) << x;
    }
    for (const int x : {1, m, m + tw + 3, m + tw + 4 + m - 2}) {
        EXPECT_NE(canvas.pixel(x, y), static_cast<COLORREF>(Navy)) << x;
    }
}

TEST_F(MenuPaint, TheSelectedItemIsTheSelectorFaceWithItsTextColour) {
    struct Case {
        const char* name;
        ULONG_PTR record;
        UINT state;
        int32_t outer;
        RECT text;
        UINT format;
    };
    const std::vector<Case> cases{
        // Popup item: style 3 face, rounded, the menu colour outside the corners; text after the
        // picture column.
        {"popup item", Record(L"Points"), ODS_SELECTED, Back, RECT{22, 0, 156, 20}, DT_VCENTER | DT_SINGLELINE},
        // Menu-bar item under the mouse: the same face with the bar colour outside; text centred.
        {"hot bar item", Record(L"Points", 0), ODS_HOTLIGHT, menu_.MenuBarColor(), RECT{0, 0, 160, 20},
         DT_CENTER | DT_VCENTER | DT_SINGLELINE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RECT item{0, 0, 160, 20};
        DibCanvas canvas(160, 20, RGB(1, 2, 3));
        Draw(canvas.dc(), c.record, c.state, item);

        DibCanvas reference(160, 20, RGB(1, 2, 3));
        DrawXPFrame(reference.dc(), item, Selector, true, -1, false, false, false, false, true, -1, c.outer, true);
        ::SetBkMode(reference.dc(), TRANSPARENT);
        DrawColoredText(reference.dc(), L"Points", c.text, White, c.format);

        int different = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 160; ++x) {
                different += canvas.pixel(x, y) != reference.pixel(x, y);
            }
        }
        EXPECT_EQ(different, 0);
        EXPECT_TRUE(Near(canvas.pixel(80, 10), Selector, 60)); // the face really is the selector colour
    }
}

TEST_F(MenuPaint, DisabledTextIsEngravedWithAWhiteShadow) {
    DibCanvas canvas(160, 20, RGB(1, 2, 3));
    Draw(canvas.dc(), Record(L"Points"), ODS_DISABLED | ODS_SELECTED, RECT{0, 0, 160, 20});
    int text = 0, shadow = 0;
    for (int y = 0; y < 19; ++y) {
        for (int x = 0; x < 159; ++x) {
            if (canvas.pixel(x, y) != static_cast<COLORREF>(DarkRed)) {
                continue;
            }
            ++text;
            const COLORREF below = canvas.pixel(x + 1, y + 1);
            if (below != static_cast<COLORREF>(DarkRed)) {
                ASSERT_EQ(below, static_cast<COLORREF>(White)) << x << "," << y;
                ++shadow;
            }
        }
    }
    EXPECT_GT(text, 10);
    EXPECT_GT(shadow, 5);
    // Disabled: no selector although the item is selected.
    EXPECT_EQ(canvas.pixel(0, 0), static_cast<COLORREF>(ShadeColor(Back, -17)));
}

TEST_F(MenuPaint, PicturesAreDrawnTransparentAndACheckedItemShowsTheTickInstead) {
    const RECT item{0, 0, 160, 20};
    const RECT box{2, 1, 18, 19};
    const auto count = [&](const DibCanvas& canvas, COLORREF colour, RECT* bounds = nullptr) {
        int n = 0;
        RECT b{160, 20, -1, -1};
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 160; ++x) {
                if (canvas.pixel(x, y) == colour) {
                    ++n;
                    b = RECT{std::min<LONG>(b.left, x), std::min<LONG>(b.top, y), std::max<LONG>(b.right, x + 1),
                             std::max<LONG>(b.bottom, y + 1)};
                }
            }
        }
        if (bounds) {
            *bounds = b;
        }
        return n;
    };

    DibCanvas plain(160, 20, RGB(1, 2, 3));
    Draw(plain.dc(), Record(L"Pic|1"), 0, item);
    RECT square{};
    EXPECT_EQ(count(plain, Red, &square), 36);
    EXPECT_EQ(count(plain, Magenta), 0);
    // The 16 x 16 picture centred in its 16 x 18 box.
    EXPECT_EQ(square.left, box.left + 5);
    EXPECT_EQ(square.right, box.left + 11);
    EXPECT_GE(square.top, box.top + 5);
    EXPECT_LE(square.bottom, box.top + 12);

    DibCanvas checked(160, 20, RGB(1, 2, 3));
    Draw(checked.dc(), Record(L"Pic|1"), ODS_CHECKED, item);
    EXPECT_EQ(count(checked, Red), 0);
    RECT tick{};
    count(checked, RGB(0, 0, 0), &tick);
    ASSERT_EQ(tick.right - tick.left, 7);
    ASSERT_EQ(tick.bottom - tick.top, 7);
    EXPECT_EQ(tick.left, box.left + 4); // (16 - 7) / 2
    EXPECT_GE(tick.top, box.top + 5);
    EXPECT_LE(tick.bottom, box.bottom - 5);
    const char* rows[7] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(checked.pixel(tick.left + x, tick.top + y) == RGB(0, 0, 0), rows[y][x] == '#') << x << "," << y;
        }
    }
}

TEST(MenuItemPaint, LengthsScaleWithTheDpi) {
    DibCanvas canvas(300, 60, RGB(1, 2, 3));
    const MenuLook look;
    const int th = MeasureText(canvas.dc(), L"Points", 0).cy;
    ASSERT_LT(th, 32);
    struct Case {
        UINT dpi;
        int icon, separator, popupHeight;
    };
    for (const Case& c : {Case{96, 16, 5, std::max(th + 2, 18) + 2}, Case{144, 24, 8, std::max(th + 3, 27) + 3},
                          Case{192, 32, 10, 40}}) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(ScaleToDpi(16, c.dpi), c.icon);
        MenuItemContent item;
        item.text = L"Points";
        item.pictureWidth = item.pictureHeight = c.icon;
        UINT width = 0, height = 0;
        MeasureItemContent(canvas.dc(), look, item, c.dpi, width, height);
        EXPECT_EQ(static_cast<int>(height), c.popupHeight);
        EXPECT_EQ(static_cast<int>(width), MeasureText(canvas.dc(), L"Points", 0).cx + ScaleToDpi(6, c.dpi) + c.icon);

        MenuItemContent separator;
        separator.kind = 2;
        MeasureItemContent(canvas.dc(), look, separator, c.dpi, width, height);
        EXPECT_EQ(static_cast<int>(height), c.separator);

        // The separator's lines move down with the scaled offset and stay one pixel each.
        const Picture tick = MakeCheckMark(c.dpi);
        canvas.Fill(RGB(1, 2, 3));
        MenuLook flat;
        flat.MenuBackColor = Back;
        flat.MenuForeColorNormal = Navy;
        DrawItemContent(canvas.dc(), RECT{0, 0, 300, c.separator}, 0, flat, separator, c.dpi, tick);
        const int lineY = ScaleToDpi(2, c.dpi);
        EXPECT_EQ(canvas.pixel(150, lineY), static_cast<COLORREF>(Navy));
        EXPECT_EQ(canvas.pixel(150, lineY + 1), static_cast<COLORREF>(White));
        EXPECT_EQ(canvas.pixel(150, lineY - 1), static_cast<COLORREF>(Back));

        // The tick is made at the DPI's size: 7 x 7 at 96, three pixels thick per column.
        BITMAP info{};
        ASSERT_TRUE(::GetObjectW(tick.bitmap(), sizeof(info), &info));
        EXPECT_EQ(info.bmWidth, ScaleToDpi(7, c.dpi));
        EXPECT_EQ(info.bmHeight, ScaleToDpi(7, c.dpi));
    }
}

TEST_F(MenuPaint, MeasuringAndDrawingLeaveNoGdiObjectBehind) {
    DibCanvas canvas(160, 20, RGB(1, 2, 3));
    menu_.CustomFontFace(L"Tahoma"); // drawing makes a font of its own too
    menu_.LoadMenuFont(96);
    struct Request {
        ULONG_PTR record;
        UINT state;
    };
    const std::vector<Request> requests{
        {Record(L"Points"), 0},          {Record(L"Points"), ODS_SELECTED},    {Record(L"Points"), ODS_DISABLED},
        {Record(L"Pic|1"), 0},           {Record(L"Pic|1"), ODS_CHECKED},      {Record(L"", 2), 0},
        {Record(L"[SEP]General", 3), 0}, {Record(L"Points", 0), ODS_HOTLIGHT}, {Record(L"Tall"), 0},
    };
    const auto round = [&] {
        for (const Request& r : requests) {
            MEASUREITEMSTRUCT measure{ODT_MENU};
            measure.itemData = r.record;
            ::SendMessageW(host_.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
            DRAWITEMSTRUCT draw{ODT_MENU};
            draw.hDC = canvas.dc();
            draw.rcItem = RECT{0, 0, 160, 20};
            draw.itemData = r.record;
            draw.itemState = r.state;
            ::SendMessageW(host_.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        }
    };
    const auto [before, after] = CountsAround(100, [&](int) { round(); });
    EXPECT_EQ(after, before);
}
