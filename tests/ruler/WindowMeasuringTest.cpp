// Fitting the ruler onto another window with the red ball: the tip, the outline that follows the
// window under the cursor, the fit on release, and the choice of the measured rectangle.
#include "ruler/VisibleFrame.h"
#include "ruler/frmRulers.h"
#include "support/DibCanvas.h"
#include "support/GdiCount.h"
#include "support/RectCompare.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FakeMenu final : public RulerHost {
public:
    UnitChecks units;
    int menuRequests = 0;
    UnitChecks UnitCheckMarks() const override { return units; }
    bool TransparencyChecked() const override { return false; }
    void OpenMenu(POINT) override { ++menuRequests; }
};

RECT WindowRectOf(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
}

// A plain window to measure, with a push button inside it, as any other program would show one.
class TargetWindow {
public:
    TargetWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MeasuringTestTarget";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        ::RegisterClassW(&wc);
        window_.reset(::CreateWindowExW(0, wc.lpszClassName, L"target", WS_POPUP | WS_VISIBLE, 100, 150, 400, 260,
                                        nullptr, nullptr, wc.hInstance, nullptr));
        button_ = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 300, 220, 80, 24,
                                    window_.get(), nullptr, wc.hInstance, nullptr);
        ::SetWindowPos(window_.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::UpdateWindow(window_.get());
    }
    [[nodiscard]] HWND hwnd() const { return window_.get(); }
    [[nodiscard]] HWND button() const { return button_; }

private:
    UniqueWindow window_;
    HWND button_ = nullptr;
};

class MeasuringTest : public ::testing::Test {
protected:
    TestSettings settings;
    FakeMenu menu;
    TargetWindow target;
    frmRulers ruler{menu, settings.store()};

    void SetUp() override {
        settings.Set(L"Left", L"700");
        settings.Set(L"Top", L"500");
        ASSERT_TRUE(ruler.Load());
        ruler.Show();
        ASSERT_NE(ruler.BallWindow(), nullptr);
        PumpPendingMessages();
    }

    // What a user's drag of the ball does, as the ball hears it: the press, the moves to each point
    // (the cursor really goes there, so the window under it is found as for a user), the release.
    void DragBallThrough(std::initializer_list<POINT> points, UINT release = WM_LBUTTONUP) {
        HWND ball = ruler.BallWindow();
        ::SendMessageW(ball, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));
        for (POINT p : points) {
            ::SetCursorPos(p.x, p.y);
            ::SendMessageW(ball, WM_MOUSEMOVE, MK_LBUTTON, 0);
        }
        ::SendMessageW(ball, release, 0, 0);
        PumpPendingMessages();
    }
};

TEST_F(MeasuringTest, TheBallsTipTellsWhatItDoesAndTheMeasuredSize) {
    EXPECT_EQ(ruler.BallTipText(), L"Drag to any window to measure it!\r\nCurrent size: 390.00x290.00 px");
    menu.units.millimeters = true;
    const std::wstring mm = ruler.BallTipText();
    EXPECT_EQ(mm.substr(mm.size() - 3), L" mm") << "the readout's unit";
    EXPECT_EQ(mm.find(L"Current size: 390.00"), std::wstring::npos);
}

TEST_F(MeasuringTest, TheBallIsTheRulersOwnChildWithItsOwnShapeAndNoMenu) {
    HWND ball = ruler.BallWindow();
    EXPECT_EQ(::GetParent(ball), ruler.hwnd());
    EXPECT_EQ(WindowRectOf(ball), (RECT{720, 520, 735, 535})) << "client (20, 20) of the ruler";
    UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(ball, shape.get()), ERROR) << "shaped like the ball";
    EXPECT_TRUE(::PtInRegion(shape.get(), 7, 7));
    EXPECT_FALSE(::PtInRegion(shape.get(), 0, 0)) << "the square's corner stays the ruler's";

    ::SendMessageW(ball, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 7));
    ::SendMessageW(ball, WM_RBUTTONUP, 0, MAKELPARAM(7, 7));
    EXPECT_EQ(menu.menuRequests, 0) << "a right click on the ball opens no menu";
    EXPECT_EQ(ruler.Bounds(), (RECT{700, 500, 1130, 830}));
}

TEST_F(MeasuringTest, DraggingOutlinesTheWindowUnderTheCursorAndReleasingFitsTheRuler) {
    HWND ball = ruler.BallWindow();
    ::SendMessageW(ball, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));
    EXPECT_EQ(::GetCapture(), ball) << "moves arrive wherever the cursor goes";
    ::SetCursorPos(200, 200);
    ::SendMessageW(ball, WM_MOUSEMOVE, MK_LBUTTON, 0);

    const frmWinSelector& outline = ruler.Outline();
    ASSERT_TRUE(outline.IsVisible());
    EXPECT_EQ(outline.Bounds(), (RECT{100, 150, 500, 410}));
    EXPECT_TRUE(::GetWindowLongPtrW(outline.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(::GetForegroundWindow(), outline.hwnd()) << "the outline never takes the focus";

    UniqueRegion ring(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(outline.hwnd(), ring.get()), ERROR);
    for (POINT in : {POINT{0, 0}, POINT{1, 1}, POINT{399, 259}, POINT{398, 130}}) {
        EXPECT_TRUE(::PtInRegion(ring.get(), in.x, in.y)) << in.x << "," << in.y;
    }
    for (POINT out : {POINT{2, 2}, POINT{200, 130}, POINT{397, 257}}) {
        EXPECT_FALSE(::PtInRegion(ring.get(), out.x, out.y)) << out.x << "," << out.y;
    }
    EXPECT_EQ(::WindowFromPoint(POINT{300, 280}), target.hwnd()) << "the inside of the ring is click-through";

    DibCanvas canvas(400, 260, RGB(0, 0, 255));
    ::SendMessageW(outline.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.pixel(399, 100), RGB(255, 0, 0));
    EXPECT_EQ(canvas.pixel(1, 1), RGB(255, 255, 0));
    EXPECT_EQ(canvas.pixel(200, 258), RGB(255, 255, 0));

    ::SendMessageW(ball, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(ruler.Bounds(), (RECT{60, 110, 500, 410}));
    EXPECT_FALSE(outline.IsCreated()) << "the outline goes with the release";
}

TEST_F(MeasuringTest, EveryDragMeasuresAfreshAndChildWindowsAreMeasuredThemselves) {
    DragBallThrough({{200, 200}});
    ASSERT_EQ(ruler.Bounds(), (RECT{60, 110, 500, 410}));

    // Straight back onto the same window after moving the ruler away: fitted again.
    ruler.MoveTo(700, 500);
    DragBallThrough({{250, 300}});
    EXPECT_EQ(ruler.Bounds(), (RECT{60, 110, 500, 410}));

    ruler.MoveTo(700, 500);
    DragBallThrough({{200, 200}, {440, 380}});
    EXPECT_EQ(ruler.Bounds(), (RECT{360, 330, 480, 394})) << "the push button, not its window";

    // A release by another button ends the drag the same way.
    ruler.MoveTo(700, 500);
    DragBallThrough({{200, 200}}, WM_RBUTTONUP);
    EXPECT_EQ(ruler.Bounds(), (RECT{60, 110, 500, 410}));
    EXPECT_EQ(menu.menuRequests, 0);
}

TEST_F(MeasuringTest, ADragThatOutlinesNothingOrLosesTheMouseChangesNothing) {
    const RECT before = ruler.Bounds();
    DragBallThrough({{800, 510}, {705, 700}}); // over the ruler's own bars only
    EXPECT_EQ(ruler.Bounds(), before);
    EXPECT_FALSE(ruler.Outline().IsCreated());

    HWND ball = ruler.BallWindow();
    ::SendMessageW(ball, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));
    ::SetCursorPos(200, 200);
    ::SendMessageW(ball, WM_MOUSEMOVE, MK_LBUTTON, 0);
    ASSERT_TRUE(ruler.Outline().IsVisible());
    ::SetCapture(target.hwnd()); // a menu or a task switch takes the mouse: no release will come
    PumpPendingMessages();
    EXPECT_FALSE(ruler.Outline().IsCreated());
    ::ReleaseCapture();
    ::SendMessageW(ball, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(ruler.Bounds(), before);
}

TEST_F(MeasuringTest, OutlineDragsLeaveNoGdiObjectsBehind) {
    DragBallThrough({{200, 200}});
    ruler.MoveTo(700, 500);
    const uint32_t before = LiveGdiObjectCount();
    for (int i = 0; i < 200; ++i) {
        DragBallThrough({{200, 200}, {440, 380}});
        ruler.MoveTo(700, 500);
    }
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

TEST(VisibleFrame, TopLevelWindowsAreMeasuredByTheProvidersFrameAndChildrenByTheirRectangle) {
    TargetWindow target;
    int asked = 0;
    const RECT visible{107, 150, 493, 403};
    const FrameBoundsProvider knows = [&](HWND) -> std::optional<RECT> {
        ++asked;
        return visible;
    };
    const FrameBoundsProvider fails = [&](HWND) -> std::optional<RECT> {
        ++asked;
        return std::nullopt;
    };
    EXPECT_EQ(VisibleFrame(target.hwnd(), knows), visible);
    EXPECT_EQ(VisibleFrame(target.hwnd(), fails), (RECT{100, 150, 500, 410}));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(VisibleFrame(target.button(), knows), (RECT{400, 370, 480, 394}));
    EXPECT_EQ(asked, 2) << "a child window has no invisible borders to ask about";
    EXPECT_EQ(VisibleFrame(nullptr, knows), RECT{});
    // The system's own answer, whatever it is here, is a plain rectangle or nothing; never a crash.
    (void)VisibleFrame(target.hwnd());
}

} // namespace
