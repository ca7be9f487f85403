// The main window: its notification icon (the exact records sent to the shell), the icon's mouse
// events, the taskbar's restart, and hiding instead of closing.
#include "app/frmMain.h"

#include "support/RecordingShell.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FakeApp final : public MainHost {
public:
    int shutdowns = 0;
    int leftClicks = 0;
    void Shutdown() override { ++shutdowns; }
    void OnIconLeftClick() override { ++leftClicks; }
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
