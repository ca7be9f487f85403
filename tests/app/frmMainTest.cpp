// The main window: its notification icon (the exact records sent to the shell), the icon's mouse
// events, the taskbar's restart, and hiding instead of closing. As the help window: its controls' places
// at 96 DPI and after a DPI change, the help text, the mouse clearing the selection, and its keys.
#include "app/App.h"
#include "app/SingleInstance.h"
#include "app/frmMain.h"

#include "support/Desktop.h"
#include "support/RecordingShell.h"
#include "support/RectCompare.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

class FakeApp final : public MainHost {
public:
    int shutdowns = 0;
    int leftClicks = 0;
    void Shutdown() override { ++shutdowns; }
    void OnIconLeftClick() override { ++leftClicks; }
    void ShowRulerInFront() override { ++rulerRequests; }
    int rulerRequests = 0;
    HMENU TrayMenu() override { return nullptr; }
    HWND TrayMenuOwner() override { return nullptr; }
};

class MainWindowTest : public ::testing::Test {
protected:
    RecordingShell shell;
    FakeApp app;
    frmMain main{app, shell.Hook()};

    void SetUp() override { ASSERT_TRUE(main.Load()); }
    void IconEvent(UINT event) { ::SendMessageW(main.hwnd(), frmMain::TrayCallbackMessage, frmMain::IconId, event); }
};

TEST_F(MainWindowTest, AddsItsIconWithTipAndShowsTheFirstRunBalloon) {
    ASSERT_TRUE(main.AddTrayIcon());
    ASSERT_EQ(shell.Sent(), (std::vector<std::pair<DWORD, UINT>>{{NIM_ADD, 1}, {NIM_SETVERSION, 1}}));
    const NOTIFYICONDATAW& add = shell.calls[0].record;
    EXPECT_EQ(add.cbSize, NOTIFYICONDATAW_V2_SIZE);
    EXPECT_EQ(add.hWnd, main.hwnd());
    EXPECT_EQ(add.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(add.uCallbackMessage, frmMain::TrayCallbackMessage);
    EXPECT_NE(add.hIcon, nullptr);
    EXPECT_STREQ(add.szTip, L"Left click to show/hide the ruler, Right click for the menu");
    EXPECT_EQ(shell.calls[1].record.uVersion, static_cast<UINT>(NOTIFYICON_VERSION));

    ASSERT_TRUE(main.ShowFirstRunBalloon());
    const NOTIFYICONDATAW& balloon = shell.Last();
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(balloon.uID, 1u);
    EXPECT_EQ(balloon.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_STREQ(balloon.szInfo, L"Hey, look here!");
    EXPECT_STREQ(balloon.szInfoTitle, L"Trelvik");
    EXPECT_EQ(balloon.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
    EXPECT_EQ(balloon.uTimeout, 30000u);
}

TEST_F(MainWindowTest, OnlyALeftButtonReleaseOnTheIconTogglesTheRuler) {
    for (UINT event : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, NIN_BALLOONUSERCLICK}) {
        IconEvent(event);
    }
    EXPECT_EQ(app.leftClicks, 0);
    IconEvent(WM_LBUTTONUP);
    IconEvent(WM_LBUTTONUP);
    EXPECT_EQ(app.leftClicks, 2) << "a double click toggles twice";
    // A plain mouse move over the help window whose x coordinate equals the button-up code.
    ::SendMessageW(main.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONUP, 10));
    EXPECT_EQ(app.leftClicks, 2);
}

TEST_F(MainWindowTest, AddsTheIconAgainWhenTheTaskbarRestarts) {
    ASSERT_TRUE(main.AddTrayIcon());
    shell.calls.clear();
    ::SendMessageW(main.hwnd(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_FALSE(shell.calls.empty());
    EXPECT_EQ(shell.calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_STREQ(shell.calls[0].record.szTip, L"Left click to show/hide the ruler, Right click for the menu");
    EXPECT_EQ(main.Tray().IconIds().size(), 1u);
}

TEST_F(MainWindowTest, UserCloseAndMinimizeOnlyHideWhileOtherClosersEndTheProgram) {
    main.ShowHelp();
    ::SendMessageW(main.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(main.IsCreated());
    EXPECT_FALSE(main.IsVisible());
    EXPECT_EQ(app.shutdowns, 0);

    main.ShowHelp();
    ::ShowWindow(main.hwnd(), SW_MINIMIZE);
    EXPECT_TRUE(PumpUntil([&] { return !main.IsVisible(); }));
    main.ShowHelp();
    EXPECT_TRUE(main.IsVisible());
    EXPECT_FALSE(::IsIconic(main.hwnd())) << "shown again in the normal state";

    ::SendMessageW(main.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.shutdowns, 1);
    ::SendMessageW(main.hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(app.shutdowns, 2);
}

TEST_F(MainWindowTest, DestructionRemovesTheIcon) {
    ASSERT_TRUE(main.AddTrayIcon());
    main.Destroy();
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(shell.calls.back().record.uID, 1u);
    EXPECT_TRUE(main.Tray().IconIds().empty());
    MSG quit{};
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the message loop ends";
}

// A window whose C++ owner goes away goes through the same destruction as one the system destroys,
// and the class it registered does not hold on to anything of the object that is gone.
TEST(MainWindowLifetime, AnOwnerThatEndsRunsTheDestructionAndLeavesTheClassUsable) {
    RecordingShell shell;
    FakeApp app;
    HICON classIcon = nullptr;
    {
        frmMain first{app, shell.Hook()};
        ASSERT_TRUE(first.Load());
        ASSERT_TRUE(first.AddTrayIcon());
        classIcon = reinterpret_cast<HICON>(::GetClassLongPtrW(first.hwnd(), GCLP_HICON));
    }
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_DELETE)) << "the icon went with the window";

    frmMain second{app, shell.Hook()};
    ASSERT_TRUE(second.Load());
    ASSERT_NE(classIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(::GetClassLongPtrW(second.hwnd(), GCLP_HICON)), classIcon);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(classIcon, &info)) << "the class icon outlived the first window object";
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

} // namespace

// ---- The help window --------------------------------------------------------------------------------

namespace {

SIZE ClientSize(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// Runs the queued messages as the program's loop does: through the dialog keys of the given forms.
void PumpLikeTheProgram(std::initializer_list<HWND> forms) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!App::RouteDialogKeys(msg, forms)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void PressKey(WORD key, bool ctrl = false) {
    std::vector<INPUT> inputs;
    const auto add = [&](WORD vk, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    if (ctrl) {
        add(VK_CONTROL, 0);
    }
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (ctrl) {
        add(VK_CONTROL, KEYEVENTF_KEYUP);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class HelpWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (main.Dpi() != 96) {
            GTEST_SKIP() << "the design numbers are those of 96 DPI; this display has " << main.Dpi();
        }
        main.ShowHelp();
        ::SetForegroundWindow(main.hwnd());
        // The link label fits itself to its text when it is first painted.
        ASSERT_TRUE(PumpUntil([&] {
            return PlaceInParent(main.lblSite().hwnd()).right - PlaceInParent(main.lblSite().hwnd()).left != 125;
        }));
    }
    HWND edit() { return main.txtInfo().hWnd(); }

    struct Placed {
        const char* control;
        HWND window;
        RECT place;
    };
    // Every control at its design scaled to dpi, and the link label centred on its box.
    void ExpectLayout(int dpi) {
        const auto at = [dpi](int left, int top, int right, int bottom) {
            const auto s = [dpi](int v) { return static_cast<LONG>(std::lrint(v * dpi / 96.0)); };
            return RECT{s(left), s(top), s(right), s(bottom)};
        };
        const SIZE client = ClientSize(main.hwnd());
        EXPECT_EQ(client.cx, std::lrint(404 * dpi / 96.0));
        EXPECT_EQ(client.cy, std::lrint(287 * dpi / 96.0));
        const Placed table[] = {
            {"txtInfo", main.txtInfo().hwnd(), at(120, 8, 391, 189)},
            {"lblCopy", main.lblCopy().hwnd(), at(6, 204, 397, 221)},
            {"btnClose", main.btnClose().hwnd(), at(112, 250, 287, 281)},
        };
        for (const Placed& p : table) {
            EXPECT_EQ(PlaceInParent(p.window), p.place) << p.control << " at " << dpi << " DPI";
        }
        // The link label sizes itself to its text, keeping the centre and the top of its box.
        const RECT site = PlaceInParent(main.lblSite().hwnd());
        const RECT box = at(134, 226, 259, 239);
        EXPECT_EQ(site.top, box.top);
        EXPECT_LE(std::abs((site.left + site.right) - (box.left + box.right)), 1) << site;
    }
};

TEST_F(HelpWindowTest, ControlsSitWhereDesignedWithTheirTexts) {
    EXPECT_EQ(TextOf(main.hwnd()), L"Trelvik");
    ExpectLayout(96);
    EXPECT_EQ(PlaceInParent(edit()), (RECT{2, 2, 269, 179})) << "the edit two pixels inside the box";
    const RECT site = PlaceInParent(main.lblSite().hwnd());
    EXPECT_EQ(site.bottom - site.top, 13) << "one line of MS Sans Serif 8.25";

    const std::vector<std::wstring> lines = {
        L"Trelvik is a program that permits you to:",
        L"- Test if your application windows fit in a certain screen resolution (very useful for developers!);",
        L"- Measure any window by dragging the red ball (left-upper corner).",
        L"",
        L"How to use this program:",
        L"- Move the ruler by dragging it",
        L"- Measure a certain window by dragging the red ball over it",
        L"- Show/Hide the ruler by left-clicking over the notify icon",
        L"- Show the options by right-clicking over the notify icon or the ruler window",
        L"- The ruler can be resized using the mouse"};
    std::wstring expected = lines[0];
    for (size_t i = 1; i < lines.size(); ++i) {
        expected += L"\r\n" + lines[i];
    }
    EXPECT_EQ(TextOf(edit()), expected) << "ten lines joined by CR LF, nothing after the last";
    const auto style = static_cast<DWORD>(::GetWindowLongW(edit(), GWL_STYLE));
    EXPECT_EQ(style & (ES_READONLY | ES_MULTILINE | WS_VSCROLL),
              static_cast<DWORD>(ES_READONLY | ES_MULTILINE | WS_VSCROLL));

    const struct {
        HWND window;
        const wchar_t* text;
    } captions[] = {{main.lblCopy().hwnd(), L"Copyright \u00A9 The Trelvik authors"},
                    {main.lblSite().hwnd(), L"https://trelvik.org"},
                    {main.btnClose().hwnd(), L"Close this window"}};
    for (const auto& c : captions) {
        EXPECT_EQ(TextOf(c.window), c.text);
    }
    EXPECT_EQ(main.lblSite().Tip(), L"Go to my site!");
    EXPECT_EQ(main.lblSite().MousePointer(), UniControl::kCustomPointer);
    ASSERT_TRUE(main.lblSite().MouseIcon()) << "the hand pointer";
    EXPECT_NE(main.lblSite().MouseIcon()->icon(), nullptr);
    EXPECT_EQ(main.lblCopy().Style(), 3);
}

TEST_F(HelpWindowTest, ADpiChangeLaysTheWindowOutAgainFromTheSuggestedRectangle) {
    const auto changeTo = [&](int dpi) {
        RECT frame{};
        ::GetWindowRect(main.hwnd(), &frame);
        const SIZE client = ClientSize(main.hwnd());
        const LONG extraWidth = frame.right - frame.left - client.cx;
        const LONG extraHeight = frame.bottom - frame.top - client.cy;
        RECT suggested{frame.left + 10, frame.top + 20, 0, 0};
        suggested.right = suggested.left + std::lrint(404 * dpi / 96.0) + extraWidth;
        suggested.bottom = suggested.top + std::lrint(287 * dpi / 96.0) + extraHeight;
        ::SendMessageW(main.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        PumpPendingMessages();
        RECT now{};
        ::GetWindowRect(main.hwnd(), &now);
        EXPECT_EQ(now, suggested);
    };
    const auto editFontHeight = [&] {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(edit(), WM_GETFONT, 0, 0)), sizeof(font), &font);
        return std::abs(font.lfHeight);
    };
    const auto siteHeight = [&] {
        const RECT site = PlaceInParent(main.lblSite().hwnd());
        return site.bottom - site.top;
    };
    EXPECT_EQ(editFontHeight(), 13) << "Arial 9.75 pt at 96 DPI";

    changeTo(144);
    EXPECT_EQ(main.Dpi(), 144);
    ASSERT_TRUE(PumpUntil([&] { return siteHeight() > 13; })) << "the link label's font did not grow";
    ExpectLayout(144);
    EXPECT_EQ(editFontHeight(), 20) << "9.75 pt at 144 DPI: 19.5 pixels, halves to even";
    EXPECT_GE(siteHeight(), 16);

    changeTo(96);
    ASSERT_TRUE(PumpUntil([&] { return siteHeight() == 13; }));
    ExpectLayout(96);
    EXPECT_EQ(editFontHeight(), 13);
}

TEST_F(HelpWindowTest, MovingTheMouseOverTheTextClearsASelectionButNotWhileSelecting) {
    ::SendMessageW(edit(), EM_SETSEL, 5, 30);
    ::SendMessageW(edit(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 20));
    EXPECT_EQ(Selection(edit()), (std::pair<DWORD, DWORD>{5, 30})) << "a held button is the user selecting";
    ::SendMessageW(edit(), WM_MOUSEMOVE, 0, MAKELPARAM(41, 20));
    EXPECT_EQ(Selection(edit()), (std::pair<DWORD, DWORD>{5, 5}));

    // Without a selection a move changes nothing: the text the user scrolled to stays in view.
    ::SendMessageW(edit(), EM_SETSEL, 0, 0);
    ::SendMessageW(edit(), WM_VSCROLL, SB_BOTTOM, 0);
    const auto firstLine = ::SendMessageW(edit(), EM_GETFIRSTVISIBLELINE, 0, 0);
    ASSERT_GT(firstLine, 0) << "the help text is longer than its box";
    ::SendMessageW(edit(), WM_MOUSEMOVE, 0, MAKELPARAM(42, 20));
    EXPECT_EQ(::SendMessageW(edit(), EM_GETFIRSTVISIBLELINE, 0, 0), firstLine);
}

TEST_F(HelpWindowTest, TheTextTakesTheFocusCopiesAndStaysReadOnlyAndEscapeHidesTheWindow) {
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == edit(); })) << "the help text has the focus when shown";
    const std::wstring text = TextOf(edit());
    {
        // Real keys, through the program's loop with its dialog keys.
        PressKey('A', true);
        PumpLikeTheProgram({main.hwnd()});
        EXPECT_TRUE(PumpUntil([&] { return Selection(edit()).second == text.size(); }));
        EXPECT_EQ(Selection(edit()).first, 0u);
        PressKey('C', true);
        PumpLikeTheProgram({main.hwnd()});
        EXPECT_TRUE(PumpUntil([&] { return ClipboardText() == text; }));
        for (const WORD key : {WORD{'Q'}, WORD{VK_DELETE}, WORD{VK_BACK}, WORD{VK_RETURN}}) {
            PressKey(key);
            PumpLikeTheProgram({main.hwnd()});
        }
        EXPECT_EQ(TextOf(edit()), text);
        EXPECT_TRUE(main.IsVisible());
    }
    // Tab goes to the button and back to the text.
    const auto post = [&](WPARAM key) {
        ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 1);
        PumpLikeTheProgram({main.hwnd()});
    };
    post(VK_TAB);
    EXPECT_EQ(::GetFocus(), main.btnClose().hwnd());
    post(VK_TAB);
    EXPECT_EQ(::GetFocus(), edit());

    post(VK_ESCAPE);
    EXPECT_FALSE(main.IsVisible()) << "Escape is the cancel button's: Close this window";
    EXPECT_TRUE(::IsWindow(main.txtInfo().hwnd())) << "the text box outlives the key";
    EXPECT_EQ(app.shutdowns, 0);
}

TEST_F(HelpWindowTest, CloseThisWindowHidesIt) {
    ::SendMessageW(main.btnClose().hwnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(main.IsVisible());
    EXPECT_TRUE(main.IsCreated());
    EXPECT_EQ(app.shutdowns, 0);
}

// One program per session: the first start claims it; a later one finds the first's main window and
// has it show its ruler.
TEST(SingleInstanceTest, ALaterStartFindsTheFirstAndAsksForItsRuler) {
    SingleInstance first;
    ASSERT_TRUE(first.Claim());
    SingleInstance later;
    EXPECT_FALSE(later.Claim()) << "the session's instance is taken";

    EXPECT_FALSE(ActivateFirstInstance(frmMain::ClassName, 100)) << "no main window yet";
    RecordingShell shell;
    FakeApp app;
    frmMain main{app, shell.Hook()};
    ASSERT_TRUE(main.Load());
    EXPECT_TRUE(ActivateFirstInstance(frmMain::ClassName, 100));
    EXPECT_EQ(app.rulerRequests, 1);
}

TEST(SingleInstanceTest, TheInstanceIsFreeAgainWhenItsHolderEnds) {
    {
        SingleInstance first;
        ASSERT_TRUE(first.Claim());
    }
    SingleInstance again;
    EXPECT_TRUE(again.Claim());
}

} // namespace
