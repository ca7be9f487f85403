// Windows version and monitor queries against the running system (Wine on a 1280 x 1024 Xvfb in
// the test runs).
#include "sysinfo/WindowsVersion.h"
#include "sysinfo/clsScreens.h"
#include "sysinfo/clsSystemMetrics.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::vector<RECT> MonitorRects() {
    std::vector<RECT> rects;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT rect, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<RECT>*>(data)->push_back(*rect);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&rects));
    return rects;
}

// A handle value no monitor has.
const HMONITOR BogusMonitor = reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(0x7654321));

} // namespace

TEST(WindowsVersionTest, DetectedOnceAndRecentEnoughForTransparency) {
    const WindowsVersionInfo detected = DetectWindowsVersion();
    // The true version, not the 6.2 that GetVersionExW reports to unmanifested programs.
    EXPECT_GE(detected.major, 6u);
    EXPECT_GT(detected.build, 0u);
    EXPECT_EQ(detected.code, 11);
    EXPECT_EQ(WindowsVersion(), detected.code);
    EXPECT_EQ(WindowsVersion(), WindowsVersion());
    EXPECT_TRUE(IsWin2000OrLater());
}

TEST(ScreensTest, MultiMonitorSupportFollowsTheVersionCode) {
    // Codes 0 (unknown) .. 11; the versions before the monitor API have none.
    const bool expected[] = {true, false, false, false, true, true, false, false, true, true, true, true};
    for (int code = 0; code < 12; ++code) {
        EXPECT_EQ(clsScreens::MultiMonitorSupported(code), expected[code]) << "code " << code;
    }
    EXPECT_TRUE(clsScreens().MultiMonitor());
}

TEST(ScreensTest, VirtualScreenHoldsEveryMonitor) {
    const clsScreens screens;
    const std::vector<RECT> monitors = MonitorRects();
    ASSERT_FALSE(monitors.empty());
    RECT all = monitors.front();
    for (const RECT& r : monitors) {
        ::UnionRect(&all, &all, &r);
    }
    EXPECT_EQ(screens.Count(), static_cast<int32_t>(monitors.size()));
    EXPECT_EQ(screens.VirtualLeft(), all.left);
    EXPECT_EQ(screens.VirtualTop(), all.top);
    EXPECT_EQ(screens.VirtualWidth(), all.right - all.left);
    EXPECT_EQ(screens.VirtualHeight(), all.bottom - all.top);
    if (RunningUnderWine()) {
        // The test environment's one X screen.
        EXPECT_EQ(screens.Count(), 1);
        EXPECT_EQ(screens.VirtualWidth(), 1280);
        EXPECT_EQ(screens.VirtualHeight(), 1024);
    }
}

TEST(ScreensTest, PrimaryMonitorSeenThroughItsHandle) {
    const clsScreens screens(true);
    const clsSystemMetrics metrics;
    // The origin lies on the primary monitor; a point far off screen is taken to the nearest one.
    const HMONITOR primary = screens.GetMonitorHandleFromPoint(0, 0);
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(screens.GetMonitorHandleFromRect(10, 10, 50, 50), primary);
    EXPECT_EQ(screens.GetMonitorHandleFromWindow(::GetDesktopWindow()), primary);
    if (screens.Count() == 1) {
        EXPECT_EQ(screens.GetMonitorHandleFromPoint(-100000, 100000), primary);
    }

    EXPECT_TRUE(screens.Enabled(primary));
    EXPECT_TRUE(screens.IsPrimaryMon(primary));
    EXPECT_EQ(screens.left(primary), 0);
    EXPECT_EQ(screens.top(primary), 0);
    EXPECT_EQ(screens.Width(primary), screens.WidthPriMon());
    EXPECT_EQ(screens.Height(primary), screens.HeightPriMon());
    // The monitor's work area and the system's work area are the same rectangle, asked two ways.
    EXPECT_EQ(screens.WorkLeft(primary), metrics.WorkScreenLeft());
    EXPECT_EQ(screens.WorkTop(primary), metrics.WorkScreenTop());
    EXPECT_EQ(screens.WorkWidth(primary), metrics.WorkScreenWidth());
    EXPECT_EQ(screens.WorkHeight(primary), metrics.WorkScreenHeight());
    EXPECT_EQ(metrics.WorkScreenRight() - metrics.WorkScreenLeft(), metrics.WorkScreenWidth());
    EXPECT_EQ(metrics.WorkScreenBottom() - metrics.WorkScreenTop(), metrics.WorkScreenHeight());
    EXPECT_GT(metrics.WorkScreenWidth(), 0);
    EXPECT_LE(metrics.WorkScreenWidth(), screens.Width(primary));
    EXPECT_LE(metrics.WorkScreenHeight(), screens.Height(primary));
}

TEST(ScreensTest, UnknownMonitorHandleReadsAsNothing) {
    const clsScreens screens(true);
    EXPECT_FALSE(screens.Enabled(BogusMonitor));
    EXPECT_FALSE(screens.IsPrimaryMon(BogusMonitor));
    EXPECT_EQ(screens.Width(BogusMonitor), 0);
    EXPECT_EQ(screens.Height(BogusMonitor), 0);
    EXPECT_EQ(screens.WorkWidth(BogusMonitor), 0);
    EXPECT_FALSE(screens.Enabled(nullptr));
}

TEST(ScreensTest, WithoutMultiMonitorSupportEverythingIsThePrimaryScreen) {
    const clsScreens screens(false);
    const clsSystemMetrics metrics;
    EXPECT_EQ(screens.Count(), 1);
    EXPECT_TRUE(screens.AllSameColourDepth());
    EXPECT_EQ(screens.GetMonitorHandleFromPoint(0, 0), nullptr);
    EXPECT_EQ(screens.GetMonitorHandleFromWindow(::GetDesktopWindow()), nullptr);
    EXPECT_EQ(screens.GetMonitorHandleFromRect(0, 0, 10, 10), nullptr);
    for (const HMONITOR monitor : {HMONITOR{}, BogusMonitor}) {
        EXPECT_TRUE(screens.Enabled(monitor));
        EXPECT_TRUE(screens.IsPrimaryMon(monitor));
        EXPECT_EQ(screens.left(monitor), 0);
        EXPECT_EQ(screens.top(monitor), 0);
        EXPECT_EQ(screens.Width(monitor), metrics.ScreenWidth());
        EXPECT_EQ(screens.Height(monitor), metrics.ScreenHeight());
        EXPECT_EQ(screens.WorkLeft(monitor), metrics.WorkScreenLeft());
        EXPECT_EQ(screens.WorkTop(monitor), metrics.WorkScreenTop());
        EXPECT_EQ(screens.WorkWidth(monitor), metrics.WorkScreenWidth());
        EXPECT_EQ(screens.WorkHeight(monitor), metrics.WorkScreenHeight());
    }
    EXPECT_EQ(screens.VirtualLeft(), 0);
    EXPECT_EQ(screens.VirtualTop(), 0);
    EXPECT_EQ(screens.VirtualWidth(), metrics.ScreenWidth());
    EXPECT_EQ(screens.VirtualHeight(), metrics.ScreenHeight());
}
