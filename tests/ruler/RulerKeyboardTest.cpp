// The ruler from the keyboard, and a ruler that is always somewhere the user can reach it: a press on a
// bar gives it the focus, then the arrows move it, Ctrl with the arrows moves its far edges, Ctrl+C
// copies the readout and the menu keys open the tray menu at its corner; stored places off the screen,
// oversized stored sizes and monitors that went away bring it back onto a screen.
#include "ruler/frmRulers.h"
#include "support/Desktop.h"
#include "support/RectCompare.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

class FakeMenu final : public RulerHost {
public:
    std::vector<POINT> menus; // where each menu was asked for
    UnitChecks UnitCheckMarks() const override { return {}; }
    bool TransparencyChecked() const override { return false; }
    void OpenMenu(POINT at) override { menus.push_back(at); }
};

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

void SendInputs(std::vector<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    // The context-menu key and the arrows are extended keys on a real keyboard.
    if (key == VK_APPS || (key >= VK_LEFT && key <= VK_DOWN)) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    return input;
}

// Presses the key with the modifiers held, as a hand on the keyboard would, and lets it take effect.
void Press(WORD key, std::initializer_list<WORD> modifiers = {}) {
    std::vector<INPUT> inputs;
    for (const WORD m : modifiers) {
        inputs.push_back(Key(m, false));
    }
    inputs.push_back(Key(key, false));
    inputs.push_back(Key(key, true));
    for (const WORD m : modifiers) {
        inputs.push_back(Key(m, true));
    }
    SendInputs(inputs);
    PumpUntil([] { return false; }, std::chrono::milliseconds(60));
}

class RulerKeyboardTest : public ::testing::Test {
protected:
    TestSettings settings;
    FakeMenu menu;
    frmRulers ruler{menu, settings.store()};

    void SetUp() override {
        settings.Set(L"Left", L"100");
        settings.Set(L"Top", L"120");
        ASSERT_TRUE(ruler.Load());
        ruler.Show();
        PumpPendingMessages();
        // A click on the top bar, away from the sizing zone: pressed and released in place, so the
        // window system's move ends where it began.
        const RECT r = ruler.Bounds();
        const POINT bar{r.left + 200, r.top + 20};
        SendInputs({MouseInput(bar, 0), MouseInput(bar, MOUSEEVENTF_LEFTDOWN), MouseInput(bar, MOUSEEVENTF_LEFTUP)});
        ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == ruler.hwnd(); })) << "a press on a bar focuses the ruler";
        PumpUntil([] { return false; }, std::chrono::milliseconds(60));
        ASSERT_EQ(ruler.Bounds(), r) << "a click does not move the ruler";
    }
};

TEST_F(RulerKeyboardTest, ArrowsMoveShiftMovesTenCtrlMovesTheFarEdges) {
    EXPECT_EQ(::GetForegroundWindow(), ruler.hwnd());
    struct Step {
        const char* what;
        WORD key;
        std::initializer_list<WORD> modifiers;
        RECT expected; // relative to the ruler before the step: left, top, right, bottom deltas
    };
    const Step steps[] = {
        {"Right moves 1 right", VK_RIGHT, {}, {1, 0, 1, 0}},
        {"Shift+Right moves 10 right", VK_RIGHT, {VK_SHIFT}, {10, 0, 10, 0}},
        {"Left moves 1 left", VK_LEFT, {}, {-1, 0, -1, 0}},
        {"Down moves 1 down", VK_DOWN, {}, {0, 1, 0, 1}},
        {"Shift+Up moves 10 up", VK_UP, {VK_SHIFT}, {0, -10, 0, -10}},
        {"Ctrl+Right widens by 1", VK_RIGHT, {VK_CONTROL}, {0, 0, 1, 0}},
        {"Ctrl+Shift+Down makes it 10 higher", VK_DOWN, {VK_CONTROL, VK_SHIFT}, {0, 0, 0, 10}},
        {"Ctrl+Left narrows by 1", VK_LEFT, {VK_CONTROL}, {0, 0, -1, 0}},
        {"Ctrl+Shift+Up makes it 10 lower", VK_UP, {VK_CONTROL, VK_SHIFT}, {0, 0, 0, -10}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const RECT before = ruler.Bounds();
        Press(step.key, step.modifiers);
        const RECT e = step.expected;
        EXPECT_EQ(ruler.Bounds(),
                  (RECT{before.left + e.left, before.top + e.top, before.right + e.right, before.bottom + e.bottom}));
    }

    // The readout follows a size change at once.
    Press(VK_RIGHT, {VK_CONTROL});
    EXPECT_EQ(ruler.ReadoutShown(), L"391.00x290.00 px");

    // Never below the bars, as a mouse drag.
    ::SetWindowPos(ruler.hwnd(), nullptr, 0, 0, 45, 47, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Press(VK_LEFT, {VK_CONTROL, VK_SHIFT});
    Press(VK_UP, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(Width(ruler.Bounds()), frmRulers::DragMinimumSize);
    EXPECT_EQ(Height(ruler.Bounds()), frmRulers::DragMinimumSize);
    Press(VK_LEFT, {VK_CONTROL});
    EXPECT_EQ(Width(ruler.Bounds()), frmRulers::DragMinimumSize);
    EXPECT_EQ(ruler.ReadoutShown(), L"0.00x0.00 px");
}

TEST_F(RulerKeyboardTest, CtrlCCopiesTheReadoutAsUnicodeText) {
    ASSERT_EQ(ruler.ReadoutShown(), L"390.00x290.00 px");
    Press('C', {VK_CONTROL});
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(ClipboardText(), L"390.00x290.00 px");

    Press(VK_DOWN, {VK_CONTROL, VK_SHIFT});
    Press('C', {VK_CONTROL});
    EXPECT_EQ(ClipboardText(), L"390.00x300.00 px") << "the readout as shown now";
    Press('C');
    EXPECT_EQ(ClipboardText(), L"390.00x300.00 px") << "C alone copies nothing";
}

TEST_F(RulerKeyboardTest, MenuKeysOpenTheTrayMenuAtTheTopLeftCorner) {
    const RECT r = ruler.Bounds();
    Press(VK_APPS);
    ASSERT_EQ(menu.menus.size(), 1u) << "the context-menu key opens the menu once";
    EXPECT_EQ(menu.menus[0].x, r.left);
    EXPECT_EQ(menu.menus[0].y, r.top);
    Press(VK_F10, {VK_SHIFT});
    ASSERT_EQ(menu.menus.size(), 2u) << "Shift+F10 opens it once";
    EXPECT_EQ(menu.menus[1].x, r.left);
    EXPECT_EQ(menu.menus[1].y, r.top);
    Press(VK_F10);
    EXPECT_EQ(menu.menus.size(), 2u) << "F10 alone does not";
    EXPECT_EQ(ruler.Bounds(), r);
}

// ---- Always reachable ------------------------------------------------------------------------------

RECT PrimaryWorkArea() {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

RECT TopBar(const RECT& r) {
    return RECT{r.left + RulerBarSize, r.top, r.right, r.top + RulerBarSize};
}

TEST(RulerReach, StoredPlacesOffTheScreenLoadWithTheTopBarInView) {
    const RECT work = PrimaryWorkArea();
    ASSERT_GE(work.right, 800) << "the test display is 1280 x 1024";
    struct Case {
        const wchar_t *left, *top;
    };
    for (const Case& c :
         {Case{L"5000", L"100"}, Case{L"1281", L"100"}, Case{L"1270", L"1000"}, Case{L"32767", L"32767"}}) {
        SCOPED_TRACE(testing::Message() << "stored at " << std::wstring(c.left).size() << "-digit left");
        TestSettings settings;
        settings.Set(L"Left", c.left);
        settings.Set(L"Top", c.top);
        FakeMenu menu;
        frmRulers ruler(menu, settings.store());
        ASSERT_TRUE(ruler.Load());
        const RECT r = ruler.Bounds();
        EXPECT_EQ(Width(r), 430);
        EXPECT_EQ(Height(r), 330);
        EXPECT_TRUE(Inside(TopBar(r), work)) << r;
        if (std::wstring(c.top) == L"100") {
            EXPECT_EQ(r.top, 100) << "moved only as far as needed";
        }
    }
}

TEST(RulerReach, HugeStoredSizesAreCutToTheScreenAndLoadAsFastAsTheDefault) {
    const auto load = [](const wchar_t* size, RECT& bounds) {
        TestSettings settings;
        if (size) {
            settings.Set(L"XSize", size);
            settings.Set(L"YSize", size);
        }
        FakeMenu menu;
        frmRulers ruler(menu, settings.store());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(ruler.Load());
        ruler.Show();
        PumpPendingMessages();
        const auto took = std::chrono::steady_clock::now() - start;
        bounds = ruler.Bounds();
        return took;
    };
    RECT defaults{}, huge{}, largest{};
    const auto tookDefault = load(nullptr, defaults);
    const auto tookHuge = load(L"20000", huge);
    (void)load(L"32767", largest);
    const int screenWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    for (const RECT& r : {huge, largest}) {
        EXPECT_EQ(Width(r), screenWidth);
        EXPECT_EQ(Height(r), screenHeight);
    }
    EXPECT_EQ(Width(defaults), 430);
    // A screenful costs a few times the default's drawing at most, never the seconds that 20000 x 20000
    // pixels took.
    EXPECT_LT(tookHuge, std::max<std::chrono::steady_clock::duration>(8 * tookDefault, std::chrono::milliseconds(300)));
}

TEST(RulerReach, DisplayChangesAndShowingBringALostRulerBack) {
    TestSettings settings;
    FakeMenu menu;
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    ruler.Show();
    const RECT work = PrimaryWorkArea();

    // Where a monitor that has gone left it.
    ::SetWindowPos(ruler.hwnd(), nullptr, 3000, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(ruler.hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(work.right, work.bottom));
    RECT r = ruler.Bounds();
    EXPECT_TRUE(Inside(TopBar(r), work)) << r;
    EXPECT_EQ(r.top, 200);
    EXPECT_EQ(Width(r), 430);

    // Partly on the screen: where the user put it stays.
    ::SetWindowPos(ruler.hwnd(), nullptr, work.right - 100, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(ruler.hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(work.right, work.bottom));
    EXPECT_EQ(ruler.Bounds().left, work.right - 100);

    // Hidden, then moved off every screen (by the keyboard, say): showing it brings it back.
    ruler.Hide();
    ruler.MoveTo(-2000, -2000);
    ruler.Show();
    r = ruler.Bounds();
    EXPECT_TRUE(Inside(TopBar(r), work)) << r;
    EXPECT_TRUE(ruler.IsVisible());
}

} // namespace
