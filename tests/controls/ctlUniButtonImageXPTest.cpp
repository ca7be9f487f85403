// The image button as a real child window of a real form: its face in every state, mouse input through
// the system's input queue, the keys through the dialog manager, the picture's place and the layout.
#include "controls/ctlUniButtonImageXP.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "ControlHost.h"
#include "draw/DrawHelpers.h"
#include "draw/XPFrame.h"
#include "support/Desktop.h"
#include "support/GdiCount.h"
#include "support/RectCompare.h"
#include "support/TestSettings.h"

namespace {

constexpr COLORREF Back = RGB(220, 220, 220);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Green = RGB(0, 255, 0);
const StdFont TestFont{L"Arial", 10};
constexpr RECT Place{20, 20, 120, 60}; // 100 x 40

// A button on the host with the font above, a light grey face and a red caption unless the set says
// otherwise.
void Make(ctlUniButtonImageXP& button, HWND host, PropertyBag props, RECT rect = Place) {
    ASSERT_TRUE(button.Create(host, rect, WithLook(std::move(props), TestFont, Back, Red)));
}

std::vector<COLORREF> Pixels(const DibCanvas& canvas) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            pixels.push_back(canvas.pixel(x, y));
        }
    }
    return pixels;
}

// The button drawn by DrawControl into a canvas of its size.
std::vector<COLORREF> Drawn(ctlUniButtonImageXP& button) {
    DibCanvas canvas(button.SurfaceWidth(), button.SurfaceHeight(), RGB(1, 2, 3));
    button.DrawControl(canvas.dc());
    return Pixels(canvas);
}

// What the face painter draws for a button with the default look properties and these states.
struct FaceState {
    bool pressed = false;
    bool isDefault = false;
    bool isCancel = false;
    bool focus = false;
};
std::vector<COLORREF> Face(FaceState s, int width = 100, int height = 40) {
    DibCanvas canvas(width, height, RGB(1, 2, 3));
    DrawXPFrame(canvas.dc(), RECT{0, 0, width, height}, static_cast<int32_t>(Back), true, -1, s.pressed, s.isDefault,
                s.isCancel, s.focus, true, -1, -1, true);
    return Pixels(canvas);
}

// A 16 x 16 picture in one colour, the top-left 4 x 4 corner in another.
PicturePtr Bitmap(COLORREF fill, COLORREF corner) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* raw = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    auto* bits = static_cast<uint32_t*>(raw);
    const auto bgr = [](COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); };
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            bits[y * 16 + x] = x < 4 && y < 4 ? bgr(corner) : bgr(fill);
        }
    }
    return std::make_shared<const Picture>(Picture::FromBitmap(bitmap));
}

// A 16 x 16 opaque icon in one colour.
PicturePtr Icon(COLORREF fill) {
    const PicturePtr colour = Bitmap(fill, fill);
    const std::vector<uint8_t> zeros(16 * 2, 0);
    const UniqueBitmap mask(::CreateBitmap(16, 16, 1, 1, zeros.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), colour->bitmap()};
    return std::make_shared<const Picture>(Picture::FromIcon(::CreateIconIndirect(&info)));
}

int Count(const std::vector<COLORREF>& pixels, COLORREF colour) {
    return CountColour(pixels, colour);
}

// The smallest rectangle holding every pixel of the colour (empty when there is none).
RECT BoundsOf(const std::vector<COLORREF>& pixels, int width, COLORREF colour) {
    RECT box{};
    bool any = false;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] != colour) {
            continue;
        }
        const LONG x = static_cast<LONG>(i % width);
        const LONG y = static_cast<LONG>(i / width);
        if (!any) {
            box = RECT{x, y, x + 1, y + 1};
            any = true;
        }
        box =
            RECT{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    }
    return box;
}

void TakeFocus(ctlUniButtonImageXP& button) {
    ::SetFocus(button.hWnd());
    ASSERT_EQ(::GetFocus(), button.hWnd());
}

void Send(ctlUniButtonImageXP& button, UINT msg, WPARAM keys, int x = 10, int y = 10) {
    ::SendMessageW(button.hWnd(), msg, keys, MAKELPARAM(x, y));
}

class ButtonTest : public ::testing::Test {
protected:
    ControlHost host;
};

TEST_F(ButtonTest, PropertySetDefaultsAndRoundTrip) {
    ctlUniButtonImageXP named(L"btnClose");
    ASSERT_TRUE(named.Create(host.hwnd(), Place, {}));
    EXPECT_EQ(named.Caption(), L"btnClose") << "a missing caption is the control's name";
    EXPECT_EQ(named.Style(), -1);
    EXPECT_TRUE(named.RoundedBorders());
    EXPECT_TRUE(named.ShowFocus());
    EXPECT_EQ(named.BackColor(), UniControl::kButtonFace);
    EXPECT_EQ(named.ForeColor(), UniControl::kButtonText);
    EXPECT_EQ(named.TransparentColor(), -1);
    EXPECT_EQ(named.TransparencyType(), 0);
    EXPECT_FALSE(named.Default());
    EXPECT_FALSE(named.PropertiesChanged());

    ctlUniButtonImageXP button(L"btnOk");
    const PicturePtr picture = Bitmap(Blue, Blue);
    Make(button, host.hwnd(),
         {{"CAPTION", StringToBytes(L"&Ok")},
          {"imagepos", int32_t{6}},
          {"Picture", picture},
          {"xTranspColor", int32_t{70000}}, // does not fit the stored 16 bits: keeps 0
          {"yTranspColor", int32_t{3}},
          {"Tristate", true},
          {"Default", true}});
    EXPECT_EQ(button.Caption(), L"&Ok");
    EXPECT_EQ(button.AccessKey(), L'O');
    EXPECT_EQ(button.ImagePos(), 6);
    EXPECT_EQ(button.Picture(), picture);
    EXPECT_EQ(button.xTranspColor(), 0);
    EXPECT_EQ(button.yTranspColor(), 3);
    EXPECT_TRUE(button.Tristate());
    EXPECT_TRUE(button.Default());

    PropertyBag saved;
    button.WriteProperties(saved);
    EXPECT_EQ(std::get<std::vector<uint8_t>>(*saved.Find("caption")), StringToBytes(L"&Ok"));
    ctlUniButtonImageXP copy(L"other");
    ASSERT_TRUE(copy.Create(host.hwnd(), RECT{20, 70, 120, 110}, saved));
    EXPECT_EQ(copy.Caption(), L"&Ok");
    EXPECT_EQ(copy.ImagePos(), 6);
    EXPECT_EQ(copy.yTranspColor(), 3);
    EXPECT_EQ(copy.Picture(), picture);
    EXPECT_TRUE(copy.Tristate());
    EXPECT_TRUE(copy.Default());
    EXPECT_FALSE(button.Default()) << "a form has one default button";
    button.Cancel(true);
    copy.Cancel(true);
    EXPECT_FALSE(button.Cancel()) << "and one cancel button";
    EXPECT_TRUE(copy.PropertiesChanged());
}

TEST_F(ButtonTest, WindowTextIsTheCaptionAndTheAccessKeyFollowsIt) {
    ctlUniButtonImageXP button;
    Make(button, host.hwnd(), {{"Caption", std::wstring(L"&Close this window")}});
    const auto text = [&] {
        wchar_t buffer[64]{};
        ::SendMessageW(button.hWnd(), WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
        return std::wstring(buffer);
    };
    EXPECT_EQ(text(), L"&Close this window");
    EXPECT_EQ(button.AccessKey(), L'C');

    struct Case {
        const wchar_t* caption;
        wchar_t key;
    };
    const Case cases[] = {
        {L"Save && exit", 0},          {L"a&&&b", L'b'}, {L"&&", 0},  {L"End&", 0},
        {L"\u65e5&\u672c", L'\u672c'}, {L"", 0},         {L"&&&", 0},
    };
    for (const Case& c : cases) {
        button.Caption(L"&Key"); // a key to clear
        button.Caption(c.caption);
        EXPECT_EQ(button.AccessKey(), c.key) << testing::PrintToString(std::wstring(c.caption));
        EXPECT_EQ(text(), c.caption);
    }
}

TEST_F(ButtonTest, FaceShowsPressFocusAndTheFormsMarks) {
    struct Case {
        const char* name;
        void (*setup)(ctlUniButtonImageXP&);
        FaceState expected;
    };
    const Case cases[] = {
        {"idle", [](ctlUniButtonImageXP&) {}, {}},
        {"focused", [](ctlUniButtonImageXP& b) { TakeFocus(b); }, {.focus = true}},
        {"focused, ShowFocus off",
         [](ctlUniButtonImageXP& b) {
             b.ShowFocus(false);
             TakeFocus(b);
         },
         {}},
        {"default", [](ctlUniButtonImageXP& b) { b.Default(true); }, {.isDefault = true}},
        {"cancel", [](ctlUniButtonImageXP& b) { b.Cancel(true); }, {.isCancel = true}},
        {"default and cancel",
         [](ctlUniButtonImageXP& b) {
             b.Default(true);
             b.Cancel(true);
         },
         {.isDefault = true, .isCancel = true}},
        // The press takes the focus, but the pressed look has no focus rectangle.
        {"left button held", [](ctlUniButtonImageXP& b) { Send(b, WM_LBUTTONDOWN, MK_LBUTTON); }, {.pressed = true}},
        {"right button held", [](ctlUniButtonImageXP& b) { Send(b, WM_RBUTTONDOWN, MK_RBUTTON); }, {}},
        {"toggled on",
         [](ctlUniButtonImageXP& b) {
             b.Tristate(true);
             b.Pressed(true);
         },
         {.pressed = true}},
        {"Pressed without Tristate", [](ctlUniButtonImageXP& b) { b.Pressed(true); }, {}},
        {"disabled default, cancel",
         [](ctlUniButtonImageXP& b) {
             b.Default(true);
             b.Cancel(true);
             b.Enabled(false);
         },
         {}},
        {"ForceLostFocus while held",
         [](ctlUniButtonImageXP& b) {
             Send(b, WM_LBUTTONDOWN, MK_LBUTTON);
             b.ForceLostFocus();
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctlUniButtonImageXP button;
        Make(button, host.hwnd(), {{"Caption", std::wstring()}});
        c.setup(button);
        EXPECT_EQ(Drawn(button), Face(c.expected));
    }
}

// Drives the mouse through the system's input queue, as a user's hand would.
class ButtonMouseTest : public ButtonTest {
protected:
    POINT OnHost(int x, int y) const {
        POINT p{x, y};
        ::ClientToScreen(host.hwnd(), &p);
        return p;
    }
    void SetUp() override { ::SetForegroundWindow(host.hwnd()); }
};

TEST_F(ButtonMouseTest, PressedWhileHeldAndClickOnlyWhenReleasedOverTheButton) {
    ctlUniButtonImageXP button;
    Make(button, host.hwnd(), {{"Caption", std::wstring()}});
    std::vector<std::string> seen;
    button.events.MouseDown = [&](int16_t& b, int16_t&, float&, float&) { seen.push_back("down" + std::to_string(b)); };
    button.events.MouseUp = [&](int16_t& b, int16_t&, float&, float&) { seen.push_back("up" + std::to_string(b)); };
    button.events.Click = [&] { seen.push_back("click"); };
    const POINT inside = OnHost(70, 40);
    const POINT outside = OnHost(300, 200);

    SendMouse(inside, 0);
    SendMouse(inside, MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(::GetFocus(), button.hWnd()) << "the press takes the focus";
    EXPECT_EQ(Drawn(button), Face({.pressed = true}));
    SendMouse(outside, 0);
    EXPECT_EQ(Drawn(button), Face({.pressed = true})) << "dragged off, still pressed";
    SendMouse(outside, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(Drawn(button), Face({.focus = true}));
    EXPECT_EQ(seen, (std::vector<std::string>{"down1", "up1"})) << "released off the button: no click";

    seen.clear();
    const POINT elsewhere = OnHost(40, 30); // not a double click with the first press
    SendMouse(elsewhere, 0);
    SendMouse(elsewhere, MOUSEEVENTF_LEFTDOWN);
    SendMouse(outside, 0);
    SendMouse(inside, 0);
    SendMouse(inside, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(seen, (std::vector<std::string>{"down1", "up1", "click"})) << "back over the button: a click";

    seen.clear();
    button.Enabled(false);
    SendMouse(inside, MOUSEEVENTF_LEFTDOWN);
    SendMouse(inside, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(seen.empty()) << "a disabled button hears nothing";
}

TEST_F(ButtonTest, TristateTogglesBeforeClickAndValueClicks) {
    ctlUniButtonImageXP button;
    Make(button, host.hwnd(), {{"Caption", std::wstring(L"Toggle")}, {"Tristate", true}});
    std::vector<bool> seen; // Pressed as the Click handler sees it
    button.events.Click = [&] { seen.push_back(button.Pressed()); };
    Send(button, WM_LBUTTONDOWN, MK_LBUTTON);
    Send(button, WM_LBUTTONUP, 0);
    EXPECT_EQ(seen, std::vector<bool>{true});
    EXPECT_TRUE(button.Value());
    button.Value(true);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    button.Value(false);
    EXPECT_EQ(seen.size(), 2u) << "Value false does nothing";
    EXPECT_FALSE(button.Value());

    button.Tristate(false);
    button.Value(true);
    EXPECT_EQ(seen, (std::vector<bool>{true, false, false})) << "a plain button clicks without toggling";
}

TEST_F(ButtonTest, DoubleClickIsASecondClickUnlessDblClickEventIsOn) {
    for (const bool dblClickEvent : {false, true}) {
        SCOPED_TRACE(dblClickEvent);
        ctlUniButtonImageXP button;
        Make(button, host.hwnd(), {{"Caption", std::wstring(L"Twice")}, {"DblClickEvent", dblClickEvent}});
        std::vector<std::string> seen;
        button.events.Click = [&] { seen.push_back("click"); };
        button.events.DblClick = [&] { seen.push_back("dbl"); };
        Send(button, WM_LBUTTONDOWN, MK_LBUTTON);
        Send(button, WM_LBUTTONUP, 0);
        Send(button, WM_LBUTTONDBLCLK, MK_LBUTTON);
        Send(button, WM_LBUTTONUP, 0);
        const std::vector<std::string> expected =
            dblClickEvent ? std::vector<std::string>{"click", "dbl"} : std::vector<std::string>{"click", "click"};
        EXPECT_EQ(seen, expected);
    }
}

// A form whose message loop runs the dialog manager and routes Enter and Escape to its buttons.
class ButtonKeysTest : public ButtonTest {
protected:
    static LRESULT CALLBACK FormProc(HWND form, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        if (msg == WM_COMMAND && ctlUniButtonImageXP::RouteDialogCommand(form, wParam)) {
            return 0;
        }
        return ::DefWindowProcW(form, msg, wParam, lParam);
    }

    void SetUp() override {
        ::SetWindowLongPtrW(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormProc));
        // Tab order is creation order: edit, ok, cancel, other.
        edit.reset(::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 200, 20, 100, 24,
                                     host.hwnd(), nullptr, nullptr, nullptr));
        Make(ok, host.hwnd(), {{"Caption", std::wstring(L"&Ok")}, {"Default", true}}, RECT{20, 20, 120, 50});
        Make(cancel, host.hwnd(), {{"Caption", std::wstring(L"&Cancel")}, {"Cancel", true}}, RECT{20, 60, 120, 90});
        Make(other, host.hwnd(), {{"Caption", std::wstring(L"Other")}}, RECT{20, 100, 120, 130});
        ok.events.Click = [this] { ++clicks[0]; };
        cancel.events.Click = [this] { ++clicks[1]; };
        other.events.Click = [this] { ++clicks[2]; };
        ::SetForegroundWindow(host.hwnd());
        PumpPendingMessages();
    }

    void Focus(HWND window) {
        ::SetFocus(window);
        ASSERT_EQ(::GetFocus(), window);
    }
    // Posts a key message to the focused window, as the keyboard would, and runs the form's loop.
    void Key(UINT msg, WPARAM key) {
        LPARAM lParam = 1 | (static_cast<LPARAM>(::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16);
        if (msg == WM_KEYUP) {
            lParam |= 0xC0000000;
        }
        if (msg == WM_SYSCHAR) {
            lParam |= 1 << 29; // Alt held
        }
        ::PostMessageW(::GetFocus(), msg, key, lParam);
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (!::IsDialogMessageW(host.hwnd(), &m)) {
                ::TranslateMessage(&m);
                ::DispatchMessageW(&m);
            }
        }
    }

    UniqueWindow edit;
    ctlUniButtonImageXP ok;
    ctlUniButtonImageXP cancel;
    ctlUniButtonImageXP other;
    std::vector<int> clicks = {0, 0, 0}; // ok, cancel, other
};

TEST_F(ButtonKeysTest, DialogKeysClickTheRightButton) {
    struct Input {
        UINT msg;
        WPARAM key;
    };
    struct Case {
        const char* name;
        int focus; // 0 the edit box, 1 other
        std::vector<Input> input;
        std::vector<int> clicks;
    };
    const Case cases[] = {
        {"Space on a button", 1, {{WM_KEYDOWN, VK_SPACE}, {WM_KEYUP, VK_SPACE}}, {0, 0, 1}},
        {"Enter on a button is its own", 1, {{WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}}, {0, 0, 1}},
        {"Enter elsewhere: the default button", 0, {{WM_KEYDOWN, VK_RETURN}}, {1, 0, 0}},
        {"Escape: the cancel button", 1, {{WM_KEYDOWN, VK_ESCAPE}}, {0, 1, 0}},
        {"Alt + access key", 0, {{WM_SYSCHAR, L'c'}}, {0, 1, 0}},
        {"access key alone while a button has the focus", 1, {{WM_CHAR, L'o'}}, {1, 0, 0}},
        {"a letter typed into the edit box", 0, {{WM_CHAR, L'o'}}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clicks = {0, 0, 0};
        Focus(c.focus == 0 ? edit.get() : other.hWnd());
        for (const Input& i : c.input) {
            Key(i.msg, i.key);
        }
        EXPECT_EQ(clicks, c.clicks);
    }

    ok.Enabled(false);
    clicks = {0, 0, 0};
    Focus(edit.get());
    Key(WM_KEYDOWN, VK_RETURN);
    Key(WM_SYSCHAR, L'o');
    EXPECT_EQ(clicks, (std::vector<int>{0, 0, 0})) << "a disabled default button does not click";
}

TEST_F(ButtonKeysTest, SpaceClicksOnceOnReleaseAndKeyPressCanCancel) {
    Focus(other.hWnd());
    std::vector<int> keys;
    other.events.KeyDown = [&](int16_t& code, int16_t&) { keys.push_back(code); };
    other.events.KeyUp = [&](int16_t& code, int16_t&) { keys.push_back(-code); };
    Key(WM_KEYDOWN, VK_SPACE);
    Key(WM_KEYDOWN, VK_SPACE); // held: the key repeats
    EXPECT_EQ(clicks[2], 0) << "not while the key is down";
    Key(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(clicks[2], 1);
    EXPECT_EQ(keys, (std::vector<int>{VK_SPACE, VK_SPACE, -VK_SPACE}));

    other.events.KeyPress = [](int16_t& keyAscii) { keyAscii = 0; };
    Key(WM_KEYDOWN, VK_SPACE);
    Key(WM_KEYUP, VK_SPACE);
    Key(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(clicks[2], 1) << "KeyAscii 0 cancels the click";

    other.events.KeyPress = [](int16_t& keyAscii) { keyAscii = keyAscii == L'x' ? 13 : keyAscii; };
    Key(WM_CHAR, L'x');
    EXPECT_EQ(clicks[2], 2) << "a KeyPress that makes a carriage return clicks";
}

TEST_F(ButtonKeysTest, TabMovesTheFocusAndTheFocusRectangleWithIt) {
    Focus(ok.hWnd());
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(::GetFocus(), cancel.hWnd());
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(::GetFocus(), other.hWnd());
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(::GetFocus(), edit.get()) << "round to the first tab stop";

    // The face with and without the focus differs only by the focus rectangle.
    other.Caption(L"");
    const std::vector<COLORREF> unfocused = Drawn(other);
    Focus(other.hWnd());
    EXPECT_EQ(Drawn(other), Face({.focus = true}, 100, 30));
    EXPECT_EQ(unfocused, Face({}, 100, 30));
}

TEST_F(ButtonTest, DisabledCaptionIsGreyAndEnabledCaptionIsForeColor) {
    ctlUniButtonImageXP button;
    Make(button, host.hwnd(), {{"Caption", std::wstring(L"HELLO")}});
    const COLORREF grey = static_cast<COLORREF>(TranslateColor(UniControl::kGrayText));
    ctlUniButtonImageXP blank;
    Make(blank, host.hwnd(), {{"Caption", std::wstring()}}, RECT{20, 70, 120, 110});
    const int greyOfFace = Count(Drawn(blank), grey);

    std::vector<COLORREF> pixels = Drawn(button);
    EXPECT_GT(Count(pixels, Red), 20);
    button.Enabled(false);
    pixels = Drawn(button);
    EXPECT_EQ(Count(pixels, Red), 0);
    EXPECT_GT(Count(pixels, grey), greyOfFace + 20);
    button.Enabled(true);
    EXPECT_GT(Count(Drawn(button), Red), 20);
}

TEST_F(ButtonTest, PictureIsDrawnAtItsPlace) {
    struct Case {
        const char* name;
        int32_t imagePos;
        const wchar_t* caption;
        bool icon;
        RECT expected; // where the blue picture lands on the 100 x 40 face
    };
    const Case cases[] = {
        {"no caption: centred on the face", 6, L"", false, {42, 12, 58, 28}},
        {"left edge", 6, L"Go", false, {2, 12, 18, 28}},
        {"right edge", 7, L"Go", false, {82, 12, 98, 28}},
        {"top edge", 5, L"Go", false, {42, 2, 58, 18}},
        {"bottom edge", 8, L"Go", false, {42, 22, 58, 38}},
        {"icon at the right edge", 11, L"Go", true, {82, 12, 98, 28}},
        {"ImagePos 9 lays nothing out", 9, L"Go", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctlUniButtonImageXP button;
        Make(button, host.hwnd(),
             {{"Caption", std::wstring(c.caption)},
              {"ImagePos", c.imagePos},
              {"Picture", c.icon ? Icon(Blue) : Bitmap(Blue, Blue)},
              {"TransparencyType", int32_t{-1}}});
        const std::vector<COLORREF> pixels = Drawn(button);
        EXPECT_EQ(BoundsOf(pixels, 100, Blue), c.expected);
        EXPECT_EQ(Count(pixels, Blue), c.expected.right > 0 ? 256 : 0);
        EXPECT_EQ(Count(pixels, Red) > 0, c.imagePos != 9 && c.caption[0] != 0) << "the caption shows";
    }
}

TEST_F(ButtonTest, PictureTransparencyAndDisabledLook) {
    struct Case {
        const char* name;
        int32_t transparencyType;
        int32_t transparentColor;
        bool enabled;
        int blue, green; // pixels of the 16 x 16 blue picture with a 4 x 4 green corner
    };
    const Case cases[] = {
        {"opaque", -1, -1, true, 240, 16},
        {"colour of pixel (0, 0) left out", 0, -1, true, 240, 0},
        {"TransparentColor left out", 1, static_cast<int32_t>(Blue), true, 0, 16},
        {"disabled: grey", -1, -1, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctlUniButtonImageXP button;
        Make(button, host.hwnd(),
             {{"Caption", std::wstring(L"Go")},
              {"ImagePos", int32_t{6}},
              {"Picture", Bitmap(Blue, Green)},
              {"TransparencyType", c.transparencyType},
              {"TransparentColor", c.transparentColor},
              {"Enabled", c.enabled}});
        const std::vector<COLORREF> pixels = Drawn(button);
        EXPECT_EQ(Count(pixels, Blue), c.blue);
        EXPECT_EQ(Count(pixels, Green), c.green);
    }
}

TEST(ButtonLayout, EveryImagePosPlacesPictureAndCaption) {
    // A 100 x 40 face, a 16 x 16 picture, a caption of 40 x 13 pixels wherever it is measured.
    struct Case {
        int32_t imagePos;
        RECT picture;
        RECT caption;
        UINT alignment;
        LONG measuredRight; // of the rectangle the caption is measured in
    };
    const Case cases[] = {
        {0, {0, 4, 100, 20}, {2, 23, 98, 36}, DT_CENTER, 98},
        {1, {20, 0, 36, 40}, {39, 14, 79, 27}, DT_CENTER, 79}, // (100 - 59) / 2 = 20.5 -> 20, 27 / 2 -> 14
        {2, {63, 0, 79, 40}, {20, 14, 60, 27}, DT_CENTER, 79},
        {3, {0, 20, 100, 36}, {2, 4, 98, 17}, DT_CENTER, 98},
        {4, {0, 0, 100, 40}, {2, 14, 98, 38}, DT_CENTER, 98},
        {5, {0, 2, 100, 18}, {2, 21, 98, 34}, DT_CENTER, 98},
        {6, {2, 0, 18, 40}, {21, 14, 98, 27}, DT_LEFT, 79},
        {7, {82, 0, 98, 40}, {2, 14, 79, 27}, DT_RIGHT, 79},
        {8, {0, 22, 100, 38}, {2, 6, 98, 19}, DT_CENTER, 98},
        {10, {2, 0, 18, 40}, {21, 14, 98, 27}, DT_CENTER, 79},
        {11, {82, 0, 98, 40}, {2, 14, 79, 27}, DT_CENTER, 79},
        {9, {}, {}, DT_CENTER, 0},
        {12, {}, {}, DT_CENTER, 0},
        {-1, {}, {}, DT_CENTER, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.imagePos);
        LONG measuredRight = 0;
        const auto measure = [&](const RECT& r) {
            measuredRight = r.right;
            return SIZE{40, 13};
        };
        const auto layout = ctlUniButtonImageXP::LayOutFace(c.imagePos, 100, 40, SIZE{16, 16}, true, measure);
        EXPECT_EQ(layout.picture, c.picture);
        EXPECT_EQ(layout.caption, c.caption);
        EXPECT_EQ(layout.alignment, c.alignment);
        EXPECT_EQ(measuredRight, c.measuredRight);
    }

    // A caption alone is centred in the face deflated by 1; a picture alone has the whole face.
    RECT measuredIn{};
    const auto measure = [&](const RECT& r) {
        measuredIn = r;
        return SIZE{40, 13};
    };
    auto layout = ctlUniButtonImageXP::LayOutFace(6, 100, 40, std::nullopt, true, measure);
    EXPECT_EQ(measuredIn, (RECT{1, 1, 99, 39}));
    EXPECT_EQ(layout.caption, (RECT{1, 14, 99, 39}));
    EXPECT_EQ(layout.alignment, static_cast<UINT>(DT_CENTER));
    layout = ctlUniButtonImageXP::LayOutFace(6, 100, 40, SIZE{16, 16}, false, measure);
    EXPECT_EQ(layout.picture, (RECT{0, 0, 100, 40}));
    EXPECT_TRUE(::IsRectEmpty(&layout.caption));
}

TEST_F(ButtonTest, RoundRegionsFollowResize) {
    ctlUniButtonImageXP button;
    Make(button, host.hwnd(), {{"Caption", std::wstring(L"Round")}});
    int resizes = 0;
    button.events.Resize = [&] { ++resizes; };
    UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    button.UseRoundRegions(true);
    EXPECT_TRUE(button.RoundedBorders());
    ASSERT_NE(::GetWindowRgn(button.hWnd(), shape.get()), ERROR);
    EXPECT_TRUE(::PtInRegion(shape.get(), 50, 20));
    ::SetWindowPos(button.hWnd(), nullptr, 0, 0, 150, 50, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_NE(::GetWindowRgn(button.hWnd(), shape.get()), ERROR);
    EXPECT_TRUE(::PtInRegion(shape.get(), 140, 25)) << "the shape grew with the surface";
    button.UseRoundRegions(false);
    EXPECT_EQ(::GetWindowRgn(button.hWnd(), shape.get()), ERROR);
    EXPECT_EQ(resizes, 3);
}

TEST_F(ButtonTest, RedrawingLeaksNoGdiObjects) {
    ctlUniButtonImageXP button;
    Make(button, host.hwnd(), {{"Caption", std::wstring(L"&Redraw")}, {"Picture", Bitmap(Blue, Green)}});
    const PicturePtr bitmap = Bitmap(Blue, Green);
    const PicturePtr icon = Icon(Blue);
    const auto round = [&](int i) {
        button.Picture(i % 3 == 0 ? bitmap : i % 3 == 1 ? icon : nullptr);
        button.Caption(i % 2 ? L"&Redraw" : L"Redraw\r\nagain");
        button.ImagePos(i % 12);
        button.Enabled(i % 4 != 0);
        button.TransparencyType(i % 3 - 1);
        button.UseRoundRegions(i % 5 == 0);
        button.Default(i % 2 == 0);
        Send(button, i % 2 ? WM_LBUTTONDOWN : WM_LBUTTONUP, i % 2 ? MK_LBUTTON : 0);
        ::SetFocus(i % 2 ? button.hWnd() : host.hwnd());
        (void)PrintedPixels(button.hWnd());
        PumpPendingMessages();
    };
    const auto [before, after] = CountsAround(200, round);
    EXPECT_EQ(after, before);
}

} // namespace
