// The tray menu's commands against a real ruler window, and the screen capture.
#include "commands/CaptureScreen.h"
#include "commands/frmMenu.h"
#include "ruler/frmRulers.h"
#include "ruler/modMain.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <memory>
#include <thread>
#include <string>
#include <vector>

namespace {

// The application's side of the menu: a ruler created on first use, and counters for the rest.
class TestApp final : public MenuHost {
public:
    explicit TestApp(SettingsStore& settings) : settings_(settings) {}
    void Attach(frmMenu& menu) { menu_ = &menu; }

    frmRulers& Rulers() override {
        if (!rulers_) {
            rulers_ = std::make_unique<frmRulers>(*menu_, settings_);
        }
        (void)rulers_->Load();
        return *rulers_;
    }
    frmRulers* ExistingRulers() override { return rulers_ && rulers_->IsCreated() ? rulers_.get() : nullptr; }
    void ShowHelp() override { ++helps; }
    void ShowAbout() override { ++abouts; }
    void DestroyRemainingWindows() override {
        ++shutdowns;
        if (frmRulers* rulers = ExistingRulers()) {
            rulers->Unload();
        }
    }
    int helps = 0, abouts = 0, shutdowns = 0;

private:
    SettingsStore& settings_;
    frmMenu* menu_ = nullptr;
    std::unique_ptr<frmRulers> rulers_;
};

class MenuCommandsTest : public ::testing::Test {
protected:
    TestSettings settings;
    TestApp app{settings.store()};
    frmMenu menu{app, settings.store()};

    void SetUp() override {
        app.Attach(menu);
        ASSERT_TRUE(menu.Load());
    }
    RECT Ruler() { return app.Rulers().Bounds(); }
    BYTE Alpha() {
        BYTE alpha = 0;
        ::GetLayeredWindowAttributes(app.Rulers().hwnd(), nullptr, &alpha, nullptr);
        return alpha;
    }
};

TEST_F(MenuCommandsTest, PresetSizesCentreAndShowTheRulerEvenWhenHidden) {
    EXPECT_FALSE(app.Rulers().IsVisible());
    menu.OnCommand(MenuId::mnu800x600);
    const RECT r = Ruler();
    EXPECT_EQ(r.right - r.left, 840);
    EXPECT_EQ(r.bottom - r.top, 640);
    EXPECT_EQ(r.left, (VirtualScreenWidth() - 840) / 2);
    EXPECT_EQ(r.top, (VirtualScreenHeight() - 640) / 2);
    EXPECT_TRUE(app.Rulers().IsVisible());

    // A disabled preset cannot be chosen.
    menu.SetEnabled(MenuId::mnu320x200, false);
    menu.OnCommand(MenuId::mnu320x200);
    EXPECT_EQ(Ruler().right - Ruler().left, 840);
}

TEST_F(MenuCommandsTest, ShowHideTogglesTheRuler) {
    menu.OnCommand(MenuId::mnuShowHideRuler);
    EXPECT_TRUE(app.Rulers().IsVisible());
    menu.OnCommand(MenuId::mnuShowHideRuler);
    EXPECT_FALSE(app.Rulers().IsVisible());
}

TEST_F(MenuCommandsTest, UnitItemsKeepExactlyOneCheckAndRedrawTheShape) {
    menu.OnCommand(MenuId::mnuShowHideRuler);
    const MenuId units[] = {MenuId::mnuPoints, MenuId::mnuPixels, MenuId::mnuInches, MenuId::mnuCentimeters,
                            MenuId::mnuMillimeters};
    UniqueRegion pixels(::CreateRectRgn(0, 0, 0, 0));
    ::GetWindowRgn(app.Rulers().hwnd(), pixels.get());
    for (MenuId chosen : {MenuId::mnuInches, MenuId::mnuMillimeters, MenuId::mnuPoints, MenuId::mnuPixels}) {
        menu.OnCommand(chosen);
        int checked = 0;
        for (MenuId unit : units) {
            checked += menu.IsChecked(unit);
        }
        EXPECT_EQ(checked, 1);
        EXPECT_TRUE(menu.IsChecked(chosen));
        UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
        ::GetWindowRgn(app.Rulers().hwnd(), shape.get());
        EXPECT_EQ(::EqualRgn(shape.get(), pixels.get()) != 0, chosen == MenuId::mnuPixels)
            << "the readout's glyphs are part of the shape";
    }
}

TEST_F(MenuCommandsTest, TogglesTransparencyAutostartAndAsksForHelpAboutAndExit) {
    EXPECT_EQ(Alpha(), 229);
    menu.OnCommand(MenuId::mnuTransparent);
    EXPECT_FALSE(menu.IsChecked(MenuId::mnuTransparent));
    EXPECT_EQ(Alpha(), 255);

    const bool autostart = menu.IsChecked(MenuId::mnuAutoStart);
    menu.OnCommand(MenuId::mnuAutoStart);
    EXPECT_NE(menu.IsChecked(MenuId::mnuAutoStart), autostart);
    menu.OnCommand(MenuId::mnuAutoStart);
    EXPECT_EQ(menu.IsChecked(MenuId::mnuAutoStart), autostart);

    menu.OnCommand(MenuId::mnuHelp);
    menu.OnCommand(MenuId::mnuAbout);
    EXPECT_EQ(app.helps, 1);
    EXPECT_EQ(app.abouts, 1);

    menu.OnCommand(MenuId::mnuExit);
    EXPECT_FALSE(menu.IsCreated());
    EXPECT_EQ(app.shutdowns, 1);
    EXPECT_EQ(settings.Get(L"Transp"), L"0");
    EXPECT_EQ(settings.Get(L"XSize"), L"430") << "the ruler stored its place on the way out";
}

TEST_F(MenuCommandsTest, TheMenuWindowRunsTheCommandsOfItsPopup) {
    // What the popup sends its owner when an item is chosen.
    ::SendMessageW(menu.hwnd(), WM_COMMAND, static_cast<WPARAM>(MenuId::mnuShowHideRuler), 0);
    EXPECT_TRUE(app.Rulers().IsVisible());
    ::SendMessageW(menu.hwnd(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(MenuId::mnuShowHideRuler), BN_CLICKED), 1234);
    EXPECT_TRUE(app.Rulers().IsVisible()) << "a control's notification is no menu command";
}

// The capture, with the messages recorded instead of shown.
struct Told {
    std::vector<std::wstring> errors, infos;
    CaptureMessages Messages() {
        return {[this](std::wstring_view t) { errors.emplace_back(t); },
                [this](std::wstring_view t) { infos.emplace_back(t); }};
    }
};

TEST_F(MenuCommandsTest, CaptureRefusesAHiddenRulerAndLeavesTheClipboard) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    const wchar_t text[] = L"kept";
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    std::memcpy(::GlobalLock(memory), text, sizeof(text));
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();

    Told told;
    EXPECT_FALSE(CaptureScreen(app.Rulers(), menu.hwnd(), told.Messages()));
    EXPECT_EQ(told.errors, std::vector<std::wstring>{L"Please show the ruler first!"});
    EXPECT_TRUE(told.infos.empty());
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(MenuCommandsTest, CaptureCopiesTheAreaInsideTheRuler) {
    EXPECT_EQ(CaptureRect(RECT{100, 100, 530, 430}, 40).left, 140);
    EXPECT_EQ(CaptureRect(RECT{100, 100, 530, 430}, 60).top, 160) << "the bar at 144 DPI";
    EXPECT_EQ(CaptureRect(RECT{100, 100, 530, 430}, 40).bottom, 430);

    // Something known on the screen under the ruler's inside: a plain blue window.
    WNDCLASSW cls{};
    cls.lpfnWndProc = ::DefWindowProcW;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.hbrBackground = ::CreateSolidBrush(RGB(0, 0, 255));
    cls.lpszClassName = L"CaptureBackdrop";
    ::RegisterClassW(&cls);
    UniqueWindow backdrop(::CreateWindowExW(WS_EX_TOOLWINDOW, L"CaptureBackdrop", L"", WS_POPUP | WS_VISIBLE, 0, 0, 700,
                                            600, nullptr, nullptr, cls.hInstance, nullptr));
    ::UpdateWindow(backdrop.get());

    frmRulers& ruler = app.Rulers();
    ::SetWindowPos(ruler.hwnd(), nullptr, 100, 100, 430, 330, SWP_NOZORDER | SWP_NOACTIVATE);
    ruler.Show();
    PumpUntil([] { return false; }, std::chrono::milliseconds(300));
    Told told;
    ASSERT_TRUE(CaptureScreen(ruler, menu.hwnd(), told.Messages()));
    EXPECT_EQ(told.infos, std::vector<std::wstring>{L"The bitmap has been copied to the clipboard!"});
    EXPECT_TRUE(told.errors.empty());

    ASSERT_TRUE(::OpenClipboard(nullptr));
    auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    BITMAP info{};
    ASSERT_TRUE(bitmap && ::GetObjectW(bitmap, sizeof(info), &info));
    EXPECT_EQ(info.bmWidth, 390);
    EXPECT_EQ(info.bmHeight, 290);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    EXPECT_EQ(::GetPixel(dc, 0, 0), RGB(0, 0, 255)) << "the screen inside the bars";
    EXPECT_EQ(::GetPixel(dc, 200, 100), RGB(0, 0, 255));
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::CloseClipboard();
}

TEST_F(MenuCommandsTest, CaptureCopiesOnlyWhatLiesOnAScreen) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN);
    const int h = ::GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        RECT area, expected;
    };
    const Case cases[] = {
        {{-60, 140, 330, 430}, {0, 140, 330, 430}},                     // off the left edge
        {{w - 100, h - 50, w + 500, h + 400}, {w - 100, h - 50, w, h}}, // off the bottom right
        {{-20000, -20000, 20000, 20000}, {0, 0, w, h}},                 // a stored size far beyond the screen
        {{w + 10, 0, w + 300, 100}, {0, 0, 0, 0}},                      // nothing on a screen
    };
    for (const Case& c : cases) {
        const RECT got = OnScreenPart(c.area);
        if (::IsRectEmpty(&c.expected)) {
            EXPECT_TRUE(::IsRectEmpty(&got));
            continue;
        }
        EXPECT_TRUE(::EqualRect(&got, &c.expected))
            << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    }

    frmRulers& ruler = app.Rulers();
    ::SetWindowPos(ruler.hwnd(), nullptr, -100, 100, 430, 330, SWP_NOZORDER | SWP_NOACTIVATE);
    ruler.Show();
    PumpPendingMessages();
    Told told;
    ASSERT_TRUE(CaptureScreen(ruler, menu.hwnd(), told.Messages()));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    BITMAP info{};
    ASSERT_TRUE(bitmap && ::GetObjectW(bitmap, sizeof(info), &info));
    EXPECT_EQ(info.bmWidth, 330) << "the part left of the screen is not padded in";
    EXPECT_EQ(info.bmHeight, 290);
    ::CloseClipboard();
}

TEST_F(MenuCommandsTest, CaptureReportsAClipboardHeldOpenElsewhereAsAnError) {
    // Another thread holds the clipboard open, a bitmap of its own already on it: the capture cannot
    // place its copy, and the bitmap on offer must not be reported as ours.
    std::promise<void> holding, done;
    std::thread holder([&] {
        ::OpenClipboard(nullptr);
        ::EmptyClipboard();
        ::SetClipboardData(CF_BITMAP, ::CreateBitmap(3, 3, 1, 32, nullptr));
        holding.set_value();
        done.get_future().wait();
        ::CloseClipboard();
    });
    holding.get_future().wait();

    frmRulers& ruler = app.Rulers();
    ruler.Show();
    Told told;
    const bool copied = CaptureScreen(ruler, menu.hwnd(), told.Messages());
    done.set_value();
    holder.join();
    EXPECT_FALSE(copied);
    EXPECT_EQ(told.errors, std::vector<std::wstring>{L"Error while pasting the bitmap to the clipboard!"});
    EXPECT_TRUE(told.infos.empty());
}

} // namespace
