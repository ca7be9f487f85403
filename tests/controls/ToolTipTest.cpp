// The process-wide tooltip: enabled by a manager, shown after the cursor rests, placed next to the
// cursor and inside the monitor, hidden when the cursor moves or its time is up, and idle otherwise.
#include "controls/ctlUniToolTip.h"
#include "controls/ctlUniTooltipManager.h"
#include "controls/modCtlCommon_ctl.h"
#include "draw/DrawHelpers.h"
#include "support/GdiCount.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>

namespace {

using namespace std::chrono_literals;

RECT WindowRectOf(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t text[512] = {};
    ::GetWindowTextW(hwnd, text, 512);
    return text;
}

class ToolTipTest : public ::testing::Test {
protected:
    ctlUniTooltipManager manager;

    void SetUp() override {
        ::SetCursorPos(500, 400);
        manager.ReadProperties(PropertyBag{});
        ASSERT_TRUE(SharedTipState().tipsActive);
        ASSERT_NE(Window(), nullptr);
    }
    static ctlUniToolTip* Window() { return LoadedToolTipWindow(); }
    static bool Idle() {
        const ctlUniToolTip* w = Window();
        return !w->TimerActive(ctlUniToolTip::ShowTimer) && !w->TimerActive(ctlUniToolTip::DisplayTimer) &&
               !w->TimerActive(ctlUniToolTip::TrackTimer);
    }
    // What the pause's end does, without waiting for it.
    static void ShowNow() { Window()->Proc(ctlUniToolTip::ShowDelayMs, ctlUniToolTip::ShowTimer); }
};

TEST(ToolTipService, ShowTipDoesNothingWhileNoManagerIsActive) {
    ShowTip(L"hello", 300);
    EXPECT_FALSE(SharedTipState().tipsActive);
    EXPECT_EQ(LoadedToolTipWindow(), nullptr) << "not even loaded";

    {
        ctlUniTooltipManager first;
        ctlUniTooltipManager second;
        first.ReadProperties(PropertyBag{});
        second.ReadProperties(PropertyBag{});
        first.ActivateTips(true); // set again: still counted once
        EXPECT_EQ(SharedTipState().managers, 2);
        first.ActivateTips(false);
        EXPECT_TRUE(SharedTipState().tipsActive) << "another manager is still active";
        ASSERT_NE(LoadedToolTipWindow(), nullptr);
        second.ActivateTips(false);
        EXPECT_EQ(LoadedToolTipWindow(), nullptr) << "the last manager out unloads the window";
        EXPECT_FALSE(SharedTipState().tipsActive);
    }
    EXPECT_EQ(SharedTipState().managers, 0) << "a manager that was set inactive does not count out twice";
}

TEST_F(ToolTipTest, IdleUntilATipIsAskedForAndShownNextToTheRestingCursor) {
    EXPECT_TRUE(Idle()) << "no timer runs while no tip is pending";
    EXPECT_FALSE(Window()->IsVisible());

    ShowTip(L"Drag to any window to measure it!", 300);
    EXPECT_TRUE(Window()->TimerActive(ctlUniToolTip::ShowTimer));
    EXPECT_FALSE(Window()->IsVisible()) << "not before the pause";

    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(PumpUntil([] { return Window()->IsVisible(); }, 3s));
    EXPECT_GE(std::chrono::steady_clock::now() - asked, 350ms);
    const RECT r = WindowRectOf(Window()->hwnd());
    EXPECT_EQ(r.left, 501);
    EXPECT_EQ(r.top, 415);
    EXPECT_EQ(WindowText(Window()->hwnd()), L"Drag to any window to measure it!") << "what a screen reader reads";
    EXPECT_TRUE(::GetWindowLongPtrW(Window()->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(::GetForegroundWindow(), Window()->hwnd());
    EXPECT_FALSE(Window()->TimerActive(ctlUniToolTip::ShowTimer));
    EXPECT_TRUE(Window()->TimerActive(ctlUniToolTip::DisplayTimer));
    EXPECT_TRUE(Window()->TimerActive(ctlUniToolTip::TrackTimer));

    const auto moved = std::chrono::steady_clock::now();
    ::SetCursorPos(520, 400);
    ASSERT_TRUE(PumpUntil([] { return !Window()->IsVisible(); }, 2s));
    EXPECT_LT(std::chrono::steady_clock::now() - moved, 500ms) << "the track timer looks every 100 ms";
    EXPECT_TRUE(Idle());
}

TEST_F(ToolTipTest, AMovingCursorNeverGetsATipAndControlsWithoutOneHideIt) {
    ShowTip(L"first", 300);
    ::SetCursorPos(510, 400);
    ShowNow(); // the pause ends with the cursor elsewhere
    EXPECT_FALSE(Window()->IsVisible());
    EXPECT_TRUE(Idle());

    ShowTip(L"first", 300);
    ShowNow();
    ASSERT_TRUE(Window()->IsVisible());
    ShowTip(L"", 300); // the cursor reached a control without a tip
    EXPECT_FALSE(Window()->IsVisible());
    EXPECT_TRUE(Idle());
    ShowTip(L"", 300); // and moves on over it: nothing to do, nothing starts
    EXPECT_TRUE(Idle());
    ShowTip(L"", 300, L"tag"); // unless a tag comes with it
    EXPECT_EQ(Window()->GetTag(), L"tag");
}

TEST_F(ToolTipTest, ShortTipsFitTheirTextAndLongOnesWrapAtTheMaximumWidth) {
    ShowTip(L"Short", 300);
    ShowNow();
    const RECT shortTip = WindowRectOf(Window()->hwnd());
    const SIZE text = MeasureText(Window()->Label().hDC(), L"Short ", 0);
    EXPECT_EQ(shortTip.right - shortTip.left, text.cx + 8) << "text, border and margins";
    EXPECT_EQ(shortTip.bottom - shortTip.top, text.cy + 8);

    std::wstring words;
    for (int i = 0; i < 12; ++i) {
        words += L"measure ";
    }
    ::SetCursorPos(300, 300);
    ShowTip(words, 300);
    ShowNow();
    const RECT wrapped = WindowRectOf(Window()->hwnd());
    EXPECT_LE(wrapped.right - wrapped.left, 304);
    EXPECT_GE(wrapped.bottom - wrapped.top, 2 * text.cy) << "more than one line";
    EXPECT_EQ(Window()->Label().Caption(), words.substr(0, words.size() - 1) + L" ") << "trimmed, one space added";
}

TEST_F(ToolTipTest, ATipGoesAfterItsTimeUnlessItIsPersistent) {
    ShowTip(L"tip", 300);
    ShowNow();
    Window()->Proc(3000, ctlUniToolTip::DisplayTimer);
    EXPECT_FALSE(Window()->IsVisible());
    EXPECT_TRUE(Idle());

    manager.PersistentTip(true);
    ShowTip(L"tip", 300);
    ShowNow();
    Window()->Proc(3000, ctlUniToolTip::DisplayTimer);
    EXPECT_TRUE(Window()->IsVisible()) << "the cursor rests: a persistent tip stays";
    EXPECT_TRUE(Window()->TimerActive(ctlUniToolTip::DisplayTimer));
}

TEST_F(ToolTipTest, NearTheEdgesATipStaysOnTheMonitorAndTransparencyIsApplied) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN);
    const int h = ::GetSystemMetrics(SM_CYSCREEN);
    manager.Transparency(50);
    ::SetCursorPos(w - 3, h - 3);
    ShowTip(L"at the corner", 300);
    ShowNow();
    const RECT r = WindowRectOf(Window()->hwnd());
    EXPECT_EQ(r.right, w) << "flush with the right edge";
    EXPECT_EQ(r.bottom, h - 3 - 5) << "above the cursor, its bottom 5 pixels above it";

    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(Window()->hwnd(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 127);
}

TEST_F(ToolTipTest, ThousandsOfTipsLeaveNoGdiOrUserObjectsBehind) {
    ShowTip(L"warm-up", 300);
    ShowNow();
    Window()->HideTip();
    const GuiObjectCounts before = GuiObjectCounts::Now();
    for (int i = 0; i < 1000; ++i) {
        ::SetCursorPos(400 + i % 7, 300);
        ShowTip(i % 2 ? L"Drag to any window to measure it!\r\nCurrent size: 390.00x290.00 px"
                      : std::wstring(L"tip ") + std::to_wstring(i),
                300);
        ShowNow();
        Window()->HideTip();
    }
    PumpPendingMessages();
    const GuiObjectCounts after = GuiObjectCounts::Now();
    EXPECT_EQ(after, before);
    std::cout << "1,000 tips: before " << before << "; after " << after << '\n';
}

} // namespace
