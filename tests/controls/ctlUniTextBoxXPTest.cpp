// The text box as a real child window of a real form: its edit window, frame, colours, keyboard and
// mouse rules, events, recreation and the painting before it is started.
#include "controls/ctlUniTextBoxXP.h"

#include <gtest/gtest.h>
#include <imm.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlHost.h"
#include "draw/DrawHelpers.h"
#include "support/Desktop.h"
#include "support/GdiCount.h"
#include "support/RectCompare.h"
#include "winmsg/MSubclass.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Sentinel = RGB(1, 2, 3); // what PrintedPixels starts from
const StdFont TestFont{L"Arial", 12};

const std::wstring HelpText = L"Trelvik is a program that permits you to:\r\n"
                              L"- Test if your application windows fit in a certain screen resolution (very useful "
                              L"for developers!);\r\n"
                              L"- Measure any window by dragging the red ball (left-upper corner).\r\n"
                              L"\r\n"
                              L"How to use this program:\r\n"
                              L"- Move the ruler by dragging it\r\n"
                              L"- Measure a certain window by dragging the red ball over it\r\n"
                              L"- Show/Hide the ruler by left-clicking over the notify icon\r\n"
                              L"- Show the options by right-clicking over the notify icon or the ruler window\r\n"
                              L"- The ruler can be resized using the mouse";

// A box on the host at rect: white back, black text, the test font, unless the set says otherwise.
void Make(ctlUniTextBoxXP& box, HWND host, RECT rect, PropertyBag props = {}) {
    ASSERT_TRUE(box.Create(host, rect, WithLook(std::move(props), TestFont, White, Black)));
}

LONG_PTR StyleOf(HWND window) {
    return ::GetWindowLongPtrW(window, GWL_STYLE);
}

std::wstring WindowTextOf(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

LRESULT Send(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageW(window, msg, wParam, lParam);
}

void Type(HWND edit, std::wstring_view text) {
    for (const wchar_t c : text) {
        Send(edit, WM_CHAR, c, 1);
    }
}

void SetClipboardText(const std::wstring& text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    ASSERT_NE(memory, nullptr);
    std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

// Holds keys down through SendInput, releasing them in reverse order when it ends.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<WORD> keys) : keys_(keys) {
        for (const WORD key : keys_) {
            Press(key, 0);
        }
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;
    ~HeldKeys() {
        for (auto it = keys_.rbegin(); it != keys_.rend(); ++it) {
            Press(*it, KEYEVENTF_KEYUP);
        }
        PumpPendingMessages();
    }
    static void Press(WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        ::SendInput(1, &input, sizeof(input));
    }

private:
    std::vector<WORD> keys_;
};

// Counts the popup menus the thread opens and closes each at once (a context menu runs a modal loop).
class MenuWatch {
public:
    MenuWatch() {
        current_ = this;
        hook_ = ::SetWindowsHookExW(WH_CBT, &MenuWatch::Cbt, nullptr, ::GetCurrentThreadId());
    }
    MenuWatch(const MenuWatch&) = delete;
    MenuWatch& operator=(const MenuWatch&) = delete;
    ~MenuWatch() {
        ::UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    [[nodiscard]] bool ok() const noexcept { return hook_ != nullptr; }
    [[nodiscard]] int opened() const noexcept { return opened_; }

private:
    static LRESULT CALLBACK Cbt(int code, WPARAM wParam, LPARAM lParam) noexcept {
        if (code == HCBT_CREATEWND && current_) {
            wchar_t name[32] = {};
            ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 32);
            if (std::wstring_view(name) == L"#32768") {
                ++current_->opened_;
                // The menu's loop dispatches this as soon as it runs, and ends the menu.
                ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
                    ::KillTimer(nullptr, id);
                    ::EndMenu();
                });
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline MenuWatch* current_ = nullptr;
    HHOOK hook_ = nullptr;
    int opened_ = 0;
};

class TextBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetForegroundWindow(host.hwnd());
        PumpPendingMessages();
    }
    ControlHost host{40, 40, 420, 320};
};

TEST_F(TextBoxTest, EditSitsTwoPixelsInsideTheSurfaceAndFollowsItsSize) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 40}, {{"Text", std::wstring(L"Hello")}});
    ASSERT_TRUE(box.IsStarted());
    const HWND edit = box.hWnd();
    wchar_t className[16] = {};
    ::GetClassNameW(edit, className, 16);
    EXPECT_EQ(_wcsicmp(className, L"EDIT"), 0);
    EXPECT_TRUE(::IsWindowUnicode(edit));
    EXPECT_EQ(::GetParent(edit), box.hwnd());
    EXPECT_EQ(PlaceInParent(edit), (RECT{2, 2, 198, 28}));
    EXPECT_EQ(box.Text(), L"Hello");
    EXPECT_EQ(WindowTextOf(edit), L"Hello");

    ::SetWindowPos(box.hwnd(), nullptr, 0, 0, 300, 50, SWP_NOMOVE | SWP_NOZORDER);
    PumpPendingMessages();
    EXPECT_EQ(PlaceInParent(edit), (RECT{2, 2, 298, 48}));
}

TEST_F(TextBoxTest, FrameIsPaintedInTheRingAroundTheEdit) {
    struct Case {
        const char* name;
        PropertyBag props;
        COLORREF top, bottom, corner;
    };
    const Case cases[] = {
        {"square", {{"BorderColor", int32_t{Red}}}, Red, Red, Red},
        {"automatic border on white", {}, RGB(0x8C, 0x8C, 0x8C), RGB(0x8C, 0x8C, 0x8C), RGB(0x8C, 0x8C, 0x8C)},
        {"only bottom", {{"BorderColor", int32_t{Red}}, {"OnlyBottomBorder", true}}, White, Red, White},
        {"rounded",
         {{"BorderColor", int32_t{Red}}, {"RoundedBorders", true}, {"BackColorOut", int32_t{Blue}}},
         Red,
         Red,
         Blue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctlUniTextBoxXP box;
        Make(box, host.hwnd(), {10, 10, 110, 40}, c.props);
        int w = 0;
        int h = 0;
        const std::vector<COLORREF> pixels = PrintedPixels(box.hwnd(), &w, &h);
        ASSERT_EQ(w, 100);
        const auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * w + x]; };
        EXPECT_EQ(at(50, 0), c.top);
        EXPECT_EQ(at(50, h - 1), c.bottom);
        EXPECT_EQ(at(0, c.corner == White ? h - 1 : 0), c.corner);
        // The ring one pixel in is the back colour; inside it the edit paints, not the face.
        EXPECT_EQ(at(50, 1), White);
        EXPECT_EQ(at(1, 15), White);
        EXPECT_EQ(at(2, 2), Sentinel);
        EXPECT_EQ(at(50, 15), Sentinel);
    }
}

TEST_F(TextBoxTest, EditIsColouredThroughTheHeldBrush) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 40},
         {{"BackColor", int32_t{RGB(200, 220, 240)}}, {"ForeColor", int32_t{Blue}}, {"Text", std::wstring(L"WWW")}});
    struct Case {
        const char* name;
        bool enabled;
        bool locked;
        UINT message;
        COLORREF text;
    };
    const Case cases[] = {
        {"enabled", true, false, WM_CTLCOLOREDIT, Blue},
        {"locked", true, true, WM_CTLCOLORSTATIC, Blue},
        {"disabled", false, false, WM_CTLCOLORSTATIC, ::GetSysColor(COLOR_GRAYTEXT)},
    };
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        box.Enabled(c.enabled);
        box.Locked(c.locked);
        EXPECT_EQ((StyleOf(box.hWnd()) & ES_READONLY) != 0, c.locked);
        EXPECT_EQ(::IsWindowEnabled(box.hWnd()) != 0, c.enabled);
        const auto brush = reinterpret_cast<HBRUSH>(
            Send(box.hwnd(), c.message, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(box.hWnd())));
        LOGBRUSH log{};
        ASSERT_EQ(::GetObjectW(brush, sizeof(log), &log), static_cast<int>(sizeof(log)));
        EXPECT_EQ(log.lbColor, RGB(200, 220, 240));
        EXPECT_EQ(::GetBkColor(dc.get()), RGB(200, 220, 240));
        EXPECT_EQ(::GetTextColor(dc.get()), c.text);
    }
    box.Enabled(true);
    box.Locked(false);

    // A new back colour is answered at the edit's next request, before the face has painted again.
    box.BackColor(static_cast<int32_t>(RGB(10, 120, 10)));
    const auto brush = reinterpret_cast<HBRUSH>(
        Send(box.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(box.hWnd())));
    LOGBRUSH log{};
    ASSERT_EQ(::GetObjectW(brush, sizeof(log), &log), static_cast<int>(sizeof(log)));
    EXPECT_EQ(log.lbColor, RGB(10, 120, 10));

    // The edit's own painting uses them: its background and its text colour show up.
    PumpPendingMessages();
    const std::vector<COLORREF> painted = PrintedPixels(box.hWnd());
    EXPECT_GT(CountColour(painted, RGB(10, 120, 10)), static_cast<int>(painted.size()) / 2);
    EXPECT_GT(CountColour(painted, Blue), 0);
}

TEST_F(TextBoxTest, LockedBoxRejectsChangesButSelectsAndCopies) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 40}, {{"Text", std::wstring(L"Hello world")}, {"Locked", true}});
    const HWND edit = box.hWnd();
    EXPECT_TRUE(StyleOf(edit) & ES_READONLY);
    int changes = 0;
    box.events.Change = [&] { ++changes; };
    ::SetFocus(edit);
    box.SelStart(0);

    Type(edit, L"xyz\r\b");
    Send(edit, WM_KEYDOWN, VK_DELETE, 1);
    SetClipboardText(L"pasted");
    Send(edit, WM_PASTE);
    box.SelLength(5);
    for (const UINT msg : {WM_CUT, WM_CLEAR, WM_UNDO}) {
        Send(edit, msg);
    }
    EXPECT_EQ(box.Text(), L"Hello world");
    EXPECT_EQ(changes, 0);

    // The navigation keys still move the caret.
    Send(edit, WM_KEYDOWN, VK_END, 1);
    EXPECT_EQ(box.SelStart(), 11);
    Send(edit, WM_KEYDOWN, VK_HOME, 1);
    EXPECT_EQ(box.SelStart(), 0);

    // Ctrl+A (character 1) selects everything, Ctrl+C (character 3) copies the selection.
    Send(edit, WM_CHAR, 1, 1);
    EXPECT_EQ(box.SelLength(), 11);
    Send(edit, EM_SETSEL, 6, 11);
    Send(edit, WM_CHAR, 3, 1);
    EXPECT_EQ(ClipboardText(), L"world");
    EXPECT_EQ(box.Text(), L"Hello world");
}

TEST_F(TextBoxTest, RealKeysSelectAllAndCopyInTheLockedHelpBox) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 80},
         {{"Text", std::wstring(L"First line\r\nSecond")}, {"Locked", true}, {"MultiLine", true}});
    ::SetFocus(box.hWnd());
    PumpPendingMessages();
    ASSERT_EQ(::GetFocus(), box.hWnd());
    SetClipboardText(L"before");
    {
        const HeldKeys ctrl{VK_CONTROL};
        HeldKeys::Press('A', 0);
        HeldKeys::Press('A', KEYEVENTF_KEYUP);
        PumpPendingMessages();
        EXPECT_EQ(box.SelLength(), 18);
        HeldKeys::Press('C', 0);
        HeldKeys::Press('C', KEYEVENTF_KEYUP);
        PumpPendingMessages();
    }
    EXPECT_EQ(ClipboardText(), L"First line\r\nSecond");
    HeldKeys::Press('Q', 0);
    HeldKeys::Press('Q', KEYEVENTF_KEYUP);
    PumpPendingMessages();
    EXPECT_EQ(box.Text(), L"First line\r\nSecond");
}

TEST_F(TextBoxTest, KeyHandlersCanDropOrChangeKeys) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 40}, {{"Text", std::wstring(L"ab")}});
    const HWND edit = box.hWnd();
    std::vector<std::string> seen;
    box.events.KeyDown = [&](int16_t& code, int16_t&) {
        seen.push_back("down" + std::to_string(code));
        if (code == VK_BACK) {
            code = 0;
        }
    };
    box.events.KeyUp = [&](int16_t& code, int16_t&) { seen.push_back("up" + std::to_string(code)); };
    box.events.KeyPress = [&](int16_t& ascii, int16_t&) {
        seen.push_back("press" + std::to_string(ascii));
        if (ascii == 'x') {
            ascii = 0;
        } else if (ascii == 'a') {
            ascii = 'b';
        }
    };
    box.SelStart(2);
    Type(edit, L"xa\t");
    Send(edit, WM_KEYDOWN, VK_BACK, 1); // dropped by KeyDown: the edit never deletes
    Send(edit, WM_KEYUP, VK_BACK, 1);
    EXPECT_EQ(box.Text(), L"abb");
    const std::vector<std::string> expected{"press120", "press97", "down8", "up8"}; // Tab: no KeyPress
    EXPECT_EQ(seen, expected);
}

TEST_F(TextBoxTest, ChangeIsRaisedOncePerRealChange) {
    int changes = 0;
    ctlUniTextBoxXP box;
    box.events.Change = [&] { ++changes; };
    Make(box, host.hwnd(), {10, 10, 210, 40}, {{"Text", std::wstring(L"Hello, world")}});
    EXPECT_EQ(changes, 0); // creation raises none

    box.Text(L"Hello, world");
    EXPECT_EQ(changes, 0);
    box.Text(L"Hello there!");
    EXPECT_EQ(changes, 1);
    box.SelStart(12);
    Type(box.hWnd(), L"?");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(WindowTextOf(box.hwnd()), box.Text()); // the surface's text follows, for screen readers

    box.MaxLength(5); // 13 characters: cut to the first 5
    EXPECT_EQ(box.Text(), L"Hello");
    EXPECT_EQ(box.MaxLength(), 5);
    EXPECT_EQ(changes, 3);
    box.SelStart(5);
    Type(box.hWnd(), L"!");
    EXPECT_EQ(box.Text(), L"Hello"); // the limit holds
    EXPECT_EQ(changes, 3);

    box.RaiseChangeEvent(false);
    box.Text(L"quiet");
    Type(box.hWnd(), L"x");
    EXPECT_EQ(changes, 3);
}

TEST_F(TextBoxTest, StyleChangesRecreateTheEditKeepingItsText) {
    struct Case {
        const char* name;
        std::function<void(ctlUniTextBoxXP&)> change;
        std::function<bool(HWND)> applied;
    };
    const Case cases[] = {
        {"MultiLine", [](auto& b) { b.MultiLine(true); },
         [](HWND e) { return (StyleOf(e) & (ES_MULTILINE | ES_WANTRETURN)) == (ES_MULTILINE | ES_WANTRETURN); }},
        {"ScrollBars", [](auto& b) { b.ScrollBars(3); }, [](HWND e) { return !(StyleOf(e) & WS_VSCROLL); }},
        {"Alignment", [](auto& b) { b.Alignment(2); }, [](HWND e) { return (StyleOf(e) & ES_CENTER) != 0; }},
        {"NoHideSel", [](auto& b) { b.NoHideSel(true); }, [](HWND e) { return (StyleOf(e) & ES_NOHIDESEL) != 0; }},
        {"RightToLeft", [](auto& b) { b.RightToLeft(true); },
         [](HWND e) { return (::GetWindowLongPtrW(e, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctlUniTextBoxXP box;
        Make(box, host.hwnd(), {10, 10, 210, 80}, {{"Text", std::wstring(L"kept")}});
        ::SetFocus(box.hWnd());
        const HWND before = box.hWnd();
        int changes = 0;
        box.events.Change = [&] { ++changes; };
        c.change(box);
        ASSERT_TRUE(box.IsStarted());
        EXPECT_NE(box.hWnd(), before);
        EXPECT_FALSE(::IsWindow(before));
        EXPECT_TRUE(c.applied(box.hWnd()));
        EXPECT_EQ(box.Text(), L"kept");
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(::GetFocus(), box.hWnd());
        EXPECT_EQ(PlaceInParent(box.hWnd()), (RECT{2, 2, 198, 68}));
        // The new edit is heard like the old one.
        box.SelStart(4);
        Type(box.hWnd(), L"!");
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(box.Text(), L"kept!");
    }
    // A single-line box has no scroll bars: ScrollBars 3 recreated it without any.
    ctlUniTextBoxXP multi;
    Make(multi, host.hwnd(), {10, 100, 210, 180}, {{"MultiLine", true}});
    multi.ScrollBars(3);
    EXPECT_EQ(StyleOf(multi.hWnd()) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
}

TEST_F(TextBoxTest, HelpWindowBoxIsReadOnlyMultiLineWithAVerticalBar) {
    ctlUniTextBoxXP txtInfo;
    Make(txtInfo, host.hwnd(), {120, 8, 391, 189},
         {{"Text", HelpText},
          {"Locked", true},
          {"MultiLine", true},
          {"ScrollBars", int32_t{2}},
          {"BorderColor", int32_t{White}},
          {"Font", StdFont{L"Arial", 9.75}}});
    txtInfo.events.MouseMove = [&](int16_t&, int16_t&, float&, float&) { txtInfo.SelLength(0); };
    const HWND edit = txtInfo.hWnd();
    const LONG_PTR style = StyleOf(edit);
    for (const LONG_PTR bit : {ES_MULTILINE, ES_WANTRETURN, WS_VSCROLL, ES_AUTOVSCROLL, ES_READONLY, WS_TABSTOP}) {
        EXPECT_TRUE(style & bit) << std::hex << bit;
    }
    EXPECT_FALSE(style & WS_HSCROLL);
    EXPECT_EQ(txtInfo.Text(), HelpText);
    EXPECT_GE(Send(edit, EM_GETLINECOUNT), 10);
    EXPECT_EQ(WindowTextOf(txtInfo.hwnd()), HelpText);

    // Arial 9.75 pt at the display's resolution.
    LOGFONTW font{};
    ASSERT_EQ(::GetObjectW(reinterpret_cast<HFONT>(Send(edit, WM_GETFONT)), sizeof(font), &font),
              static_cast<int>(sizeof(font)));
    EXPECT_STREQ(font.lfFaceName, L"Arial");
    const WindowDC screen(edit);
    EXPECT_EQ(font.lfHeight, -std::lrint(9.75 * ::GetDeviceCaps(screen.get(), LOGPIXELSY) / 72.0));

    // White border on white: the whole ring is white.
    const std::vector<COLORREF> frame = PrintedPixels(txtInfo.hwnd());
    EXPECT_EQ(frame[0], White);
    EXPECT_EQ(frame[100], White);

    // The keyboard reaches it: the arrows stay in it, Tab goes on to the form.
    MSG tab{edit, WM_KEYDOWN, VK_TAB, 0};
    const LRESULT code = Send(edit, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab));
    EXPECT_TRUE(code & DLGC_WANTARROWS);
    EXPECT_FALSE(code & (DLGC_WANTTAB | DLGC_WANTMESSAGE));

    // A selection made by dragging collapses to its start at the next mouse move.
    Send(edit, EM_SETSEL, 3, 20);
    Send(edit, WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    EXPECT_EQ(txtInfo.SelLength(), 0);
    EXPECT_EQ(txtInfo.SelStart(), 3);
}

TEST_F(TextBoxTest, TabMovesTheFocusOnUnlessTrapped) {
    ctlUniTextBoxXP first;
    ctlUniTextBoxXP second;
    Make(first, host.hwnd(), {10, 10, 210, 40}, {{"Text", std::wstring(L"one")}, {"MultiLine", true}});
    Make(second, host.hwnd(), {10, 50, 210, 80}, {{"Text", std::wstring(L"two")}});
    int keyDowns = 0;
    first.events.KeyDown = [&](int16_t& code, int16_t&) { keyDowns += code == VK_TAB ? 1 : 0; };

    ::SetFocus(first.hWnd());
    Send(first.hWnd(), WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(::GetFocus(), second.hWnd());
    EXPECT_EQ(keyDowns, 0);
    ::SetFocus(second.hwnd()); // the surface hands the focus to its edit
    EXPECT_EQ(::GetFocus(), second.hWnd());

    first.TrapTabKey(true);
    ::SetFocus(first.hWnd());
    Send(first.hWnd(), WM_KEYDOWN, VK_TAB, 1);
    Send(first.hWnd(), WM_CHAR, L'\t', 1);
    EXPECT_EQ(::GetFocus(), first.hWnd());
    EXPECT_EQ(keyDowns, 1);
    EXPECT_EQ(first.Text(), L"one"); // never a tab character
    MSG tab{first.hWnd(), WM_KEYDOWN, VK_TAB, 0};
    EXPECT_TRUE(Send(first.hWnd(), WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) & DLGC_WANTTAB);
}

TEST_F(TextBoxTest, MouseEventsAndNoContextMenuWhereDisabled) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 40}, {{"Text", std::wstring(L"mouse")}});
    const HWND edit = box.hWnd();
    std::vector<std::string> seen;
    const auto where = [](int16_t b, float x, float y) {
        return std::to_string(b) + "@" + std::to_string(static_cast<int>(x)) + "," +
               std::to_string(static_cast<int>(y));
    };
    box.events.MouseDown = [&](int16_t& b, int16_t&, float& x, float& y) { seen.push_back("down" + where(b, x, y)); };
    box.events.MouseUp = [&](int16_t& b, int16_t&, float& x, float& y) { seen.push_back("up" + where(b, x, y)); };
    box.events.MouseMove = [&](int16_t& b, int16_t&, float& x, float& y) { seen.push_back("move" + where(b, x, y)); };
    box.events.Click = [&](int16_t& b) { seen.push_back("click" + std::to_string(b)); };
    box.events.DblClick = [&](int16_t& b) { seen.push_back("dbl" + std::to_string(b)); };
    box.events.MouseWheel = [&](int16_t&, int16_t&, float&, float&, bool& down) {
        seen.push_back(down ? "wheeldown" : "wheelup");
    };
    const MenuWatch menus;
    ASSERT_TRUE(menus.ok());

    Send(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 4));
    Send(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    Send(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    Send(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 6));
    Send(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    Send(edit, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(7, 8));
    Send(edit, WM_MBUTTONUP, 0, MAKELPARAM(7, 8));
    Send(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, -60), MAKELPARAM(100, 100)); // a fine-grained notch counts too
    Send(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(100, 100));
    const std::vector<std::string> expected{"move1@3,4", "down1@5,6", "up1@5,6", "click1",    "dbl1",   "up1@5,6",
                                            "down4@7,8", "up4@7,8",   "click4",  "wheeldown", "wheelup"};
    EXPECT_EQ(seen, expected);

    // With its context menu on, the edit's right click opens it (the watch closes it again)...
    Send(edit, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(9, 9));
    Send(edit, WM_RBUTTONUP, 0, MAKELPARAM(9, 9));
    PumpPendingMessages();
    EXPECT_EQ(menus.opened(), 1);
    // ...with it off, neither the mouse nor the keyboard (WM_CONTEXTMENU) opens one; the events come.
    box.EnableContextMenu(false);
    seen.clear();
    Send(edit, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(9, 9));
    Send(edit, WM_RBUTTONUP, 0, MAKELPARAM(9, 9));
    Send(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), MAKELPARAM(-1, -1));
    PumpPendingMessages();
    EXPECT_EQ(menus.opened(), 1);
    const std::vector<std::string> rightClick{"down2@9,9", "up2@9,9", "click2"};
    EXPECT_EQ(seen, rightClick);
}

TEST_F(TextBoxTest, MousePointerAppliesOverTheEdit) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 40});
    const HWND edit = box.hWnd();
    struct Case {
        int16_t code;
        HCURSOR expected;
    };
    const Case cases[] = {
        {0, ::LoadCursorW(nullptr, IDC_IBEAM)}, // the edit's own
        {2, ::LoadCursorW(nullptr, IDC_CROSS)},
        {11, ::LoadCursorW(nullptr, IDC_WAIT)},
        {UniControl::kCustomPointer, ::LoadCursorW(nullptr, IDC_ARROW)}, // no MouseIcon
        {42, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        box.MousePointer(c.code);
        ::SetCursor(::LoadCursorW(nullptr, IDC_HELP));
        const LRESULT set =
            Send(edit, WM_SETCURSOR, reinterpret_cast<WPARAM>(edit), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        if (c.code != 0) {
            EXPECT_TRUE(set); // the edit's own answer is its business
        }
        EXPECT_EQ(::GetCursor(), c.expected);
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(TextBoxTest, SelectionAndLineProperties) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 110}, {{"Text", std::wstring(L"one\r\ntwo\r\nthree")}, {"MultiLine", true}});
    box.SelStart(12); // in "three"
    EXPECT_EQ(box.CurrentLine(), 2);
    box.CurrentLine(box.CurrentLine()); // 1-based when set: the start of the line above
    EXPECT_EQ(box.SelStart(), 5);
    EXPECT_EQ(box.CurrentLine(), 1);
    box.CurrentLine(0); // the line of the caret
    EXPECT_EQ(box.SelStart(), 5);
    box.CurrentLine(1);
    EXPECT_EQ(box.SelStart(), 0);

    box.SelLength(3);
    EXPECT_EQ(box.SelText(), L"one");
    box.SelText(L"ONE");
    EXPECT_EQ(box.Text(), L"ONE\r\ntwo\r\nthree");
    Send(box.hWnd(), EM_SETSEL, 5, 8);
    box.SelLength(0);
    EXPECT_EQ(box.SelStart(), 5);
    EXPECT_EQ(box.SelText(), L"");

    // Before the start there is nothing to select.
    ctlUniTextBoxXP manual;
    Make(manual, host.hwnd(), {10, 120, 210, 150}, {{"Text", std::wstring(L"stored")}, {"ManualStart", true}});
    EXPECT_EQ(manual.SelStart(), 0);
    EXPECT_EQ(manual.SelLength(), 0);
    EXPECT_EQ(manual.SelText(), L"");
    EXPECT_EQ(manual.CurrentLine(), 0);
}

TEST_F(TextBoxTest, BeforeTheStartTheFacePaintsTheStoredText) {
    const PropertyBag props{{"Text", std::wstring(L"abc")},
                            {"ManualStart", true},
                            {"BackColor", int32_t{RGB(220, 230, 240)}},
                            {"ForeColor", int32_t{Red}}};
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 110, 40}, props);
    ASSERT_FALSE(box.IsStarted());
    EXPECT_EQ(box.hWnd(), nullptr);
    int w = 0;
    std::vector<COLORREF> pixels = PrintedPixels(box.hwnd(), &w);
    EXPECT_EQ(CountColour(pixels, Sentinel), 0); // the face covers everything
    EXPECT_EQ(pixels[static_cast<size_t>(15) * w + 95], RGB(220, 230, 240));
    EXPECT_GT(CountColour(pixels, Red), 0);

    // A password character shows "***", whatever the text.
    ctlUniTextBoxXP masked;
    ctlUniTextBoxXP stars;
    PropertyBag maskedProps = props;
    maskedProps.WriteProperty("PasswordChar", std::wstring(L"*"));
    PropertyBag starProps = props;
    starProps.WriteString("Text", L"***");
    Make(masked, host.hwnd(), {10, 50, 110, 80}, maskedProps);
    Make(stars, host.hwnd(), {10, 90, 110, 120}, starProps);
    EXPECT_EQ(PrintedPixels(masked.hwnd()), PrintedPixels(stars.hwnd()));
    EXPECT_NE(PrintedPixels(masked.hwnd()), pixels);

    // Disabled: the text turns grey.
    box.Enabled(false);
    pixels = PrintedPixels(box.hwnd());
    EXPECT_EQ(CountColour(pixels, Red), 0);
    EXPECT_GT(CountColour(pixels, ::GetSysColor(COLOR_GRAYTEXT)), 0);
    box.Enabled(true);

    // ExternalInitControl starts it: the edit holds the stored text and paints the inside itself.
    box.Text(L"started");
    box.ExternalInitControl();
    ASSERT_TRUE(box.IsStarted());
    EXPECT_EQ(WindowTextOf(box.hWnd()), L"started");
    EXPECT_EQ(PrintedPixels(box.hwnd())[static_cast<size_t>(15) * w + 50], Sentinel);

    // In design mode there is never an edit.
    ctlUniTextBoxXP designed;
    designed.AmbientUserMode(false);
    Make(designed, host.hwnd(), {120, 10, 220, 40}, {{"Text", std::wstring(L"design")}});
    designed.ExternalInitControl();
    EXPECT_FALSE(designed.IsStarted());
    EXPECT_EQ(designed.Text(), L"design");
}

TEST_F(TextBoxTest, InputMethodResultIsTypedThroughKeyPress) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 40});
    const HWND edit = box.hWnd();
    std::vector<std::wstring> compositions;
    box.events.IMEComposition = [&](std::wstring& s) { compositions.push_back(s); };
    box.events.KeyPress = [&](int16_t& ascii, int16_t&) {
        if (ascii == L'\u4e8c') {
            ascii = 0;
        }
    };
    int keyDowns = 0;
    box.events.KeyDown = [&](int16_t&, int16_t&) { ++keyDowns; };
    ::SetFocus(edit);

    Send(edit, WM_IME_STARTCOMPOSITION);
    EXPECT_TRUE(box.IsInIME());
    Send(edit, WM_KEYDOWN, 'A', 1); // the keys of a composition raise nothing
    EXPECT_EQ(keyDowns, 0);
    // The system's input method completes a composition string: its result reaches the edit.
    const auto compose = [&](const std::wstring& text) {
        const HIMC context = ::ImmGetContext(edit);
        if (!context) {
            return false;
        }
        const BOOL set = ::ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<wchar_t*>(text.c_str()),
                                                    static_cast<DWORD>(text.size() * sizeof(wchar_t)), nullptr, 0);
        ::ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
        ::ImmReleaseContext(edit, context);
        PumpPendingMessages();
        return set != FALSE;
    };
    const std::wstring result = L"\u4e00\u4e8c\u4e09";
    const bool composed = compose(result);
    Send(edit, WM_IME_ENDCOMPOSITION);
    EXPECT_FALSE(box.IsInIME());
    if (!composed) {
        GTEST_SKIP() << "this system's input method takes no composition string";
    }
    ASSERT_EQ(compositions.size(), 1u);
    EXPECT_EQ(compositions.back(), result);
    EXPECT_EQ(box.Text(), L"\u4e00\u4e09");

    // A locked box hears the composition but takes none of it.
    box.Locked(true);
    ASSERT_TRUE(compose(L"\u56db"));
    ASSERT_EQ(compositions.size(), 2u);
    EXPECT_EQ(compositions.back(), L"\u56db");
    EXPECT_EQ(box.Text(), L"\u4e00\u4e09");
}

TEST_F(TextBoxTest, InputMethodCharactersFollowTheCharacterRules) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 40});
    const HWND edit = box.hWnd();
    EXPECT_EQ(Send(edit, WM_IME_CHAR, 0xFFFF, 1), 1);
    Send(edit, WM_IME_CHAR, L'\t', 1);
    Send(edit, WM_IME_CHAR, L'\u00e9', 1);
    EXPECT_EQ(box.Text(), L"\u00e9");
    box.Locked(true);
    Send(edit, WM_IME_CHAR, L'\u00e8', 1);
    EXPECT_EQ(box.Text(), L"\u00e9");
}

TEST_F(TextBoxTest, PropertiesRoundTripThroughTheSet) {
    ctlUniTextBoxXP box;
    Make(box, host.hwnd(), {10, 10, 210, 80},
         {{"TEXT", StringToBytes(L"stored \u00e9")},
          {"passwordchar", std::wstring(L"#")},
          {"TrapTab", true},
          {"MaxLength", int32_t{40}},
          {"OnlyBottomBorder", true},
          {"scrollbars", std::wstring(L"x")}}); // wrong kind: keeps the default
    EXPECT_EQ(box.Text(), L"stored \u00e9");
    EXPECT_EQ(box.PasswordChar(), L"#");
    EXPECT_EQ(Send(box.hWnd(), EM_GETPASSWORDCHAR), L'#');
    EXPECT_TRUE(box.TrapTabKey());
    EXPECT_EQ(box.MaxLength(), 40);
    EXPECT_EQ(box.ScrollBars(), 0);
    EXPECT_EQ(box.BorderColor(), -1);
    EXPECT_TRUE(box.EnableContextMenu());
    EXPECT_TRUE(box.RaiseChangeEvent());
    EXPECT_FALSE(box.PropertiesChanged());

    PropertyBag saved;
    box.WriteProperties(saved);
    EXPECT_TRUE(std::holds_alternative<std::wstring>(*saved.Find("PasswordChar"))); // plain text
    ctlUniTextBoxXP copy;
    ASSERT_TRUE(copy.Create(host.hwnd(), {10, 90, 210, 160}, saved));
    EXPECT_EQ(copy.Text(), L"stored \u00e9");
    EXPECT_EQ(copy.PasswordChar(), L"#");
    EXPECT_TRUE(copy.TrapTabKey());
    EXPECT_TRUE(copy.OnlyBottomBorder());
    EXPECT_EQ(copy.BackColor(), static_cast<int32_t>(White));
}

TEST_F(TextBoxTest, EndsCleanlyWhicheverGoesFirst) {
    HWND surface = nullptr;
    HWND edit = nullptr;
    {
        ctlUniTextBoxXP box;
        Make(box, host.hwnd(), {10, 10, 210, 40}, {{"Text", std::wstring(L"bye")}});
        surface = box.hwnd();
        edit = box.hWnd();
        EXPECT_FALSE(MSubclass::TableEntries(surface).empty());
        EXPECT_FALSE(MSubclass::TableEntries(edit).empty());
    }
    EXPECT_FALSE(::IsWindow(surface));
    EXPECT_FALSE(::IsWindow(edit));
    EXPECT_TRUE(MSubclass::TableEntries(surface).empty());
    EXPECT_TRUE(MSubclass::TableEntries(edit).empty());

    // The form goes first: the box notices that its edit is gone and keeps the text.
    auto form = std::make_unique<ControlHost>(60, 60, 200, 100);
    ctlUniTextBoxXP orphan;
    Make(orphan, form->hwnd(), {5, 5, 150, 35}, {{"Text", std::wstring(L"kept")}});
    form.reset();
    EXPECT_FALSE(orphan.IsStarted());
    EXPECT_EQ(orphan.Text(), L"kept");
}

TEST_F(TextBoxTest, CreatingRecreatingAndRedrawingLeaksNoGdiObjects) {
    const auto round = [&](int i) {
        ctlUniTextBoxXP box;
        Make(box, host.hwnd(), {10, 10, 210, 80},
             {{"Text", std::wstring(L"leak?")}, {"UseRoundRegions", i % 2 == 0}, {"ManualStart", i % 5 == 0}});
        box.ExternalInitControl();
        box.BackColor(static_cast<int32_t>(RGB(i % 256, 100, 200)));
        box.Font(StdFont{L"Arial", 9.0 + i % 3});
        box.MultiLine(i % 2 == 1);
        box.Enabled(i % 3 != 0);
        ::SetWindowPos(box.hwnd(), nullptr, 0, 0, 150 + i % 7, 60, SWP_NOMOVE | SWP_NOZORDER);
        UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
        Send(box.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(box.hWnd()));
        ::RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpPendingMessages();
    };
    const auto [before, after] = CountsAround(60, round);
    EXPECT_EQ(after, before);
}

} // namespace
