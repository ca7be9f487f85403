#include "controls/UniControl.h"

#include <windowsx.h>

#include <algorithm>

#include "draw/DrawHelpers.h"
#include "draw/clsRegions.h"
#include "util/ErrorReport.h"

namespace {

constexpr wchar_t kSurfaceClass[] = L"TrelvikUniControl";

// The system pointers of the MousePointer codes 0 .. 15 (0 is the default, the arrow).
HCURSOR SystemPointer(int16_t code) noexcept {
    static constexpr int kCursors[] = {32512, 32512, 32515, 32513, 32641, 32640, 32643, 32645,
                                       32642, 32644, 32516, 32514, 32648, 32650, 32651, 32646};
    if (code < 0 || code >= static_cast<int16_t>(std::size(kCursors))) {
        return nullptr;
    }
    return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(kCursors[code]));
}

} // namespace

UniControl::~UniControl() {
    // The derived parts are gone: the window must not reach them any more. Revoking first lets the
    // drop target go while the window still exists.
    RevokeDropTarget();
    Destroy();
}

bool UniControl::Create(HWND parent, const RECT& rect, const PropertyBag& properties) {
    if (IsCreated()) {
        return false; // one surface per control
    }
    ClassInfo cls{kSurfaceClass};
    cls.style = CS_DBLCLKS;
    if (!CreateWindowFor(cls, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, L"", rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent)) {
        return false;
    }
    ambientFont_ = AmbientFont(parent);
    font_ = ambientFont_;
    EnsureImageSize();
    ReadProperties(properties);
    return true;
}

StdFont UniControl::AmbientFont(HWND parent) const noexcept {
    StdFont font{L"MS Sans Serif", 8.25};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
    LOGFONTW log{};
    if (!handle || ::GetObjectW(handle, sizeof(log), &log) != sizeof(log)) {
        return font;
    }
    try {
        const WindowDC screen(nullptr);
        const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
        font.name = log.lfFaceName;
        font.size = std::abs(log.lfHeight) * 72.0 / (dpi > 0 ? dpi : 96);
        font.bold = log.lfWeight >= FW_BOLD;
        font.italic = log.lfItalic != 0;
        font.underline = log.lfUnderline != 0;
        font.strikethrough = log.lfStrikeOut != 0;
    } catch (const std::exception& error) {
        ReportCaughtError(error, "UniControl.AmbientFont");
        return StdFont{L"MS Sans Serif", 8.25};
    }
    return font;
}

// ---- Properties -------------------------------------------------------------------------------------

void UniControl::Enabled(bool value) {
    if (value == enabled_) {
        return;
    }
    enabled_ = value;
    if (hwnd()) {
        ::EnableWindow(hwnd(), value ? TRUE : FALSE);
    }
    MarkPropertyChanged();
    OnEnabledChanged();
}

void UniControl::Font(const StdFont& value) {
    font_ = value;
    ApplyFontChanges();
}

void UniControl::ApplyFontChanges() {
    BindImageFont();
    MarkPropertyChanged();
    OnFontChanged();
}

void UniControl::Tip(std::wstring_view value) {
    tip_ = value;
    MarkPropertyChanged();
}

void UniControl::MousePointer(int16_t value) {
    mousePointer_ = value;
    MarkPropertyChanged();
}

void UniControl::MouseIcon(PicturePtr value) {
    mouseIcon_ = std::move(value);
    MarkPropertyChanged();
}

void UniControl::OLEDropMode(int16_t value) {
    oleDropMode_ = value;
    MarkPropertyChanged();
    UpdateDropRegistration();
}

int32_t UniControl::OLEDrag() noexcept {
    return oleEvents_ ? RunOleDrag(*oleEvents_) : DROPEFFECT_NONE;
}

void UniControl::RoundedBorders(bool value) {
    roundedBorders_ = value;
    MarkPropertyChanged();
    OnRoundedBordersChanged();
}

void UniControl::BackColorOut(int32_t value) {
    backColorOut_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void UniControl::UseRoundRegions(bool value) {
    useRoundRegions_ = value;
    roundedBorders_ = value;
    MarkPropertyChanged();
    OnUseRoundRegionsChanged();
}

void UniControl::AmbientUserMode(bool value) noexcept {
    userMode_ = value;
    RequestDrawControl();
}

void UniControl::ReadEnabled(const PropertyBag& p) noexcept {
    SkipOnError([&] {
        enabled_ = p.ReadBool("Enabled", true);
        if (hwnd()) {
            ::EnableWindow(hwnd(), enabled_ ? TRUE : FALSE);
        }
    });
}

void UniControl::ReadFont(const PropertyBag& p) noexcept {
    SkipOnError([&] {
        font_ = p.ReadFont("Font", ambientFont_);
        BindImageFont();
    });
}

void UniControl::ReadTip(const PropertyBag& p) noexcept {
    SkipOnError([&] { tip_ = p.ReadString("Tip", L""); });
}

void UniControl::ReadRoundedBorders(const PropertyBag& p) noexcept {
    SkipOnError([&] { roundedBorders_ = p.ReadBool("RoundedBorders", roundedBordersDefault_); });
}

void UniControl::ReadBackColorOut(const PropertyBag& p) noexcept {
    SkipOnError([&] { backColorOut_ = p.ReadLong("BackColorOut", -1); });
}

void UniControl::ReadUseRoundRegions(const PropertyBag& p) noexcept {
    // Only the value itself: RoundedBorders was stored on its own and is read on its own.
    SkipOnError([&] { useRoundRegions_ = p.ReadBool("UseRoundRegions", false); });
}

void UniControl::ReadOLEDropMode(const PropertyBag& p) noexcept {
    SkipOnError([&] { oleDropMode_ = p.ReadInteger("OLEDropMode", 0); });
    UpdateDropRegistration();
}

void UniControl::ReadMousePointer(const PropertyBag& p) noexcept {
    SkipOnError([&] { mousePointer_ = p.ReadInteger("MousePointer", 0); });
}

void UniControl::ReadMouseIcon(const PropertyBag& p) noexcept {
    SkipOnError([&] { mouseIcon_ = p.ReadPicture("MouseIcon"); });
}

void UniControl::WriteShared(PropertyBag& p) const noexcept {
    SkipOnError([&] { p.WriteBool("Enabled", enabled_); });
    SkipOnError([&] { p.WriteFont("Font", font_); });
    SkipOnError([&] { p.WriteString("Tip", tip_); });
    SkipOnError([&] { p.WriteBool("RoundedBorders", roundedBorders_); });
    SkipOnError([&] { p.WriteLong("BackColorOut", backColorOut_); });
    SkipOnError([&] { p.WriteBool("UseRoundRegions", useRoundRegions_); });
    SkipOnError([&] { p.WriteLong("OLEDropMode", oleDropMode_); });
    SkipOnError([&] { p.WriteLong("MousePointer", mousePointer_); });
    SkipOnError([&] { p.WritePicture("MouseIcon", mouseIcon_); });
}

// ---- Surface ----------------------------------------------------------------------------------------

int UniControl::SurfaceWidth() const noexcept {
    RECT client{};
    return hwnd() && ::GetClientRect(hwnd(), &client) ? client.right : 0;
}

int UniControl::SurfaceHeight() const noexcept {
    RECT client{};
    return hwnd() && ::GetClientRect(hwnd(), &client) ? client.bottom : 0;
}

void UniControl::SurfaceText(std::wstring_view text) noexcept {
    if (!hwnd()) {
        return;
    }
    SkipOnError([&] {
        const std::wstring copy(text);
        ::SetWindowTextW(hwnd(), copy.c_str());
    });
}

void UniControl::RequestDrawControl() noexcept {
    if (!hwnd()) {
        return;
    }
    if (!userMode_ || persistentImage_) {
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    } else {
        ::InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

void UniControl::Paint(HDC) noexcept {}

void UniControl::ApplyMask(HBITMAP mask) noexcept {
    if (!hwnd() || !mask) {
        return;
    }
    SkipOnError([&] {
        BITMAP info{};
        if (::GetObjectW(mask, sizeof(info), &info) != sizeof(info)) {
            return;
        }
        const clsRegions regions;
        const auto runs = regions.RunsFromBitmap(mask, 0, false, 0, 0, 0, 0);
        if (!runs) {
            return;
        }
        // A mask without a shown pixel hides the whole surface: an empty region, not "no region".
        UniqueRegion shape =
            runs->empty() ? UniqueRegion(::CreateRectRgn(0, 0, 0, 0)) : BuildRegionFromRunsMerged(*runs, info.bmWidth);
        if (!shape) {
            return;
        }
        UniqueRegion current(::CreateRectRgn(0, 0, 0, 0));
        if (masked_ && current && ::GetWindowRgn(hwnd(), current.get()) != ERROR &&
            ::EqualRgn(current.get(), shape.get())) {
            return;
        }
        if (::SetWindowRgn(hwnd(), shape.get(), TRUE)) {
            (void)shape.release(); // the window owns it now
            masked_ = true;
        }
    });
}

void UniControl::RoundedMask() noexcept {
    SkipOnError([&] {
        clsMEMDC canvas;
        canvas.CreateDC(SurfaceWidth(), SurfaceHeight());
        canvas.DrawBackColor(0);
        DrawRoundRect(canvas.hDC(), 0, 0, canvas.Width(), canvas.Height(), true, 0xFFFFFF, 0xFFFFFF, 1, PS_SOLID, 2);
        const ::Picture mask = canvas.Picture();
        ApplyMask(mask.bitmap());
    });
}

void UniControl::MakeOpaque() noexcept {
    if (masked_ && hwnd() && ::SetWindowRgn(hwnd(), nullptr, TRUE)) {
        masked_ = false;
    }
}

void UniControl::EnsureImageSize() noexcept {
    if (!persistentImage_ || !hwnd()) {
        return;
    }
    const int width = std::max(1, SurfaceWidth());
    const int height = std::max(1, SurfaceHeight());
    if (image_.hDC() && image_.Width() == width && image_.Height() == height) {
        return;
    }
    // The font goes back into the old DC before that DC is replaced.
    imageFont_.Destroy();
    SkipOnError([&] {
        if (image_.hDC()) {
            image_.ResizeCutDC(width, height, TRANSPARENT);
        } else {
            image_.CreateDC(width, height, TRANSPARENT);
        }
    });
    BindImageFont();
}

void UniControl::BindImageFont() noexcept {
    if (image_.hDC()) {
        SkipOnError([&] { imageFont_.SetFontToDCStdFont(image_.hDC(), font_); });
    }
}

void UniControl::ShowImage() noexcept {
    if (hwnd()) {
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

// ---- Drag and drop ---------------------------------------------------------------------------------

void UniControl::UpdateDropRegistration() noexcept {
    const bool wanted = oleDropMode_ == 1 && hwnd() && oleEvents_;
    if (!wanted) {
        RevokeDropTarget();
        return;
    }
    if (dropTarget_) {
        return;
    }
    auto* target = new (std::nothrow) SurfaceDropTarget(hwnd(), oleEvents_);
    if (!target) {
        return;
    }
    if (SUCCEEDED(::RegisterDragDrop(hwnd(), target))) {
        dropTarget_ = target; // our reference; the system holds its own
    } else {
        target->Release();
    }
}

void UniControl::RevokeDropTarget() noexcept {
    if (!dropTarget_) {
        return;
    }
    if (hwnd()) {
        ::RevokeDragDrop(hwnd());
    }
    dropTarget_->Detach();
    dropTarget_->Release();
    dropTarget_ = nullptr;
}

// ---- Messages ---------------------------------------------------------------------------------------

bool UniControl::OnSetCursor(LPARAM lParam) noexcept {
    if (LOWORD(lParam) != HTCLIENT) {
        return false;
    }
    HCURSOR cursor = nullptr;
    if (mousePointer_ == kCustomPointer) {
        cursor = mouseIcon_ && mouseIcon_->icon() ? mouseIcon_->icon() : ::LoadCursorW(nullptr, IDC_ARROW);
    } else {
        cursor = SystemPointer(mousePointer_);
    }
    ::SetCursor(cursor);
    return true;
}

void UniControl::OnMouseButton(UINT msg, WPARAM wParam, LPARAM lParam) {
    const float x = static_cast<float>(GET_X_LPARAM(lParam));
    const float y = static_cast<float>(GET_Y_LPARAM(lParam));
    const int16_t shift = ShiftOf(static_cast<DWORD>(wParam));
    // Only button messages come here.
    const int16_t button = MouseButtonOfMessage(msg, static_cast<DWORD>(wParam));
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // The surface keeps the mouse while a button is held, so the release is seen off it too.
        ::SetCapture(hwnd());
        if (button == 1) {
            clickArmed_ = true;
        }
        SurfaceMouseDown(button, shift, x, y);
        break;
    case WM_LBUTTONDBLCLK:
        ::SetCapture(hwnd());
        clickArmed_ = false;
        SurfaceDblClick();
        break;
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        ::SetCapture(hwnd());
        SurfaceMouseDown(button, shift, x, y);
        break;
    default: { // a release
        const bool click = button == 1 && std::exchange(clickArmed_, false);
        if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && ::GetCapture() == hwnd()) {
            ::ReleaseCapture();
        }
        SurfaceMouseUp(button, shift, x, y);
        RECT client{};
        ::GetClientRect(hwnd(), &client);
        if (click && ::PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
            SurfaceClick();
        }
        break;
    }
    }
}

LRESULT UniControl::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        const PaintDC dc(hwnd());
        if (persistentImage_) {
            image_.PaintPicture(dc.get(), 0, 0, SurfaceWidth(), SurfaceHeight(), 0, 0, SurfaceWidth(), SurfaceHeight());
        } else {
            Paint(dc.get());
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        if (persistentImage_) {
            image_.PaintPicture(reinterpret_cast<HDC>(wParam), 0, 0, SurfaceWidth(), SurfaceHeight(), 0, 0,
                                SurfaceWidth(), SurfaceHeight());
        } else {
            Paint(reinterpret_cast<HDC>(wParam));
        }
        return 0;
    case WM_ERASEBKGND:
        return 1; // the face covers the whole surface: erasing first would only flicker
    case WM_SIZE:
        if (!drawing_) {
            EnsureImageSize();
        }
        SurfaceResized();
        return 0;
    case WM_SETCURSOR:
        // Only for the surface itself: a child (the text box's edit) asks its parent first, and its
        // own pointer must win.
        if (reinterpret_cast<HWND>(wParam) == hwnd() && OnSetCursor(lParam)) {
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        SurfaceMouseMove(MouseButtonOf(static_cast<DWORD>(wParam)), ShiftOf(static_cast<DWORD>(wParam)),
                         static_cast<float>(GET_X_LPARAM(lParam)), static_cast<float>(GET_Y_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        OnMouseButton(msg, wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        clickArmed_ = false;
        return 0;
    case WM_DESTROY:
        RevokeDropTarget();
        break;
    default: {
        LRESULT result = 0;
        if (SurfaceMessage(msg, wParam, lParam, result)) {
            return result;
        }
        break;
    }
    }
    return Default(msg, wParam, lParam);
}
