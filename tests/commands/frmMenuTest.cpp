#include "commands/frmMenu.h"
#include "ruler/frmRulers.h"
#include "support/GdiCount.h"
#include "support/TestSettings.h"
#include "winmsg/MSubclass.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

class FakeApp final : public MenuHost {
public:
    explicit FakeApp(SettingsStore& settings) : settings_(settings) {}
    frmRulers& Rulers() override { return *rulers_; }
    frmRulers* ExistingRulers() override { return nullptr; }
    void ShowHelp() override {}
    void ShowAbout() override {}
    void DestroyRemainingWindows() override { ++destroyRequests; }
    int destroyRequests = 0;

private:
    SettingsStore& settings_;
    frmRulers* rulers_ = nullptr;
};

// The visible tree as "caption" lines, submenu items indented.
void CollectCaptions(HMENU menu, const std::wstring& indent, std::vector<std::wstring>& out) {
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[128]{};
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 127;
        ASSERT_TRUE(::GetMenuItemInfoW(menu, i, TRUE, &info));
        out.push_back(indent + ((info.fType & MFT_SEPARATOR) ? L"-" : text));
        if (info.hSubMenu) {
            CollectCaptions(info.hSubMenu, indent + L"  ", out);
        }
    }
}

class MenuTest : public ::testing::Test {
protected:
    TestSettings settings;
    FakeApp app{settings.store()};
};

TEST_F(MenuTest, BuildsTheWholeTreeWithItsCaptions) {
    frmMenu menu(app, settings.store());
    ASSERT_TRUE(menu.Load());
    std::vector<std::wstring> captions;
    CollectCaptions(menu.mnuMenu(), L"", captions);
    const std::vector<std::wstring> expected = {
        L"Show/Hide Ruler",
        L"Capture Screen",
        L"-",
        L"Size 320x200 px",
        L"Size 640x480 px",
        L"Size 800x600 px",
        L"Size 1024x768 px",
        L"Size 1280x1024 px",
        L"-",
        L"Advanced...",
        L"  [SEP]General",
        L"  Autostart with Windows",
        L"  The ruler is transparent",
        L"  [SEP]Scale Mode",
        L"  Points",
        L"  Pixels",
        L"  Inches",
        L"  Centimeters",
        L"  Millimeters",
        L"&Help",
        L"&About",
        L"-",
        L"&Exit",
    };
    EXPECT_EQ(captions, expected);
}

TEST_F(MenuTest, RestoresCheckMarksAtLoad) {
    struct Case {
        const wchar_t* transp;
        bool checked;
    };
    for (const Case& c :
         {Case{nullptr, true}, Case{L"1", true}, Case{L"0", false}, Case{L"yes", false}, Case{L" 1", false}}) {
        TestSettings fresh;
        if (c.transp) {
            fresh.Set(L"Transp", c.transp);
        }
        FakeApp host(fresh.store());
        frmMenu menu(host, fresh.store());
        ASSERT_TRUE(menu.Load());
        EXPECT_EQ(menu.TransparencyChecked(), c.checked) << (c.transp ? "set" : "absent");
        EXPECT_TRUE(menu.IsChecked(MenuId::mnuPixels)) << "every run starts in pixels";
        EXPECT_FALSE(menu.IsChecked(MenuId::mnuAutoStart));
        const UnitChecks units = menu.UnitCheckMarks();
        EXPECT_FALSE(units.points || units.inches || units.centimeters || units.millimeters);
    }
}

TEST_F(MenuTest, ReportsUnitCheckMarks) {
    frmMenu menu(app, settings.store());
    ASSERT_TRUE(menu.Load());
    menu.SetChecked(MenuId::mnuInches, true);
    menu.SetChecked(MenuId::mnuMillimeters, true);
    EXPECT_EQ(CurrentUnit(menu.UnitCheckMarks()), ScaleUnit::Inches);
}

TEST_F(MenuTest, EnablesThePresetSizesThatFitTheVirtualScreen) {
    frmMenu menu(app, settings.store());
    ASSERT_TRUE(menu.Load());
    for (MenuId id : {MenuId::mnu320x200, MenuId::mnu1280x1024}) {
        menu.SetEnabled(id, false);
    }
    menu.CheckResMenu(); // the test display is 1280 x 1024: everything fits
    for (MenuId id :
         {MenuId::mnu320x200, MenuId::mnu640x480, MenuId::mnu800x600, MenuId::mnu1024x768, MenuId::mnu1280x1024}) {
        EXPECT_TRUE(menu.IsEnabled(id)) << menu.Caption(id).size();
    }
}

TEST_F(MenuTest, AKeyboardCloseIsIgnoredWhileAnotherProgramsCloseEndsInOrder) {
    frmMenu menu(app, settings.store());
    ASSERT_TRUE(menu.Load());
    ::SendMessageW(menu.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); // Alt+F4 on the hidden window
    EXPECT_TRUE(menu.IsCreated());
    EXPECT_EQ(app.destroyRequests, 0);
    ::SendMessageW(menu.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(menu.IsCreated());
    EXPECT_EQ(app.destroyRequests, 1) << "the shutdown sequence ran";
}

TEST_F(MenuTest, DestructionStoresTransparencyThenEndsTheOtherWindows) {
    frmMenu menu(app, settings.store());
    ASSERT_TRUE(menu.Load());
    menu.SetChecked(MenuId::mnuTransparent, false);
    menu.Destroy();
    EXPECT_EQ(settings.Get(L"Transp"), L"0");
    EXPECT_EQ(app.destroyRequests, 1);
}

// Watches the menu window while its popup is open: counts the items drawn, and closes the popup as
// soon as it has been shown and is waiting for the user.
class MenuWatcher final : public ISubclass {
public:
    explicit MenuWatcher(HWND window) : window_(window) {
        MSubclass::HookMessage(*this, window_, WM_DRAWITEM, HookBefore);
        MSubclass::HookMessage(*this, window_, WM_ENTERIDLE, HookBefore);
    }
    ~MenuWatcher() {
        MSubclass::UnhookMessage(*this, window_, WM_DRAWITEM);
        MSubclass::UnhookMessage(*this, window_, WM_ENTERIDLE);
    }
    int drawn = 0;
    int idle = 0;

    void WindowProc(bool, bool&, LRESULT&, HWND, UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        if (uMsg == WM_DRAWITEM && reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_MENU) {
            ++drawn;
        } else if (uMsg == WM_ENTERIDLE && wParam == MSGF_MENU) {
            ++idle;
            ::EndMenu();
        }
    }

private:
    HWND window_;
};

TEST_F(MenuTest, TheDrawnMenuOpensAThousandTimesWithoutLeavingGdiOrUserObjects) {
    frmMenu menu(app, settings.store());
    ASSERT_TRUE(menu.Load());
    MenuWatcher watcher(menu.hwnd());
    menu.OpenMenu(POINT{200, 200}); // the first opening loads the pictures and converts the items
    ASSERT_GT(watcher.drawn, 0) << "the items are drawn by the program";
    const GuiObjectCounts before = GuiObjectCounts::Now();
    for (int i = 0; i < 1000; ++i) {
        menu.OpenMenu(POINT{200 + i % 50, 200});
    }
    PumpPendingMessages();
    EXPECT_EQ(watcher.idle, 1001) << "every opening was shown and closed";
    EXPECT_GE(watcher.drawn, 1001 * 11) << "every opening drew every item";
    const GuiObjectCounts after = GuiObjectCounts::Now();
    EXPECT_EQ(after, before);
    std::cout << "1,000 menu openings: before " << before << "; after " << after << '\n';
}

} // namespace
