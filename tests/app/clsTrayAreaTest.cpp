// The notification-icon wrapper: the exact records it hands to the shell (through a recording shell
// call that answers as each test scripts it), its list of icons, the popup menu, and one round trip
// through Wine's real system tray.
#include "app/clsTrayArea.h"
#include "winmsg/PopupMenu.h"

#include "support/RecordingShell.h"
#include "util/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Packed as GetVersion packs them: major in the low byte, minor in the next, top bit for 9x.
constexpr DWORD Windows10 = 0x4A65000A;
constexpr DWORD WindowsNT4 = 0x05650004;

constexpr wchar_t Tip[] = L"Left click to show/hide the ruler, Right click for the menu";
const HICON SomeIcon = reinterpret_cast<HICON>(static_cast<uintptr_t>(0x1234));
const HICON OtherIcon = reinterpret_cast<HICON>(static_cast<uintptr_t>(0x5678));
const HWND SomeWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4321));

std::vector<UINT> Listed(const clsTrayArea& tray) {
    std::vector<UINT> ids;
    for (const auto& entry : tray.IconIds()) {
        EXPECT_EQ(entry.key, L"k" + std::to_wstring(entry.id));
        ids.push_back(entry.id);
    }
    return ids;
}

// A text field as the shell reads it: `count` characters of `expected`, then zeros to the end of
// the field.
template <std::size_t N>::testing::AssertionResult FieldHolds(const wchar_t (&field)[N], const std::wstring& expected) {
    const std::wstring held(field, std::find(field, field + N, L'\0'));
    if (held != expected) {
        return ::testing::AssertionFailure() << "holds " << held.size() << " characters, expected " << expected.size();
    }
    if (!std::all_of(field + held.size(), field + N, [](wchar_t c) { return c == L'\0'; })) {
        return ::testing::AssertionFailure() << "not zero-filled after the text";
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(TrayAreaTest, BalloonsFromTheVersionTheSystemReports) {
    const struct {
        DWORD packed;
        bool balloons;
    } cases[] = {
        {Windows10, true},   {0x23F00206, true},  {0x08930005, true}, // 10.0, 6.2, 2000
        {WindowsNT4, false}, {0xC3B60004, false},                     // NT 4, 95
        {0xC0000A04, false}, {0xC0005A04, true},                      // 98, Me
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clsTrayArea::BalloonsSupported(c.packed), c.balloons) << std::hex << c.packed;
    }
    EXPECT_TRUE(clsTrayArea().HasBalloons()); // Wine reports an NT system above version 4
}

TEST(TrayAreaTest, AddIconSendsTheFullRecordThenAsksForVersion3) {
    RecordingShell shell;
    clsTrayArea tray(shell.Hook(), Windows10);
    tray.hWnd(SomeWindow);
    EXPECT_EQ(tray.Message(), static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(tray.GetLastIconID(), -1);

    ASSERT_TRUE(tray.AddIcon(1, Tip, SomeIcon));

    ASSERT_EQ(shell.Sent(), (std::vector<std::pair<DWORD, UINT>>{{NIM_ADD, 1}, {NIM_SETVERSION, 1}}));
    for (const auto& call : shell.calls) {
        const NOTIFYICONDATAW& r = call.record;
        EXPECT_EQ(r.cbSize, NOTIFYICONDATAW_V2_SIZE);
        EXPECT_EQ(r.hWnd, SomeWindow);
        EXPECT_EQ(r.uFlags, 7u);
        EXPECT_EQ(r.uCallbackMessage, 512u);
        EXPECT_EQ(r.hIcon, SomeIcon);
        EXPECT_TRUE(FieldHolds(r.szTip, Tip));
        EXPECT_EQ(r.uVersion, 3u);
    }
    EXPECT_EQ(tray.GetLastIconID(), 1);
    EXPECT_EQ(tray.IconIds(), (std::vector<clsTrayArea::IconEntry>{{L"k1", 1}}));
}

TEST(TrayAreaTest, WithoutBalloonsTheVersion1RecordAndNoBalloon) {
    RecordingShell shell;
    clsTrayArea tray(shell.Hook(), WindowsNT4);
    EXPECT_FALSE(tray.HasBalloons());

    ASSERT_TRUE(tray.AddIcon(1, Tip, SomeIcon));
    ASSERT_EQ(shell.Sent(), (std::vector<std::pair<DWORD, UINT>>{{NIM_ADD, 1}}));
    EXPECT_EQ(shell.Last().cbSize, NOTIFYICONDATAW_V1_SIZE);
    EXPECT_EQ(shell.Last().uVersion, 0u);

    EXPECT_FALSE(tray.ShowBalloonTip(L"Hey, look here!", L"Trelvik", NIIF_INFO, 30000));
    EXPECT_EQ(shell.calls.size(), 1u);
}

TEST(TrayAreaTest, MessageIsTheCallbackOfTheNextAdd) {
    RecordingShell shell;
    clsTrayArea tray(shell.Hook(), Windows10);
    tray.Message(WM_APP + 7);
    EXPECT_EQ(tray.Message(), static_cast<UINT>(WM_APP + 7));
    ASSERT_TRUE(tray.AddIcon(3, Tip, SomeIcon));
    EXPECT_EQ(shell.calls.front().record.uCallbackMessage, static_cast<UINT>(WM_APP + 7));
}

// The shell reads at most 128 tip characters (64 from the version-1 record) and needs the last one
// to be a terminator; the tip field rule holds for adding and changing alike.
TEST(TrayAreaTest, TipsAreCutToLeaveATerminator) {
    const struct {
        std::size_t length;
        DWORD version;
        std::size_t held;
    } cases[] = {
        {0, Windows10, 0},     {126, Windows10, 126}, {127, Windows10, 127}, {128, Windows10, 127},
        {200, Windows10, 127}, {63, WindowsNT4, 63},  {64, WindowsNT4, 63},  {200, WindowsNT4, 63},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.length << " characters, version " << std::hex << c.version);
        std::wstring tip;
        for (std::size_t i = 0; i < c.length; ++i) {
            tip += static_cast<wchar_t>(L'A' + i % 26);
        }
        RecordingShell shell;
        clsTrayArea tray(shell.Hook(), c.version);
        ASSERT_TRUE(tray.AddIcon(1, L"a longer tip that the next one must wipe out entirely", SomeIcon));
        ASSERT_TRUE(tray.AddIcon(2, tip, SomeIcon));
        EXPECT_TRUE(FieldHolds(shell.Last().szTip, tip.substr(0, c.held)));
        ASSERT_TRUE(tray.ChangeTip(1, tip));
        EXPECT_TRUE(FieldHolds(shell.Last().szTip, tip.substr(0, c.held)));
    }
}

TEST(TrayAreaTest, ChangesSendOnlyTheirFieldsAndKeepTheRest) {
    RecordingShell shell;
    clsTrayArea tray(shell.Hook(), Windows10);
    tray.hWnd(SomeWindow);
    ASSERT_TRUE(tray.AddIcon(1, Tip, SomeIcon));

    ASSERT_TRUE(tray.ChangeIcon(1, OtherIcon));
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shell.Last().uFlags, 2u);
    EXPECT_EQ(shell.Last().hIcon, OtherIcon);
    EXPECT_TRUE(FieldHolds(shell.Last().szTip, Tip));

    ASSERT_TRUE(tray.ChangeTip(1, L"Another tip"));
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shell.Last().uFlags, 4u);
    EXPECT_TRUE(FieldHolds(shell.Last().szTip, L"Another tip"));
    EXPECT_EQ(shell.Last().hIcon, OtherIcon);
    EXPECT_EQ(shell.Last().hWnd, SomeWindow);

    shell.answer = [](DWORD, const NOTIFYICONDATAW&) { return FALSE; };
    EXPECT_FALSE(tray.ChangeIcon(1, SomeIcon));
    EXPECT_FALSE(tray.ChangeTip(1, Tip));
}

TEST(TrayAreaTest, BalloonGoesToTheIconOfTheLastCall) {
    RecordingShell shell;
    clsTrayArea tray(shell.Hook(), Windows10);
    ASSERT_TRUE(tray.AddIcon(1, Tip, SomeIcon));
    ASSERT_TRUE(tray.AddIcon(2, Tip, SomeIcon));
    ASSERT_TRUE(tray.ChangeIcon(1, OtherIcon));

    ASSERT_TRUE(tray.ShowBalloonTip(L"Hey, look here!", L"Trelvik", NIIF_INFO, 30000));
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_MODIFY));
    const NOTIFYICONDATAW& r = shell.Last();
    EXPECT_EQ(r.uID, 1u);
    EXPECT_EQ(r.uFlags, 16u);
    EXPECT_TRUE(FieldHolds(r.szInfo, L"Hey, look here!"));
    EXPECT_TRUE(FieldHolds(r.szInfoTitle, L"Trelvik"));
    EXPECT_EQ(r.dwInfoFlags, 1u);
    EXPECT_EQ(r.uTimeout, 30000u);

    // The balloon's time-out shares its field with the version, which the next add sets again.
    ASSERT_TRUE(tray.AddIcon(3, Tip, SomeIcon));
    EXPECT_EQ(shell.calls[shell.calls.size() - 2].record.uVersion, 3u);
    EXPECT_EQ(shell.Last().uVersion, 3u);
}

TEST(TrayAreaTest, BalloonTextsAreCutToTheirFields) {
    RecordingShell shell;
    clsTrayArea tray(shell.Hook(), Windows10);
    const std::wstring title(70, L'T');
    const std::wstring text(300, L'x');
    ASSERT_TRUE(tray.ShowBalloonTip(text, title, NIIF_INFO, 1000));
    EXPECT_TRUE(FieldHolds(shell.Last().szInfoTitle, title.substr(0, 63)));
    EXPECT_TRUE(FieldHolds(shell.Last().szInfo, text.substr(0, 255)));

    // A shorter balloon leaves nothing of the longer one behind.
    ASSERT_TRUE(tray.ShowBalloonTip(L"short", L"t", NIIF_WARNING, 1000));
    EXPECT_TRUE(FieldHolds(shell.Last().szInfoTitle, L"t"));
    EXPECT_TRUE(FieldHolds(shell.Last().szInfo, L"short"));
    EXPECT_EQ(shell.Last().dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));

    shell.answer = [](DWORD, const NOTIFYICONDATAW&) { return FALSE; };
    EXPECT_FALSE(tray.ShowBalloonTip(L"refused", L"t", NIIF_INFO, 1000));
}

TEST(TrayAreaTest, AnIdentifierIsListedOnceInTheOrderOfAdding) {
    RecordingShell shell;
    clsTrayArea tray(shell.Hook(), Windows10);
    ASSERT_TRUE(tray.AddIcon(5, Tip, SomeIcon));
    ASSERT_TRUE(tray.AddIcon(2, Tip, SomeIcon));

    // The shell refuses a second add of an identifier it shows. The version call would succeed for
    // the icon already there, so it is not made: the failed add is reported as such.
    shell.answer = [](DWORD message, const NOTIFYICONDATAW& r) { return !(message == NIM_ADD && r.uID == 5); };
    shell.calls.clear();
    EXPECT_FALSE(tray.AddIcon(5, Tip, SomeIcon));
    EXPECT_EQ(shell.Sent(), (std::vector<std::pair<DWORD, UINT>>{{NIM_ADD, 5}}));
    EXPECT_EQ(Listed(tray), (std::vector<UINT>{5, 2}));

    // A shell that had lost the icon takes the add again; the entry stays where it was.
    shell.answer = [](DWORD, const NOTIFYICONDATAW&) { return TRUE; };
    EXPECT_TRUE(tray.AddIcon(5, Tip, SomeIcon));
    EXPECT_EQ(Listed(tray), (std::vector<UINT>{5, 2}));
    EXPECT_EQ(tray.GetLastIconID(), 2);

    // An add the shell refuses outright lists nothing.
    shell.answer = [](DWORD, const NOTIFYICONDATAW&) { return FALSE; };
    EXPECT_FALSE(tray.AddIcon(9, Tip, SomeIcon));
    EXPECT_EQ(Listed(tray), (std::vector<UINT>{5, 2}));
}

TEST(TrayAreaTest, AnAddedIconIsListedEvenWhenTheVersionCallFails) {
    RecordingShell shell;
    shell.answer = [](DWORD message, const NOTIFYICONDATAW&) { return message != NIM_SETVERSION; };
    {
        clsTrayArea tray(shell.Hook(), Windows10);
        EXPECT_FALSE(tray.AddIcon(1, Tip, SomeIcon));
        // The icon is in the notification area all the same, so it must be removed at the end.
        EXPECT_EQ(Listed(tray), (std::vector<UINT>{1}));
    }
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(shell.Last().uID, 1u);
}

TEST(TrayAreaTest, DeleteIconUnlistsOnlyWhatTheShellRemoved) {
    RecordingShell shell;
    clsTrayArea tray(shell.Hook(), Windows10);
    ASSERT_TRUE(tray.AddIcon(1, Tip, SomeIcon));
    ASSERT_TRUE(tray.AddIcon(2, Tip, SomeIcon));

    shell.answer = [](DWORD message, const NOTIFYICONDATAW& r) { return !(message == NIM_DELETE && r.uID == 7); };
    EXPECT_FALSE(tray.DeleteIcon(7));
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(Listed(tray), (std::vector<UINT>{1, 2}));

    EXPECT_TRUE(tray.DeleteIcon(2));
    EXPECT_EQ(Listed(tray), (std::vector<UINT>{1}));
    EXPECT_EQ(tray.GetLastIconID(), 1);
    EXPECT_TRUE(tray.DeleteIcon(1));
    EXPECT_EQ(tray.GetLastIconID(), -1);

    // The largest identifier is not the "none" answer.
    ASSERT_TRUE(tray.AddIcon(0xFFFFFFFF, Tip, SomeIcon));
    EXPECT_EQ(tray.GetLastIconID(), 0xFFFFFFFFLL);
    EXPECT_EQ(tray.IconIds().front().key, L"k4294967295");
}

TEST(TrayAreaTest, RemoveAllIconsDeletesInOrderAndDropsFailures) {
    RecordingShell shell;
    clsTrayArea tray(shell.Hook(), Windows10);
    for (UINT id : {3u, 1u, 2u}) {
        ASSERT_TRUE(tray.AddIcon(id, Tip, SomeIcon));
    }
    shell.calls.clear();
    shell.answer = [](DWORD, const NOTIFYICONDATAW& r) { return r.uID != 1; };

    tray.RemoveAllIcons();

    EXPECT_EQ(shell.Sent(), (std::vector<std::pair<DWORD, UINT>>{{NIM_DELETE, 3}, {NIM_DELETE, 1}, {NIM_DELETE, 2}}));
    EXPECT_TRUE(tray.IconIds().empty());
    EXPECT_EQ(tray.GetLastIconID(), -1);
}

TEST(TrayAreaTest, TheDestructorRemovesWhatIsLeft) {
    RecordingShell shell;
    {
        clsTrayArea tray(shell.Hook(), Windows10);
        ASSERT_TRUE(tray.AddIcon(1, Tip, SomeIcon));
        ASSERT_TRUE(tray.AddIcon(2, Tip, SomeIcon));
        ASSERT_TRUE(tray.DeleteIcon(1));
        shell.calls.clear();
    }
    EXPECT_EQ(shell.Sent(), (std::vector<std::pair<DWORD, UINT>>{{NIM_DELETE, 2}}));

    // Nothing listed: the shell is not called at all.
    shell.calls.clear();
    { clsTrayArea tray(shell.Hook(), Windows10); }
    EXPECT_TRUE(shell.calls.empty());
}

namespace {

// A hidden top-level window that notes the menu messages it receives.
class MenuOwner {
public:
    MenuOwner() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = &MenuOwner::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TrelvikTrayTestOwner";
        ::RegisterClassExW(&wc); // a second registration fails harmlessly
        window_.reset(
            ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, this));
    }
    [[nodiscard]] HWND get() const { return window_.get(); }

    // What happens while the menu is open: the keys to post once it has opened.
    std::vector<WPARAM> keys;
    bool menuOpened = false;
    std::vector<WORD> commands;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        if (msg == WM_NCCREATE) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<MenuOwner*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == WM_INITMENUPOPUP) {
            self->menuOpened = true;
            for (WPARAM key : self->keys) {
                ::PostMessageW(hwnd, WM_KEYDOWN, key, 0);
            }
        } else if (self && msg == WM_COMMAND) {
            self->commands.push_back(LOWORD(wParam));
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    UniqueWindow window_;
};

} // namespace

TEST(TrayAreaTest, TheTrayPopupRunsUntilClosedAndLeavesAMessageBehind) {
    UniqueMenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.get(), MF_STRING, 101, L"First");
    ::AppendMenuW(menu.get(), MF_STRING, 102, L"Second");

    const struct {
        std::vector<WPARAM> keys;
        std::vector<WORD> commands;
    } cases[] = {
        {{VK_ESCAPE}, {}},                      // closed without a choice
        {{VK_DOWN, VK_DOWN, VK_RETURN}, {102}}, // the second item chosen
    };
    for (const auto& c : cases) {
        MenuOwner owner;
        ASSERT_TRUE(owner.get());
        owner.keys = c.keys;

        ShowPopupMenuAtCursor(owner.get(), menu.get());

        EXPECT_TRUE(owner.menuOpened);
        // Left in the window's queue: the choice, as a command, and the WM_NULL that lets the next
        // tray menu close properly.
        bool nullPosted = false;
        MSG msg;
        while (::PeekMessageW(&msg, owner.get(), 0, 0, PM_REMOVE)) {
            nullPosted = nullPosted || msg.message == WM_NULL;
            ::DispatchMessageW(&msg);
        }
        EXPECT_TRUE(nullPosted);
        EXPECT_EQ(owner.commands, c.commands);
    }
}

TEST(TrayAreaTest, RealShellAddsChangesAndDeletesAnIcon) {
    MenuOwner window;
    ASSERT_TRUE(window.get());
    clsTrayArea tray;
    tray.hWnd(window.get());

    ASSERT_TRUE(tray.AddIcon(1, Tip, ::LoadIconW(nullptr, IDI_APPLICATION)));
    EXPECT_EQ(tray.GetLastIconID(), 1);
    EXPECT_TRUE(tray.ChangeTip(1, L"Another tip"));
    EXPECT_TRUE(tray.ShowBalloonTip(L"Hey, look here!", L"Trelvik", NIIF_INFO, 30000));

    EXPECT_TRUE(tray.DeleteIcon(1));
    EXPECT_TRUE(tray.IconIds().empty());
    // Gone from the shell too: it no longer knows the identifier.
    EXPECT_FALSE(tray.DeleteIcon(1));
}
