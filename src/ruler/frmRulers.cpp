#include "ruler/frmRulers.h"

#include "core/NumberText.h"
#include "core/Units.h"
#include "resource.h"
#include "draw/clsRegions.h"
#include "controls/modCtlCommon_ctl.h"
#include "ruler/RulerDrawing.h"
#include "ruler/VisibleFrame.h"
#include "ruler/cTopWindow.h"
#include "ruler/modMain.h"
#include "util/LocaleInfo.h"

#include <windowsx.h>

#include <algorithm>

#include <string>

namespace {
constexpr wchar_t kClassName[] = L"TrelvikRuler";
constexpr wchar_t kTitle[] = L"Trelvik ruler";

int Width(const RECT& r) noexcept {
    return r.right - r.left;
}
int Height(const RECT& r) noexcept {
    return r.bottom - r.top;
}
} // namespace

frmRulers::frmRulers(RulerHost& host, const SettingsStore& settings) : host_(host), settings_(settings) {
    handCursor_ = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_RULER));
    if (!handCursor_) {
        handCursor_ = ::LoadCursorW(nullptr, IDC_HAND);
    }
}

frmRulers::~frmRulers() {
    Destroy();
}

bool frmRulers::Load() {
    if (IsCreated()) {
        return true;
    }
    ClassInfo cls{kClassName};
    cls.cursor = handCursor_;
    if (!CreateWindowFor(cls, WS_EX_TOOLWINDOW, WS_POPUP, kTitle, 0, 0, 0, 0)) {
        return false;
    }
    int left = settings_.GetInt(L"Left", 50);
    int top = settings_.GetInt(L"Top", 50);
    int width = settings_.GetInt(L"XSize", 430);
    int height = settings_.GetInt(L"YSize", 330);
    if (top < 0) {
        top = 0;
    }
    if (left < 0) {
        left = 0;
    }
    if (width < LoadMinimumSize) {
        width = LoadMinimumSize;
    }
    if (height < LoadMinimumSize) {
        height = LoadMinimumSize;
    }
    // The size change draws the ruler (WM_SIZE).
    ::SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    cTopWindow::SetTopMost(hwnd());
    CheckTransparency();
    const RECT ball = BallRect();
    (void)picDrag_.Create(hwnd(), ball.left, ball.top);
    return true;
}

void frmRulers::Unload() noexcept {
    if (!IsCreated()) {
        return;
    }
    StopResizing();
    frmWinSelector_.Destroy();
    // Saved before the window goes: destroying it hides it first.
    const RECT r = Bounds();
    settings_.SaveNumber(L"Left", static_cast<float>(r.left));
    settings_.SaveNumber(L"Top", static_cast<float>(r.top));
    settings_.SaveNumber(L"XSize", static_cast<float>(Width(r)));
    settings_.SaveNumber(L"YSize", static_cast<float>(Height(r)));
    settings_.Save(L"ShowRuler", IsVisible() ? L"1" : L"0");
    Destroy();
}

void frmRulers::OutlineWindow(HWND window) {
    (void)frmWinSelector_.OutlineRect(VisibleFrame(window));
}

std::wstring frmRulers::BallTipText() const {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const UINT dpi = ::GetDpiForWindow(hwnd());
    return L"Drag to any window to measure it!\r\nCurrent size: " + ReadoutText(client.right, client.bottom,
                                                                                CurrentUnit(host_.UnitCheckMarks()),
                                                                                dpi, dpi, UserDecimalSeparator());
}

void frmRulers::OnBallHover() {
    ShowTip(BallTipText(), 300);
}

void frmRulers::OnBallPress() {
    // Every drag measures afresh: the window fitted last time may well be the one wanted again.
    LastOutlinedWindow_ = nullptr;
}

void frmRulers::OnBallDrag() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HWND under = ::WindowFromPoint(cursor);
    // The ruler and its ball are not measured; the outline's own ring frames what it already frames.
    if (!under || under == hwnd() || ::IsChild(hwnd(), under) || under == frmWinSelector_.hwnd() ||
        under == LastOutlinedWindow_) {
        return;
    }
    LastOutlinedWindow_ = under;
    OutlineWindow(under);
}

void frmRulers::OnBallRelease() {
    if (!frmWinSelector_.IsVisible()) {
        return;
    }
    // The bars go outside the outlined rectangle, so the readout shows exactly its size.
    const RECT r = frmWinSelector_.Bounds();
    ::SetWindowPos(hwnd(), nullptr, r.left - RulerBarSize, r.top - RulerBarSize, Width(r) + RulerBarSize,
                   Height(r) + RulerBarSize, SWP_NOZORDER | SWP_NOACTIVATE);
    frmWinSelector_.Destroy();
}

void frmRulers::OnBallDragLost() {
    // The release will not come: put the outline away without fitting anything.
    frmWinSelector_.Destroy();
}

void frmRulers::CreateRulers() {
    if (!IsCreated()) {
        return;
    }
    RulerLook look;
    look.unit = CurrentUnit(host_.UnitCheckMarks());
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    look.width = client.right;
    look.height = client.bottom;
    if (look.width <= 0 || look.height <= 0) {
        return;
    }
    // Physical pixels of the monitor the ruler is on: an inch on the scale is an inch on that screen.
    const UINT dpi = ::GetDpiForWindow(hwnd());
    look.pixelsPerInchX = dpi;
    look.pixelsPerInchY = dpi;
    look.decimalSeparator = UserDecimalSeparator();

    // The same image and region as drawing both canvases whole (PaintRulerImage, PaintRulerMask and
    // RegionFromBitmap), at a fraction of the cost: the window's own image is painted over in place,
    // and the shape's runs come from the few parts of the mask that are not plain bars.
    clsFontHDC font;
    PaintRulerImageInto(image_, font, look);
    imageSize_ = {look.width, look.height};

    const std::optional<std::vector<RowRun>> runs = RulerShapeRuns(font, look);
    if (runs) {
        (void)clsRegions().RegionFromRuns(*runs, look.width, hwnd());
    }
    // Invalidated after the region is set, not before: nothing repaints in between, so the window ends
    // up the same, but under Wine SetWindowRgn on a window with a pending update costs 1 ms more.
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void frmRulers::SetSize(int XSize, int YSize) {
    if (!IsCreated()) {
        return;
    }
    const int width = XSize + RulerBarSize;
    const int height = YSize + RulerBarSize;
    Hide();
    // Centred on the virtual screen measured from the primary monitor's origin.
    const int left = (VirtualScreenWidth() - width) / 2;
    const int top = (VirtualScreenHeight() - height) / 2;
    ::SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    Show();
}

void frmRulers::CheckTransparency() {
    if (IsCreated()) {
        SetWindowAlpha(hwnd(), host_.TransparencyChecked() ? 90 : 100);
    }
}

void frmRulers::Show() noexcept {
    if (IsCreated()) {
        ::ShowWindow(hwnd(), SW_SHOW);
    }
}

void frmRulers::Hide() noexcept {
    if (IsCreated()) {
        ::ShowWindow(hwnd(), SW_HIDE);
    }
}

void frmRulers::ToggleShown() noexcept {
    if (IsVisible()) {
        Hide();
    } else {
        Show();
    }
}

void frmRulers::MoveTo(int left, int top) noexcept {
    if (IsCreated()) {
        ::SetWindowPos(hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

frmRulers::CursorZone frmRulers::ZoneAt(int x, int y, int width, int height) noexcept {
    if (x > width - SizingZone) {
        return CursorZone::SizeWE;
    }
    if (y > height - SizingZone) {
        return CursorZone::SizeNS;
    }
    return CursorZone::Hand;
}

RECT frmRulers::BallRect() noexcept {
    constexpr int offset = RulerBarSize - BallSize - 5;
    return RECT{offset, offset, offset + BallSize, offset + BallSize};
}

HCURSOR frmRulers::CursorFor(CursorZone zone) const noexcept {
    switch (zone) {
    case CursorZone::SizeWE:
        return ::LoadCursorW(nullptr, IDC_SIZEWE);
    case CursorZone::SizeNS:
        return ::LoadCursorW(nullptr, IDC_SIZENS);
    case CursorZone::Hand:
        break;
    }
    return handCursor_;
}

LRESULT frmRulers::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // the persistent image covers everything
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(lParam)) {
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown();
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
        OnButtonUp(false);
        return 0;
    case WM_RBUTTONUP:
        OnButtonUp(true);
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CLOSE:
        Unload();
        return 0;
    case WM_DESTROY:
        ::KillTimer(hwnd(), TimerRes);
        frmWinSelector_.Destroy();
        return 0;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void frmRulers::OnSize(UINT state) {
    // Nothing may minimize or maximize the ruler (show-desktop, another program): put it back.
    // The restore sends its own WM_SIZE, which redraws.
    if (state == SIZE_MINIMIZED || state == SIZE_MAXIMIZED) {
        ::ShowWindow(hwnd(), SW_RESTORE);
        return;
    }
    CreateRulers();
}

void frmRulers::OnPaint() {
    PaintDC paint(hwnd());
    if (!image_) {
        ::FillRect(paint.get(), &paint.area(), ::GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    UniqueMemoryDC source(::CreateCompatibleDC(paint.get()));
    SelectGuard select(source.get(), image_.get());
    ::BitBlt(paint.get(), 0, 0, imageSize_.cx, imageSize_.cy, source.get(), 0, 0, SRCCOPY);
}

void frmRulers::OnMouseMove(WPARAM keys, int x, int y) {
    if (!(keys & MK_LBUTTON)) {
        RECT client{};
        ::GetClientRect(hwnd(), &client);
        zone_ = ZoneAt(x, y, client.right, client.bottom);
        ::SetCursor(CursorFor(zone_));
    } else if (resizing_ && zone_ != CursorZone::Hand) {
        ::GetCursorPos(&drag_.current);
    }
}

bool frmRulers::OnSetCursor(LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) {
        return false;
    }
    ::SetCursor(CursorFor(zone_));
    return true;
}

void frmRulers::OnLeftButtonDown() {
    // The zone of the press itself, in case no plain move came before it.
    POINT cursor{};
    ::GetCursorPos(&cursor);
    POINT client = cursor;
    ::ScreenToClient(hwnd(), &client);
    RECT area{};
    ::GetClientRect(hwnd(), &area);
    zone_ = ZoneAt(client.x, client.y, area.right, area.bottom);

    if (zone_ == CursorZone::Hand) {
        // Let the window system move the window as if its caption were dragged.
        ::ReleaseCapture();
        ::SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
        return;
    }
    const RECT r = Bounds();
    drag_.start = cursor;
    drag_.current = cursor;
    drag_.startWidth = Width(r);
    drag_.startHeight = Height(r);
    // Keep hearing the mouse outside the window for as long as the button is held.
    ::SetCapture(hwnd());
    resizing_ = true;
    ::SetTimer(hwnd(), TimerRes, TimerResInterval, nullptr);
}

void frmRulers::OnButtonUp(bool rightButton) {
    StopResizing();
    if (rightButton) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        host_.OpenMenu(cursor);
    }
}

void frmRulers::OnTimer(UINT_PTR id) {
    if (id != TimerRes) {
        return;
    }
    const RECT r = Bounds();
    int width = Width(r);
    int height = Height(r);
    switch (zone_) {
    case CursorZone::SizeWE:
        width = std::max(drag_.startWidth + static_cast<int>(drag_.current.x - drag_.start.x), DragMinimumSize);
        break;
    case CursorZone::SizeNS:
        height = std::max(drag_.startHeight + static_cast<int>(drag_.current.y - drag_.start.y), DragMinimumSize);
        break;
    case CursorZone::Hand:
        StopResizing();
        return;
    }
    if (width != Width(r) || height != Height(r)) {
        // A failed move is retried by the next tick.
        ::SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void frmRulers::OnCaptureChanged(HWND newCapture) {
    // Another window took the mouse (a menu, a task switch): the button-up will never reach us.
    if (resizing_ && newCapture != hwnd()) {
        StopResizing();
    }
}

void frmRulers::StopResizing() noexcept {
    if (!IsCreated()) {
        return;
    }
    const bool wasResizing = resizing_;
    resizing_ = false;
    ::KillTimer(hwnd(), TimerRes);
    if (wasResizing && ::GetCapture() == hwnd()) {
        ::ReleaseCapture();
    }
}
