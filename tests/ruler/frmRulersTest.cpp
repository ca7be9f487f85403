#include "ruler/frmRulers.h"
#include "ruler/modMain.h"
#include "support/Desktop.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

namespace {

class FakeMenu final : public RulerHost {
public:
    UnitChecks units;
    bool transparent = true;
    int menuRequests = 0;

    UnitChecks UnitCheckMarks() const override { return units; }
    bool TransparencyChecked() const override { return transparent; }
    void OpenMenu(POINT) override { ++menuRequests; }
};

RECT BoundsOf(const frmRulers& ruler) {
    return ruler.Bounds();
}
int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

BYTE AlphaOf(HWND hwnd) {
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(::GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags));
    EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
    return alpha;
}

class RulerTest : public ::testing::Test {
protected:
    TestSettings settings;
    FakeMenu menu;
};

TEST_F(RulerTest, LoadsStoredPlaceWithCorrectionsAndDefaults) {
    struct Case {
        const wchar_t *left, *top, *xsize, *ysize;
        RECT expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, nullptr, {50, 50, 480, 380}}, {L"-300", L"10", L"150", L"250", {0, 10, 200, 260}},
        {L"100", L"-5", L"500", L"199", {100, 0, 600, 200}},      {L"abc", L"", L"12abc", L"1e999", {50, 50, 480, 380}},
        {L" 70 ", L"-0", L"99999", L"300.4", {70, 0, 500, 300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "left=" << (c.left ? "set" : "absent"));
        TestSettings fresh;
        if (c.left) {
            fresh.Set(L"Left", c.left);
            fresh.Set(L"Top", c.top);
            fresh.Set(L"XSize", c.xsize);
            fresh.Set(L"YSize", c.ysize);
        }
        frmRulers ruler(menu, fresh.store());
        ASSERT_TRUE(ruler.Load());
        const RECT r = ruler.Bounds();
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
        EXPECT_FALSE(ruler.IsVisible()) << "the ruler loads hidden; the start-up decides";
        EXPECT_TRUE(::GetWindowLongPtrW(ruler.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_TRUE(::GetWindowLongPtrW(ruler.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
        EXPECT_FALSE(::GetWindowLongPtrW(ruler.hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    }
}

TEST_F(RulerTest, AltF4OnTheRulerOnlyHidesIt) {
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    ruler.Show();
    ::SendMessageW(ruler.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(ruler.IsCreated());
    EXPECT_FALSE(ruler.IsVisible());
    EXPECT_EQ(settings.Get(L"Left"), L"<absent>") << "not unloaded: nothing stored yet";
}

TEST_F(RulerTest, TransparencyFollowsTheMenuItem) {
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    EXPECT_EQ(AlphaOf(ruler.hwnd()), 229);
    menu.transparent = false;
    ruler.CheckTransparency();
    EXPECT_EQ(AlphaOf(ruler.hwnd()), 255);
    EXPECT_TRUE(::GetWindowLongPtrW(ruler.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED) << "stays layered when opaque";
    menu.transparent = true;
    ruler.CheckTransparency();
    EXPECT_EQ(AlphaOf(ruler.hwnd()), 229);
}

TEST(RulerZones, RightZoneWinsThenBottomThenHand) {
    using Zone = frmRulers::CursorZone;
    struct Case {
        int x, y;
        Zone zone;
    };
    const Case cases[] = {
        {426, 20, Zone::SizeWE}, {429, 329, Zone::SizeWE}, {425, 20, Zone::Hand}, {20, 326, Zone::SizeNS},
        {20, 325, Zone::Hand},   {0, 0, Zone::Hand},       {200, 39, Zone::Hand}, {425, 326, Zone::SizeNS},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(frmRulers::ZoneAt(c.x, c.y, 430, 330), c.zone) << c.x << "," << c.y;
    }
    const RECT ball = frmRulers::BallRect();
    EXPECT_EQ(ball.left, 20);
    EXPECT_EQ(ball.top, 20);
    EXPECT_EQ(ball.right - ball.left, 15);
}

TEST_F(RulerTest, SetSizeCentresTheMeasuredAreaAndShows) {
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    ruler.SetSize(800, 600);
    const RECT r = ruler.Bounds();
    EXPECT_EQ(Width(r), 840);
    EXPECT_EQ(Height(r), 640);
    EXPECT_EQ(r.left, (VirtualScreenWidth() - 840) / 2);
    EXPECT_EQ(r.top, (VirtualScreenHeight() - 640) / 2);
    EXPECT_TRUE(ruler.IsVisible());

    // Larger than the screen: partly off screen, as asked.
    ruler.SetSize(VirtualScreenWidth(), VirtualScreenHeight());
    EXPECT_EQ(ruler.Bounds().left, -20);
    EXPECT_EQ(ruler.Bounds().top, -20);
}

TEST_F(RulerTest, UnloadStoresPlaceSizeAndVisibility) {
    {
        frmRulers ruler(menu, settings.store());
        ASSERT_TRUE(ruler.Load());
        ::SetWindowPos(ruler.hwnd(), nullptr, 123, 45, 321, 234, SWP_NOZORDER | SWP_NOACTIVATE);
        ruler.Show();
        ruler.Unload();
        EXPECT_FALSE(ruler.IsCreated());
    }
    EXPECT_EQ(settings.Get(L"Left"), L"123");
    EXPECT_EQ(settings.Get(L"Top"), L"45");
    EXPECT_EQ(settings.Get(L"XSize"), L"321");
    EXPECT_EQ(settings.Get(L"YSize"), L"234");
    EXPECT_EQ(settings.Get(L"ShowRuler"), L"1");

    frmRulers hidden(menu, settings.store());
    ASSERT_TRUE(hidden.Load());
    EXPECT_EQ(BoundsOf(hidden).left, 123) << "the next load puts it back";
    hidden.Unload();
    EXPECT_EQ(settings.Get(L"ShowRuler"), L"0");
}

TEST_F(RulerTest, RestoresItselfWhenMinimizedOrMaximized) {
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    ruler.Show();
    const RECT before = ruler.Bounds();
    for (int command : {SW_MINIMIZE, SW_MAXIMIZE}) {
        ::ShowWindow(ruler.hwnd(), command);
        EXPECT_TRUE(PumpUntil([&] { return !::IsIconic(ruler.hwnd()) && !::IsZoomed(ruler.hwnd()); }));
        const RECT after = ruler.Bounds();
        EXPECT_EQ(Width(after), Width(before));
        EXPECT_EQ(Height(after), Height(before));
    }
}

// Drives the mouse through the system's input queue, as a user's hand would.
class RulerDragTest : public RulerTest {
protected:
    static void Send(POINT screen, DWORD buttons) { SendMouse(screen, buttons); }
    static void Press(POINT screen) {
        Send(screen, 0);
        Send(screen, MOUSEEVENTF_LEFTDOWN);
    }
    static void MoveHeld(POINT screen) { Send(screen, 0); }
    static void Release(POINT screen, DWORD button = MOUSEEVENTF_LEFTUP) { Send(screen, button); }
};

TEST_F(RulerDragTest, RightZoneDragChangesWidthDownToForty) {
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    ruler.Show();
    const RECT r = ruler.Bounds();
    Press({r.right - 2, r.top + 20});
    EXPECT_TRUE(ruler.IsResizing());
    MoveHeld({r.right + 48, r.top + 200}); // outside the window: the drag goes on
    EXPECT_TRUE(PumpUntil([&] { return Width(ruler.Bounds()) == 480; })) << Width(ruler.Bounds());
    EXPECT_EQ(Height(ruler.Bounds()), 330) << "the right zone changes the width only";

    MoveHeld({r.left - 100, r.top + 20});
    EXPECT_TRUE(PumpUntil([&] { return Width(ruler.Bounds()) == 40; })) << Width(ruler.Bounds());
    Release({r.left - 100, r.top + 20});
    EXPECT_FALSE(ruler.IsResizing());
    EXPECT_EQ(ruler.Bounds().left, r.left) << "resizing never moves the window";
}

TEST_F(RulerDragTest, BottomZoneDragChangesHeight) {
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    ruler.Show();
    const RECT r = ruler.Bounds();
    Press({r.left + 20, r.bottom - 2});
    MoveHeld({r.left + 20, r.bottom - 102});
    EXPECT_TRUE(ruler.IsResizing());
    EXPECT_EQ(ruler.Zone(), frmRulers::CursorZone::SizeNS);
    EXPECT_TRUE(PumpUntil([&] { return Height(ruler.Bounds()) == 230; })) << Height(ruler.Bounds());
    EXPECT_EQ(Width(ruler.Bounds()), 430);
    Release({r.left + 20, r.bottom - 102});
    EXPECT_FALSE(ruler.IsResizing());
    Send({r.left + 20, r.top + 100}, MOUSEEVENTF_RIGHTDOWN);
    Send({r.left + 20, r.top + 100}, MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ(menu.menuRequests, 1) << "a right button release opens the tray menu";
}

TEST_F(RulerDragTest, APressHandledLateResizesFromWhereItWasPressed) {
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    ruler.Show();
    const RECT r = ruler.Bounds();
    // Pressed in the bottom zone, but handled only once the pointer has reached the right zone.
    ::SetCursorPos(r.right - 2, r.top + 20);
    PumpPendingMessages();
    ::SendMessageW(ruler.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, Height(r) - 2));
    EXPECT_TRUE(ruler.IsResizing());
    EXPECT_EQ(ruler.Zone(), frmRulers::CursorZone::SizeNS) << "the zone of the press, not of the pointer now";
    // 100 px below the press: the height grows by 100 (measured from the press, not from the pointer
    // the press was handled at, 308 px higher).
    ::SetCursorPos(r.left + 20, r.bottom + 98);
    ::SendMessageW(ruler.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, Height(r) + 98));
    EXPECT_TRUE(PumpUntil([&] { return Height(ruler.Bounds()) == 430; })) << Height(ruler.Bounds());
    EXPECT_EQ(Width(ruler.Bounds()), 430);
    ::SendMessageW(ruler.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(20, Height(r) + 98));
    EXPECT_FALSE(ruler.IsResizing());
}

} // namespace
