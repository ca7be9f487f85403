// Times the drawn tray menu: measuring and drawing every item of the open menu, as the window system
// asks for them when the menu opens, through the menu window's own messages at 96 DPI. Beside it, the
// floor: one fill of a canvas of the menu's size, measured in the same run. Figures only; nothing here
// passes or fails.
#include "BenchTiming.h"
#include "commands/frmMenu.h"
#include "ruler/frmRulers.h"
#include "util/SettingsStore.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWarmUp = 10;
constexpr int kRuns = 200;
constexpr wchar_t kBenchApp[] = L"TrelvikBench";
constexpr wchar_t kBenchKey[] = L"Software\\TrelvikBench";

class BenchApp final : public MenuHost {
public:
    frmRulers& Rulers() override { return *static_cast<frmRulers*>(nullptr); }
    frmRulers* ExistingRulers() override { return nullptr; }
    void ShowHelp() override {}
    void ShowAbout() override {}
    void DestroyRemainingWindows() override {}
};

template <typename Work> double Time(Work&& work) {
    for (int i = 0; i < kWarmUp; ++i) {
        work();
    }
    std::vector<double> samples;
    for (int i = 0; i < kRuns; ++i) {
        samples.push_back(bench::TimeMs(work));
    }
    return bench::Median(std::move(samples));
}

} // namespace

int main() {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    {
        SettingsStore settings(kBenchApp, L"Settings");
        BenchApp app;
        frmMenu menu(app, settings);
        if (!menu.Load()) {
            std::fprintf(stderr, "menu_bench: the menu window cannot be created\n");
            return 1;
        }
        // What opening the menu does first: its items become owner-drawn, with item data 0, 1, 2...
        const HMENU popup = menu.mnuMenu();
        ::SendMessageW(menu.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
        const int count = ::GetMenuItemCount(popup);

        const HDC screen = ::GetDC(nullptr);
        const HDC canvas = ::CreateCompatibleDC(screen);
        const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 200, 400);
        const HGDIOBJ previous = ::SelectObject(canvas, bitmap);
        ::ReleaseDC(nullptr, screen);

        std::vector<MEASUREITEMSTRUCT> sizes(static_cast<size_t>(count));
        const auto measureAll = [&] {
            for (int i = 0; i < count; ++i) {
                MEASUREITEMSTRUCT& m = sizes[static_cast<size_t>(i)];
                m = MEASUREITEMSTRUCT{ODT_MENU, 0, 0, 0, 0, static_cast<ULONG_PTR>(i)};
                ::SendMessageW(menu.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m));
            }
        };
        const auto drawAll = [&] {
            int top = 0;
            for (int i = 0; i < count; ++i) {
                const int height = static_cast<int>(sizes[static_cast<size_t>(i)].itemHeight);
                DRAWITEMSTRUCT d{};
                d.CtlType = ODT_MENU;
                d.itemAction = ODA_DRAWENTIRE;
                d.itemState = i == 0 ? ODS_SELECTED : 0u;
                d.hwndItem = reinterpret_cast<HWND>(popup);
                d.hDC = canvas;
                d.rcItem = RECT{0, top, 200, top + height};
                d.itemData = static_cast<ULONG_PTR>(i);
                ::SendMessageW(menu.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
                top += height;
            }
        };
        const double measured = Time(measureAll);
        const double drawn = Time(drawAll);
        const double all = Time([&] {
            measureAll();
            drawAll();
        });
        int width = 0;
        int height = 0;
        for (const MEASUREITEMSTRUCT& m : sizes) {
            width = std::max(width, static_cast<int>(m.itemWidth));
            height += static_cast<int>(m.itemHeight);
        }
        const HBRUSH brush = ::GetSysColorBrush(COLOR_MENU);
        const RECT area{0, 0, width, height};
        const double floor = Time([&] {
            ::FillRect(canvas, &area, brush);
            ::GdiFlush();
        });

        std::printf("The tray menu at 96 DPI: %d items, %d x %d pixels. Medians of %d runs after %d warm-up runs.\n",
                    count, width, height, kRuns, kWarmUp);
        std::printf("  measure and draw every item (through the window's messages): %7.3f ms\n", all);
        std::printf("    measuring alone %.3f ms, drawing alone %.3f ms\n", measured, drawn);
        std::printf("  floor, one fill of a canvas of the menu's size:               %7.3f ms  (ratio %.1fx)\n", floor,
                    all / floor);

        ::SelectObject(canvas, previous);
        ::DeleteObject(bitmap);
        ::DeleteDC(canvas);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    return 0;
}
