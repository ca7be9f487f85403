#include "controls/ctlUniToolTip.h"

#include "controls/modCtlCommon_ctl.h"
#include "core/TipLayout.h"
#include "draw/DrawHelpers.h"
#include "sysinfo/WindowsVersion.h"

namespace {
// The tip's face as the window is designed: a bordered label that sizes itself to its text with a
// 2-pixel margin, vertically centred when it wraps.
PropertyBag LabelDesign() {
    return PropertyBag{{"Caption", std::wstring(L"Tip")},   {"AutoSize", true},
                       {"BorderStyle", int32_t{1}},         {"Margin", int32_t{2}},
                       {"VAlignment", int32_t{1}},          {"Alignment", int32_t{0}},
                       {"BackStyle", int32_t{1}},           {"Style", int32_t{-1}},
                       {"RoundedBorders", false},           {"BackColor", UniControl::kInfoBackground},
                       {"ForeColor", UniControl::kInfoText}};
}

std::wstring_view TrimSpaces(std::wstring_view text) noexcept {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

POINT CursorNow() noexcept {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}

SIZE WindowSize(HWND hwnd) noexcept {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}
} // namespace

ctlUniToolTip::~ctlUniToolTip() {
    Unload();
}

bool ctlUniToolTip::Load() {
    if (IsCreated()) {
        return true;
    }
    unloading_ = false;
    if (!CreateWindowFor(ClassInfo{ClassName}, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, WS_POPUP, L"", 0, 0,
                         0, 0)) {
        return false;
    }
    if (!lblTip_.Create(hwnd(), RECT{0, 0, 1, 1}, LabelDesign())) {
        Destroy();
        return false;
    }
    tag_.clear();
    tip_.clear();
    maxWidth_ = -1;
    return true;
}

void ctlUniToolTip::Unload() noexcept {
    SharedTipState().tipsActive = false;
    unloading_ = true;
    for (cUniTimer& timer : timers_) {
        (void)timer.TmrStop();
    }
    Destroy();
}

bool ctlUniToolTip::TakeRequest(std::wstring_view tip, std::optional<std::wstring_view> sTag) {
    if (unloading_ || !IsCreated()) {
        return false;
    }
    if (sTag) {
        tag_ = *sTag;
    }
    if (TrimSpaces(tip).empty()) {
        HideTip();
        tip_ = tip;
        return false;
    }
    return true;
}

void ctlUniToolTip::ApplyTip(std::wstring_view tip, int32_t lMaxWidth) {
    SetCaption(tip);
    tip_ = tip;
    maxWidth_ = lMaxWidth;
    if (IsVisible()) {
        LayoutTip();
        PlaceTip();
    }
}

void ctlUniToolTip::SetTip(std::wstring_view tip, int32_t lMaxWidth, std::optional<std::wstring_view> sTag) {
    if (!TakeRequest(tip, sTag)) {
        return;
    }
    const POINT cursor = CursorNow();
    if (tip != tip_ || !CursorUnmoved(cursor)) {
        if (IsVisible()) {
            HideTip();
        }
    } else if (!SharedTipState().persistentTip) {
        return; // the same tip for a cursor that has not moved: already pending or shown
    }
    StopTimer(ShowTimer);
    StopTimer(DisplayTimer);
    ApplyTip(tip, lMaxWidth);
    cursor_ = cursor;
    StartTimer(ShowTimer, ShowDelayMs);
}

void ctlUniToolTip::UpdateTip(std::wstring_view tip, int32_t lMaxWidth, std::optional<std::wstring_view> sTag) {
    if (TakeRequest(tip, sTag)) {
        ApplyTip(tip, lMaxWidth);
    }
}

void ctlUniToolTip::SetFont(const StdFont& font) {
    lblTip_.Font(font);
}

void ctlUniToolTip::HideTip() noexcept {
    for (cUniTimer& timer : timers_) {
        (void)timer.TmrStop();
    }
    if (IsCreated()) {
        ::ShowWindow(hwnd(), SW_HIDE);
    }
}

void ctlUniToolTip::Proc(int32_t, int32_t lTimerID) {
    const POINT cursor = CursorNow();
    switch (lTimerID) {
    case ShowTimer:
        if (CursorUnmoved(cursor)) {
            StopTimer(ShowTimer);
            LayoutTip();
            PlaceTip();
            StartTimer(DisplayTimer, DisplayMs);
            StartTimer(TrackTimer, TrackMs);
        } else {
            HideTip();
        }
        break;
    case DisplayTimer:
        if (SharedTipState().persistentTip && (cursor.x == cursor_.x || cursor.y == cursor_.y)) {
            // Counting afresh: the tip stays while the cursor rests.
            StopTimer(DisplayTimer);
            StartTimer(DisplayTimer, DisplayMs);
        } else {
            HideTip();
        }
        break;
    case TrackTimer:
        if (CursorUnmoved(cursor)) {
            if (!IsVisible()) {
                StopTimer(TrackTimer);
            }
        } else {
            HideTip();
        }
        break;
    default:
        break;
    }
}

LRESULT ctlUniToolTip::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE; // a tip never takes the focus
    case WM_ERASEBKGND:
        return 1; // the label covers the whole window
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void ctlUniToolTip::SetCaption(std::wstring_view tip) {
    std::wstring caption(TrimSpaces(tip));
    caption += L' ';
    lblTip_.Caption(caption);
    // What a screen reader reads: the tip itself.
    ::SetWindowTextW(hwnd(), std::wstring(tip).c_str());
}

void ctlUniToolTip::LayoutTip() {
    if (maxWidth_ < 1) {
        lblTip_.AutoSize(true);
    } else {
        const std::wstring& caption = lblTip_.Caption();
        const HDC dc = lblTip_.hDC();
        const SIZE line = MeasureText(dc, caption, 0);
        if (line.cx > maxWidth_) {
            const SIZE wrapped = MeasureTextInRect(dc, caption, 0, 0, maxWidth_, line.cy, DT_EXPANDTABS);
            lblTip_.AutoSize(false);
            const int margin = 2 * lblTip_.Margin();
            ::SetWindowPos(lblTip_.hWnd(), nullptr, 0, 0, wrapped.cx + margin, wrapped.cy + margin,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            lblTip_.AutoSize(true);
        }
    }
    const SIZE label = WindowSize(lblTip_.hWnd());
    const SIZE window = WindowSize(hwnd());
    if (label.cx != window.cx || label.cy != window.cy) {
        ::SetWindowPos(hwnd(), nullptr, 0, 0, label.cx, label.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        lblTip_.Refresh();
    }
}

void ctlUniToolTip::PlaceTip() {
    const SIZE size = WindowSize(hwnd());
    // The monitor under the cursor bounds the tip, wherever that monitor lies.
    MONITORINFO monitor{sizeof(monitor)};
    TipBounds bounds{0, 0, ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (::GetMonitorInfoW(::MonitorFromPoint(cursor_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        bounds = {monitor.rcMonitor.left, monitor.rcMonitor.top, monitor.rcMonitor.right, monitor.rcMonitor.bottom};
    }
    const TipPoint at = ::PlaceTip(cursor_.x, cursor_.y, size.cx, size.cy, bounds);
    // Placed and shown in one step, top-most and never activated.
    const UINT flags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | (IsVisible() ? SWP_NOZORDER : SWP_SHOWWINDOW);
    ::SetWindowPos(hwnd(), HWND_TOPMOST, at.x, at.y, 0, 0, flags);

    const int16_t transparency = SharedTipState().transparency;
    if (transparency != appliedTransparency_) {
        if (WindowsVersion() >= 8) {
            ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, ::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
            ::SetLayeredWindowAttributes(hwnd(), 0, TipAlpha(transparency), LWA_ALPHA);
        }
        appliedTransparency_ = transparency;
    }
}
