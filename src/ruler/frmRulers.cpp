#include "ruler/frmRulers.h"

#include "controls/modCtlCommon_ctl.h"
#include "core/RulerPlacement.h"
#include "core/Units.h"
#include "draw/clsRegions.h"
#include "resource.h"
#include "ruler/RulerDrawing.h"
#include "ruler/VisibleFrame.h"
#include "ruler/cTopWindow.h"
#include "ruler/modMain.h"
#include "sysinfo/clsScreens.h"
#include "util/LocaleInfo.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr wchar_t kTitle[] = L"Trelvik ruler";

int Width(const RECT& r) noexcept {
    return r.right - r.left;
}
int Height(const RECT& r) noexcept {
    return r.bottom - r.top;
}

ScreenRect ToScreenRect(const RECT& r) noexcept {
    return {r.left, r.top, r.right, r.bottom};
}

// Every monitor with its work area, as the window system reports them now.
std::vector<MonitorArea> CurrentMonitors() {
    std::vector<MonitorArea> monitors;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof(info);
            if (::GetMonitorInfoW(monitor, &info)) {
                reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back(
                    {ToScreenRect(info.rcMonitor), ToScreenRect(info.rcWork)});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

void FreeGlobal(HGLOBAL memory) noexcept {
    ::GlobalFree(memory);
}
// Movable global memory, owned until the clipboard takes it.
using UniqueGlobal = Unique<HGLOBAL, &FreeGlobal>;

bool KeyHeld(int key) noexcept {
    return ::GetKeyState(key) < 0;
}
} // namespace

frmRulers::frmRulers(RulerHost& host, SettingsStore& settings) : host_(host), settings_(settings) {
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
    ClassInfo cls{ClassName};
    cls.cursor = handCursor_;
    if (!CreateWindowFor(cls, WS_EX_TOOLWINDOW, WS_POPUP, kTitle, 0, 0, 0, 0)) {
        return false;
    }
    dpi_ = UsableDpi(static_cast<int>(::GetDpiForWindow(hwnd())));
    const StoredPlace stored{settings_.GetInt(L"Left", 50), settings_.GetInt(L"Top", 50),
                             settings_.GetInt(L"XSize", 430), settings_.GetInt(L"YSize", 330)};
    // Negative edges become 0 and small sizes 200; a size beyond all monitors is cut to them before
    // anything is drawn at it, and a place off every monitor is brought onto the nearest one.
    const clsScreens screens;
    const ScreenRect virtualScreen{screens.VirtualLeft(), screens.VirtualTop(),
                                   screens.VirtualLeft() + screens.VirtualWidth(),
                                   screens.VirtualTop() + screens.VirtualHeight()};
    const ScreenRect place = LoadedRulerRect(stored, virtualScreen, CurrentMonitors(), BarSize(), LoadMinimumSize);
    // The size change draws the ruler (WM_SIZE); a move onto a monitor of another resolution also
    // brings WM_DPICHANGED.
    ::SetWindowPos(hwnd(), nullptr, place.left, place.top, place.width(), place.height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    cTopWindow::SetTopMost(hwnd());
    CheckTransparency();
    const RECT ball = BallRect(dpi_);
    (void)picDrag_.Create(hwnd(), ball.left, ball.top, ball.right - ball.left);
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
    return L"Drag to any window to measure it!\r\nCurrent size: " +
           ReadoutText(client.right, client.bottom, CurrentUnit(host_.UnitCheckMarks()), dpi_, dpi_,
                       UserDecimalSeparator(), BarSize());
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
    const int bar = BarSize();
    ::SetWindowPos(hwnd(), nullptr, r.left - bar, r.top - bar, Width(r) + bar, Height(r) + bar,
                   SWP_NOZORDER | SWP_NOACTIVATE);
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
    // Physical pixels of the monitor the ruler is on: an inch on the scale is an inch on that screen,
    // and the bars, ticks and text are sized for it.
    look.pixelsPerInchX = dpi_;
    look.pixelsPerInchY = dpi_;
    look.dpi = dpi_;
    look.decimalSeparator = UserDecimalSeparator();
    readout_ = RulerReadout(look);

    // The same image and region as drawing both pictures whole and reading the region from the whole
    // mask, at a fraction of the cost: the window's own image is painted over where it changes, and
    // the shape's runs come from the few parts of the mask that are not plain bars.
    image_.Paint(look);

    const std::optional<std::vector<RowRun>> runs = shape_.Runs(look);
    // The whole window is invalidated below, after the region is set, and nothing repaints in between:
    // what a size change invalidated before is validated first. SetWindowRgn on a window with a
    // pending update sends its frame paint and background erase there and then (under Wine that can
    // cost more than the region itself), only for the repaint to come again with the new image.
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
    if (runs) {
        (void)clsRegions().RegionFromRuns(*runs, look.width, hwnd());
    }
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void frmRulers::SetSize(int xSize, int ySize) {
    if (!IsCreated()) {
        return;
    }
    const int width = xSize + BarSize();
    const int height = ySize + BarSize();
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
        // Showing a ruler the user cannot see would look like doing nothing.
        KeepReachable();
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

void frmRulers::KeepReachable() noexcept {
    if (!IsCreated()) {
        return;
    }
    try {
        const ScreenRect now = ToScreenRect(Bounds());
        const ScreenRect place = KeepRulerReachable(now, CurrentMonitors(), BarSize());
        if (place != now) {
            ::SetWindowPos(hwnd(), nullptr, place.left, place.top, place.width(), place.height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
    } catch (const std::exception&) {
        // No memory for the list of monitors: the ruler stays where it is.
    }
}

bool frmRulers::CopyReadout() noexcept {
    if (!IsCreated() || readout_.empty()) {
        return false;
    }
    const size_t bytes = (readout_.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) {
        return false;
    }
    void* target = ::GlobalLock(memory.get());
    if (!target) {
        return false;
    }
    std::memcpy(target, readout_.c_str(), bytes);
    ::GlobalUnlock(memory.get());
    if (!::OpenClipboard(hwnd())) {
        return false;
    }
    bool placed = false;
    if (::EmptyClipboard()) {
        // The clipboard owns the memory once it accepts it.
        placed = ::SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr;
        if (placed) {
            (void)memory.release();
        }
    }
    ::CloseClipboard();
    return placed;
}

void frmRulers::OpenMenuAtCorner() {
    if (!IsCreated()) {
        return;
    }
    const RECT r = Bounds();
    host_.OpenMenu(POINT{r.left, r.top});
}

frmRulers::CursorZone frmRulers::ZoneAt(int x, int y, int width, int height, int sizingZone) noexcept {
    if (x > width - sizingZone) {
        return CursorZone::SizeWE;
    }
    if (y > height - sizingZone) {
        return CursorZone::SizeNS;
    }
    return CursorZone::Hand;
}

RECT frmRulers::BallRect(int dpi) noexcept {
    const RulerMetrics m = RulerMetricsAt(dpi);
    return RECT{m.ballOffset, m.ballOffset, m.ballOffset + m.ballSize, m.ballOffset + m.ballSize};
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
        OnLeftButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
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
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (OnKeyDown(wParam)) {
            return 0;
        }
        break;
    case WM_SYSKEYUP:
        // Shift+F10 was answered on the way down; F10 would otherwise enter the (absent) menu bar.
        if (wParam == VK_F10) {
            return 0;
        }
        break;
    case WM_CONTEXTMENU:
        // The context-menu key, through the default handling of its key messages. The mouse's right
        // button is answered on its release and never gets here.
        if (lParam == -1) {
            OpenMenuAtCorner();
        }
        return 0;
    case WM_DISPLAYCHANGE:
        // A monitor may have gone, or shrunk: the ruler must not stay on a screen that is no more.
        KeepReachable();
        break;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam));
        return 0;
    case WM_SYSCOMMAND:
        // Alt+F4 on the focused ruler closes only the ruler, as the icon's click would hide it; the
        // program and its settings stay (a WM_CLOSE from another program still unloads it).
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            Hide();
            return 0;
        }
        break;
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

void frmRulers::OnDpiChanged(UINT dpi) {
    // The place stays, and so does the measured size in pixels: the bars grow or shrink around it.
    // The system's suggested rectangle is not taken: it scales the whole window.
    const RECT r = Bounds();
    const int oldBar = BarSize();
    dpi_ = UsableDpi(static_cast<int>(dpi));
    const int bar = BarSize();
    const int width = std::max(Width(r) - oldBar, 0) + bar;
    const int height = std::max(Height(r) - oldBar, 0) + bar;
    const RECT ball = BallRect(dpi_);
    picDrag_.Place(ball.left, ball.top, ball.right - ball.left);
    if (width != Width(r) || height != Height(r)) {
        // Redrawn by the size change (WM_SIZE).
        ::SetWindowPos(hwnd(), nullptr, r.left, r.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        CreateRulers();
    }
    KeepReachable();
}

bool frmRulers::OnKeyDown(WPARAM key) {
    const bool ctrl = KeyHeld(VK_CONTROL);
    const bool shift = KeyHeld(VK_SHIFT);
    const bool alt = KeyHeld(VK_MENU);
    const int step = shift ? ShiftKeyStep : KeyStep;
    int dx = 0;
    int dy = 0;
    switch (key) {
    case VK_LEFT:
        dx = -step;
        break;
    case VK_RIGHT:
        dx = step;
        break;
    case VK_UP:
        dy = -step;
        break;
    case VK_DOWN:
        dy = step;
        break;
    case 'C':
        if (ctrl && !alt) {
            (void)CopyReadout();
            return true;
        }
        return false;
    case VK_F10:
        // Answered here, not left to the default handling, which under some systems turns it into a
        // context-menu request and under others into the window menu.
        if (shift && !ctrl && !alt) {
            OpenMenuAtCorner();
            return true;
        }
        return false;
    default:
        return false;
    }
    if (alt) {
        return false;
    }
    // While the mouse resizes the ruler, the timer sets its size: the arrows wait.
    if (!resizing_) {
        if (ctrl) {
            ResizeBy(dx, dy);
        } else {
            MoveBy(dx, dy);
        }
    }
    return true;
}

void frmRulers::MoveBy(int dx, int dy) noexcept {
    const RECT r = Bounds();
    MoveTo(r.left + dx, r.top + dy);
}

void frmRulers::ResizeBy(int dWidth, int dHeight) noexcept {
    // Never below what a mouse drag allows (the bars alone); a ruler already smaller only grows.
    const RECT r = Bounds();
    const int minimum = BarSize();
    const int width = std::max(Width(r) + dWidth, std::min(Width(r), minimum));
    const int height = std::max(Height(r) + dHeight, std::min(Height(r), minimum));
    if (width != Width(r) || height != Height(r)) {
        // The size change redraws the ruler and its readout (WM_SIZE).
        ::SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void frmRulers::OnPaint() {
    PaintDC paint(hwnd());
    if (!image_.CopyTo(paint.get())) {
        ::FillRect(paint.get(), &paint.area(), ::GetSysColorBrush(COLOR_BTNFACE));
    }
}

void frmRulers::OnMouseMove(WPARAM keys, int x, int y) {
    if (!(keys & MK_LBUTTON)) {
        RECT client{};
        ::GetClientRect(hwnd(), &client);
        zone_ = ZoneAt(x, y, client.right, client.bottom, Metrics().sizingZone);
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

void frmRulers::OnLeftButtonDown(POINT client) {
    // The zone and the place of the press itself, as the message tells them: in case no plain move
    // came before it, and because on a busy machine the pointer may already be far away by the time
    // the press is handled (a quick drag from a far end must resize by all it moves, not turn into a
    // move or lose the distance covered meanwhile).
    POINT cursor = client;
    ::ClientToScreen(hwnd(), &cursor);
    RECT area{};
    ::GetClientRect(hwnd(), &area);
    zone_ = ZoneAt(client.x, client.y, area.right, area.bottom, Metrics().sizingZone);
    TakeFocus();

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

void frmRulers::TakeFocus() noexcept {
    // A tool window of a program in the background is not always activated by a click: the keys are
    // meant for the ruler once the user has pressed it.
    ::SetForegroundWindow(hwnd());
    ::SetFocus(hwnd());
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
        width = std::max(drag_.startWidth + static_cast<int>(drag_.current.x - drag_.start.x), BarSize());
        break;
    case CursorZone::SizeNS:
        height = std::max(drag_.startHeight + static_cast<int>(drag_.current.y - drag_.start.y), BarSize());
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
